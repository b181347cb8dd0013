// File-system helpers for tests: a fresh temporary folder per test, and a
// file system that records what the code under test did and fails where a
// test tells it to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "indir/dosya_sistemi.hpp"

namespace velmor::test {

// A new, empty folder under the system's temporary folder, removed with
// everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        const auto tag = (std::uint64_t{random()} << 32U) ^ random();
        path_ = std::filesystem::temp_directory_path() / ("velmor-test-" + std::to_string(tag));
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void write_text_file(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::optional<std::string> read_text_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

// Where the recording file system fails, with the text its failure carries.
struct FileFaults {
    std::optional<std::string> temp_folder;
    std::optional<std::string> create_folders;
    std::optional<std::string> open;
    // Every write fails once this many bytes have been written.
    std::optional<std::string> write;
    std::uint64_t write_fails_after = 0;
    bool write_takes_nothing = false;
    std::size_t write_takes_at_most = std::numeric_limits<std::size_t>::max();
    std::optional<std::string> flush;
    std::optional<std::string> close;
    std::optional<std::string> rename;
};

// Passes every call on to `inner` unless a fault says otherwise, and notes
// each call in `events` ("open x.part", "write 65536", "flush", "close",
// "remove x.part", "rename x.part x.exe", "mkdir Velmor-Kurulum"), with
// file names only. With `discard_writes` the bytes are counted but not
// stored, for bodies too large to want on disk.
class RecordingFileSystem final : public FileSystem {
public:
    explicit RecordingFileSystem(FileSystem& inner) : inner_(inner) {}

    FileFaults faults;
    bool discard_writes = false;
    std::vector<std::string> events;
    std::uint64_t bytes_written = 0;

    Result<std::filesystem::path> temp_folder() override {
        if (faults.temp_folder) {
            return fail(*faults.temp_folder);
        }
        return inner_.temp_folder();
    }

    Status create_folders(const std::filesystem::path& folder) override {
        note("mkdir", folder);
        if (faults.create_folders) {
            return fail(*faults.create_folders);
        }
        return inner_.create_folders(folder);
    }

    void remove_file(const std::filesystem::path& file) noexcept override {
        note("remove", file);
        inner_.remove_file(file);
    }

    Result<std::unique_ptr<OutputFile>> open_for_writing(
        const std::filesystem::path& file) override {
        note("open", file);
        if (faults.open) {
            return fail(*faults.open);
        }
        auto opened = inner_.open_for_writing(file);
        if (!opened) {
            return opened;
        }
        return std::unique_ptr<OutputFile>(
            std::make_unique<File>(*this, std::move(opened).value()));
    }

    Status rename_replacing(const std::filesystem::path& from,
                            const std::filesystem::path& to) override {
        events.push_back("rename " + from.filename().string() + " " + to.filename().string());
        if (faults.rename) {
            return fail(*faults.rename);
        }
        return inner_.rename_replacing(from, to);
    }

    // The events that are one of these kinds ("open", "close", "remove", ...).
    [[nodiscard]] std::vector<std::string> events_of(
        std::initializer_list<std::string_view> kinds) const {
        std::vector<std::string> kept;
        for (const auto& event : events) {
            for (const auto kind : kinds) {
                if (event.substr(0, event.find(' ')) == kind) {
                    kept.push_back(event);
                }
            }
        }
        return kept;
    }

private:
    class File final : public OutputFile {
    public:
        File(RecordingFileSystem& owner, std::unique_ptr<OutputFile> inner)
            : owner_(owner), inner_(std::move(inner)) {}
        File(const File&) = delete;
        File& operator=(const File&) = delete;
        File(File&&) = delete;
        File& operator=(File&&) = delete;
        ~File() override {
            if (!closed_) {
                owner_.events.emplace_back("close");
            }
        }

        Result<std::size_t> write(std::span<const std::byte> bytes) override {
            const FileFaults& faults = owner_.faults;
            if (faults.write && owner_.bytes_written >= faults.write_fails_after) {
                return fail(*faults.write);
            }
            if (faults.write_takes_nothing) {
                return std::size_t{0};
            }
            const auto offered = bytes.first(std::min(bytes.size(), faults.write_takes_at_most));
            std::size_t taken = offered.size();
            if (!owner_.discard_writes) {
                auto written = inner_->write(offered);
                if (!written) {
                    return written;
                }
                taken = written.value();
            }
            owner_.bytes_written += taken;
            owner_.events.push_back("write " + std::to_string(taken));
            return taken;
        }

        Status flush() override {
            owner_.events.emplace_back("flush");
            if (owner_.faults.flush) {
                return fail(*owner_.faults.flush);
            }
            return inner_->flush();
        }

        Status close() override {
            owner_.events.emplace_back("close");
            closed_ = true;
            auto closed = inner_->close();
            if (owner_.faults.close) {
                return fail(*owner_.faults.close);
            }
            return closed;
        }

    private:
        RecordingFileSystem& owner_;
        std::unique_ptr<OutputFile> inner_;
        bool closed_ = false;
    };

    void note(const char* kind, const std::filesystem::path& path) {
        events.push_back(std::string(kind) + " " + path.filename().string());
    }

    FileSystem& inner_;
};

}  // namespace velmor::test
