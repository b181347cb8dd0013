// The streaming download of the setup program: one GET, the body written to
// the partial file piece by piece while it is hashed, size limits, progress
// lines and the user's cancel; then flush, size and digest tests, and the
// rename into place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "indir/ajan.hpp"
#include "indir/dosya_sistemi.hpp"
#include "indir/surum_bilgisi.hpp"
#include "ortak/sonuc.hpp"
#include "pencere/ilerleme.hpp"

namespace velmor {

inline constexpr std::size_t READ_CHUNK_SIZE = 65536;
inline constexpr std::uint64_t BYTES_PER_MEGABYTE = 1048576;

// What the worker works with. The product passes the native network and
// file system and the process-wide progress state and cancel flag.
struct JobEnvironment {
    Network& network;
    FileSystem& files;
    ProgressState& progress;
    const CancelFlag& cancel;
};

// A "Content-Length" value: an optional "+" and one or more ASCII digits
// whose value fits in 64 bits (leading zeros allowed); nullopt otherwise.
std::optional<std::uint64_t> parse_content_length(std::string_view value);

// The total the progress line and the percent use: a valid Content-Length
// (0 included, whatever size_bytes says), else size_bytes unless it is 0.
std::optional<std::uint64_t> content_length_total(const std::optional<std::string>& content_length,
                                                  std::uint64_t size_bytes);

// Bytes in megabytes of 1048576 with one decimal and a decimal comma: 1,5.
std::string format_megabytes(std::uint64_t bytes);

// downloaded × 100 / expected_total rounded down and capped at 100; 0 when
// there is no total or it is 0. downloaded is at most MAX_SETUP_SIZE.
std::uint32_t progress_percent(std::uint64_t downloaded,
                               std::optional<std::uint64_t> expected_total);

// "Velmor Launcher " + version + " indiriliyor…": the download announcement.
std::string download_announcement(std::string_view version);

// The announcement + " %" + percent, then " (x / y MB)" when the total is known.
std::string progress_line(std::string_view version, std::uint32_t percent, std::uint64_t downloaded,
                          std::optional<std::uint64_t> expected_total);

// Downloads manifest.download_url into the partial file beside setup_path,
// verifies size and digest and renames it to setup_path. On every failure
// from the partial file's opening on, the file is closed and removed before
// the sentence is returned.
Result<std::filesystem::path> download_setup_program(const JobEnvironment& env,
                                                     const Manifest& manifest,
                                                     std::string_view version,
                                                     const std::filesystem::path& setup_path);

}  // namespace velmor
