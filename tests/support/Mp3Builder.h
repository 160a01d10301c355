#pragma once
// Builds MP3-like file contents: some audio bytes and, optionally, a 128-byte ID3v1 tag
// given field by field as raw code-page bytes (the way other tag writers lay them out).

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrane::test {

struct RawTag {
    std::string title, artist, album, year, comment; // raw bytes, cut or zero-padded
    std::uint8_t genre = 255;
    char pad = '\0'; // padding byte of short fields: '\0' as most writers do, ' ' as we do
};

// The 128 bytes of a tag.
std::string TagBytes(const RawTag& tag);
// Audio bytes of the given length (a recognisable, non-tag pattern) followed by the tag.
std::string Mp3Bytes(std::size_t audioBytes, const RawTag& tag);
std::string Mp3BytesNoTag(std::size_t audioBytes);

} // namespace veltrane::test
