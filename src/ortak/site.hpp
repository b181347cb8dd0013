// The release server's host. Every address, allowed host and sentence that
// names the site is built from this one constant.
#pragma once

#include <string_view>

namespace velmor {

inline constexpr std::string_view SITE_DOMAIN = "velmor.gg";

}  // namespace velmor
