// ASCII character classes and case folding, independent of any locale.
#pragma once

#include <string>
#include <string_view>

namespace velmor {

constexpr bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }
constexpr bool is_ascii_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool is_ascii_alphanumeric(char c) { return is_ascii_digit(c) || is_ascii_alpha(c); }
constexpr bool is_ascii_hex_digit(char c) {
    return is_ascii_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
constexpr bool is_ascii(char c) { return static_cast<unsigned char>(c) < 0x80; }
constexpr char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_ascii(std::string_view text);
// Only "A" to "Z" change; every other byte stays as it is.
std::string ascii_lowercase(std::string_view text);

}  // namespace velmor
