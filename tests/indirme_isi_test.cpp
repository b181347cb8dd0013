#include "indir/indirme_isi.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "destek/durum_kaydi.hpp"
#include "destek/sahte_ag.hpp"
#include "destek/sahte_dosya.hpp"
#include "indir/dosya_sistemi_std.hpp"
#include "indir/ozet.hpp"
#include "indir/surum_getir.hpp"
#include "ortak/metin.hpp"
#include "ortak/sistem_hatasi.hpp"

namespace velmor {
namespace {

namespace fs = std::filesystem;
using test::ScriptedAnswer;
using test::StatusLine;

const std::string SETUP_URL = "https://cdn.velmor.gg/Velmor-Launcher-1.4.12-setup.exe";
const std::string SETUP_BODY = "MZ Velmor Launcher 1.4.12 kurulum programı";

// The manifest as the server sends it: version with a "v" and the digest in
// upper case, which the job must see normalised.
std::string manifest_json() {
    std::string digest = test::sha256_hex(SETUP_BODY);
    for (char& c : digest) {
        c = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return R"({"version":" v1.4.12 ","download_url":")" + SETUP_URL + R"(","sha256":")" + digest +
           R"(","size_bytes":)" + std::to_string(SETUP_BODY.size()) + "}";
}

// A job's world: the reported temporary folder (not there yet) in a fresh
// folder, the scripted server, and every status the job set, collected by
// polling before each body read and once at the end.
struct JobRig {
    test::TempFolder root;
    fs::path temp = root.path() / "Temp";
    fs::path folder = temp / "Velmor-Kurulum";
    fs::path setup = folder / "Velmor-Launcher-1.4.12-setup.exe";
    StdFileSystem disk{temp};
    test::RecordingFileSystem files{disk};
    test::ScriptedNetwork network;
    ProgressState progress;
    CancelFlag cancel;
    test::StatusRecorder recorder{progress};

    void serve(ScriptedAnswer answer) {
        network.answers.push_back(recorder.polling_before_reads(std::move(answer)));
    }

    [[nodiscard]] const std::vector<StatusLine>& statuses() const { return recorder.lines(); }

    std::optional<JobOutcome> run() {
        run_download_job(JobEnvironment{network, files, progress, cancel});
        recorder.collect();
        return progress.take_outcome();
    }
};

const StatusLine FETCHING{"Son sürüm bilgisi alınıyor…", 0};
const StatusLine ANNOUNCED{"Velmor Launcher 1.4.12 indiriliyor…", 0};

TEST(DownloadJob, SucceedsWithTheSetupFileUnderTheTemporaryFolder) {
    JobRig rig;
    rig.serve({.body = manifest_json()});
    rig.serve({.body = SETUP_BODY});

    const auto outcome = rig.run();
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(*outcome, JobOutcome(JobSuccess{rig.setup}));
    EXPECT_EQ(test::read_text_file(rig.setup), SETUP_BODY);
    EXPECT_FALSE(fs::exists(rig.folder / "Velmor-Launcher-1.4.12-setup.part"));
    const std::string sizes = " (0,0 / 0,0 MB)";
    EXPECT_EQ(rig.statuses(),
              (std::vector<StatusLine>{
                  FETCHING, ANNOUNCED, {"Velmor Launcher 1.4.12 indiriliyor… %100" + sizes, 100}}));
    EXPECT_EQ(rig.network.log->urls, (std::vector<std::string>{manifest_url(), SETUP_URL}));
    EXPECT_EQ(rig.network.log->agents_built, 2);
    EXPECT_EQ(rig.network.log->agents_alive, 0);
    EXPECT_EQ(rig.network.log->readers_alive, 0);
}

