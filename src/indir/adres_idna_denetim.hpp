// Checks on a platform IDNA whose processing may differ from the URL
// Standard's (IdnToAscii: IDNA2003 under Wine, transitional elsewhere). Its
// answer is kept only where such differences cannot show; everything in
// doubt fails, so a domain is refused rather than mapped to another host.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmor::url_detail {

// A platform's ToASCII: UTF-8 in, ASCII or nullopt out.
using IdnaMapping = std::optional<std::string> (*)(std::string_view domain);

// Runs `map` on a well-formed non-ASCII domain. Refused: the characters that
// transitional and non-transitional processing treat differently, and text
// written right to left (whose bidi rules are not verified here). Kept only
// when the answer has as many labels as the input, every ASCII input label
// comes back unchanged but for case, and every "xn--" label decodes to text
// that does not begin with a combining mark and maps back to the same label.
// The result is lower case.
std::optional<std::string> checked_idna_mapping(std::string_view domain, IdnaMapping map);

// RFC 3492 decoding of what follows "xn--"; nullopt when it is not valid.
std::optional<std::u32string> punycode_decode(std::string_view encoded);

}  // namespace velmor::url_detail
