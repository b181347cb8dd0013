#include "indir/ozet.hpp"

#include <string_view>

namespace velmor {

std::string to_hex(const Sha256Digest& digest) {
    constexpr std::string_view DIGITS = "0123456789abcdef";
    std::string hex;
    hex.reserve(digest.size() * 2);
    for (const std::uint8_t byte : digest) {
        hex.push_back(DIGITS[byte >> 4U]);
        hex.push_back(DIGITS[byte & 0x0FU]);
    }
    return hex;
}

}  // namespace velmor
