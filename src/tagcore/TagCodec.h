#pragma once
// Converts tag text between a single-byte code page (file side) and UTF-8 (memory side).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace veltrane {

class TagCodec {
public:
    // Throws std::invalid_argument for an unknown or multi-byte code page.
    explicit TagCodec(std::string_view codePage = "WINDOWS-1252");

    const std::string& Name() const { return name_; }
    // Code-page bytes to UTF-8. Bytes the code page leaves undefined read as U+0080..U+00FF
    // of the same number, so that reading and writing back keeps every byte.
    std::string Decode(std::string_view bytes) const;
    // UTF-8 to code-page bytes; a character the code page cannot hold becomes '?'.
    // Invalid UTF-8 bytes are passed through unchanged.
    std::string Encode(std::string_view utf8) const;

    // The program-wide default (Windows-1252).
    static const TagCodec& Default();

private:
    std::string name_;
    std::array<std::string, 256> decode_;
    std::unordered_map<char32_t, unsigned char> encode_;
    bool identityAscii_ = true;
};

} // namespace veltrane
