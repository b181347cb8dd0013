// Addresses, parsed by the WHATWG URL Standard's basic URL parser (no base
// URL). This is the product's only URL parser: the host that the download
// checks approve is the very host the HTTP agent connects to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmor {

enum class HostKind { domain, ipv4, ipv6, opaque, empty };

struct Host {
    HostKind kind = HostKind::empty;
    // The serialised host: lower-case ASCII for a domain, dotted decimal for
    // IPv4, bracketed compressed form for IPv6, percent-encoded for opaque.
    std::string text;

    bool operator==(const Host&) const = default;
};

struct Url {
    std::string scheme;    // lower case, without ':'
    std::string username;  // percent-encoded, as serialised
    std::string password;  // percent-encoded, as serialised
    std::optional<Host> host;
    std::optional<std::uint16_t> port;  // absent when omitted or the scheme's default
    bool has_opaque_path = false;
    std::string opaque_path;              // when has_opaque_path
    std::vector<std::string> segments;    // otherwise
    std::optional<std::string> query;     // without '?'
    std::optional<std::string> fragment;  // without '#'

    bool operator==(const Url&) const = default;

    [[nodiscard]] bool is_special() const;

    // The URL Standard's serialiser and its API getters.
    [[nodiscard]] std::string href() const;
    [[nodiscard]] std::string protocol() const;   // scheme + ":"
    [[nodiscard]] std::string host_text() const;  // host, ":" port if any
    [[nodiscard]] std::string hostname() const;
    [[nodiscard]] std::string port_text() const;
    [[nodiscard]] std::string pathname() const;
    [[nodiscard]] std::string search() const;  // "?" + query, "" when absent or empty
    [[nodiscard]] std::string hash() const;    // "#" + fragment, "" when absent or empty

    // What an HTTP request needs besides `scheme`, `hostname()`, `username`
    // and `password`: the port to connect to (the scheme's default when none
    // is named) and the request target (path, then "?" and the query when
    // there is one, even an empty one; never the fragment).
    [[nodiscard]] std::optional<std::uint16_t> effective_port() const;
    [[nodiscard]] std::string request_target() const;

private:
    // "?" + query when there is a query, even an empty one.
    [[nodiscard]] std::string search_part() const;
};

// The scheme's default port, for the special schemes that have one.
std::optional<std::uint16_t> default_port(std::string_view scheme);

// The basic URL parser without a base URL; nullopt when the text fails,
// and for text that is not well-formed UTF-8.
std::optional<Url> parse_url(std::string_view input);

}  // namespace velmor
