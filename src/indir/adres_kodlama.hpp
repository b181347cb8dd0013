// Character classes and percent-encoding shared by the address parser's
// units. The parser works on well-formed UTF-8 bytes: every byte of a
// non-ASCII character is at or above 0x80 and lies in every encode set, so
// encoding byte by byte equals encoding by code point.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ortak/ascii.hpp"

namespace velmor::url_detail {

enum class EncodeSet : std::uint8_t { c0_control, fragment, query, special_query, path, userinfo };

// The value of an ASCII hex digit.
int hex_value(char c);

bool in_encode_set(char byte, EncodeSet set);

// Appends the byte, or "%" and two upper-case hex digits when it is in the set.
void append_percent_encoded(std::string& out, char byte, EncodeSet set);
std::string percent_encode(std::string_view bytes, EncodeSet set);

// Replaces every "%" followed by two hex digits with the byte they name; any
// other "%" stays.
std::string percent_decode(std::string_view text);

}  // namespace velmor::url_detail
