#include "indir/indirme.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "destek/durum_kaydi.hpp"
#include "destek/sahte_ag.hpp"
#include "destek/sahte_dosya.hpp"
#include "indir/dosya_sistemi_std.hpp"
#include "indir/ozet.hpp"
#include "indir/surum_getir.hpp"
#include "ortak/metin.hpp"

namespace velmor {
namespace {

namespace fs = std::filesystem;
using test::FileFaults;
using test::ScriptedAnswer;
using test::StatusLine;

constexpr std::uint64_t MIB = 1048576;

TEST(ContentLength, ValidValueWinsElseANonZeroSizeElseNone) {
    constexpr auto MAX = std::numeric_limits<std::uint64_t>::max();
    struct Case {
        std::optional<std::string> header;
        std::uint64_t size_bytes = 0;
        std::optional<std::uint64_t> total;
    };
    const Case cases[] = {
        {"10485760", 0, 10485760},
        {"+2048", 0, 2048},
        {"0042", 5000, 42},
        {"0", 5000, 0},  // valid even though the body is announced empty
        {"1000", 2000, 1000},
        {"18446744073709551615", 0, MAX},
        {"18446744073709551616", 5000, 5000},
        {"-1", 5000, 5000},
        {"2k", 5000, 5000},
        {"0x10", 5000, 5000},
        {"", 5000, 5000},
        {"+", 5000, 5000},
        {"-", 5000, 5000},
        {"++1", 5000, 5000},
        {"-0", 5000, 5000},
        {"1 0", 5000, 5000},
        {"1.5", 5000, 5000},
        {"-1", 0, std::nullopt},
        {std::nullopt, 5000, 5000},
        {std::nullopt, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(content_length_total(c.header, c.size_bytes), c.total)
            << testing::PrintToString(c.header) << " / " << c.size_bytes;
    }
}

TEST(FormatMegabytes, OneDecimalWithAComma) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0,0"},           {1572864, "1,5"},
        {123456789, "117,7"}, {536870912, "512,0"},
        {4718592, "4,5"},     {104858, "0,1"},  // 0.10000038 MB
        {1048575, "1,0"},     {std::numeric_limits<std::uint64_t>::max(), "17592186044416,0"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(format_megabytes(bytes), text) << bytes;
    }
}

TEST(ProgressPercent, RoundsDownCapsAndNeverDividesByZero) {
    EXPECT_EQ(progress_percent(999, 1000), 99U);
    EXPECT_EQ(progress_percent(1000, 1000), 100U);
    EXPECT_EQ(progress_percent(2000, 1000), 100U);
    EXPECT_EQ(progress_percent(4718592, 10 * MIB), 45U);
    EXPECT_EQ(progress_percent(MAX_SETUP_SIZE, std::numeric_limits<std::uint64_t>::max()), 0U);
    EXPECT_EQ(progress_percent(MAX_SETUP_SIZE, 1), 100U);
    EXPECT_EQ(progress_percent(1000, 0), 0U);
    EXPECT_EQ(progress_percent(1000, std::nullopt), 0U);
}

TEST(ProgressLine, PercentSignFirstAndSizesOnlyWithATotal) {
    EXPECT_EQ(progress_line("1.4.12", 45, 4718592, 10 * MIB),
              "Velmor Launcher 1.4.12 indiriliyor… %45 (4,5 / 10,0 MB)");
    EXPECT_EQ(progress_line("1.4.12", 0, 70000, std::nullopt),
              "Velmor Launcher 1.4.12 indiriliyor… %0");
    EXPECT_EQ(download_announcement("1.4.12"), "Velmor Launcher 1.4.12 indiriliyor…");
}

std::string generated_digest(std::uint64_t size) {
    Sha256 sha;
    std::vector<std::byte> block(READ_CHUNK_SIZE);
    for (std::uint64_t offset = 0; offset < size; offset += block.size()) {
        const auto piece = std::span(block).first(
            static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - offset)));
        test::fill_generated(offset, piece);
        sha.update(piece);
    }
    return to_hex(sha.finish());
}

std::optional<std::string> file_digest(const fs::path& file) {
    auto text = test::read_text_file(file);
    if (!text) {
        return std::nullopt;
    }
    return test::sha256_hex(*text);
}

Manifest manifest_for(std::string digest, std::uint64_t size_bytes) {
    return Manifest{"1.4.12", "https://cdn.velmor.gg/Velmor-Launcher-1.4.12-setup.exe",
                    std::move(digest), size_bytes};
}

