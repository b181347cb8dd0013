// Manifest decoding and acceptance on arbitrary bytes: no crash, decoding is
// deterministic and gives the same verdict as a second reading of the body
// through the parser's tree builder, and an accepted record has the forms
// the download relies on.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "indir/indirme_adresi.hpp"
#include "indir/surum_bilgisi.hpp"
#include "indir/surum_getir.hpp"

namespace {

using velmor::Manifest;
using Json = nlohmann::json;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool is_recognised(const std::string& name) {
    return name == "version" || name == "download_url" || name == "sha256" || name == "size_bytes";
}

std::optional<std::string> text_at(const Json& value) {
    if (!value.is_string()) {
        return std::nullopt;
    }
    return value.get<std::string>();
}

std::optional<std::uint64_t> size_at(const Json& value) {
    if (!value.is_number_unsigned()) {
        return std::nullopt;
    }
    return value.get<std::uint64_t>();
}

std::optional<Manifest> from_fields(std::optional<std::string> version,
                                    std::optional<std::string> download_url,
                                    std::optional<std::string> sha256,
                                    std::optional<std::uint64_t> size_bytes) {
    if (!version || !download_url || !sha256 || !size_bytes) {
        return std::nullopt;
    }
    return Manifest{*version, *download_url, *sha256, *size_bytes};
}

std::optional<Manifest> from_object(const Json& object) {
    const auto member = [&object](const char* name) { return object.find(name); };
    if (member("version") == object.end() || member("download_url") == object.end()) {
        return std::nullopt;
    }
    const auto sha256 = member("sha256");
    const auto size_bytes = member("size_bytes");
    return from_fields(text_at(*member("version")), text_at(*member("download_url")),
                       sha256 == object.end() ? std::string() : text_at(*sha256),
                       size_bytes == object.end() ? 0 : size_at(*size_bytes));
}

std::optional<Manifest> from_array(const Json& array) {
    if (array.size() < 2 || array.size() > 4) {
        return std::nullopt;
    }
    return from_fields(text_at(array[0]), text_at(array[1]),
                       array.size() > 2 ? text_at(array[2]) : std::string(),
                       array.size() > 3 ? size_at(array[3]) : 0);
}

// The acceptance rules over the whole parsed tree, a reading independent of
// the event handler under test. Repeated recognised names are caught while
// parsing, since the tree keeps only one of them.
std::optional<Manifest> reference_decode(std::string_view body) {
    if (body.starts_with("\xEF\xBB\xBF") || body.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    bool repeated = false;
    std::set<std::string> seen;
    const auto watch = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (depth == 1 && event == Json::parse_event_t::key) {
            const auto& name = parsed.get_ref<const std::string&>();
            repeated = repeated || (is_recognised(name) && !seen.insert(name).second);
        }
        return true;
    };
    const Json tree = Json::parse(body.begin(), body.end(), watch, /*allow_exceptions=*/false);
    if (tree.is_discarded() || repeated) {
        return std::nullopt;
    }
    if (tree.is_object()) {
        return from_object(tree);
    }
    if (tree.is_array()) {
        return from_array(tree);
    }
    return std::nullopt;
}

// The record written out as a manifest. Decoded texts are well-formed UTF-8,
// so the writer's strict policy throwing would itself be a finding.
std::string to_json(const Manifest& manifest) {
    nlohmann::ordered_json json;
    json["version"] = manifest.version;
    json["download_url"] = manifest.download_url;
    json["sha256"] = manifest.sha256;
    json["size_bytes"] = manifest.size_bytes;
    return json.dump();
}

// Three groups of 1 to 6 ASCII digits joined by ".".
bool is_release_number(const std::string& version) {
    std::size_t groups = 0;
    std::size_t digits = 0;
    for (const char c : version + ".") {
        if (c != '.') {
            if (c < '0' || c > '9') {
                return false;
            }
            ++digits;
            continue;
        }
        if (digits < 1 || digits > 6) {
            return false;
        }
        ++groups;
        digits = 0;
    }
    return groups == 3;
}

// Acceptance refuses every body that does not decode, with the one sentence,
// and whatever it accepts has the forms the download side relies on: the
// address and size as decoded, the version and digest normalised.
void check_acceptance(std::string_view body, const std::optional<Manifest>& decoded) {
    const auto accepted = velmor::accept_manifest(body);
    if (!decoded) {
        require(!accepted && accepted.message() == velmor::UNREADABLE_MANIFEST_MESSAGE);
        return;
    }
    if (!accepted) {
        require(!accepted.message().empty());
        return;
    }
    const Manifest& record = accepted.value();
    require(is_release_number(record.version) && record.version.size() <= 20);
    require(record.sha256.size() == 64 &&
            record.sha256.find_first_not_of("0123456789abcdef") == std::string::npos);
    require(record.size_bytes <= velmor::MAX_SETUP_SIZE &&
            record.size_bytes == decoded->size_bytes);
    require(record.download_url == decoded->download_url);
    require(velmor::check_download_url(record.download_url).ok());
    // Accepting is idempotent: the accepted record, written out, is accepted
    // unchanged.
    const auto again = velmor::accept_manifest(to_json(record));
    require(again && again.value() == record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const auto decoded = velmor::decode_manifest(body);
    require(velmor::decode_manifest(body) == decoded);
    require(reference_decode(body) == decoded);
    // A decoded record written out again decodes to itself.
    require(!decoded || velmor::decode_manifest(to_json(*decoded)) == decoded);
    check_acceptance(body, decoded);
    return 0;
}
