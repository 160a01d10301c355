#pragma once

#include <string>
#include <string_view>

namespace veltrane::cli {

// "\\" for a backslash, "\t", "\n", "\r", other bytes below 32 and bytes that are not part
// of valid UTF-8 as "\xNN" (lower-case hex).
std::string Escape(std::string_view bytes);

} // namespace veltrane::cli
