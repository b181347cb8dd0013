// The URL serializer and the getters of the URL Standard's API, and what an
// HTTP request takes from an address.
#include <string>

#include "indir/adres.hpp"

namespace velmor {

std::string Url::href() const {
    std::string out = protocol();
    if (host) {
        out += "//";
        if (!username.empty() || !password.empty()) {
            out += username;
            if (!password.empty()) {
                out += ':';
                out += password;
            }
            out += '@';
        }
        out += host_text();
    } else if (!has_opaque_path && segments.size() > 1 && segments[0].empty()) {
        // Without it "/.//x" would come back with "x" as its host.
        out += "/.";
    }
    out += pathname();
    out += search_part();
    if (fragment) {
        out += '#';
        out += *fragment;
    }
    return out;
}

std::string Url::protocol() const { return scheme + ":"; }

std::string Url::host_text() const {
    std::string out = hostname();
    if (host && port) {
        out += ':';
        out += port_text();
    }
    return out;
}

std::string Url::hostname() const { return host ? host->text : std::string(); }

std::string Url::port_text() const { return port ? std::to_string(*port) : std::string(); }

std::string Url::pathname() const {
    if (has_opaque_path) {
        return opaque_path;
    }
    std::string out;
    for (const std::string& segment : segments) {
        out += '/';
        out += segment;
    }
    return out;
}

std::string Url::search() const { return query && !query->empty() ? "?" + *query : std::string(); }

std::string Url::hash() const {
    return fragment && !fragment->empty() ? "#" + *fragment : std::string();
}

std::optional<std::uint16_t> Url::effective_port() const {
    return port ? port : default_port(scheme);
}

std::string Url::request_target() const { return pathname() + search_part(); }

std::string Url::search_part() const { return query ? "?" + *query : std::string(); }

}  // namespace velmor
