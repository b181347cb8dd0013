#include "dosya.hpp"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

#include "indir/ozet.hpp"

namespace velmor {
namespace {

// The installer's download piece.
constexpr std::size_t PIECE_SIZE = 65536;

// Files are only ever read, so closing cannot lose anything.
struct CloseFile {
    void operator()(std::FILE* file) const {
        static_cast<void>(std::fclose(file));  // NOLINT(cppcoreguidelines-owning-memory)
    }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

std::string system_reason() { return std::generic_category().message(errno); }

Result<File> open_file(const std::string& path) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return fail("cannot open " + path + ": " + system_reason());
    }
    return file;
}

// Fills the buffer; it comes back shorter only at the end of the file.
Result<std::size_t> read_piece(std::FILE* file, std::span<char> buffer, const std::string& name) {
    const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file);
    if (count < buffer.size() && std::ferror(file) != 0) {
        return fail("cannot read " + name + ": " + system_reason());
    }
    return count;
}

}  // namespace

Result<std::string> read_start(const std::optional<std::string>& path, std::size_t limit) {
    File owned;
    if (path) {
        auto opened = open_file(*path);
        if (!opened) {
            return std::move(opened).failure();
        }
        owned = std::move(opened).value();
    }
    std::FILE* const file = path ? owned.get() : stdin;
    std::string body(limit, '\0');
    auto count = read_piece(file, body, path.value_or("standard input"));
    if (!count) {
        return std::move(count).failure();
    }
    body.resize(count.value());
    return body;
}

Result<FileFacts> measure_file(const std::string& path) {
    auto file = open_file(path);
    if (!file) {
        return std::move(file).failure();
    }
    Sha256 sha256;
    std::uint64_t size = 0;
    std::vector<char> piece(PIECE_SIZE);
    for (;;) {
        auto count = read_piece(file.value().get(), piece, path);
        if (!count) {
            return std::move(count).failure();
        }
        sha256.update(std::as_bytes(std::span(piece).first(count.value())));
        size += count.value();
        if (count.value() < piece.size()) {
            break;
        }
    }
    return FileFacts{size, to_hex(sha256.finish())};
}

}  // namespace velmor
