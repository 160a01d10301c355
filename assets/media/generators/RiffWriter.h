#pragma once
// Little-endian numbers and RIFF chunks, for the generators that write BMP and AVI files and the
// tests that build such files by hand.

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrane {

inline void Put16(std::string& s, unsigned v) {
    s += char(v & 255);
    s += char((v >> 8) & 255);
}
inline void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
// Four-byte id, size, body, and a pad byte after an odd-sized body.
inline std::string Chunk(std::string_view id, const std::string& body) {
    std::string s(id);
    Put32(s, std::uint32_t(body.size()));
    s += body;
    if (body.size() & 1)
        s += char(0);
    return s;
}
inline std::string List(std::string_view type, const std::string& body) {
    return Chunk("LIST", std::string(type) + body);
}

} // namespace veltrane
