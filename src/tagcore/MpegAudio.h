#pragma once
// Length and bit rate of an MP3 file from its MPEG audio frame headers: the first frame after
// the ID3v2 tag, its Xing/Info or VBRI header when it has one (with the LAME encoder delay
// and padding taken off, so the length is what a decoder plays), else the first frames.
// Reads at most the first 64 KB of audio and a few headers past them: never the whole file.
//
//   TMpegAudio a = ReadMpegAudio(size, 128, [&](std::uint64_t at, char* into, std::size_t n) {
//       return ReadSomehow(at, into, n); // bytes read; fewer only at the file's end
//   });

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace veltrane {

enum class TAudioNote : std::uint8_t {
    anNone,
    anTruncated, // shorter than its header promises; the length is what is there
    anNoAudio,   // no two valid frames in a row in the first 64 KB after the ID3v2 tag
};

struct TMpegAudio {
    TAudioNote Note = TAudioNote::anNoAudio;
    int Version = 0;     // 10, 20 or 25 for MPEG 1, 2 and 2.5; 0 without audio
    int Layer = 0;       // 1 to 3
    int SampleRate = 0;  // Hz
    int ChannelMode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    int Kbps = 0;        // the first frame's, or the average for VBR
    bool Vbr = false;
    bool Estimated = false; // VBR without a header: length from the first frames' average
    double Seconds = 0;
    std::uint64_t AudioStart = 0; // offset of the first frame
    std::uint32_t Frames = 0;     // from the Xing/VBRI header, 0 without one

    bool HasAudio() const { return Note != TAudioNote::anNoAudio; }
};

// Reads Length bytes at Offset into Into; returns how many it read (fewer only at the end).
using TReadAt = std::function<std::size_t(std::uint64_t Offset, char* Into, std::size_t Length)>;

// FileSize: the file's size; TrailingBytes: bytes at its end that are no audio (128 with an
// ID3v1 tag). Never throws for any bytes; a ReadAt that throws passes its error on.
TMpegAudio ReadMpegAudio(std::uint64_t FileSize, std::uint64_t TrailingBytes,
                         const TReadAt& ReadAt);
// The same over bytes in memory (a whole file).
TMpegAudio ReadMpegAudio(std::string_view File, std::uint64_t TrailingBytes = 0);

// "truncated", "no audio" or "".
std::string_view AudioNoteText(TAudioNote Note);

// The columns the command-line tool adds for a file's audio, and their texts: seconds with two
// decimals, kbps (the average for VBR), vbr 0 or 1, rate in Hz, the note; all but the note
// empty without audio.
inline constexpr std::array<std::string_view, 5> kAudioColumns = {"seconds", "kbps", "vbr", "rate",
                                                                  "note"};
std::array<std::string, 5> AudioColumnTexts(const TMpegAudio& Audio);

} // namespace veltrane
