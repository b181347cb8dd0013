// The file system through the C++ standard library: the host build's, and
// the one the tests use on every platform.
#pragma once

#include <filesystem>
#include <optional>

#include "indir/dosya_sistemi.hpp"

namespace velmor {

class StdFileSystem final : public FileSystem {
public:
    // The temporary folder is the library's (TMPDIR and the like) ...
    StdFileSystem() = default;
    // ... or this one, which need not exist yet.
    explicit StdFileSystem(std::filesystem::path temp_folder)
        : temp_folder_(std::move(temp_folder)) {}

    Result<std::filesystem::path> temp_folder() override;
    Status create_folders(const std::filesystem::path& folder) override;
    void remove_file(const std::filesystem::path& file) noexcept override;
    Result<std::unique_ptr<OutputFile>> open_for_writing(
        const std::filesystem::path& file) override;
    Status rename_replacing(const std::filesystem::path& from,
                            const std::filesystem::path& to) override;

private:
    std::optional<std::filesystem::path> temp_folder_;
};

}  // namespace velmor