// One download's world: a scripted server, a temporary folder behind a
// recording file system, and every status the download set, collected by
// polling before each read (a piece sets at most one) and once at the end.
struct Rig {
    test::TempFolder temp;
    StdFileSystem disk{temp.path()};
    test::RecordingFileSystem files{disk};
    test::ScriptedNetwork network;
    ProgressState progress;
    CancelFlag cancel;
    JobEnvironment env{network, files, progress, cancel};
    fs::path setup = temp.path() / "Velmor-Launcher-1.4.12-setup.exe";
    fs::path partial = temp.path() / "Velmor-Launcher-1.4.12-setup.part";
    test::StatusRecorder recorder{progress};

    void serve(ScriptedAnswer answer) {
        network.answers.push_back(recorder.polling_before_reads(std::move(answer)));
    }

    [[nodiscard]] const std::vector<StatusLine>& statuses() const { return recorder.lines(); }

    Result<fs::path> download(const Manifest& manifest) {
        auto result = download_setup_program(env, manifest, "1.4.12", setup);
        recorder.collect();
        return result;
    }

    // Nothing of the download is left: no file, no agent, no connection.
    void expect_nothing_left() const {
        EXPECT_FALSE(fs::exists(partial));
        EXPECT_FALSE(fs::exists(setup));
        EXPECT_EQ(network.log->agents_alive, 0);
        EXPECT_EQ(network.log->responses_alive, 0);
        EXPECT_EQ(network.log->readers_alive, 0);
    }
};

TEST(Download, TenMegabytesStreamThroughOneBufferWithEachPercentOnce) {
    Rig rig;
    const std::uint64_t size = 10 * MIB;
    rig.serve({.headers = {{"Content-Length", "10485760"}}, .generated_size = size});
    const Manifest manifest = manifest_for(generated_digest(size), size);

    auto result = rig.download(manifest);
    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result.value(), rig.setup);
    EXPECT_EQ(file_digest(rig.setup), manifest.sha256);
    EXPECT_FALSE(fs::exists(rig.partial));

    ASSERT_EQ(rig.statuses().size(), 101U);
    for (std::uint32_t percent = 0; percent <= 100; ++percent) {
        EXPECT_EQ(rig.statuses()[percent].second, percent);
    }
    EXPECT_EQ(rig.statuses()[0].first, "Velmor Launcher 1.4.12 indiriliyor… %0 (0,1 / 10,0 MB)");
    EXPECT_EQ(rig.statuses()[45].first, "Velmor Launcher 1.4.12 indiriliyor… %45 (4,5 / 10,0 MB)");
    EXPECT_EQ(rig.statuses()[100].first,
              "Velmor Launcher 1.4.12 indiriliyor… %100 (10,0 / 10,0 MB)");

    // One buffer of READ_CHUNK_SIZE for every read, and the agent already
    // released when the body is read.
    ASSERT_EQ(rig.network.log->read_buffers.size(), 1U);
    EXPECT_EQ(rig.network.log->read_buffers.begin()->second, READ_CHUNK_SIZE);
    EXPECT_EQ(rig.network.log->most_agents_alive_while_reading, 0);
    EXPECT_EQ(rig.network.log->urls, std::vector<std::string>{manifest.download_url});
    EXPECT_EQ(rig.network.log->readers_alive, 0);
}

TEST(Download, StatusLinesFollowTheTotalThatApplies) {
    const auto line = [](std::uint32_t percent, const std::string& sizes) {
        return StatusLine{"Velmor Launcher 1.4.12 indiriliyor… %" + std::to_string(percent) + sizes,
                          percent};
    };
    const std::string tiny = " (0,0 / 0,0 MB)";
    struct Case {
        std::optional<std::string> content_length;
        std::uint64_t size_bytes;
        std::uint64_t body;
        std::size_t piece;
        std::vector<StatusLine> statuses;
    };
    const std::vector<StatusLine> quarters = {line(25, tiny), line(50, tiny), line(75, tiny),
                                              line(100, tiny)};
    const Case cases[] = {
        {"1000", 0, 1000, 999, {line(99, tiny), line(100, tiny)}},
        {"+2048", 0, 2048, 1024, {line(50, tiny), line(100, tiny)}},
        {std::nullopt, 5000, 5000, 2500, {line(50, tiny), line(100, tiny)}},
        {"-1", 4000, 4000, 1000, quarters},
        {"2k", 4000, 4000, 1000, quarters},
        {"0x10", 4000, 4000, 1000, quarters},
        {"", 4000, 4000, 1000, quarters},
        {std::nullopt, 0, 3000, 1000, {line(0, "")}},
        {std::nullopt, 0, 2 * MIB, 65536, {line(0, "")}},
        // A zero Content-Length with a body anyway: percent 0, no division.
        {"0", 0, 3000, 1000, {line(0, tiny)}},
        {std::nullopt, 0, 0, 1000, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.content_length) + " " + std::to_string(c.size_bytes));
        Rig rig;
        ScriptedAnswer answer{.piece = c.piece, .generated_size = c.body};
        if (c.content_length) {
            answer.headers = {{"Content-Length", *c.content_length}};
        }
        rig.serve(std::move(answer));
        const Manifest manifest = manifest_for(generated_digest(c.body), c.size_bytes);
        auto result = rig.download(manifest);
        ASSERT_TRUE(result.ok()) << result.message();
        EXPECT_EQ(rig.statuses(), c.statuses);
        EXPECT_EQ(file_digest(rig.setup), manifest.sha256);
    }
}

