#include "indir/surum_dogrulama.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace velmor {
namespace {

const std::string VERSION_SENTENCE = "Sunucudaki sürüm numarası okunamadı.";
const std::string DIGEST_SENTENCE = "Bu sürümün SHA-256 özeti yok; güvenlik için indirilmedi.";

TEST(NormaliseVersion, KeepsThreeDigitGroupsWithoutSpaceOrLeadingV) {
    struct Case {
        std::string input;
        std::string stored;
    };
    const Case cases[] = {
        {"1.2.3", "1.2.3"},
        {"  v1.2.3\t", "1.2.3"},
        {"vv10.20.30", "10.20.30"},
        {"\xE3\x80\x80v001.000.999999\xC2\x85\r\n", "001.000.999999"},  // U+3000, U+0085
        {"0.0.0", "0.0.0"},
    };
    for (const auto& c : cases) {
        const auto result = normalise_version(c.input);
        ASSERT_TRUE(result.ok()) << c.input;
        EXPECT_EQ(result.value(), c.stored);
    }
}

TEST(NormaliseVersion, RefusesAnythingElse) {
    const std::string cases[] = {
        "",
        " ",
        "v",
        "V1.2.3",
        "1.2",
        "1.2.3.4",
        "1..3",
        ".1.2",
        "1.2.",
        "1.2.3.",
        "1.2.1234567",
        "1.2.3a",
        "1.-2.3",
        "+1.2.3",
        "1.2. 3",
        "v 1.2.3",
        "1.2.3v",
        "١.٢.٣",                                // Arabic-Indic digits are no ASCII digits
        "1.2.3\xE2\x80\x8B",                    // U+200B ZERO WIDTH SPACE is no white space
        std::string("\xEF\xBB\xBF") + "1.2.3",  // nor is U+FEFF
        std::string("1.2.3\0", 6),
    };
    for (const auto& c : cases) {
        const auto result = normalise_version(c);
        ASSERT_FALSE(result.ok()) << testing::PrintToString(c);
        EXPECT_EQ(result.message(), VERSION_SENTENCE);
    }
}

TEST(NormaliseDigest, StoresTrimmedLowerCaseHex) {
    const std::string hex = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
    std::string upper = hex;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const std::string& input :
         {hex, " \t" + upper + "\n", "\xC2\xA0" + upper + "\xE2\x80\xA8"}) {
        const auto result = normalise_digest(input);
        ASSERT_TRUE(result.ok()) << input;
        EXPECT_EQ(result.value(), hex);
    }
}

TEST(NormaliseDigest, RefusesAnythingButSixtyFourHexDigits) {
    const std::string hex(64, 'a');
    const std::string cases[] = {
        "",  // absent member
        hex.substr(1),
        hex + "a",                       // 63, 65
        hex.substr(1) + "g",             // not hex
        hex.substr(2) + "\xC3\xA9",      // 64 bytes, but one character is not ASCII
        hex.substr(1) + "\xEF\xBC\xA1",  // FULLWIDTH A does not lower-case to a
        hex.substr(0, 32) + " " + hex.substr(32),
    };
    for (const auto& c : cases) {
        const auto result = normalise_digest(c);
        ASSERT_FALSE(result.ok()) << c;
        EXPECT_EQ(result.message(), DIGEST_SENTENCE);
    }
}

TEST(CheckSetupSize, AllowsUpTo512MiB) {
    EXPECT_TRUE(check_setup_size(0).ok());
    EXPECT_TRUE(check_setup_size(536870912).ok());
    for (const std::uint64_t size : {std::uint64_t{536870913}, ~std::uint64_t{0}}) {
        const auto result = check_setup_size(size);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.message(), "Kurulum dosyası beklenenden büyük.");
    }
}

}  // namespace
}  // namespace velmor
