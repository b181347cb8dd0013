#include "indir/konum.hpp"

#include <string>

namespace velmor {

Result<std::filesystem::path> prepare_download_folder(FileSystem& files) {
    static constexpr std::string_view PREFIX = "Geçici klasör oluşturulamadı: ";
    auto temp = files.temp_folder();
    if (!temp) {
        return fail(std::string(PREFIX) + temp.message());
    }
    // operator/ adds a separator only where the folder does not end in one.
    std::filesystem::path folder = std::move(temp).value() / DOWNLOAD_FOLDER_NAME;
    if (auto created = files.create_folders(folder); !created) {
        return fail(std::string(PREFIX) + created.message());
    }
    return folder;
}

std::filesystem::path setup_file_path(const std::filesystem::path& folder,
                                      std::string_view version) {
    return folder / ("Velmor-Launcher-" + std::string(version) + "-setup.exe");
}

std::filesystem::path partial_file_path(const std::filesystem::path& setup_path) {
    std::filesystem::path partial = setup_path;
    partial.replace_extension("part");
    return partial;
}

void remove_leftover(FileSystem& files, const std::filesystem::path& file) noexcept {
    files.remove_file(file);
}

}  // namespace velmor
