#pragma once
// The in-memory ID3v1 tag record and the genre ("style") table.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane {

// Text fields are UTF-8; FileName is the path as bytes. Copied by value between windows.
struct TMP3Tag {
    std::string FileName;
    std::string Header; // "TAG" when the file carried a tag when read
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    std::uint8_t Genre = 255; // 255 = no genre
    std::uint8_t Track = 0;   // ID3v1.1 track number; 0 = none
    // The code page the texts were read in (TagCodec::Id), written back in; 0: ASCII text or
    // no tag, written in the default.
    std::uint8_t CodePage = 0;

    friend bool operator==(const TMP3Tag&, const TMP3Tag&) = default;
};

inline constexpr std::size_t kGenreTableSize = 116;

// Entry 0 is empty; entries 1..115 are the names with one trailing blank. Genre g is entry g+1.
const std::array<std::string, kGenreTableSize>& GenreTable();

// "Rock " for 17; empty for 115..255.
std::string ByteToStyle(std::uint8_t Genre);
// First entry equal ignoring ASCII case, minus one: "" gives 255, an unknown text 254.
std::uint8_t StyleToByte(std::string_view Name);

// A track number as typed: one to three digits of value 1 to 255 ("07" is 7); "" is 0 (no
// track). Anything else ("0", "300", "7a", " 7") is nothing.
std::optional<std::uint8_t> ParseTrack(std::string_view Text);

} // namespace veltrane
