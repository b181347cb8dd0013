#include "indir/istek_sonucu.hpp"

#include <string>
#include <type_traits>

#include "ortak/site.hpp"

namespace velmor {

Result<std::unique_ptr<HttpResponse>> check_response(RequestResult result) {
    return std::visit(
        [](auto&& outcome) -> Result<std::unique_ptr<HttpResponse>> {
            using Kind = std::decay_t<decltype(outcome)>;
            if constexpr (std::is_same_v<Kind, ResponseReceived>) {
                return std::move(outcome.response);
            } else if constexpr (std::is_same_v<Kind, StatusError>) {
                if (outcome.status == 404) {
                    return fail("Şu an indirilebilecek bir sürüm yok.");
                }
                return fail("Sunucu hata döndü (HTTP " + std::to_string(outcome.status) + ").");
            } else {
                return fail(std::string(SITE_DOMAIN) + "'ye bağlanılamadı: " + outcome.text);
            }
        },
        std::move(result));
}

}  // namespace velmor
