// The one place where a non-ASCII domain meets the platform's IDNA: UTS #46
// ToASCII, non-transitional, with CheckBidi and CheckJoiners on and
// UseSTD3ASCIIRules, CheckHyphens and VerifyDnsLength off. ICU natively,
// IdnToAscii on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmor::url_detail {

// Well-formed UTF-8 in; the ASCII form, or nullopt for whatever cannot be
// mapped. Callers still check the answer before they trust it.
std::optional<std::string> idna_to_ascii(std::string_view domain);

}  // namespace velmor::url_detail
