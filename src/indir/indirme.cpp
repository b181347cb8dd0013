#include "indir/indirme.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <memory>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

#include "indir/istek_sonucu.hpp"
#include "indir/konum.hpp"
#include "indir/ozet.hpp"
#include "indir/surum_getir.hpp"

namespace velmor {

std::optional<std::uint64_t> parse_content_length(std::string_view value) {
    if (value.starts_with('+')) {
        value.remove_prefix(1);
    }
    // from_chars takes digits only here (no sign, no space) and refuses a
    // value above 18446744073709551615.
    std::uint64_t total = 0;
    const char* const end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, total);
    if (value.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return total;
}

std::optional<std::uint64_t> content_length_total(const std::optional<std::string>& content_length,
                                                  std::uint64_t size_bytes) {
    if (content_length) {
        if (auto total = parse_content_length(*content_length)) {
            return total;
        }
    }
    if (size_bytes != 0) {
        return size_bytes;
    }
    return std::nullopt;
}

std::string format_megabytes(std::uint64_t bytes) {
    const double megabytes = static_cast<double>(bytes) / static_cast<double>(BYTES_PER_MEGABYTE);
    // At most 2^44 megabytes: 14 digits, the point and one decimal.
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), megabytes,
                                       std::chars_format::fixed, 1);
    std::string result(text.data(), written.ptr);
    std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

// The loop checks the limit before it asks for a percent, so downloaded is
// at most MAX_SETUP_SIZE (2^29) here and downloaded × 100 stays below 2^36.
static_assert(MAX_SETUP_SIZE + READ_CHUNK_SIZE <= std::numeric_limits<std::uint64_t>::max() / 100);

std::uint32_t progress_percent(std::uint64_t downloaded,
                               std::optional<std::uint64_t> expected_total) {
    if (!expected_total || *expected_total == 0) {
        return 0;
    }
    const std::uint64_t percent = downloaded * 100 / *expected_total;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(percent, 100));
}

std::string download_announcement(std::string_view version) {
    return "Velmor Launcher " + std::string(version) + " indiriliyor…";
}

std::string progress_line(std::string_view version, std::uint32_t percent, std::uint64_t downloaded,
                          std::optional<std::uint64_t> expected_total) {
    std::string line = download_announcement(version) + " %" + std::to_string(percent);
    if (expected_total) {
        line += " (" + format_megabytes(downloaded) + " / " + format_megabytes(*expected_total) +
                " MB)";
    }
    return line;
}

namespace {

constexpr std::string_view WRITE_FAILED = "Dosya yazılamadı: ";

Failure prefixed(std::string_view prefix, const Failure& failure) {
    return fail(std::string(prefix) + failure.message);
}

// The partial file from the attempt to open it on, and the one owner of the
// clean-up rule: unless it was moved into place, it is closed and then
// removed when this goes out of scope, whichever step failed.
class PartialFile {
public:
    PartialFile(FileSystem& files, std::filesystem::path path)
        : files_(files), path_(std::move(path)) {}
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    PartialFile(PartialFile&&) = delete;
    PartialFile& operator=(PartialFile&&) = delete;
    ~PartialFile() {
        if (!moved_) {
            file_.reset();  // closed first: Windows cannot delete a file still open
            remove_leftover(files_, path_);
        }
    }

    // Created, or emptied when a file of that name is there.
    Status open() {
        auto opened = files_.open_for_writing(path_);
        if (!opened) {
            return prefixed("Geçici dosya oluşturulamadı: ", opened.failure());
        }
        file_ = std::move(opened).value();
        return {};
    }

    // A write that takes part of the piece is followed by one for the rest.
    Status write_all(std::span<const std::byte> piece) {
        while (!piece.empty()) {
            auto taken = file_->write(piece);
            if (!taken) {
                return prefixed(WRITE_FAILED, taken.failure());
            }
            if (taken.value() == 0) {
                return fail(std::string(WRITE_FAILED) + "failed to write whole buffer");
            }
            piece = piece.subspan(std::min(taken.value(), piece.size()));
        }
        return {};
    }

    Status flush_and_close() {
        if (auto flushed = file_->flush(); !flushed) {
            return prefixed(WRITE_FAILED, flushed.failure());
        }
        auto closed = file_->close();
        file_.reset();
        if (!closed) {
            return prefixed(WRITE_FAILED, closed.failure());
        }
        return {};
    }

    Status move_to(const std::filesystem::path& setup_path) {
        if (auto renamed = files_.rename_replacing(path_, setup_path); !renamed) {
            return prefixed("Dosya taşınamadı: ", renamed.failure());
        }
        moved_ = true;
        return {};
    }

private:
    FileSystem& files_;
    std::filesystem::path path_;
    std::unique_ptr<OutputFile> file_;
    bool moved_ = false;
};

// Sends a status only when the whole percent changes: at most 101 updates,
// and a single one when no total is known.
class ProgressReporter {
public:
    ProgressReporter(ProgressState& progress, std::string_view version,
                     std::optional<std::uint64_t> expected_total)
        : progress_(progress), version_(version), expected_total_(expected_total) {}

