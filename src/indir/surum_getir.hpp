// Fetching the release manifest and the checks that guard the download.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "indir/ajan.hpp"
#include "indir/surum_bilgisi.hpp"
#include "ortak/sonuc.hpp"

namespace velmor {

inline constexpr std::size_t MANIFEST_BODY_LIMIT = 65536;
inline constexpr std::uint64_t MAX_SETUP_SIZE = 536870912;  // 512 MiB

// "https://" + site domain + "/api/launcher/manifest?channel=stable"
std::string manifest_url();

// The sentence for every body that does not decode as a manifest.
inline constexpr std::string_view UNREADABLE_MANIFEST_MESSAGE = "Sürüm bilgisi okunamadı.";

// What happens to a manifest body once it has been read: decoding, then the
// version, digest, address, host and size checks in this order, the first
// refusal deciding the sentence. The accepted record has its version and
// digest normalised, its address and size as received. The release tool
// validates through this very function.
Result<Manifest> accept_manifest(std::string_view body);

// One GET for the manifest with an agent of its own, then the body (at most
// MANIFEST_BODY_LIMIT bytes) decoded and accepted. The accepted record has
// its version and digest normalised; every refusal carries its sentence.
Result<Manifest> fetch_manifest(Network& network);

}  // namespace velmor
