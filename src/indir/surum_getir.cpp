#include "indir/surum_getir.hpp"

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "indir/indirme_adresi.hpp"
#include "indir/istek_sonucu.hpp"
#include "indir/surum_dogrulama.hpp"
#include "ortak/site.hpp"

namespace velmor {
namespace {

// Sends the one request with an agent of its own and hands back the response
// unread. The agent is released here, before anything of the body is read.
Result<std::unique_ptr<HttpResponse>> request_manifest(Network& network) {
    auto agent = network.build_agent();
    if (!agent) {
        return std::move(agent).failure();
    }
    return check_response(agent.value()->get(manifest_url()));
}

// Reads the body to its end, but never more than MANIFEST_BODY_LIMIT bytes:
// at the limit reading stops as if the body had ended, and the rest of it is
// neither read nor looked at.
Result<std::string> read_manifest_body(HttpResponse& response) {
    const std::unique_ptr<BodyReader> reader = response.body_reader();
    std::string body(MANIFEST_BODY_LIMIT, '\0');
    std::size_t filled = 0;
    while (filled < body.size()) {
        const auto room = std::as_writable_bytes(std::span(body).subspan(filled));
        auto count = reader->read(room);
        if (!count) {
            return fail("Sürüm bilgisi okunamadı: " + count.message());
        }
        if (count.value() == 0) {
            break;
        }
        // A reader never reports more than the room it was given; the clamp
        // keeps the count inside the buffer all the same.
        filled += std::min(count.value(), room.size());
    }
    body.resize(filled);
    return body;
}

}  // namespace

std::string manifest_url() {
    return "https://" + std::string(SITE_DOMAIN) + "/api/launcher/manifest?channel=stable";
}

Result<Manifest> accept_manifest(std::string_view body) {
    auto decoded = decode_manifest(body);
    if (!decoded) {
        return fail(std::string(UNREADABLE_MANIFEST_MESSAGE));
    }
    Manifest manifest = std::move(*decoded);
    auto version = normalise_version(manifest.version);
    if (!version) {
        return std::move(version).failure();
    }
    auto digest = normalise_digest(manifest.sha256);
    if (!digest) {
        return std::move(digest).failure();
    }
    // The address is checked exactly as received; only its text is kept.
    if (auto address = check_download_url(manifest.download_url); !address) {
        return std::move(address).failure();
    }
    if (auto size = check_setup_size(manifest.size_bytes); !size) {
        return std::move(size).failure();
    }
    manifest.version = std::move(version).value();
    manifest.sha256 = std::move(digest).value();
    return manifest;
}

Result<Manifest> fetch_manifest(Network& network) {
    auto response = request_manifest(network);
    if (!response) {
        return std::move(response).failure();
    }
    // Any status below 400 has its body read; a redirect is not followed.
    auto body = read_manifest_body(*response.value());
    response.value().reset();
    if (!body) {
        return std::move(body).failure();
    }
    return accept_manifest(body.value());
}

}  // namespace velmor
