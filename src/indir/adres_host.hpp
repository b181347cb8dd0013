// The host parser: domains through IDNA, IPv4 in all its numeric forms, IPv6
// with compression and embedded IPv4, opaque hosts for non-special schemes.
#pragma once

#include <optional>
#include <string_view>

#include "indir/adres.hpp"

namespace velmor::url_detail {

// Parses the host part of an address as written (still percent-encoded).
// `is_opaque` is set for the schemes that are not special.
std::optional<Host> parse_host(std::string_view input, bool is_opaque);

}  // namespace velmor::url_detail
