#pragma once
// Reads the silent clips the animation control plays: RIFF AVI files with one video stream of
// 8-bit palette frames, uncompressed or RLE8. Anything else is refused.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// What() is the text shown to the user; Reason() says what was wrong with the clip.
class EAviError : public std::runtime_error {
  public:
    EAviError(const std::string& Text, std::string Reason)
        : std::runtime_error(Text), Reason_(std::move(Reason)) {}
    const std::string& Reason() const { return Reason_; }

  private:
    std::string Reason_;
};

struct TAviClip {
    int Width = 0;
    int Height = 0;
    std::uint32_t MicroSecPerFrame = 0;
    // 0xFFRRGGBB per palette index.
    std::array<std::uint32_t, 256> Palette{};
    // Palette indices, Width * Height per frame, top row first.
    std::vector<std::vector<std::uint8_t>> Frames;

    int FrameCount() const { return int(Frames.size()); }
};

// Decodes every frame of a clip held in memory; throws EAviError (the reason as its text).
TAviClip ParseAvi(std::string_view Bytes);

// Reads and decodes the clip file AVIName; every failure, a missing file included, throws
// EAviError with AviOpenErrorText(AVIName) as its text.
TAviClip OpenAvi(const std::string& AVIName);

// "Could not open AVI \"<name>\"" followed by two line breaks and
// "It must be a silent AVI file/resource.".
std::string AviOpenErrorText(const std::string& AVIName);

} // namespace veltrane
