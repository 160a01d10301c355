#pragma once
// The command line's escaped form of bytes, also the path column of tag tables: one line per
// name, and every name reads back to the same bytes.

#include <optional>
#include <string>
#include <string_view>

namespace veltrane {

// "\\" for a backslash, "\t", "\n", "\r", other bytes below 32 and bytes that are not part
// of valid UTF-8 as "\xNN" (lower-case hex).
std::string EscapeBytes(std::string_view bytes);
// The same, appended to out.
void AppendEscapedBytes(std::string& out, std::string_view bytes);
// Undoes EscapeBytes: "\\", "\t", "\n", "\r" and "\xNN" become their bytes; any other byte
// stands for itself. A backslash before anything else is malformed: nullopt.
std::optional<std::string> UnescapeBytes(std::string_view text);

} // namespace veltrane
