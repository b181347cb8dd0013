#include "indir/indirme_isi.hpp"

#include <string>
#include <utility>

#include "indir/konum.hpp"
#include "indir/surum_getir.hpp"

namespace velmor {
namespace {

// The phases in their order; the first failure is the outcome.
JobOutcome run_phases(const JobEnvironment& env) {
    env.progress.set_status("Son sürüm bilgisi alınıyor…", 0);
    auto manifest = fetch_manifest(env.network);
    if (!manifest) {
        return JobFailure{std::move(manifest).failure().message};
    }
    const std::string version = manifest.value().version;
    env.progress.set_status(download_announcement(version), 0);

    auto folder = prepare_download_folder(env.files);
    if (!folder) {
        return JobFailure{std::move(folder).failure().message};
    }
    std::filesystem::path setup_path = setup_file_path(folder.value(), version);
    remove_leftover(env.files, setup_path);

    auto downloaded = download_setup_program(env, manifest.value(), version, setup_path);
    if (!downloaded) {
        return JobFailure{std::move(downloaded).failure().message};
    }
    return JobSuccess{std::move(downloaded).value()};
}

}  // namespace

void run_download_job(const JobEnvironment& env) {
    // Everything the phases held is released before the outcome is stored.
    JobOutcome outcome = run_phases(env);
    env.progress.finish(std::move(outcome));
}

}  // namespace velmor
