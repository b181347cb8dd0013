#include <openssl/evp.h>

#include <cstdlib>

#include "indir/ozet.hpp"

namespace velmor {

// A failing digest call is a broken invariant (memory exhausted): end at once.
struct Sha256::State {
    struct Free {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> ctx{EVP_MD_CTX_new()};
};

namespace {
void require(bool ok) {
    if (!ok) {
        std::abort();
    }
}
}  // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
    require(state_->ctx != nullptr);
    require(EVP_DigestInit_ex(state_->ctx.get(), EVP_sha256(), nullptr) == 1);
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::update(std::span<const std::byte> piece) {
    require(EVP_DigestUpdate(state_->ctx.get(), piece.data(), piece.size()) == 1);
}

Sha256Digest Sha256::finish() {
    Sha256Digest digest{};
    unsigned int length = 0;
    require(EVP_DigestFinal_ex(state_->ctx.get(), digest.data(), &length) == 1);
    require(length == digest.size());
    return digest;
}

}  // namespace velmor
