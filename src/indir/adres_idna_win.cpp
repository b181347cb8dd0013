#include <windows.h>

#include <climits>

#include "indir/adres_idna.hpp"
#include "indir/adres_idna_denetim.hpp"
#include "ortak/metin.hpp"

namespace velmor::url_detail {
namespace {

// IdnToAscii without IDN_ALLOW_UNASSIGNED or IDN_USE_STD3_ASCII_RULES.
std::optional<std::string> idn_to_ascii(std::string_view domain) {
    const std::wstring wide = to_wide(domain);
    if (wide.empty() || wide.size() > INT_MAX) {
        return std::nullopt;
    }
    const int length = static_cast<int>(wide.size());
    const int needed = IdnToAscii(0, wide.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    const int written = IdnToAscii(0, wide.data(), length, out.data(), needed);
    if (written <= 0 || written > needed) {
        return std::nullopt;
    }
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(written));
    for (int i = 0; i < written; ++i) {
        const wchar_t unit = out[static_cast<std::size_t>(i)];
        if (unit >= 0x80) {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(unit));
    }
    return ascii;
}

}  // namespace

// The system's IDNA is older than the URL Standard's or transitional, so its
// answers pass the checks of checked_idna_mapping first.
std::optional<std::string> idna_to_ascii(std::string_view domain) {
    return checked_idna_mapping(domain, idn_to_ascii);
}

}  // namespace velmor::url_detail
