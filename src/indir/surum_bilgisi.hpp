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
    std::string sha256;           // empty when the member is absent
    std::uint64_t size_bytes = 0;  // 0 when absent: no size stated

    bool operator==(const Manifest&) const = default;
};

// Decodes a manifest body (bytes, at most the body limit). Every violation
// of the acceptance rules is the one outcome nullopt; no partial record.
std::optional<Manifest> decode_manifest(std::string_view body);

}  // namespace velmor