    void report(std::uint64_t downloaded) {
        const std::uint32_t percent = progress_percent(downloaded, expected_total_);
        if (sent_any_ && percent == last_percent_) {
            return;
        }
        progress_.set_status(progress_line(version_, percent, downloaded, expected_total_),
                             percent);
        last_percent_ = percent;
        sent_any_ = true;
    }

private:
    ProgressState& progress_;
    std::string_view version_;
    std::optional<std::uint64_t> expected_total_;
    // "No line sent yet" is kept apart rather than in an optional, which
    // g++ 12 wrongly takes for uninitialised here.
    bool sent_any_ = false;
    std::uint32_t last_percent_ = 0;
};

struct ReceivedBody {
    std::uint64_t downloaded = 0;
    Sha256 digest;
};

bool over_limit(std::uint64_t downloaded, std::uint64_t size_bytes) {
    return downloaded > MAX_SETUP_SIZE || (size_bytes != 0 && downloaded > size_bytes);
}

// Streams the body into the file through one buffer, allocated here once and
// released before the caller closes the file. The cancel flag is looked at
// before every read and nowhere else, so a cancel after the last read is
// never seen.
Result<ReceivedBody> receive_body(const JobEnvironment& env, BodyReader& body, PartialFile& file,
                                  std::uint64_t size_bytes, ProgressReporter& reporter) {
    ReceivedBody received;
    std::vector<std::byte> buffer(READ_CHUNK_SIZE);  // one zero-filled allocation
    const std::span<std::byte> space(buffer);
    for (;;) {
        if (env.cancel.is_requested()) {
            return fail("İptal edildi.");
        }
        auto read = body.read(space);
        if (!read) {
            return prefixed("İndirme kesildi: ", read.failure());
        }
        const std::size_t count = std::min(read.value(), space.size());
        if (count == 0) {
            return received;
        }
        received.downloaded += count;
        if (over_limit(received.downloaded, size_bytes)) {
            return fail("İndirilen dosya beklenenden büyük.");
        }
        const auto piece = space.first(count);
        received.digest.update(piece);
        if (auto written = file.write_all(piece); !written) {
            return std::move(written).failure();
        }
        reporter.report(received.downloaded);
    }
}

struct OpenedBody {
    std::optional<std::uint64_t> expected_total;
    std::unique_ptr<BodyReader> body;
};

// The request with the job's second agent, released as soon as
// check_response has the result; then the total from the head, and the body
// stream, which consumes the response.
Result<OpenedBody> open_body(Network& network, const Manifest& manifest) {
    std::unique_ptr<HttpResponse> response;
    {
        auto agent = network.build_agent();
        if (!agent) {
            return std::move(agent).failure();
        }
        auto checked = check_response(agent.value()->get(manifest.download_url));
        if (!checked) {
            return std::move(checked).failure();
        }
        response = std::move(checked).value();
    }
    OpenedBody opened{content_length_total(response->header("Content-Length"), manifest.size_bytes),
                      nullptr};
    opened.body = response->body_reader();
    return opened;
}

}  // namespace

Result<std::filesystem::path> download_setup_program(const JobEnvironment& env,
                                                     const Manifest& manifest,
                                                     std::string_view version,
                                                     const std::filesystem::path& setup_path) {
    auto opened = open_body(env.network, manifest);
    if (!opened) {
        return std::move(opened).failure();
    }
    // Declared before the partial file, so released after it: the file is
    // closed and removed first, then the connection goes.
    const std::unique_ptr<BodyReader> body = std::move(opened.value().body);

    PartialFile partial(env.files, partial_file_path(setup_path));
    if (auto created = partial.open(); !created) {
        return std::move(created).failure();
    }
    ProgressReporter reporter(env.progress, version, opened.value().expected_total);
    auto received = receive_body(env, *body, partial, manifest.size_bytes, reporter);
    if (!received) {
        return std::move(received).failure();
    }
    if (auto closed = partial.flush_and_close(); !closed) {
        return std::move(closed).failure();
    }
    if (manifest.size_bytes != 0 && received.value().downloaded != manifest.size_bytes) {
        return fail("İndirme eksik kaldı, tekrar dene.");
    }
    if (to_hex(received.value().digest.finish()) != manifest.sha256) {
        return fail("İndirilen dosya doğrulanamadı (SHA-256 uyuşmuyor). Kurulum iptal edildi.");
    }
    if (auto moved = partial.move_to(setup_path); !moved) {
        return std::move(moved).failure();
    }
    return setup_path;
}

}  // namespace velmor
