// The release manifest: the record and its strict JSON form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmor {

struct Manifest {
    std::string version;
    std::string download_url;
    std::string sha256;            // empty when the member is absent
    std::uint64_t size_bytes = 0;  // 0 when absent: no size stated

    bool operator==(const Manifest&) const = default;
};

// Decodes a manifest body (bytes, at most the body limit) by strict JSON:
// an object with the members above in any order (others skipped, recognised
// ones at most once), or an array of 2 to 4 of them in that order. Every
// violation is the one outcome nullopt; no partial record. Nothing is
// thrown: running out of memory ends the process.
std::optional<Manifest> decode_manifest(std::string_view body) noexcept;

}  // namespace velmor