TEST(DownloadJob, EachPhaseEndsTheJobWithItsOwnSentence) {
    struct Case {
        const char* name;
        std::vector<ScriptedAnswer> answers;
        bool folder_blocked;
        std::string message;
        std::vector<StatusLine> statuses;
        std::size_t requests;
    };
    const Case cases[] = {
        {"manifest refused",
         {{.status = 404}},
         false,
         "Şu an indirilebilecek bir sürüm yok.",
         {FETCHING},
         1},
        {"manifest unreadable", {{.body = "{}"}}, false, "Sürüm bilgisi okunamadı.", {FETCHING}, 1},
        {"folder blocked by a file",
         {{.body = manifest_json()}},
         true,
         "Geçici klasör oluşturulamadı: " +
             system_error_text(std::generic_category().message(EEXIST), EEXIST),
         {FETCHING, ANNOUNCED},
         1},
        {"download refused",
         {{.body = manifest_json()}, {.status = 503}},
         false,
         "Sunucu hata döndü (HTTP 503).",
         {FETCHING, ANNOUNCED},
         2},
        {"download of another file",
         {{.body = manifest_json()}, {.body = SETUP_BODY + "!"}},
         false,
         "İndirilen dosya beklenenden büyük.",
         {FETCHING, ANNOUNCED},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JobRig rig;
        if (c.folder_blocked) {
            fs::create_directories(rig.temp);
            test::write_text_file(rig.folder, "bir dosya");
        }
        for (const auto& answer : c.answers) {
            rig.serve(answer);
        }
        const auto outcome = rig.run();
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(*outcome, JobOutcome(JobFailure{c.message}));
        EXPECT_EQ(rig.statuses(), c.statuses);
        EXPECT_EQ(rig.network.log->urls.size(), c.requests);
        EXPECT_FALSE(fs::exists(rig.setup));
        if (c.statuses.size() == 1) {
            // A refused manifest touches no file: not even the folder exists.
            EXPECT_TRUE(rig.files.events.empty());
            EXPECT_FALSE(fs::exists(rig.temp));
        }
    }
}

TEST(DownloadJob, RemovesThisVersionsLeftoverBeforeTheDownloadAndNothingElse) {
    JobRig rig;
    fs::create_directories(rig.folder);
    test::write_text_file(rig.setup, "eski, yarım kalmış");
    fs::permissions(rig.setup,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const fs::path other_version = rig.folder / "Velmor-Launcher-1.4.11-setup.exe";
    test::write_text_file(other_version, "1.4.11");
    std::optional<bool> leftover_while_downloading;
    rig.serve({.body = manifest_json()});
    rig.serve({.body = std::string(SETUP_BODY.size(), 'x'), .on_read = [&](int read) {
                   if (read == 1) {
                       leftover_while_downloading = fs::exists(rig.setup);
                   }
               }});

    const auto outcome = rig.run();
    EXPECT_EQ(outcome,
              JobOutcome(JobFailure{"İndirilen dosya doğrulanamadı (SHA-256 uyuşmuyor). Kurulum "
                                    "iptal edildi."}));
    EXPECT_EQ(leftover_while_downloading, false);
    EXPECT_FALSE(fs::exists(rig.setup));
    EXPECT_EQ(test::read_text_file(other_version), "1.4.11");
    EXPECT_EQ(rig.files.events_of({"remove"}),
              (std::vector<std::string>{"remove Velmor-Launcher-1.4.12-setup.exe",
                                        "remove Velmor-Launcher-1.4.12-setup.part"}));
}

TEST(DownloadJob, CancelIsNoticedOnlyAtTheFirstBodyRead) {
    JobRig rig;
    rig.cancel.request();
    const std::string manifest = manifest_json();
    rig.serve({.body = manifest});
    rig.serve({.body = SETUP_BODY});

    const auto outcome = rig.run();
    EXPECT_EQ(outcome, JobOutcome(JobFailure{"İptal edildi."}));
    // The manifest was read, the request for the setup program sent and the
    // partial file created, but no byte of the setup program was read.
    EXPECT_EQ(rig.network.log->urls.size(), 2U);
    EXPECT_EQ(rig.network.log->body_bytes_read, manifest.size());
    EXPECT_EQ(rig.files.events_of({"open", "close", "remove"}),
              (std::vector<std::string>{"remove Velmor-Launcher-1.4.12-setup.exe",
                                        "open Velmor-Launcher-1.4.12-setup.part", "close",
                                        "remove Velmor-Launcher-1.4.12-setup.part"}));
    EXPECT_TRUE(fs::is_directory(rig.folder));
    EXPECT_TRUE(fs::is_empty(rig.folder));
    EXPECT_EQ(rig.statuses(), (std::vector<StatusLine>{FETCHING, ANNOUNCED}));
}

}  // namespace
}  // namespace velmor
