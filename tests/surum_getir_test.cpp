#include "indir/surum_getir.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "destek/sahte_ag.hpp"

namespace velmor {
namespace {

using test::ScriptedAnswer;
using test::ScriptedNetwork;

const std::string DIGEST = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
const std::string UNREADABLE = "Sürüm bilgisi okunamadı.";
const std::string BAD_VERSION = "Sunucudaki sürüm numarası okunamadı.";
const std::string NO_DIGEST = "Bu sürümün SHA-256 özeti yok; güvenlik için indirilmedi.";
const std::string BAD_ADDRESS = "İndirme adresi geçersiz.";
const std::string FOREIGN_HOST =
    "Kurulum dosyası velmor.gg dışından indirilmek isteniyor; güvenlik için indirilmedi.";
const std::string TOO_BIG = "Kurulum dosyası beklenenden büyük.";

std::string manifest_json(const std::string& version, const std::string& url,
                          const std::string& sha256, const std::string& size) {
    return R"({"version":")" + version + R"(","download_url":")" + url + R"(","sha256":")" +
           sha256 + R"(","size_bytes":)" + size + "}";
}

const std::string GOOD_URL = "https://cdn.velmor.gg/VelmorLauncherSetup.exe";
const std::string GOOD_BODY = manifest_json("1.4.2", GOOD_URL, DIGEST, "48213504");
const Manifest GOOD{"1.4.2", GOOD_URL, DIGEST, 48213504};

Result<Manifest> fetch(ScriptedNetwork& network, ScriptedAnswer answer) {
    network.answers.push_back(std::move(answer));
    return fetch_manifest(network);
}

// Nothing outlives the call, and no body byte was read while an agent lived.
void expect_all_released(const ScriptedNetwork& network) {
    EXPECT_EQ(network.log->agents_alive, 0);
    EXPECT_EQ(network.log->responses_alive, 0);
    EXPECT_EQ(network.log->readers_alive, 0);
    EXPECT_EQ(network.log->most_agents_alive_while_reading, 0);
}

TEST(FetchManifest, OneGetForTheManifestThenTheBodyReadInPieces) {
    ScriptedNetwork network;
    const auto result = fetch(network, {.body = GOOD_BODY, .piece = 7});
    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result.value(), GOOD);
    EXPECT_EQ(network.log->agents_built, 1);
    EXPECT_EQ(network.log->urls,
              std::vector<std::string>{"https://velmor.gg/api/launcher/manifest?channel=stable"});
    EXPECT_EQ(network.log->body_bytes_read, GOOD_BODY.size());
    expect_all_released(network);
}

TEST(FetchManifest, FailuresBeforeTheBodyPassUnchangedAndReadNothing) {
    struct Case {
        ScriptedAnswer answer;
        std::string sentence;
    };
    const Case cases[] = {
        {{.status = 404, .body = GOOD_BODY}, "Şu an indirilebilecek bir sürüm yok."},
        {{.status = 503, .body = GOOD_BODY}, "Sunucu hata döndü (HTTP 503)."},
        {{.transport_error = "Dns Failed: no such host"},
         "velmor.gg'ye bağlanılamadı: Dns Failed: no such host"},
    };
    for (const auto& c : cases) {
        ScriptedNetwork network;
        const auto result = fetch(network, c.answer);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.message(), c.sentence);
        EXPECT_EQ(network.log->reads, 0);
        expect_all_released(network);
    }

    ScriptedNetwork network;
    network.build_failure = "Güvenli bağlantı kurulamadı: Erişim engellendi. (os error 5)";
    const auto result = fetch(network, {.body = GOOD_BODY});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.message(), *network.build_failure);
    EXPECT_TRUE(network.log->urls.empty());
}

TEST(FetchManifest, AnyStatusBelow400HasItsBodyDecoded) {
    struct Case {
        std::string body;
        std::uint16_t status;
        bool accepted;
    };
    const Case cases[] = {
        {GOOD_BODY, 302, true}, {GOOD_BODY, 203, true}, {"<html>Moved</html>", 302, false},
        {"", 200, false},       {"", 204, false},
    };
    for (const auto& c : cases) {
        ScriptedNetwork network;
        const auto result = fetch(network, {.status = c.status, .body = c.body});
        EXPECT_EQ(result.ok(), c.accepted) << c.status << " " << c.body;
        if (!c.accepted) {
            EXPECT_EQ(result.message(), UNREADABLE);
        }
        expect_all_released(network);
    }
}

