// The checks on a decoded manifest's fields that do not need the address
// parser: the version and the digest, which are normalised on the way, and
// the size. Each refusal carries the sentence the user reads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ortak/sonuc.hpp"

namespace velmor {

// Trims Unicode white space, drops every leading lower-case "v", and requires
// three "."-separated groups of 1 to 6 ASCII digits (leading zeros kept).
Result<std::string> normalise_version(std::string_view version);

// Trims Unicode white space, lower-cases ASCII letters, and requires exactly
// 64 hexadecimal digits. An empty digest (the member was absent) fails too.
Result<std::string> normalise_digest(std::string_view sha256);

// At most MAX_SETUP_SIZE; 0 states no size and passes.
Status check_setup_size(std::uint64_t size_bytes);

}  // namespace velmor
