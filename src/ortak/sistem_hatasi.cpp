#include "ortak/sistem_hatasi.hpp"

namespace velmor {

std::string system_error_text(std::string description, std::uint32_t code) {
    const auto end = description.find_last_not_of(" \t\r\n\f");
    description.erase(end == std::string::npos ? 0 : end + 1);
    return description + " (os error " + std::to_string(code) + ")";
}

}  // namespace velmor
