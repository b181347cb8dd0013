// The tool's inputs: the start of a manifest, and a setup program's size and
// digest. Failures carry a message naming the file and the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ortak/sonuc.hpp"

namespace velmor {

// At most `limit` bytes from the start of the file at `path`, or of standard
// input without a path; nothing beyond them is read.
Result<std::string> read_start(const std::optional<std::string>& path, std::size_t limit);

struct FileFacts {
    std::uint64_t size_bytes = 0;
    std::string sha256;  // lower-case hexadecimal
};

// Streams the whole file through SHA-256 in pieces, as the installer does
// with the download.
Result<FileFacts> measure_file(const std::string& path);

}  // namespace velmor
