#include "indir/adres_idna_denetim.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "indir/adres_isaret.hpp"
#include "indir/adres_kodlama.hpp"
#include "ortak/metin.hpp"

namespace velmor::url_detail {
namespace {

constexpr std::string_view ACE_PREFIX = "xn--";

// ß, ς, ZWNJ and ZWJ, which transitional processing maps away.
bool is_deviation(char32_t cp) {
    return cp == 0x00DF || cp == 0x03C2 || cp == 0x200C || cp == 0x200D;
}

// A superset of the characters of bidi classes R, AL and AN: the blocks of
// the right-to-left scripts and the right-to-left marks.
bool is_right_to_left(char32_t cp) {
    return (cp >= 0x0590 && cp <= 0x08FF) || cp == 0x200F || cp == 0x202B || cp == 0x202E ||
           cp == 0x2067 || (cp >= 0xFB1D && cp <= 0xFDFF) || (cp >= 0xFE70 && cp <= 0xFEFF) ||
           (cp >= 0x10800 && cp <= 0x10FFF) || (cp >= 0x1E800 && cp <= 0x1EFFF);
}

bool is_label_separator(char32_t cp) {
    return cp == U'.' || cp == 0x3002 || cp == 0xFF0E || cp == 0xFF61;
}

std::vector<std::u32string> split_labels(std::u32string_view domain) {
    std::vector<std::u32string> labels(1);
    for (const char32_t cp : domain) {
        if (is_label_separator(cp)) {
            labels.emplace_back();
        } else {
            labels.back().push_back(cp);
        }
    }
    return labels;
}

std::vector<std::string> split_ascii_labels(std::string_view domain) {
    std::vector<std::string> labels(1);
    for (const char c : domain) {
        if (c == '.') {
            labels.emplace_back();
        } else {
            labels.back().push_back(c);
        }
    }
    return labels;
}

bool starts_with_ace_prefix(std::string_view label) {
    return label.size() >= ACE_PREFIX.size() &&
           ascii_lowercase(label.substr(0, ACE_PREFIX.size())) == ACE_PREFIX;
}

// What a valid non-transitional "xn--" label can decode to, as far as can
// be told without the mapping tables: some non-ASCII text that does not
// begin with a combining mark.
bool is_plausible_decoded_label(std::u32string_view label) {
    if (label.empty() || is_combining_mark(label.front())) {
        return false;
    }
    const bool has_non_ascii =
        std::any_of(label.begin(), label.end(), [](char32_t cp) { return cp >= 0x80; });
    const bool has_refused = std::any_of(label.begin(), label.end(), [](char32_t cp) {
        return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || (cp >= U'A' && cp <= U'Z') ||
               is_deviation(cp) || is_right_to_left(cp);
    });
    return has_non_ascii && !has_refused;
}

// An "xn--" label must decode, and the platform must map the decoded text
// back to the very same label: valid labels are stable under ToASCII.
bool is_stable_ace_label(const std::string& label, IdnaMapping map) {
    const auto decoded = punycode_decode(std::string_view(label).substr(ACE_PREFIX.size()));
    if (!decoded || !is_plausible_decoded_label(*decoded)) {
        return false;
    }
    const auto again = map(to_utf8(*decoded));
    return again && ascii_lowercase(*again) == label;
}

bool is_acceptable_label(const std::u32string& input, const std::string& output, IdnaMapping map) {
    const bool input_is_ascii =
        std::all_of(input.begin(), input.end(), [](char32_t cp) { return cp < 0x80; });
    if (input_is_ascii && output != ascii_lowercase(to_utf8(input))) {
        return false;
    }
    return !starts_with_ace_prefix(output) || is_stable_ace_label(output, map);
}

// RFC 3492 bias adaptation.
std::uint32_t adapt(std::uint32_t delta, std::uint32_t points, bool first) {
    delta = first ? delta / 700 : delta / 2;
    delta += delta / points;
    std::uint32_t k = 0;
    while (delta > ((36 - 1) * 26) / 2) {
        delta /= 36 - 1;
        k += 36;
    }
    return k + (36 * delta) / (delta + 38);
}

std::optional<std::uint32_t> punycode_digit(char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<std::uint32_t>(c - 'a');
    }
    if (c >= 'A' && c <= 'Z') {
        return static_cast<std::uint32_t>(c - 'A');
    }
    if (is_ascii_digit(c)) {
        return static_cast<std::uint32_t>(c - '0' + 26);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::u32string> punycode_decode(std::string_view encoded) {
    constexpr std::uint32_t MAX = std::numeric_limits<std::uint32_t>::max();
    const std::size_t delimiter = encoded.rfind('-');
    const std::size_t basic_length = delimiter == std::string_view::npos ? 0 : delimiter;
    std::u32string out;
    for (std::size_t j = 0; j < basic_length; ++j) {
        if (!is_ascii(encoded[j])) {
            return std::nullopt;
        }
        out.push_back(static_cast<char32_t>(encoded[j]));
    }
    std::uint32_t n = 0x80;
    std::uint32_t i = 0;
    std::uint32_t bias = 72;
    for (std::size_t in = basic_length > 0 ? basic_length + 1 : 0; in < encoded.size();) {
        const std::uint32_t old_i = i;
        std::uint32_t w = 1;
        for (std::uint32_t k = 36;; k += 36) {
            const auto digit = in < encoded.size() ? punycode_digit(encoded[in++]) : std::nullopt;
            if (!digit || *digit > (MAX - i) / w) {
                return std::nullopt;
            }
            i += *digit * w;
            const std::uint32_t t = k <= bias ? 1 : (k >= bias + 26 ? 26 : k - bias);
            if (*digit < t) {
                break;
            }
            if (w > MAX / (36 - t)) {
                return std::nullopt;
            }
            w *= 36 - t;
        }
        const auto points = static_cast<std::uint32_t>(out.size() + 1);
        bias = adapt(i - old_i, points, old_i == 0);
        if (i / points > MAX - n) {
            return std::nullopt;
        }
        n += i / points;
        i %= points;
        if (n > 0x10FFFF || (n >= 0xD800 && n <= 0xDFFF)) {
            return std::nullopt;
        }
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(i), static_cast<char32_t>(n));
        ++i;
    }
    return out;
}

std::optional<std::string> checked_idna_mapping(std::string_view domain, IdnaMapping map) {
    const auto input = to_utf32(domain);
    if (!input || std::any_of(input->begin(), input->end(), [](char32_t cp) {
            return is_deviation(cp) || is_right_to_left(cp);
        })) {
        return std::nullopt;
    }
    const auto mapped = map(domain);
    if (!mapped || !is_ascii(*mapped)) {
        return std::nullopt;
    }
    std::string result = ascii_lowercase(*mapped);
    const std::vector<std::u32string> in_labels = split_labels(*input);
    const std::vector<std::string> out_labels = split_ascii_labels(result);
    if (in_labels.size() != out_labels.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < in_labels.size(); ++i) {
        if (!is_acceptable_label(in_labels[i], out_labels[i], map)) {
            return std::nullopt;
        }
    }
    return result;
}

}  // namespace velmor::url_detail
