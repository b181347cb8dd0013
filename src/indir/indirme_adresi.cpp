#include "indir/indirme_adresi.hpp"

#include <string>

#include "ortak/site.hpp"

namespace velmor {
namespace {

// The site domain itself, or a name that ends in "." + the site domain.
bool is_site_host(std::string_view host) {
    if (host == SITE_DOMAIN) {
        return true;
    }
    return host.size() > SITE_DOMAIN.size() && host.ends_with(SITE_DOMAIN) &&
           host[host.size() - SITE_DOMAIN.size() - 1] == '.';
}

}  // namespace

std::string foreign_host_message() {
    return "Kurulum dosyası " + std::string(SITE_DOMAIN) +
           " dışından indirilmek isteniyor; güvenlik için indirilmedi.";
}

// Only a domain can spell the site's name; an IP address never does, and
// the kind is checked as well so that this stays true by construction.
Status check_download_host(const Url& url) {
    const bool allowed = url.scheme == "https" && url.host && url.host->kind == HostKind::domain &&
                         is_site_host(url.host->text);
    if (!allowed) {
        return fail(foreign_host_message());
    }
    return {};
}

Status check_download_url(std::string_view download_url) {
    const std::optional<Url> url = parse_url(download_url);
    if (!url) {
        return fail(std::string(INVALID_ADDRESS_MESSAGE));
    }
    return check_download_host(*url);
}

}  // namespace velmor
