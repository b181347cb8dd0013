// The few file-system operations the download side needs, behind small
// interfaces: the Windows program brings its own implementation, the host
// build and the tests use the C++ standard library's (dosya_sistemi_std.cpp).
//
// A failure carries only the error's own text, "description (os error N)"
// (system_error_text); the caller puts its sentence in front.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <span>

#include "ortak/sonuc.hpp"

namespace velmor {

// A file open for writing. Releasing it closes it, ignoring any failure;
// close() is for the caller who wants to know.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&&) = delete;
    OutputFile& operator=(OutputFile&&) = delete;
    virtual ~OutputFile() = default;

    // Writes from the front of `bytes` and tells how many were taken: maybe
    // fewer than offered, 0 when the system took none. An interrupted write
    // is repeated inside; it is not reported.
    virtual Result<std::size_t> write(std::span<const std::byte> bytes) = 0;
    // Hands everything written so far to the storage (see each implementation
    // for how far that goes).
    virtual Status flush() = 0;
    // Closes the file; later calls of any operation are not allowed.
    virtual Status close() = 0;
};

class FileSystem {
public:
    FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;
    FileSystem(FileSystem&&) = delete;
    FileSystem& operator=(FileSystem&&) = delete;
    virtual ~FileSystem() = default;

    // The user's temporary folder as the system reports it (it need not exist).
    virtual Result<std::filesystem::path> temp_folder() = 0;
    // Creates the folder and every missing folder above it. A folder that is
    // already there is fine; any other entry in the way is a failure.
    virtual Status create_folders(const std::filesystem::path& folder) = 0;
    // Deletes the file, a read-only one too. Every failure is ignored: no
    // such file, a folder of that name, a file held open by someone else.
    virtual void remove_file(const std::filesystem::path& file) noexcept = 0;
    // Opens the file for writing, creating it or emptying an existing one.
    virtual Result<std::unique_ptr<OutputFile>> open_for_writing(
        const std::filesystem::path& file) = 0;
    // Renames within one folder, replacing a file of the new name.
    virtual Status rename_replacing(const std::filesystem::path& from,
                                    const std::filesystem::path& to) = 0;
};

}  // namespace velmor
