// The rules a setup program's address must meet before anything is fetched
// from it: it parses, it is HTTPS, and its host is the site domain or one of
// its subdomains.
#pragma once

#include <string_view>

#include "indir/adres.hpp"
#include "ortak/sonuc.hpp"

namespace velmor {

inline constexpr std::string_view INVALID_ADDRESS_MESSAGE = "İndirme adresi geçersiz.";

// "Kurulum dosyası <site> dışından indirilmek isteniyor; güvenlik için indirilmedi."
std::string foreign_host_message();

// Scheme exactly "https" and a host equal to the site domain or ending in
// "." + site domain; port, userinfo, path, query and fragment are ignored.
Status check_download_host(const Url& url);

// Parses the address exactly as received and applies check_download_host.
Status check_download_url(std::string_view download_url);

}  // namespace velmor
