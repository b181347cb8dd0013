#include "indir/ozet.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace velmor {
namespace {

std::string sha256_hex(std::string_view data, std::size_t piece) {
    Sha256 sha;
    for (std::size_t at = 0; at < data.size(); at += piece) {
        const auto part = data.substr(at, piece);
        sha.update(std::as_bytes(std::span(part.data(), part.size())));
    }
    return to_hex(sha.finish());
}

TEST(Sha256, KnownDigestsWhateverThePieces) {
    // FIPS 180-2 examples.
    EXPECT_EQ(sha256_hex("", 1),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const std::string two_blocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::string expected = "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
    for (const std::size_t piece : {1U, 7U, 64U, 1000U}) {
        EXPECT_EQ(sha256_hex(two_blocks, piece), expected) << piece;
    }
}

TEST(Sha256, MillionLetters) {
    const std::string a(1000000, 'a');
    EXPECT_EQ(sha256_hex(a, 65536),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(ToHex, KeepsLeadingZerosInLowerCase) {
    Sha256Digest digest{};
    digest[0] = 0x0A;
    digest[31] = 0xF0;
    const std::string hex = to_hex(digest);
    EXPECT_EQ(hex.size(), 64U);
    EXPECT_EQ(hex.substr(0, 2), "0a");
    EXPECT_EQ(hex.substr(62), "f0");
}

}  // namespace
}  // namespace velmor
