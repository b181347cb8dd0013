// Text conversions for handing UTF-8 text to the platform, and the few
// UTF-8 helpers that checks on received text need.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmor {

// UTF-8 to UTF-16 code units (NUL-terminated through c_str()). Ill-formed
// sequences become U+FFFD, one per maximal ill-formed subpart, so the result
// is always valid UTF-16.
std::wstring to_wide(std::string_view utf8);

// UTF-16 code units back to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string to_utf8(std::wstring_view utf16);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// values above U+10FFFF).
bool is_well_formed_utf8(std::string_view text);

// UTF-8 to code points; nullopt when the text is not well-formed UTF-8.
std::optional<std::u32string> to_utf32(std::string_view utf8);

// Code points to UTF-8; anything that is not a scalar value becomes U+FFFD.
std::string to_utf8(std::u32string_view text);

// The text without the characters of Unicode's White_Space property at
// either end. Ill-formed bytes count as non-space and stay.
std::string_view trim_white_space(std::string_view utf8);

}  // namespace velmor