TEST(Download, StopsAtThePieceThatPassesTheStatedSize) {
    Rig rig;
    rig.serve({.piece = 500, .generated_size = 1001});
    auto result = rig.download(manifest_for(generated_digest(1001), 1000));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "İndirilen dosya beklenenden büyük.");
    EXPECT_EQ(rig.network.log->reads, 3);
    EXPECT_EQ(rig.files.bytes_written, 1000U);  // the third piece is not written
    rig.expect_nothing_left();
}

// 512 MiB pass through a file system that counts the bytes but keeps none.
TEST(Download, AcceptsExactlyTheLargestSetupAndNotOneByteMore) {
    {
        Rig rig;
        rig.files.discard_writes = true;
        rig.serve({.generated_size = MAX_SETUP_SIZE});
        auto result = rig.download(manifest_for(generated_digest(MAX_SETUP_SIZE), 0));
        ASSERT_TRUE(result.ok()) << result.message();
        EXPECT_EQ(rig.files.bytes_written, MAX_SETUP_SIZE);
        EXPECT_TRUE(fs::exists(rig.setup));
    }
    {
        Rig rig;
        rig.files.discard_writes = true;
        rig.serve({.generated_size = MAX_SETUP_SIZE + 1});
        auto result = rig.download(manifest_for(std::string(64, '0'), 0));
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.message(), "İndirilen dosya beklenenden büyük.");
        EXPECT_EQ(rig.files.bytes_written, MAX_SETUP_SIZE);
        rig.expect_nothing_left();
    }
}

TEST(Download, EveryFailureClosesThenRemovesThePartialFile) {
    const std::string body = "MZ kurulum programı";
    struct Case {
        const char* name;
        std::function<void(ScriptedAnswer&, FileFaults&, Manifest&)> arrange;
        std::string message;
    };
    const Case cases[] = {
        {"shortfall with a length",
         [](ScriptedAnswer& a, FileFaults&, Manifest& m) {
             a.headers = {{"Content-Length", std::to_string(a.body.size())}};
             m.size_bytes = 2000;
         },
         "İndirme eksik kaldı, tekrar dene."},
        {"shortfall without a length",
         [](ScriptedAnswer&, FileFaults&, Manifest& m) { m.size_bytes = 2000; },
         "İndirme eksik kaldı, tekrar dene."},
        {"digest of another file",
         [](ScriptedAnswer&, FileFaults&, Manifest& m) { m.sha256 = test::sha256_hex("başka"); },
         "İndirilen dosya doğrulanamadı (SHA-256 uyuşmuyor). Kurulum iptal edildi."},
        {"read error",
         [](ScriptedAnswer& a, FileFaults&, Manifest&) { a.read_error = "connection reset"; },
         "İndirme kesildi: connection reset"},
        {"open",
         [](ScriptedAnswer&, FileFaults& f, Manifest&) {
             f.open = "Access is denied. (os error 5)";
         },
         "Geçici dosya oluşturulamadı: Access is denied. (os error 5)"},
        {"write",
         [](ScriptedAnswer& a, FileFaults& f, Manifest&) {
             a.piece = 4;
             f.write = "There is not enough space on the disk. (os error 112)";
             f.write_fails_after = 8;
         },
         "Dosya yazılamadı: There is not enough space on the disk. (os error 112)"},
        {"write takes nothing",
         [](ScriptedAnswer&, FileFaults& f, Manifest&) { f.write_takes_nothing = true; },
         "Dosya yazılamadı: failed to write whole buffer"},
        {"flush",
         [](ScriptedAnswer&, FileFaults& f, Manifest&) {
             f.flush = "The request could not be performed. (os error 1117)";
         },
         "Dosya yazılamadı: The request could not be performed. (os error 1117)"},
        {"close",
         [](ScriptedAnswer&, FileFaults& f, Manifest&) {
             f.close = "Input/output error (os error 5)";
         },
         "Dosya yazılamadı: Input/output error (os error 5)"},
        {"rename",
         [](ScriptedAnswer&, FileFaults& f, Manifest&) {
             f.rename = "Access is denied. (os error 5)";
         },
         "Dosya taşınamadı: Access is denied. (os error 5)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        ScriptedAnswer answer{.body = body};
        Manifest manifest = manifest_for(test::sha256_hex(body), 0);
        c.arrange(answer, rig.files.faults, manifest);
        rig.serve(std::move(answer));
        auto result = rig.download(manifest);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.message(), c.message);
        rig.expect_nothing_left();
        const auto file_events = rig.files.events_of({"open", "close", "remove"});
        ASSERT_GE(file_events.size(), 2U);
        EXPECT_EQ(file_events.front(), "open Velmor-Launcher-1.4.12-setup.part");
        EXPECT_EQ(file_events.back(), "remove Velmor-Launcher-1.4.12-setup.part");
        // Closed exactly once, and before the removal; never opened: never closed.
        const auto closes = std::count(file_events.begin(), file_events.end(), "close");
        EXPECT_EQ(closes, rig.files.faults.open ? 0 : 1);
        if (closes == 1) {
            EXPECT_EQ(file_events[file_events.size() - 2], "close");
        }
    }
}

