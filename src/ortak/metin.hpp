// Text conversions for handing UTF-8 text to the platform.
#pragma once

#include <string>
#include <string_view>

namespace velmor {

// UTF-8 to UTF-16 code units (NUL-terminated through c_str()). Ill-formed
// sequences become U+FFFD, one per maximal ill-formed subpart, so the result
// is always valid UTF-16.
std::wstring to_wide(std::string_view utf8);

// UTF-16 code units back to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string to_utf8(std::wstring_view utf16);

}  // namespace velmor
