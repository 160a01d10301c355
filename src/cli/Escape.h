#pragma once

#include <string>
#include <string_view>

namespace veltrane::cli {

// "\\" for a backslash, "\t", "\n", "\r", other bytes below 32 and bytes that are not part
// of valid UTF-8 as "\xNN" (lower-case hex).
std::string Escape(std::string_view bytes);
// The same, appended to out (no temporary string: the tag commands escape every field).
void AppendEscaped(std::string& out, std::string_view bytes);

} // namespace veltrane::cli
