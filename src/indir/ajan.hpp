// The HTTP agent seen from the download side: one agent per request, one GET,
// a response head with its body still unread. The Windows agent implements
// these interfaces; tests script them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "ortak/sonuc.hpp"

namespace velmor {

inline constexpr std::string_view USER_AGENT = "Velmor-Kurulum/1.0.0";

// A response body. It owns the connection; releasing it closes the connection.
class BodyReader {
public:
    virtual ~BodyReader() = default;
    // Reads at most buffer.size() bytes; 0 means the body has ended. A failure
    // carries the HTTP client's own text for the read error.
    virtual Result<std::size_t> read(std::span<std::byte> buffer) = 0;
};

// A response head that has been read, with the body still unread.
class HttpResponse {
public:
    virtual ~HttpResponse() = default;
    [[nodiscard]] virtual std::uint16_t status() const = 0;
    // The first field of that name, compared without ASCII case, trimmed of
    // surrounding white space.
    [[nodiscard]] virtual std::optional<std::string> header(std::string_view name) const = 0;
    // Consumes the response and hands over the body stream.
    virtual std::unique_ptr<BodyReader> body_reader() = 0;
};

// Status below 400.
struct ResponseReceived {
    std::unique_ptr<HttpResponse> response;
};

// Status 400 or above; the body stays unread.
struct StatusError {
    std::uint16_t status = 0;
    std::unique_ptr<HttpResponse> response;
};

// No usable response head; the client's description of why.
struct TransportError {
    std::string text;
};

using RequestResult = std::variant<ResponseReceived, StatusError, TransportError>;

class HttpAgent {
public:
    virtual ~HttpAgent() = default;
    // One GET for the absolute address `url` (UTF-8).
    virtual RequestResult get(std::string_view url) = 0;
};

// Builds the agents; the Windows network builds WinHTTP agents.
class Network {
public:
    virtual ~Network() = default;
    // Fails only when the platform cannot set up TLS, with the complete sentence.
    virtual Result<std::unique_ptr<HttpAgent>> build_agent() = 0;
};

}  // namespace velmor
