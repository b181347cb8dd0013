// The Content-Length value comes from the server: whatever its bytes, the
// parser must agree with the rule written out another way (digits compared
// as text against the largest 64-bit value), and what the progress line
// makes of the total must stay well formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "indir/indirme.hpp"
#include "indir/surum_getir.hpp"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// An optional "+", then one or more digits whose value, leading zeros
// dropped, is at most 18446744073709551615: the canonical digits, or
// nullopt when the text is not valid.
std::optional<std::string> canonical_digits(std::string_view value) {
    if (value.starts_with('+')) {
        value.remove_prefix(1);
    }
    if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const auto first = value.find_first_not_of('0');
    const std::string_view digits = first == std::string_view::npos ? "0" : value.substr(first);
    constexpr std::string_view LARGEST = "18446744073709551615";
    if (digits.size() > LARGEST.size() || (digits.size() == LARGEST.size() && digits > LARGEST)) {
        return std::nullopt;
    }
    return std::string(digits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmor;
    const std::string value(reinterpret_cast<const char*>(data), size);
    const auto total = parse_content_length(value);
    const auto expected = canonical_digits(value);
    require(total.has_value() == expected.has_value());
    if (total) {
        require(std::to_string(*total) == *expected);
        require(content_length_total(value, 5000) == total);
    } else {
        require(content_length_total(value, 5000) == 5000U);
    }

    const auto megabytes = total ? format_megabytes(*total) : std::string("0,0");
    const auto comma = megabytes.find(',');
    require(comma != std::string::npos && comma + 2 == megabytes.size());
    for (const std::uint64_t downloaded : {std::uint64_t{0}, std::uint64_t{1}, MAX_SETUP_SIZE}) {
        const std::uint32_t percent = progress_percent(downloaded, total);
        require(percent <= 100);
        const std::string line = progress_line("1.4.12", percent, downloaded, total);
        require(line.starts_with(download_announcement("1.4.12") + " %" + std::to_string(percent)));
        require(line.ends_with(" MB)") == total.has_value());
    }
    return 0;
}
