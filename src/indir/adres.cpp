// The basic URL parser of the WHATWG URL Standard, without a base URL and
// without a state override: the state machine, one member per state.
#include "indir/adres.hpp"

#include <cstdint>
#include <string>
#include <utility>

#include "indir/adres_host.hpp"
#include "indir/adres_kodlama.hpp"
#include "ortak/metin.hpp"

namespace velmor {
namespace {

using url_detail::append_percent_encoded;
using url_detail::EncodeSet;

constexpr int END = -1;

bool is_special_scheme(std::string_view scheme) {
    return scheme == "file" || default_port(scheme).has_value();
}

// Two characters: an ASCII letter, then ':' or '|'.
bool is_windows_drive_letter(std::string_view text) {
    return text.size() == 2 && is_ascii_alpha(text[0]) && (text[1] == ':' || text[1] == '|');
}

bool is_normalized_windows_drive_letter(std::string_view text) {
    return is_windows_drive_letter(text) && text[1] == ':';
}

bool is_single_dot_segment(std::string_view segment) {
    return segment == "." || ascii_lowercase(segment) == "%2e";
}

bool is_double_dot_segment(std::string_view segment) {
    const std::string lower = ascii_lowercase(segment);
    return lower == ".." || lower == ".%2e" || lower == "%2e." || lower == "%2e%2e";
}

// Leading and trailing C0 controls and spaces go, then every tab and newline.
std::string strip_input(std::string_view input) {
    const auto is_c0_or_space = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!input.empty() && is_c0_or_space(input.front())) {
        input.remove_prefix(1);
    }
    while (!input.empty() && is_c0_or_space(input.back())) {
        input.remove_suffix(1);
    }
    std::string out(input);
    std::erase_if(out, [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
    return out;
}

enum class State : std::uint8_t {
    scheme_start,
    scheme,
    special_authority_slashes,
    special_authority_ignore_slashes,
    path_or_authority,
    authority,
    host,
    port,
    file,
    file_slash,
    file_host,
    path_start,
    path,
    opaque_path,
    query,
    fragment,
};

class Parser {
public:
    explicit Parser(std::string input) : input_(std::move(input)) {}

    std::optional<Url> run();

private:
    // Each returns false when the input fails to parse.
    bool step(int c);
    bool scheme_start(int c);
    bool scheme(int c);
    void end_scheme();
    void special_authority_slashes(int c);
    void special_authority_ignore_slashes(int c);
    void path_or_authority(int c);
    bool authority(int c);
    void take_userinfo();
    bool host(int c);
    bool port(int c);
    void file(int c);
    void file_slash(int c);
    bool file_host(int c);
    void path_start(int c);
    void path(int c);
    void end_segment(int c);
    void opaque_path(int c);
    void query(int c);
    void fragment(int c);

    [[nodiscard]] int at(std::size_t i) const {
        return i < input_.size() ? static_cast<unsigned char>(input_[i]) : END;
    }
    [[nodiscard]] int next() const { return at(pointer_ + 1); }
    [[nodiscard]] bool special() const { return is_special_scheme(url_.scheme); }
    // The characters that end an authority, host or port.
    [[nodiscard]] bool ends_authority(int c) const {
        return c == END || c == '/' || c == '?' || c == '#' || (c == '\\' && special());
    }
    [[nodiscard]] bool is_path_slash(int c) const { return c == '/' || (c == '\\' && special()); }
    void reconsume() { --pointer_; }
    void shorten_path();
    void begin_query();
    void begin_fragment();

    std::string input_;
    std::size_t pointer_ = 0;
    State state_ = State::scheme_start;
    std::string buffer_;
    Url url_;
    bool at_sign_seen_ = false;
    bool inside_brackets_ = false;
    bool password_token_seen_ = false;
};

std::optional<Url> Parser::run() {
    for (;;) {
        if (!step(at(pointer_))) {
            return std::nullopt;
        }
        if (pointer_ >= input_.size()) {
            return std::move(url_);
        }
        ++pointer_;
    }
}

bool Parser::step(int c) {
    switch (state_) {
        case State::scheme_start:
            return scheme_start(c);
        case State::scheme:
            return scheme(c);
        case State::special_authority_slashes:
            special_authority_slashes(c);
            return true;
        case State::special_authority_ignore_slashes:
            special_authority_ignore_slashes(c);
            return true;
        case State::path_or_authority:
            path_or_authority(c);
            return true;
        case State::authority:
            return authority(c);
        case State::host:
            return host(c);
        case State::port:
            return port(c);
        case State::file:
            file(c);
            return true;
        case State::file_slash:
            file_slash(c);
            return true;
        case State::file_host:
            return file_host(c);
        case State::path_start:
            path_start(c);
            return true;
        case State::path:
            path(c);
            return true;
        case State::opaque_path:
            opaque_path(c);
            return true;
        case State::query:
            query(c);
            return true;
        case State::fragment:
            fragment(c);
            return true;
    }
    return false;
}

// Without a base URL, an input that does not start with a scheme fails.
bool Parser::scheme_start(int c) {
    if (c == END || !is_ascii_alpha(static_cast<char>(c))) {
        return false;
    }
    buffer_.push_back(ascii_lower(static_cast<char>(c)));
    state_ = State::scheme;
    return true;
}

bool Parser::scheme(int c) {
    if (c != END &&
        (is_ascii_alphanumeric(static_cast<char>(c)) || c == '+' || c == '-' || c == '.')) {
        buffer_.push_back(ascii_lower(static_cast<char>(c)));
        return true;
    }
    if (c != ':') {
        return false;
    }
    end_scheme();
    return true;
}

void Parser::end_scheme() {
    url_.scheme = std::exchange(buffer_, {});
    if (url_.scheme == "file") {
        state_ = State::file;
    } else if (special()) {
        state_ = State::special_authority_slashes;
    } else if (next() == '/') {
        state_ = State::path_or_authority;
        ++pointer_;
    } else {
        url_.has_opaque_path = true;
        state_ = State::opaque_path;
    }
}

void Parser::special_authority_slashes(int c) {
    state_ = State::special_authority_ignore_slashes;
    if (c == '/' && next() == '/') {
        ++pointer_;
    } else {
        reconsume();
    }
}

void Parser::special_authority_ignore_slashes(int c) {
    if (c != '/' && c != '\\') {
        state_ = State::authority;
        reconsume();
    }
}

void Parser::path_or_authority(int c) {
    if (c == '/') {
        state_ = State::authority;
    } else {
        state_ = State::path;
        reconsume();
    }
}

// Everything up to the last '@' is userinfo; the host is read again after it.
bool Parser::authority(int c) {
    if (c == '@') {
        take_userinfo();
        return true;
    }
    if (ends_authority(c)) {
        if (at_sign_seen_ && buffer_.empty()) {
            return false;
        }
        pointer_ -= buffer_.size() + 1;
        buffer_.clear();
        state_ = State::host;
        return true;
    }
    buffer_.push_back(static_cast<char>(c));
    return true;
}

void Parser::take_userinfo() {
    if (at_sign_seen_) {
        buffer_.insert(0, "%40");
    }
    at_sign_seen_ = true;
    for (const char byte : buffer_) {
        if (byte == ':' && !password_token_seen_) {
            password_token_seen_ = true;
            continue;
        }
        append_percent_encoded(password_token_seen_ ? url_.password : url_.username, byte,
                               EncodeSet::userinfo);
    }
    buffer_.clear();
}

bool Parser::host(int c) {
    if (c == ':' && !inside_brackets_) {
        if (buffer_.empty()) {
            return false;
        }
        url_.host = url_detail::parse_host(buffer_, !special());
        buffer_.clear();
        state_ = State::port;
        return url_.host.has_value();
    }
    if (ends_authority(c)) {
        reconsume();
        if (special() && buffer_.empty()) {
            return false;
        }
        url_.host = url_detail::parse_host(buffer_, !special());
        buffer_.clear();
        state_ = State::path_start;
        return url_.host.has_value();
    }
    if (c == '[') {
        inside_brackets_ = true;
    } else if (c == ']') {
        inside_brackets_ = false;
    }
    buffer_.push_back(static_cast<char>(c));
    return true;
}

bool Parser::port(int c) {
    if (c != END && is_ascii_digit(static_cast<char>(c))) {
        buffer_.push_back(static_cast<char>(c));
        return true;
    }
    if (!ends_authority(c)) {
        return false;
    }
    if (!buffer_.empty()) {
        std::uint32_t value = 0;
        for (const char digit : buffer_) {
            value = value * 10 + static_cast<std::uint32_t>(digit - '0');
            if (value > 0xFFFF) {
                return false;
            }
        }
        const auto number = static_cast<std::uint16_t>(value);
        url_.port = number == default_port(url_.scheme) ? std::nullopt : std::optional(number);
        buffer_.clear();
    }
    state_ = State::path_start;
    reconsume();
    return true;
}

void Parser::file(int c) {
    url_.scheme = "file";
    url_.host = Host{};
    if (c == '/' || c == '\\') {
        state_ = State::file_slash;
    } else {
        state_ = State::path;
        reconsume();
    }
}

void Parser::file_slash(int c) {
    if (c == '/' || c == '\\') {
        state_ = State::file_host;
    } else {
        state_ = State::path;
        reconsume();
    }
}

// A drive letter where the host would be ("file://C:/") starts the path.
bool Parser::file_host(int c) {
    if (c != END && c != '/' && c != '\\' && c != '?' && c != '#') {
        buffer_.push_back(static_cast<char>(c));
        return true;
    }
    reconsume();
    if (is_windows_drive_letter(buffer_)) {
        state_ = State::path;
        return true;
    }
    state_ = State::path_start;
    if (buffer_.empty()) {
        url_.host = Host{};
        return true;
    }
    auto parsed = url_detail::parse_host(buffer_, false);
    if (!parsed) {
        return false;
    }
    if (parsed->kind == HostKind::domain && parsed->text == "localhost") {
        parsed = Host{};
    }
    url_.host = std::move(parsed);
    buffer_.clear();
    return true;
}

void Parser::path_start(int c) {
    if (special()) {
        state_ = State::path;
        if (c != '/' && c != '\\') {
            reconsume();
        }
    } else if (c == '?') {
        begin_query();
    } else if (c == '#') {
        begin_fragment();
    } else if (c != END) {
        state_ = State::path;
        if (c != '/') {
            reconsume();
        }
    }
}

void Parser::path(int c) {
    if (c == END || is_path_slash(c) || c == '?' || c == '#') {
        end_segment(c);
        return;
    }
    append_percent_encoded(buffer_, static_cast<char>(c), EncodeSet::path);
}

// "." and ".." segments are resolved here; a path that ends in one of them
// keeps an empty last segment ("/a/.." is "/").
void Parser::end_segment(int c) {
    auto& segments = url_.segments;
    const bool slash = is_path_slash(c);
    if (is_double_dot_segment(buffer_)) {
        shorten_path();
        if (!slash) {
            segments.emplace_back();
        }
    } else if (is_single_dot_segment(buffer_)) {
        if (!slash) {
            segments.emplace_back();
        }
    } else {
        if (url_.scheme == "file" && segments.empty() && is_windows_drive_letter(buffer_)) {
            buffer_[1] = ':';
        }
        segments.push_back(buffer_);
    }
    buffer_.clear();
    if (c == '?') {
        begin_query();
    } else if (c == '#') {
        begin_fragment();
    }
}

void Parser::shorten_path() {
    auto& segments = url_.segments;
    if (url_.scheme == "file" && segments.size() == 1 &&
        is_normalized_windows_drive_letter(segments[0])) {
        return;
    }
    if (!segments.empty()) {
        segments.pop_back();
    }
}

// A space before '?' or '#' is encoded so that it cannot end the path and be
// lost when the address is read again.
void Parser::opaque_path(int c) {
    if (c == '?') {
        begin_query();
    } else if (c == '#') {
        begin_fragment();
    } else if (c == ' ') {
        url_.opaque_path += next() == '?' || next() == '#' ? "%20" : " ";
    } else if (c != END) {
        append_percent_encoded(url_.opaque_path, static_cast<char>(c), EncodeSet::c0_control);
    }
}

void Parser::query(int c) {
    if (c == '#') {
        begin_fragment();
    } else if (c != END) {
        const EncodeSet set = special() ? EncodeSet::special_query : EncodeSet::query;
        append_percent_encoded(*url_.query, static_cast<char>(c), set);
    }
}

void Parser::fragment(int c) {
    if (c != END) {
        append_percent_encoded(*url_.fragment, static_cast<char>(c), EncodeSet::fragment);
    }
}

void Parser::begin_query() {
    url_.query.emplace();
    state_ = State::query;
}

void Parser::begin_fragment() {
    url_.fragment.emplace();
    state_ = State::fragment;
}

}  // namespace

std::optional<std::uint16_t> default_port(std::string_view scheme) {
    if (scheme == "http" || scheme == "ws") {
        return 80;
    }
    if (scheme == "https" || scheme == "wss") {
        return 443;
    }
    if (scheme == "ftp") {
        return 21;
    }
    return std::nullopt;
}

// Text that is not well-formed UTF-8 is no address at all.
std::optional<Url> parse_url(std::string_view input) {
    if (!is_well_formed_utf8(input)) {
        return std::nullopt;
    }
    return Parser(strip_input(input)).run();
}

bool Url::is_special() const { return is_special_scheme(scheme); }

}  // namespace velmor
