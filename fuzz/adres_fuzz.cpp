// Any bytes as an address. What must hold for every input: no crash and no
// read out of bounds (AddressSanitizer, UBSan); a parsed address serialises
// to ASCII that parses back to the same address; the download-host verdict
// agrees with the host text and carries the right sentence; the request
// target never carries the fragment. The checks made on the Windows IDNA
// run here over ICU's answers, which they may refuse but never change.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "indir/adres.hpp"
#include "indir/adres_idna.hpp"
#include "indir/adres_idna_denetim.hpp"
#include "indir/indirme_adresi.hpp"
#include "ortak/metin.hpp"
#include "ortak/site.hpp"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The rule as written: the site domain, or any name ending in "." + it.
bool names_the_site(std::string_view host) {
    const std::string subdomain_suffix = "." + std::string(velmor::SITE_DOMAIN);
    return host == velmor::SITE_DOMAIN || host.ends_with(subdomain_suffix);
}

void check_parsed(const velmor::Url& url, const velmor::Status& verdict) {
    const std::string href = url.href();
    require(is_ascii(href));
    const auto again = velmor::parse_url(href);
    require(again.has_value() && *again == url && again->href() == href);

    const bool allowed = url.scheme == "https" && names_the_site(url.hostname());
    require(velmor::check_download_host(url).ok() == allowed);
    require(verdict.ok() == allowed);
    require(allowed || verdict.message() == velmor::foreign_host_message());
    require(url.request_target().find('#') == std::string::npos);
}

void check_idna_guard(std::string_view input) {
    using velmor::url_detail::idna_to_ascii;
    static_cast<void>(velmor::url_detail::punycode_decode(input));
    if (is_ascii(input) || !velmor::is_well_formed_utf8(input)) {
        return;
    }
    const auto checked = velmor::url_detail::checked_idna_mapping(input, idna_to_ascii);
    if (checked) {
        const auto direct = idna_to_ascii(input);
        require(direct.has_value() && *checked == *direct);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto url = velmor::parse_url(input);
    const velmor::Status verdict = velmor::check_download_url(input);
    check_idna_guard(input);
    if (!url) {
        require(verdict.message() == velmor::INVALID_ADDRESS_MESSAGE);
        return 0;
    }
    check_parsed(*url, verdict);
    return 0;
}
