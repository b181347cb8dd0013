#include "indir/dosya_sistemi_std.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <system_error>

#include "ortak/sistem_hatasi.hpp"

namespace velmor {
namespace {

namespace fs = std::filesystem;

std::string error_text(const std::error_code& error) {
    return system_error_text(error.message(), static_cast<std::uint32_t>(error.value()));
}

// The C library sets errno on failure; a failure without it is reported as
// an input/output error rather than as "success".
std::string errno_text(int error) {
    return error_text(std::error_code(error != 0 ? error : EIO, std::generic_category()));
}

struct CloseStream {
    void operator()(std::FILE* stream) const noexcept {
        static_cast<void>(std::fclose(stream));  // NOLINT(cppcoreguidelines-owning-memory)
    }
};
using Stream = std::unique_ptr<std::FILE, CloseStream>;

Stream open_stream(const fs::path& file) {
#ifdef _WIN32
    return Stream(_wfopen(file.c_str(), L"wb"));  // the path is UTF-16 there
#else
    return Stream(std::fopen(file.c_str(), "wb"));  // NOLINT(cppcoreguidelines-owning-memory)
#endif
}

// A C stream without its own buffer: every write goes straight to the
// system, so a write's result is the system's, and nothing but the caller's
// buffer holds the data.
class StdOutputFile final : public OutputFile {
public:
    explicit StdOutputFile(Stream stream) : stream_(std::move(stream)) {}

    Result<std::size_t> write(std::span<const std::byte> bytes) override {
        for (;;) {
            std::clearerr(stream_.get());
            errno = 0;
            const std::size_t taken = std::fwrite(bytes.data(), 1, bytes.size(), stream_.get());
            if (taken > 0 || std::ferror(stream_.get()) == 0) {
                return taken;
            }
            const int error = errno;
            if (error != EINTR) {
                return fail(errno_text(error));
            }
        }
    }

    // fflush only hands what the C library holds to the operating system;
    // with no stream buffer that is nothing. It does not force the data onto
    // the storage device: the standard library has no call for that (the
    // Windows file system uses FlushFileBuffers). A later failure of the
    // device is therefore not seen here.
    Status flush() override {
        errno = 0;
        if (std::fflush(stream_.get()) != 0) {
            return fail(errno_text(errno));
        }
        return {};
    }

    Status close() override {
        errno = 0;
        // The stream is gone whether or not fclose succeeds.
        const int result =
            std::fclose(stream_.release());  // NOLINT(cppcoreguidelines-owning-memory)
        if (result != 0) {
            return fail(errno_text(errno));
        }
        return {};
    }

private:
    Stream stream_;
};

}  // namespace

Result<fs::path> StdFileSystem::temp_folder() {
    if (temp_folder_) {
        return *temp_folder_;
    }
    std::error_code error;
    fs::path folder = fs::temp_directory_path(error);
    if (error) {
        return fail(error_text(error));
    }
    return folder;
}

// One folder at a time from the root, as the system's own calls go: an
// existing folder passes, an existing file gives "already exists".
Status StdFileSystem::create_folders(const fs::path& folder) {
    fs::path current;
    for (const fs::path& part : folder) {
        current /= part;
        if (part.empty() || current.relative_path().empty()) {
            continue;  // the root, or the empty name after a trailing separator
        }
        std::error_code error;
        fs::create_directory(current, error);
        if (error) {
            return fail(error_text(error));
        }
    }
    return {};
}

void StdFileSystem::remove_file(const fs::path& file) noexcept {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(file, error);
    if (error || !fs::exists(status) || fs::is_directory(status)) {
        return;
    }
    if (fs::remove(file, error) || !fs::is_regular_file(status)) {
        return;
    }
    // Windows refuses to delete a read-only file: lift that and try once more.
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, error);
    fs::remove(file, error);
}

Result<std::unique_ptr<OutputFile>> StdFileSystem::open_for_writing(const fs::path& file) {
    errno = 0;
    Stream stream = open_stream(file);
    if (!stream) {
        return fail(errno_text(errno));
    }
    static_cast<void>(std::setvbuf(stream.get(), nullptr, _IONBF, 0));
    return std::unique_ptr<OutputFile>(std::make_unique<StdOutputFile>(std::move(stream)));
}

Status StdFileSystem::rename_replacing(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::rename(from, to, error);
    if (error) {
        return fail(error_text(error));
    }
    return {};
}

}  // namespace velmor