TEST(Download, RequestFailuresTouchNoFile) {
    struct Case {
        std::optional<std::string> build_failure;
        ScriptedAnswer answer;
        std::string message;
    };
    const Case cases[] = {
        {"Güvenli bağlantı kurulamadı: Bellek yetersiz. (os error 8)",
         {},
         "Güvenli bağlantı kurulamadı: Bellek yetersiz. (os error 8)"},
        {std::nullopt, {.status = 404}, "Şu an indirilebilecek bir sürüm yok."},
        {std::nullopt, {.status = 503}, "Sunucu hata döndü (HTTP 503)."},
        {std::nullopt, {.transport_error = "timed out"}, "velmor.gg'ye bağlanılamadı: timed out"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Rig rig;
        rig.network.build_failure = c.build_failure;
        rig.serve(c.answer);
        auto result = rig.download(manifest_for(test::sha256_hex(""), 0));
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.message(), c.message);
        EXPECT_TRUE(rig.files.events.empty());
        EXPECT_EQ(rig.network.log->reads, 0);
        rig.expect_nothing_left();
    }
}

TEST(Download, CancelIsSeenBeforeEachReadOnly) {
    const std::string body(3000, 'x');
    const Manifest manifest = manifest_for(test::sha256_hex(body), 3000);
    const auto cancel_on_read = [](Rig& rig, int when) {
        rig.serve(
            {.body = std::string(3000, 'x'), .piece = 1000, .on_read = [&rig, when](int read) {
                 if (read == when) {
                     rig.cancel.request();
                 }
             }});
    };
    {
        SCOPED_TRACE(
            "before the first read: the file is opened, then closed and removed, and nothing read");
        Rig rig;
        rig.cancel.request();
        rig.serve({.body = body});
        auto result = rig.download(manifest);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.message(), "İptal edildi.");
        EXPECT_EQ(rig.network.log->reads, 0);
        EXPECT_EQ(rig.files.events_of({"open", "close", "remove"}),
                  (std::vector<std::string>{"open Velmor-Launcher-1.4.12-setup.part", "close",
                                            "remove Velmor-Launcher-1.4.12-setup.part"}));
        EXPECT_TRUE(rig.statuses().empty());
        rig.expect_nothing_left();
    }
    {
        SCOPED_TRACE("during the second read: its piece is still written and shown");
        Rig rig;
        cancel_on_read(rig, 2);
        auto result = rig.download(manifest);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.message(), "İptal edildi.");
        EXPECT_EQ(rig.network.log->reads, 2);
        EXPECT_EQ(rig.files.bytes_written, 2000U);
        ASSERT_EQ(rig.statuses().size(), 2U);
        EXPECT_EQ(rig.statuses().back().second, 66U);
        rig.expect_nothing_left();
    }
    {
        SCOPED_TRACE("during the read that ends the body: never seen");
        Rig rig;
        cancel_on_read(rig, 4);
        auto result = rig.download(manifest);
        ASSERT_TRUE(result.ok()) << result.message();
        EXPECT_EQ(file_digest(rig.setup), manifest.sha256);
    }
}

TEST(Download, EmptiesAnOldPartialFileWritesInPartsAndReplacesTheSetupFile) {
    Rig rig;
    test::write_text_file(rig.partial, std::string(5000, '!'));
    test::write_text_file(rig.setup, "başka bir kurulumun dosyası");
    rig.files.faults.write_takes_at_most = 3;
    const std::string body = "MZ yeni kurulum programı";
    rig.serve({.body = body, .piece = 10});
    auto result = rig.download(manifest_for(test::sha256_hex(body), body.size()));
    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(test::read_text_file(rig.setup), body);
    EXPECT_FALSE(fs::exists(rig.partial));
}

}  // namespace
}  // namespace velmor
