// The text of an operating-system error as the user reads it.
#pragma once

#include <cstdint>
#include <string>

namespace velmor {

// The system's description with trailing spaces, tabs, line ends and form
// feeds removed, then " (os error " + code + ")".
std::string system_error_text(std::string description, std::uint32_t code);

}  // namespace velmor
