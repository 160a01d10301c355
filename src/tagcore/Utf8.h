#pragma once
// UTF-8 helpers shared by the tag codec, the command line's escaping and the windows.

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrane {

// Decodes the UTF-8 sequence at s[i] into cp; returns its length, or 0 when the bytes there
// are not valid UTF-8 (overlong forms, surrogates and truncated sequences included).
std::size_t NextCodePoint(std::string_view s, std::size_t i, char32_t& cp);

void AppendUtf8(std::string& out, char32_t cp);

} // namespace veltrane
