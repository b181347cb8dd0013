// SHA-256, fed piece by piece. The platform's implementation sits behind
// this class: OpenSSL natively, CNG (BCrypt) on Windows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace velmor {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    Sha256(Sha256&& other) noexcept;
    Sha256& operator=(Sha256&& other) noexcept;

    void update(std::span<const std::byte> piece);
    // Ends the computation; the object is spent afterwards.
    Sha256Digest finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Two lower-case hexadecimal digits per byte, in order: 64 characters.
std::string to_hex(const Sha256Digest& digest);

}  // namespace velmor
