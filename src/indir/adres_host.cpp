#include "indir/adres_host.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "indir/adres_idna.hpp"
#include "indir/adres_kodlama.hpp"
#include "ortak/metin.hpp"

namespace velmor::url_detail {
namespace {

using Ipv6Address = std::array<std::uint16_t, 8>;

constexpr int END = -1;

bool is_forbidden_host_code_point(char c) {
    static constexpr std::string_view FORBIDDEN{"\0\t\n\r #/:<>?@[\\]^|", 17};
    return FORBIDDEN.find(c) != std::string_view::npos;
}

bool is_forbidden_domain_code_point(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return is_forbidden_host_code_point(c) || byte <= 0x1F || c == '%' || byte == 0x7F;
}

bool has_forbidden_domain_code_point(std::string_view text) {
    return std::any_of(text.begin(), text.end(), is_forbidden_domain_code_point);
}

// Splits at every '.', keeping empty parts.
std::vector<std::string_view> split_on_dots(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t dot = text.find('.', start);
        if (dot == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
}

// An IPv4 number in decimal, octal ("0" prefix) or hexadecimal ("0x"
// prefix). Values of 2^32 and above are held at 2^32: they fail every use.
std::optional<std::uint64_t> parse_ipv4_number(std::string_view input) {
    if (input.empty()) {
        return std::nullopt;
    }
    unsigned radix = 10;
    if (input.size() >= 2 && input[0] == '0' && (input[1] == 'x' || input[1] == 'X')) {
        input.remove_prefix(2);
        radix = 16;
    } else if (input.size() >= 2 && input[0] == '0') {
        input.remove_prefix(1);
        radix = 8;
    }
    constexpr std::uint64_t LIMIT = std::uint64_t{1} << 32U;
    std::uint64_t value = 0;
    for (const char c : input) {
        const bool valid = radix == 16 ? is_ascii_hex_digit(c) : is_ascii_digit(c);
        const auto digit = valid ? static_cast<unsigned>(hex_value(c)) : radix;
        if (digit >= radix) {
            return std::nullopt;
        }
        value = std::min(value * radix + digit, LIMIT);
    }
    return value;
}

bool ends_in_a_number(std::string_view domain) {
    std::vector<std::string_view> parts = split_on_dots(domain);
    if (parts.back().empty()) {
        if (parts.size() == 1) {
            return false;
        }
        parts.pop_back();
    }
    const std::string_view last = parts.back();
    if (!last.empty() && std::all_of(last.begin(), last.end(), is_ascii_digit)) {
        return true;
    }
    return parse_ipv4_number(last).has_value();
}

std::optional<std::uint32_t> parse_ipv4(std::string_view input) {
    std::vector<std::string_view> parts = split_on_dots(input);
    if (parts.back().empty() && parts.size() > 1) {
        parts.pop_back();
    }
    if (parts.size() > 4) {
        return std::nullopt;
    }
    std::array<std::uint64_t, 4> numbers{};
    std::size_t count = 0;
    for (const std::string_view part : parts) {
        const auto number = parse_ipv4_number(part);
        if (!number) {
            return std::nullopt;
        }
        numbers.at(count++) = *number;
    }
    // Every number but the last is one byte; the last fills the bytes left.
    const std::size_t leading = count - 1;
    const std::uint64_t last = numbers.at(leading);
    std::uint64_t address = last;
    for (std::size_t i = 0; i < leading; ++i) {
        if (numbers.at(i) > 255) {
            return std::nullopt;
        }
        address += numbers.at(i) << (8U * (3 - i));
    }
    if (last >= (std::uint64_t{1} << (8U * (4 - leading)))) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(address);
}

std::string serialize_ipv4(std::uint32_t address) {
    std::string out;
    for (unsigned shift = 24;; shift -= 8) {
        out += std::to_string((address >> shift) & 0xFFU);
        if (shift == 0) {
            return out;
        }
        out.push_back('.');
    }
}

// Reads an IPv6 address by position, with END past the last character.
class Ipv6Reader {
public:
    explicit Ipv6Reader(std::string_view input) : input_(input) {}

    std::optional<Ipv6Address> parse();

private:
    [[nodiscard]] int at(std::size_t i) const {
        return i < input_.size() ? static_cast<unsigned char>(input_[i]) : END;
    }
    [[nodiscard]] int c() const { return at(pointer_); }
    [[nodiscard]] bool c_is_digit() const {
        return c() != END && is_ascii_digit(static_cast<char>(c()));
    }
    [[nodiscard]] bool c_is_hex() const {
        return c() != END && is_ascii_hex_digit(static_cast<char>(c()));
    }
    bool parse_embedded_ipv4();
    bool parse_ipv4_piece();
    void expand_compression();

    std::string_view input_;
    std::size_t pointer_ = 0;
    Ipv6Address address_{};
    std::size_t piece_index_ = 0;
    std::optional<std::size_t> compress_;
};

std::optional<Ipv6Address> Ipv6Reader::parse() {
    if (c() == ':') {
        if (at(pointer_ + 1) != ':') {
            return std::nullopt;
        }
        pointer_ += 2;
        compress_ = ++piece_index_;
    }
    while (c() != END) {
        if (piece_index_ == 8) {
            return std::nullopt;
        }
        if (c() == ':') {
            if (compress_) {
                return std::nullopt;
            }
            ++pointer_;
            compress_ = ++piece_index_;
            continue;
        }
        unsigned value = 0;
        std::size_t length = 0;
        while (length < 4 && c_is_hex()) {
            value = value * 0x10 + static_cast<unsigned>(hex_value(static_cast<char>(c())));
            ++pointer_;
            ++length;
        }
        if (c() == '.') {
            if (length == 0) {
                return std::nullopt;
            }
            pointer_ -= length;
            if (!parse_embedded_ipv4()) {
                return std::nullopt;
            }
            break;
        }
        if (c() == ':') {
            ++pointer_;
            if (c() == END) {
                return std::nullopt;
            }
        } else if (c() != END) {
            return std::nullopt;
        }
        address_[piece_index_++] = static_cast<std::uint16_t>(value);
    }
    if (compress_) {
        expand_compression();
    } else if (piece_index_ != 8) {
        return std::nullopt;
    }
    return address_;
}

// The last 32 bits written as dotted decimal, four parts without leading zeros.
bool Ipv6Reader::parse_embedded_ipv4() {
    if (piece_index_ > 6) {
        return false;
    }
    int numbers_seen = 0;
    while (c() != END) {
        if (numbers_seen > 0) {
            if (c() != '.' || numbers_seen >= 4) {
                return false;
            }
            ++pointer_;
        }
        if (!parse_ipv4_piece()) {
            return false;
        }
        ++numbers_seen;
        if (numbers_seen == 2 || numbers_seen == 4) {
            ++piece_index_;
        }
    }
    return numbers_seen == 4;
}

bool Ipv6Reader::parse_ipv4_piece() {
    if (!c_is_digit()) {
        return false;
    }
    std::optional<unsigned> piece;
    while (c_is_digit()) {
        const auto number = static_cast<unsigned>(c() - '0');
        if (!piece) {
            piece = number;
        } else if (*piece == 0) {
            return false;
        } else {
            piece = *piece * 10 + number;
        }
        if (*piece > 255) {
            return false;
        }
        ++pointer_;
    }
    address_[piece_index_] = static_cast<std::uint16_t>(address_[piece_index_] * 0x100U + *piece);
    return true;
}

// Moves the pieces after the "::" to the end of the address.
void Ipv6Reader::expand_compression() {
    const std::size_t compress = *compress_;
    std::size_t swaps = piece_index_ - compress;
    for (std::size_t index = 7; index != 0 && swaps > 0; --index, --swaps) {
        std::swap(address_[index], address_[compress + swaps - 1]);
    }
}

// The first of the longest runs of two or more zero pieces.
std::optional<std::size_t> compressed_piece_index(const Ipv6Address& address) {
    std::optional<std::size_t> longest_index;
    std::size_t longest_size = 1;
    std::optional<std::size_t> found_index;
    std::size_t found_size = 0;
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (address[i] != 0) {
            if (found_size > longest_size) {
                longest_index = found_index;
                longest_size = found_size;
            }
            found_index.reset();
            found_size = 0;
        } else {
            if (!found_index) {
                found_index = i;
            }
            ++found_size;
        }
    }
    return found_size > longest_size ? found_index : longest_index;
}

std::string serialize_ipv6(const Ipv6Address& address) {
    const std::optional<std::size_t> compress = compressed_piece_index(address);
    std::string out = "[";
    bool ignore_zero = false;
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (ignore_zero && address[i] == 0) {
            continue;
        }
        ignore_zero = false;
        if (compress == i) {
            out += i == 0 ? "::" : ":";
            ignore_zero = true;
            continue;
        }
        std::array<char, 4> digits{};
        const auto written =
            std::to_chars(digits.data(), digits.data() + digits.size(), address[i], 16);
        out.append(digits.data(), written.ptr);
        if (i != 7) {
            out.push_back(':');
        }
    }
    out.push_back(']');
    return out;
}

std::optional<Host> parse_opaque_host(std::string_view input) {
    if (std::any_of(input.begin(), input.end(), is_forbidden_host_code_point)) {
        return std::nullopt;
    }
    std::string text = percent_encode(input, EncodeSet::c0_control);
    const HostKind kind = text.empty() ? HostKind::empty : HostKind::opaque;
    return Host{kind, std::move(text)};
}

// "ẞ" maps to "ss" in the IDNA tables before Unicode 15.1 and to "ß" since;
// the platform's tables may be of either age, so a name with it is refused
// rather than sent to a host the address does not name.
bool has_capital_sharp_s(std::string_view domain) {
    return domain.find("\xE1\xBA\x9E") != std::string_view::npos;
}

// A non-ASCII domain goes through the platform's IDNA. It is handed only
// well-formed text free of NUL and the other characters no domain may hold,
// and its answer is kept only when it is lower-case ASCII.
std::optional<std::string> map_non_ascii_domain(std::string_view domain) {
    if (!is_well_formed_utf8(domain) || has_forbidden_domain_code_point(domain) ||
        has_capital_sharp_s(domain)) {
        return std::nullopt;
    }
    std::optional<std::string> mapped = idna_to_ascii(domain);
    if (!mapped || !is_ascii(*mapped) || ascii_lowercase(*mapped) != *mapped) {
        return std::nullopt;
    }
    return mapped;
}

// An ASCII domain is only lower-cased; the rest goes through IDNA. Either
// way the result must be a non-empty name free of forbidden code points.
std::optional<std::string> domain_to_ascii(std::string_view domain) {
    std::optional<std::string> result =
        is_ascii(domain) ? std::optional(ascii_lowercase(domain)) : map_non_ascii_domain(domain);
    if (!result || result->empty() || has_forbidden_domain_code_point(*result)) {
        return std::nullopt;
    }
    return result;
}

}  // namespace

std::optional<Host> parse_host(std::string_view input, bool is_opaque) {
    if (!input.empty() && input.front() == '[') {
        if (input.size() < 2 || input.back() != ']') {
            return std::nullopt;
        }
        const auto address = Ipv6Reader(input.substr(1, input.size() - 2)).parse();
        if (!address) {
            return std::nullopt;
        }
        return Host{HostKind::ipv6, serialize_ipv6(*address)};
    }
    if (is_opaque) {
        return parse_opaque_host(input);
    }
    std::optional<std::string> domain = domain_to_ascii(percent_decode(input));
    if (!domain) {
        return std::nullopt;
    }
    if (ends_in_a_number(*domain)) {
        const auto address = parse_ipv4(*domain);
        if (!address) {
            return std::nullopt;
        }
        return Host{HostKind::ipv4, serialize_ipv4(*address)};
    }
    return Host{HostKind::domain, std::move(*domain)};
}

}  // namespace velmor::url_detail
