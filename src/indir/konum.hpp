// Where the setup program is downloaded and under which names: a folder of
// the installer's own under the user's temporary folder, a setup file named
// after the version, and a partial name for it until it is verified.
#pragma once

#include <filesystem>
#include <string_view>

#include "indir/dosya_sistemi.hpp"
#include "ortak/sonuc.hpp"

namespace velmor {

inline constexpr std::string_view DOWNLOAD_FOLDER_NAME = "Velmor-Kurulum";

// The temporary folder joined with DOWNLOAD_FOLDER_NAME, created with every
// missing folder above it (an existing folder is reused untouched); or
// "Geçici klasör oluşturulamadı: " + the error's text.
Result<std::filesystem::path> prepare_download_folder(FileSystem& files);

// folder / "Velmor-Launcher-" + version + "-setup.exe". The version is the
// accepted one: digits and dots only, so the name is plain ASCII.
std::filesystem::path setup_file_path(const std::filesystem::path& folder,
                                      std::string_view version);

// The same path with the last component's extension turned into "part":
// Velmor-Launcher-1.4.12-setup.part, beside the setup file.
std::filesystem::path partial_file_path(const std::filesystem::path& setup_path);

// Deletes a file left by an earlier run, a read-only one too; whatever keeps
// it from going is ignored.
void remove_leftover(FileSystem& files, const std::filesystem::path& file) noexcept;

}  // namespace velmor