TEST(FetchManifest, ReadsAtMostTheBodyLimit) {
    struct Case {
        std::string body;
        std::size_t piece;
        bool accepted;
    };
    // The object ends inside the limit and only white space follows up to
    // the cut: whatever comes after the cut is never seen.
    const std::string padded = GOOD_BODY + std::string(65536 - GOOD_BODY.size(), ' ');
    const std::string url_past_cut = "https://velmor.gg/" + std::string(65536, 'a');
    const Case cases[] = {
        {padded, 65536, true},
        {padded + "garbage", 1000, true},
        {padded + std::string(100000, 'x'), 65536, true},
        {padded.substr(0, 65535) + "x", 4096, false},  // the stray byte is the limit's last
        {manifest_json("1.4.2", url_past_cut, DIGEST, "1"), 3000, false},
    };
    for (const auto& c : cases) {
        ScriptedNetwork network;
        const auto result = fetch(network, {.body = c.body, .piece = c.piece});
        ASSERT_EQ(result.ok(), c.accepted) << c.body.size() << " " << c.piece;
        if (c.accepted) {
            EXPECT_EQ(result.value(), GOOD);
        } else {
            EXPECT_EQ(result.message(), UNREADABLE);
        }
        EXPECT_EQ(network.log->body_bytes_read, 65536U);
        expect_all_released(network);
    }
}

TEST(FetchManifest, ReadFailureCarriesTheClientText) {
    ScriptedNetwork network;
    const auto result = fetch(network, {.body = GOOD_BODY.substr(0, 40),
                                        .piece = 16,
                                        .read_error = "Connection reset by peer (os error 104)"});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "Sürüm bilgisi okunamadı: Connection reset by peer (os error 104)");
    EXPECT_EQ(network.log->body_bytes_read, 40U);
    expect_all_released(network);
}

TEST(AcceptManifest, StoresNormalisedVersionAndDigestAndTheAddressAsReceived) {
    std::string upper = DIGEST;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    struct Case {
        std::string body;
        Manifest stored;
    };
    const Case cases[] = {
        {manifest_json(" vv01.2.003\\u00a0", "https://CDN.Velmor.GG:8443/a b?x#y",
                       " " + upper + "\\t", "0"),
         {"01.2.003", "https://CDN.Velmor.GG:8443/a b?x#y", DIGEST, 0}},
        {manifest_json("1.0.0", "https://user:pw@velmor.gg/s.exe", DIGEST, "536870912"),
         {"1.0.0", "https://user:pw@velmor.gg/s.exe", DIGEST, 536870912}},
        {R"(["1.0.0","https://velmor.gg/s.exe",")" + DIGEST + "\"]",
         {"1.0.0", "https://velmor.gg/s.exe", DIGEST, 0}},
    };
    for (const auto& c : cases) {
        const auto result = accept_manifest(c.body);
        ASSERT_TRUE(result.ok()) << c.body << ": " << result.message();
        EXPECT_EQ(result.value(), c.stored);
    }
}

// The checks run in a fixed order; the first one that fails decides.
TEST(AcceptManifest, TheFirstFailingCheckDecidesTheSentence) {
    struct Case {
        std::string body;
        std::string sentence;
    };
    const Case cases[] = {
        {R"({"version":"1.0.0"})", UNREADABLE},
        {manifest_json("V1.0.0", "no url", "short", "536870913"), BAD_VERSION},
        {manifest_json("1.0", GOOD_URL, DIGEST, "1"), BAD_VERSION},
        {manifest_json("1.0.0", "https://evil.example/s.exe", "short", "1"), NO_DIGEST},
        {R"({"version":"1.0.0","download_url":"https://velmor.gg/s.exe"})", NO_DIGEST},
        {manifest_json("1.0.0", "not a url", DIGEST, "536870913"), BAD_ADDRESS},
        {manifest_json("1.0.0", "https://velmor.gg.evil.example/", DIGEST, "536870913"),
         FOREIGN_HOST},
        {manifest_json("1.0.0", "http://velmor.gg/s.exe", DIGEST, "1"), FOREIGN_HOST},
        {manifest_json("1.0.0", GOOD_URL, DIGEST, "536870913"), TOO_BIG},
        {manifest_json("1.0.0", GOOD_URL, DIGEST, "18446744073709551615"), TOO_BIG},
    };
    for (const auto& c : cases) {
        const auto result = accept_manifest(c.body);
        ASSERT_FALSE(result.ok()) << c.body;
        EXPECT_EQ(result.message(), c.sentence) << c.body;
    }
}

}  // namespace
}  // namespace velmor
