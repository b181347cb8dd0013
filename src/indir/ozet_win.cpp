#include <windows.h>
// bcrypt.h needs the types windows.h declares; this line keeps include
// sorting from putting it first.
#include <bcrypt.h>

#include <cstdlib>
#include <limits>

#include "indir/ozet.hpp"

namespace velmor {

// A failing CNG call is a broken invariant (memory exhausted): end at once.
namespace {
void require(NTSTATUS status) {
    if (!BCRYPT_SUCCESS(status)) {
        std::abort();
    }
}

// The algorithm provider is opened once and kept for the process.
BCRYPT_ALG_HANDLE sha256_provider() {
    static const BCRYPT_ALG_HANDLE provider = [] {
        BCRYPT_ALG_HANDLE handle = nullptr;
        require(BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
        return handle;
    }();
    return provider;
}
}  // namespace

struct Sha256::State {
    struct Destroy {
        void operator()(void* hash) const { BCryptDestroyHash(hash); }
    };
    std::unique_ptr<void, Destroy> hash;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    BCRYPT_HASH_HANDLE hash = nullptr;
    require(BCryptCreateHash(sha256_provider(), &hash, nullptr, 0, nullptr, 0, 0));
    state_->hash.reset(hash);
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::update(std::span<const std::byte> piece) {
    constexpr std::size_t MAX_PIECE = std::numeric_limits<ULONG>::max();
    while (!piece.empty()) {
        const std::size_t n = piece.size() < MAX_PIECE ? piece.size() : MAX_PIECE;
        // BCryptHashData takes a non-const pointer but only reads the input.
        auto* data = const_cast<PUCHAR>(reinterpret_cast<const UCHAR*>(piece.data()));
        require(BCryptHashData(state_->hash.get(), data, static_cast<ULONG>(n), 0));
        piece = piece.subspan(n);
    }
}

Sha256Digest Sha256::finish() {
    Sha256Digest digest{};
    require(
        BCryptFinishHash(state_->hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0));
    return digest;
}

}  // namespace velmor
