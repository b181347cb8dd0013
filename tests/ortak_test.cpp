#include <gtest/gtest.h>

#include <string>

#include "ortak/metin.hpp"
#include "ortak/sistem_hatasi.hpp"
#include "ortak/sonuc.hpp"

namespace velmor {
namespace {

TEST(ToWide, TurkishTextBecomesUtf16) {
    EXPECT_EQ(to_wide("Hazırlanıyor…"), std::wstring(L"Haz\x0131rlan\x0131yor\x2026"));
    EXPECT_EQ(to_wide(""), std::wstring());
}

TEST(ToWide, AstralCharacterBecomesSurrogatePair) {
    const std::wstring wide = to_wide("\xF0\x9F\x98\x80");  // U+1F600
    ASSERT_EQ(wide.size(), 2U);
    EXPECT_EQ(static_cast<unsigned>(wide[0]), 0xD83DU);
    EXPECT_EQ(static_cast<unsigned>(wide[1]), 0xDE00U);
    EXPECT_EQ(to_utf8(wide), "\xF0\x9F\x98\x80");
}

TEST(ToWide, IllFormedUtf8BecomesReplacementCharacters) {
    struct Case {
        std::string input;
        std::wstring expected;
    };
    const Case cases[] = {
        {std::string("a\xFF") + "b", std::wstring(L"a\xFFFD") + L"b"},
        {"\xC0\xAF", L"\xFFFD\xFFFD"},                      // overlong
        {"\xED\xA0\x80", L"\xFFFD\xFFFD\xFFFD"},            // encoded surrogate
        {"\xE2\x80", L"\xFFFD"},                            // truncated at the end
        {"\xF4\x90\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD"},  // above U+10FFFF
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(to_wide(c.input), c.expected) << testing::PrintToString(c.input);
    }
}

TEST(ToUtf32, DecodesWellFormedTextAndRefusesTheRest) {
    EXPECT_EQ(to_utf32("a\xC3\x9F\xEF\xBF\xBD\xF0\x9F\x98\x80"),
              std::u32string(U"a\u00DF\uFFFD\U0001F600"));
    EXPECT_EQ(to_utf8(U"a\u00DF\U0001F600"), "a\xC3\x9F\xF0\x9F\x98\x80");
    for (const char* ill_formed :
         {"a\xFF", "\xC0\xAF", "\xED\xA0\x80", "\xE2\x80", "\xF4\x90\x80\x80"}) {
        EXPECT_FALSE(is_well_formed_utf8(ill_formed)) << testing::PrintToString(ill_formed);
        EXPECT_EQ(to_utf32(ill_formed), std::nullopt) << testing::PrintToString(ill_formed);
    }
    EXPECT_TRUE(is_well_formed_utf8(std::string("a\0b", 3)));
}

TEST(ToUtf8, UnpairedSurrogateBecomesReplacementCharacter) {
    EXPECT_EQ(to_utf8(std::wstring{static_cast<wchar_t>(0xD800), L'x'}), "\xEF\xBF\xBDx");
    EXPECT_EQ(to_utf8(std::wstring{static_cast<wchar_t>(0xDC00)}), "\xEF\xBF\xBD");
}

std::string utf8(char32_t cp) { return to_utf8(std::u32string(1, cp)); }

TEST(TrimWhiteSpace, RemovesEveryUnicodeWhiteSpaceCharacterAtBothEnds) {
    const char32_t white[] = {0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,
                              0xA0,   0x1680, 0x2000, 0x2001, 0x2002, 0x2003, 0x2004,
                              0x2005, 0x2006, 0x2007, 0x2008, 0x2009, 0x200A, 0x2028,
                              0x2029, 0x202F, 0x205F, 0x3000};
    for (const char32_t cp : white) {
        const std::string space = utf8(cp);
        EXPECT_EQ(trim_white_space(space + space + "a" + space + "b" + space), "a" + space + "b")
            << std::hex << static_cast<unsigned>(cp);
        EXPECT_EQ(trim_white_space(space), "");
    }
    // Near misses: control characters, zero-width and byte-order marks,
    // U+180E (white space in old Unicode versions), and ill-formed bytes.
    const char32_t other[] = {0x1C, 0x1F, 0x00, 0x180E, 0x200B, 0x2060, 0xFEFF};
    for (const char32_t cp : other) {
        const std::string text = utf8(cp) + "a" + utf8(cp);
        EXPECT_EQ(trim_white_space(text), text) << std::hex << static_cast<unsigned>(cp);
    }
    EXPECT_EQ(trim_white_space(" \xE3\x80 "), "\xE3\x80");  // U+3000 cut short
}

TEST(SystemErrorText, TrimsTrailingWhiteSpaceAndAppendsCode) {
    EXPECT_EQ(system_error_text("Cannot create a file when that file already exists.\r\n", 183),
              "Cannot create a file when that file already exists. (os error 183)");
    EXPECT_EQ(system_error_text(" Access is denied. \t\f\n", 5), " Access is denied. (os error 5)");
    EXPECT_EQ(system_error_text("", 0), " (os error 0)");
}

TEST(Result, CarriesValueOrSentence) {
    Result<int> good = 7;
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(good.value(), 7);

    Result<int> bad = fail("İptal edildi.");
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.message(), "İptal edildi.");

    Status done;
    EXPECT_TRUE(done.ok());
    Status refused = fail("Kurulum dosyası beklenenden büyük.");
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(std::move(refused).failure().message, "Kurulum dosyası beklenenden büyük.");
}

}  // namespace
}  // namespace velmor
