#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veltrane::cli {

// "\\" for a backslash, "\t", "\n", "\r", other bytes below 32 and bytes that are not part
// of valid UTF-8 as "\xNN" (lower-case hex).
std::string Escape(std::string_view bytes);
// The same, appended to out (no temporary string: the tag commands escape every field).
void AppendEscaped(std::string& out, std::string_view bytes);

// Undoes Escape: "\\", "\t", "\n", "\r" and "\xNN" become their bytes; any other byte stands
// for itself. A backslash before anything else is a malformed line: nullopt.
std::optional<std::string> Unescape(std::string_view text);

} // namespace veltrane::cli

namespace veltrane {
struct TMpegAudio;
}

namespace veltrane::cli {

// Tab and the audio columns (seconds, kbps, vbr, rate, note) for a line of tag show or list.
void AppendAudioColumns(std::string& out, const TMpegAudio& audio);

} // namespace veltrane::cli
