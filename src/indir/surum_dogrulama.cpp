#include "indir/surum_dogrulama.hpp"

#include <algorithm>
#include <cstddef>

#include "indir/surum_getir.hpp"
#include "ortak/ascii.hpp"
#include "ortak/metin.hpp"

namespace velmor {
namespace {

constexpr std::size_t VERSION_GROUPS = 3;
constexpr std::size_t MAX_GROUP_DIGITS = 6;
constexpr std::size_t DIGEST_DIGITS = 64;

bool is_lower_hex_digit(char c) { return is_ascii_digit(c) || (c >= 'a' && c <= 'f'); }

bool is_digit_group(std::string_view group) {
    return !group.empty() && group.size() <= MAX_GROUP_DIGITS &&
           std::all_of(group.begin(), group.end(), is_ascii_digit);
}

// Exactly three groups: splitting at every "." must give no more and no less.
bool is_release_number(std::string_view text) {
    for (std::size_t group = 1; group < VERSION_GROUPS; ++group) {
        const auto dot = text.find('.');
        if (dot == std::string_view::npos || !is_digit_group(text.substr(0, dot))) {
            return false;
        }
        text.remove_prefix(dot + 1);
    }
    return is_digit_group(text);
}

}  // namespace

Result<std::string> normalise_version(std::string_view version) {
    std::string_view text = trim_white_space(version);
    text.remove_prefix(std::min(text.find_first_not_of('v'), text.size()));
    if (!is_release_number(text)) {
        return fail("Sunucudaki sürüm numarası okunamadı.");
    }
    return std::string(text);
}

Result<std::string> normalise_digest(std::string_view sha256) {
    const std::string digest = ascii_lowercase(trim_white_space(sha256));
    if (digest.size() != DIGEST_DIGITS ||
        !std::all_of(digest.begin(), digest.end(), is_lower_hex_digit)) {
        return fail("Bu sürümün SHA-256 özeti yok; güvenlik için indirilmedi.");
    }
    return digest;
}

Status check_setup_size(std::uint64_t size_bytes) {
    if (size_bytes > MAX_SETUP_SIZE) {
        return fail("Kurulum dosyası beklenenden büyük.");
    }
    return {};
}

}  // namespace velmor
