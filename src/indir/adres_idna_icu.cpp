#include <unicode/uidna.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "indir/adres_idna.hpp"

namespace velmor::url_detail {
namespace {

// Errors of the checks that the URL Standard switches off: hyphen places
// (CheckHyphens) and empty or long labels and names (VerifyDnsLength).
constexpr std::uint32_t UNCHECKED_ERRORS =
    UIDNA_ERROR_EMPTY_LABEL | UIDNA_ERROR_LABEL_TOO_LONG | UIDNA_ERROR_DOMAIN_NAME_TOO_LONG |
    UIDNA_ERROR_LEADING_HYPHEN | UIDNA_ERROR_TRAILING_HYPHEN | UIDNA_ERROR_HYPHEN_3_4;

struct CloseIdna {
    void operator()(UIDNA* idna) const { uidna_close(idna); }
};

// Opened once; ICU allows concurrent use of one UIDNA. Null when ICU's data
// is missing, and then every mapping fails.
const UIDNA* uts46() {
    static const std::unique_ptr<UIDNA, CloseIdna> idna = [] {
        UErrorCode status = U_ZERO_ERROR;
        UIDNA* opened = uidna_openUTS46(
            UIDNA_NONTRANSITIONAL_TO_ASCII | UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ, &status);
        return std::unique_ptr<UIDNA, CloseIdna>(static_cast<bool>(U_SUCCESS(status)) ? opened
                                                                                      : nullptr);
    }();
    return idna.get();
}

}  // namespace

std::optional<std::string> idna_to_ascii(std::string_view domain) {
    const UIDNA* idna = uts46();
    if (idna == nullptr || domain.size() > std::numeric_limits<std::int32_t>::max() / 8) {
        return std::nullopt;
    }
    const auto length = static_cast<std::int32_t>(domain.size());
    std::string out(domain.size() * 4 + 16, '\0');
    for (;;) {
        UIDNAInfo info{};
        info.size = static_cast<std::int16_t>(sizeof info);
        UErrorCode status = U_ZERO_ERROR;
        const std::int32_t written =
            uidna_nameToASCII_UTF8(idna, domain.data(), length, out.data(),
                                   static_cast<std::int32_t>(out.size()), &info, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR && written > static_cast<std::int32_t>(out.size())) {
            out.resize(static_cast<std::size_t>(written));
            continue;
        }
        if (static_cast<bool>(U_FAILURE(status)) || (info.errors & ~UNCHECKED_ERRORS) != 0 ||
            written < 0) {
            return std::nullopt;
        }
        out.resize(static_cast<std::size_t>(written));
        return out;
    }
}

}  // namespace velmor::url_detail
