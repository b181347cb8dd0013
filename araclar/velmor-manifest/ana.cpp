// velmor-manifest: checks a release manifest, or writes one for a setup
// program, through the installer's own decoding and acceptance code, so that
// what it accepts the installer accepts, and what it refuses the installer
// refuses with the very same sentence.
#include <nlohmann/json.hpp>

#include <exception>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dosya.hpp"
#include "indir/surum_getir.hpp"
#include "ortak/metin.hpp"

namespace velmor {
namespace {

constexpr int EXIT_ACCEPTED = 0;
constexpr int EXIT_REFUSED = 1;
constexpr int EXIT_USAGE = 2;

constexpr std::string_view USAGE =
    "usage: velmor-manifest check [FILE]\n"
    "       velmor-manifest make --version VERSION --url URL FILE\n"
    "\n"
    "check  Reads a manifest from FILE, or from standard input when FILE is absent\n"
    "       or \"-\", at most its first 65536 bytes as the installer does, and\n"
    "       validates it as the installer does.\n"
    "make   Computes the size and SHA-256 of the setup program FILE and builds\n"
    "       its manifest, validated the same way.\n"
    "\n"
    "Both print the accepted record as one line of JSON and exit 0, or print the\n"
    "installer's sentence for the refusal to standard error and exit 1. A file\n"
    "that cannot be read also exits 1; wrong usage exits 2.\n";

int usage_error() {
    std::cerr << USAGE;
    return EXIT_USAGE;
}

int tool_error(const std::string& message) {
    std::cerr << "velmor-manifest: " << message << '\n';
    return EXIT_REFUSED;
}

// One line: the four members in the record's order. The texts of an accepted
// record are well-formed UTF-8 (the decoder lets nothing else through), so
// the replacement policy, which keeps the writer from throwing, never acts.
std::string record_json(const Manifest& manifest) {
    nlohmann::ordered_json json;
    json["version"] = manifest.version;
    json["download_url"] = manifest.download_url;
    json["sha256"] = manifest.sha256;
    json["size_bytes"] = manifest.size_bytes;
    return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

int report(const Result<Manifest>& outcome) {
    if (!outcome) {
        std::cerr << outcome.message() << '\n';
        return EXIT_REFUSED;
    }
    std::cout << record_json(outcome.value()) << '\n' << std::flush;
    if (!std::cout) {
        return tool_error("cannot write to standard output");
    }
    return EXIT_ACCEPTED;
}

// The body as the installer takes it: its first MANIFEST_BODY_LIMIT bytes.
Result<Manifest> validate(std::string_view body) {
    return accept_manifest(body.substr(0, MANIFEST_BODY_LIMIT));
}

int check(std::span<const std::string_view> args) {
    std::optional<std::string> path;
    if (args.size() > 1) {
        return usage_error();
    }
    if (args.size() == 1 && args[0] != "-") {
        if (args[0].starts_with("-")) {
            return usage_error();
        }
        path = std::string(args[0]);
    }
    const auto body = read_start(path, MANIFEST_BODY_LIMIT);
    if (!body) {
        return tool_error(body.message());
    }
    return report(validate(body.value()));
}

struct MakeRequest {
    std::optional<std::string> version;
    std::optional<std::string> url;
    std::optional<std::string> path;
};

// --version and --url once each, with their values, in either order, and
// one FILE.
std::optional<MakeRequest> parse_make(std::span<const std::string_view> args) {
    MakeRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::optional<std::string>* slot = nullptr;
        if (arg == "--version") {
            slot = &request.version;
        } else if (arg == "--url") {
            slot = &request.url;
        } else if (arg.starts_with("-") || request.path) {
            return std::nullopt;
        } else {
            request.path = std::string(arg);
            continue;
        }
        if (slot->has_value() || i + 1 == args.size()) {
            return std::nullopt;
        }
        *slot = std::string(args[++i]);
    }
    if (!request.version || !request.url || !request.path) {
        return std::nullopt;
    }
    return request;
}

int make(std::span<const std::string_view> args) {
    const auto request = parse_make(args);
    if (!request) {
        return usage_error();
    }
    const auto facts = measure_file(*request->path);
    if (!facts) {
        return tool_error(facts.message());
    }
    // No JSON text can carry ill-formed UTF-8; a manifest holding such bytes
    // raw is one the installer cannot decode.
    if (!is_well_formed_utf8(*request->version) || !is_well_formed_utf8(*request->url)) {
        return report(fail(std::string(UNREADABLE_MANIFEST_MESSAGE)));
    }
    nlohmann::ordered_json manifest;
    manifest["version"] = *request->version;
    manifest["download_url"] = *request->url;
    manifest["sha256"] = facts.value().sha256;
    manifest["size_bytes"] = facts.value().size_bytes;
    return report(validate(manifest.dump()));
}

int run(std::span<const std::string_view> args) {
    if (args.empty()) {
        return usage_error();
    }
    if (args[0] == "-h" || args[0] == "--help") {
        std::cout << USAGE;
        return EXIT_ACCEPTED;
    }
    if (args[0] == "check") {
        return check(args.subspan(1));
    }
    if (args[0] == "make") {
        return make(args.subspan(1));
    }
    return usage_error();
}

}  // namespace
}  // namespace velmor

int main(int argc, char* argv[]) {
    try {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        return velmor::run(args);
    } catch (const std::exception& error) {  // out of memory: say so rather than abort
        std::cerr << "velmor-manifest: " << error.what() << '\n';
        return velmor::EXIT_REFUSED;
    }
}
