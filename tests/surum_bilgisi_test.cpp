#include "indir/surum_bilgisi.hpp"

#include <gtest/gtest.h>

#include <string>

namespace velmor {

void PrintTo(const Manifest& m, std::ostream* os) {
    *os << "{version=" << testing::PrintToString(m.version)
        << " download_url=" << testing::PrintToString(m.download_url)
        << " sha256=" << testing::PrintToString(m.sha256) << " size_bytes=" << m.size_bytes << "}";
}

namespace {

const std::string DIGEST = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

std::string body(const std::string& members) { return "{" + members + "}"; }

TEST(DecodeManifest, AcceptsTheObjectAndArrayForms) {
    struct Case {
        std::string body;
        Manifest expected;
    };
    const Manifest full{"1.2.3", "https://cdn.velmor.gg/s.exe", DIGEST, 1234};
    const Case cases[] = {
        {body(R"("version":"1.2.3","download_url":"https://cdn.velmor.gg/s.exe","sha256":")" +
              DIGEST + R"(","size_bytes":1234)"),
         full},
        // Any order; other members of any kind and depth leave no trace, and
        // names inside them do not count as the record's own.
        {body(
             R"("size_bytes":1234,"x":{"version":"9","a":[1,{"sha256":null}]},"sha256":")" +
             DIGEST +
             R"(","x":[],"y":null,"z":-1.5e3,"w":true,"download_url":"https://cdn.velmor.gg/s.exe","version":"1.2.3")"),
         full},
        // Optional members absent: empty digest, no size.
        {body(R"("version":"1","download_url":"u")"), {"1", "u", "", 0}},
        // Escapes resolve, in names too; values keep white space and case.
        {body(
             R"("\u0076ersion":" V1.2\t","download_url":"a\/b\"\\\u00e7\ud83d\ude00","sha256":"AB")"),
         {" V1.2\t", "a/b\"\\\xC3\xA7\xF0\x9F\x98\x80", "AB", 0}},
        {body(R"("version":"","download_url":"","sha256":"","size_bytes":0)"), {"", "", "", 0}},
        {body(R"("version":"1","download_url":"u","size_bytes":18446744073709551615)"),
         {"1", "u", "", 18446744073709551615ULL}},
        // JSON white space around and between tokens.
        {" \t\r\n{ \"version\" : \"1\" ,\n\"download_url\":\"u\"\r\n}\t \n ", {"1", "u", "", 0}},
        {R"(["1","u"])", {"1", "u", "", 0}},
        {R"(["1","u","ab"])", {"1", "u", "ab", 0}},
        {R"([ "1" , "u" , "ab" , 7 ])", {"1", "u", "ab", 7}},
        // Raw UTF-8 inside strings is taken as it is.
        {body(R"("version":"1","download_url":"https://velmor.gg/çğış")"),
         {"1", "https://velmor.gg/çğış", "", 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decode_manifest(c.body), c.expected) << c.body;
    }
}

TEST(DecodeManifest, RefusesEverythingElse) {
    const std::string ok = R"("version":"1","download_url":"u")";
    const std::string cases[] = {
        // Not an object or array of the record.
        "",
        " \n",
        "null",
        "true",
        R"("1.2.3")",
        "12",
        "{}",
        "[]",
        body(R"("version":"1")"),
        body(R"("download_url":"u")"),
        // Letter case matters: this is no version, so it is missing.
        body(R"("Version":"1","download_url":"u")"),
        // A recognised name twice, whatever the values, also through escapes.
        body(ok + R"(,"version":"1")"),
        body(ok + R"(,"\u0076ersion":"2")"),
        body(ok + R"(,"sha256":"a","sha256":"a")"),
        body(ok + R"(,"size_bytes":1,"size_bytes":1)"),
        // Text members must be strings; an explicit null digest is no absent one.
        body(ok + R"(,"sha256":null)"),
        body(R"("version":1,"download_url":"u")"),
        body(R"("version":null,"download_url":"u")"),
        body(R"("version":"1","download_url":["u"])"),
        body(R"("version":"1","download_url":{"u":1})"),
        body(ok + R"(,"sha256":true)"),
        // size_bytes: non-negative integers within 64 bits only.
        body(ok + R"(,"size_bytes":-1)"),
        body(ok + R"(,"size_bytes":-0)"),
        body(ok + R"(,"size_bytes":1.0)"),
        body(ok + R"(,"size_bytes":1e3)"),
        body(ok + R"(,"size_bytes":012)"),
        body(ok + R"(,"size_bytes":"5")"),
        body(ok + R"(,"size_bytes":null)"),
        body(ok + R"(,"size_bytes":18446744073709551616)"),
        body(ok + R"(,"size_bytes":1e400)"),
        body(ok + R"(,"size_bytes":+1)"),
        body(ok + R"(,"size_bytes":[1])"),
        // Byte-order mark, whole or partial, and white space JSON does not know.
        "\xEF\xBB\xBF" + body(ok),
        "\xEF\xBB" + body(ok),
        "\v" + body(ok),
        "\xC2\xA0" + body(ok),
        body(ok) + "\f",
        // Anything after the value; commas out of place; other syntax slips.
        body(ok) + body(ok),
        body(ok) + "x",
        body(ok) + ",",
        body(ok + ","),
        "{," + ok + "}",
        body(ok) + std::string(1, '\0'),
        body(ok) + std::string("\0{x", 3),
        std::string("\0", 1) + body(ok),
        body(R"("version":"1",,"download_url":"u")"),
        body(R"("version" "1","download_url":"u")"),
        body(R"('version':"1","download_url":"u")"),
        body(R"(version:"1","download_url":"u")"),
        body(ok + "/* c */"),
        body(ok + R"(,"x":[1,])"),
        body(ok + R"(,"x":01)"),
        body(ok + R"(,"x":tru)"),
        // Arrays of the wrong length, or holding the wrong kinds.
        R"(["1"])",
        R"(["1","u","ab",1,2])",
        R"(["1","u",])",
        R"(["1","u",null])",
        R"(["1","u","ab","1"])",
        R"([["1"],"u"])",
        R"(["1","u","ab",-0])",
        // Strings: raw control characters, undefined escapes, lone surrogates,
        // ill-formed UTF-8, also where the value would be skipped.
        body(ok + ",\"x\":\"a\x01\""),
        body(ok + ",\"x\":\"a\tb\""),
        body(ok + R"(,"x":"\x41")"),
        body(ok + R"(,"x":"\'")"),
        body(ok + R"(,"x":"\ud800")"),
        body(ok + R"(,"x":"\udc00")"),
        body(ok + R"(,"x":"\ud800\u0041")"),
        body(ok + R"(,"x":"\u12")"),
        body(ok + ",\"x\":\"\xFF\""),
        body(ok + ",\"x\":\"\xC0\xAF\""),
        body(ok + ",\"x\":\"\xED\xA0\x80\""),
        body(ok + ",\"x\":\"\xE2\x82\""),
        body(ok + ",\"x\":\"\xF4\x90\x80\x80\""),
        body(R"("version":"1","download_url":"u)"),
        "{\"version\":\"1\xFF\",\"download_url\":\"u\"}",
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decode_manifest(c), std::nullopt) << testing::PrintToString(c);
    }
}

TEST(DecodeManifest, ReadsOnlyTheBytesItIsGiven) {
    const std::string text = R"({"version":"1","download_url":"u"}garbage)";
    const auto end = text.find('}') + 1;
    EXPECT_TRUE(decode_manifest(std::string_view(text).substr(0, end)).has_value());
    EXPECT_FALSE(decode_manifest(std::string_view(text).substr(0, end - 1)).has_value());
}

TEST(DecodeManifest, SkipsDeeplyNestedMembers) {
    const std::string deep = std::string(30000, '[') + std::string(30000, ']');
    const auto decoded =
        decode_manifest(R"({"x":)" + deep + R"(,"version":"1","download_url":"u"})");
    EXPECT_EQ(decoded, (Manifest{"1", "u", "", 0}));
}

}  // namespace
}  // namespace velmor
