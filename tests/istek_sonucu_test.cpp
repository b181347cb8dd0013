#include "indir/istek_sonucu.hpp"

#include <gtest/gtest.h>

#include "destek/sahte_ag.hpp"

namespace velmor {
namespace {

using test::ScriptedAnswer;
using test::ScriptedNetwork;

// Sends one scripted answer through a scripted agent and check_response.
Result<std::unique_ptr<HttpResponse>> answer(ScriptedAnswer scripted, ScriptedNetwork& network) {
    network.answers.push_back(std::move(scripted));
    auto agent = network.build_agent();
    return check_response(agent.value()->get("https://velmor.gg/x"));
}

TEST(CheckResponse, StatusesBelow400PassUnread) {
    for (const std::uint16_t status :
         {std::uint16_t{200}, std::uint16_t{204}, std::uint16_t{302}}) {
        ScriptedNetwork network;
        auto result = answer({.status = status, .body = "gövde"}, network);
        ASSERT_TRUE(result.ok()) << status;
        EXPECT_EQ(result.value()->status(), status);
        EXPECT_EQ(network.log->reads, 0);
    }
}

TEST(CheckResponse, ErrorStatusesGiveTheirSentencesAndReleaseTheBodyUnread) {
    struct Case {
        std::uint16_t status;
        const char* sentence;
    };
    const Case cases[] = {
        {404, "Şu an indirilebilecek bir sürüm yok."}, {400, "Sunucu hata döndü (HTTP 400)."},
        {403, "Sunucu hata döndü (HTTP 403)."},        {503, "Sunucu hata döndü (HTTP 503)."},
        {599, "Sunucu hata döndü (HTTP 599)."},
    };
    for (const auto& c : cases) {
        ScriptedNetwork network;
        auto result = answer({.status = c.status, .body = "explanation"}, network);
        ASSERT_FALSE(result.ok()) << c.status;
        EXPECT_EQ(result.message(), c.sentence);
        EXPECT_EQ(network.log->reads, 0);
        EXPECT_EQ(network.log->responses_alive, 0);
    }
}

TEST(CheckResponse, TransportErrorNamesTheSiteThenTheClientText) {
    ScriptedNetwork network;
    const std::string text = "https://velmor.gg/api/launcher/manifest?channel=stable: Dns Failed";
    auto result = answer({.transport_error = text}, network);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "velmor.gg'ye bağlanılamadı: " + text);
}

}  // namespace
}  // namespace velmor
