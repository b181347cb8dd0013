// Combining marks, for the rule that no domain label may begin with one.
#pragma once

namespace velmor::url_detail {

// Whether the code point is a mark: General_Category Mn, Mc or Me.
bool is_combining_mark(char32_t cp);

}  // namespace velmor::url_detail
