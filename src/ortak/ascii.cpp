#include "ortak/ascii.hpp"

#include <algorithm>

namespace velmor {

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return is_ascii(c); });
}

std::string ascii_lowercase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return ascii_lower(c); });
    return out;
}

}  // namespace velmor
