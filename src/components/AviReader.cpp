#include "components/AviReader.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

namespace veltrane {

namespace {

constexpr int kMaxSide = 4096;
// Decoded frames are held in memory; a bigger clip is not a searching animation.
constexpr std::uint64_t kMaxDecodedBytes = 64u << 20;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;

[[noreturn]] void Refuse(const std::string& reason) {
    throw EAviError(reason, reason);
}

std::uint32_t Le32(std::string_view s, std::size_t at) {
    const auto b = [&](std::size_t i) { return std::uint32_t(std::uint8_t(s[at + i])); };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

std::uint16_t Le16(std::string_view s, std::size_t at) {
    return std::uint16_t(std::uint8_t(s[at]) | std::uint8_t(s[at + 1]) << 8);
}

struct Chunk {
    std::string_view id;
    std::string_view data;
};

// Splits a chunk list; a chunk reaching past the list is refused.
std::vector<Chunk> Chunks(std::string_view list) {
    std::vector<Chunk> out;
    std::size_t pos = 0;
    // pos may pass the end by the pad byte of an odd last chunk.
    while (pos < list.size() && list.size() - pos >= 8) {
        const std::uint32_t size = Le32(list, pos + 4);
        if (size > list.size() - pos - 8)
            Refuse("truncated chunk");
        out.push_back({list.substr(pos, 4), list.substr(pos + 8, size)});
        pos += 8 + std::size_t(size) + (size & 1);
    }
    return out;
}

bool IsList(const Chunk& c, std::string_view type) {
    return c.id == "LIST" && c.data.size() >= 4 && c.data.substr(0, 4) == type;
}

struct Stream {
    std::string_view type;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::string_view format;
};

void CollectFrames(std::string_view list, std::vector<std::string_view>& frames) {
    for (const Chunk& c : Chunks(list)) {
        if (IsList(c, "rec "))
            CollectFrames(c.data.substr(4), frames);
        else if (c.id == "00db" || c.id == "00dc")
            frames.push_back(c.data);
    }
}

void DecodeRle8(std::string_view in, int width, int height, std::vector<std::uint8_t>& frame) {
    long x = 0, y = 0; // y counts from the bottom row
    auto put = [&](std::uint8_t v) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            frame[std::size_t((height - 1 - y) * width + x)] = v;
        ++x;
    };
    std::size_t i = 0;
    while (in.size() - i >= 2) {
        const std::uint8_t count = std::uint8_t(in[i]);
        const std::uint8_t value = std::uint8_t(in[i + 1]);
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (in.size() - i < 2)
                Refuse("truncated RLE8 frame");
            x += std::uint8_t(in[i]);
            y += std::uint8_t(in[i + 1]);
            i += 2;
        } else {
            const std::size_t n = value;
            if (in.size() - i < n)
                Refuse("truncated RLE8 frame");
            for (std::size_t k = 0; k < n; ++k)
                put(std::uint8_t(in[i + k]));
            i += n + (n & 1);
        }
        if (y > height)
            return; // everything after this lies outside the picture
    }
}

} // namespace

std::string AviOpenErrorText(const std::string& AVIName) {
    return "Could not open AVI \"" + AVIName + "\"\n\nIt must be a silent AVI file/resource.";
}

TAviClip ParseAvi(std::string_view Bytes) {
    if (Bytes.size() < 12 || Bytes.substr(0, 4) != "RIFF" || Bytes.substr(8, 4) != "AVI ")
        Refuse("not an AVI file");
    // A RIFF size that overstates the file is read as far as the file goes.
    const std::size_t riffEnd = std::min<std::uint64_t>(8ull + Le32(Bytes, 4), Bytes.size());
    std::optional<std::uint32_t> usPerFrame;
    std::vector<Stream> streams;
    std::vector<std::string_view> frameData;
    bool haveMovi = false;

    for (const Chunk& c : Chunks(Bytes.substr(12, riffEnd - 12))) {
        if (IsList(c, "hdrl")) {
            for (const Chunk& h : Chunks(c.data.substr(4))) {
                if (h.id == "avih" && h.data.size() >= 4)
                    usPerFrame = Le32(h.data, 0);
                if (!IsList(h, "strl"))
                    continue;
                Stream s;
                for (const Chunk& sc : Chunks(h.data.substr(4))) {
                    if (sc.id == "strh") {
                        if (sc.data.size() < 28)
                            Refuse("short stream header");
                        s.type = sc.data.substr(0, 4);
                        s.scale = Le32(sc.data, 20);
                        s.rate = Le32(sc.data, 24);
                    } else if (sc.id == "strf") {
                        s.format = sc.data;
                    }
                }
                streams.push_back(s);
            }
        } else if (IsList(c, "movi")) {
            haveMovi = true;
            CollectFrames(c.data.substr(4), frameData);
        }
    }

    if (streams.empty())
        Refuse("no stream header");
    for (const Stream& s : streams) {
        if (s.type == "auds")
            Refuse("the clip has sound");
        if (s.type != "vids")
            Refuse("the clip has a stream other than video");
    }
    if (streams.size() > 1)
        Refuse("more than one video stream");
    const Stream& video = streams[0];
    const std::string_view bih = video.format;
    if (bih.size() < 40 || Le32(bih, 0) < 40 || Le32(bih, 0) > bih.size())
        Refuse("missing bitmap format");
    const std::int32_t width = std::int32_t(Le32(bih, 4));
    const std::int32_t rawHeight = std::int32_t(Le32(bih, 8));
    const std::uint16_t bitCount = Le16(bih, 14);
    const std::uint32_t compression = Le32(bih, 16);
    std::uint32_t colours = Le32(bih, 32);
    if (compression != kBiRgb && compression != kBiRle8)
        Refuse("unsupported compression");
    if (bitCount != 8)
        Refuse("frames are not 8-bit");
    const bool topDown = rawHeight < 0;
    if (topDown && compression == kBiRle8)
        Refuse("top-down RLE8 frames");
    const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
    if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide)
        Refuse("bad frame size");
    if (colours == 0 || colours > 256)
        colours = 256;
    const std::size_t paletteAt = Le32(bih, 0);
    colours = std::uint32_t(std::min<std::size_t>(colours, (bih.size() - paletteAt) / 4));
    if (colours == 0)
        Refuse("missing palette");
    if (!haveMovi || frameData.empty())
        Refuse("no frames");

    TAviClip clip;
    clip.Width = width;
    clip.Height = int(height);
    for (std::uint32_t i = 0; i < colours; ++i) {
        const std::size_t p = paletteAt + 4 * i;
        clip.Palette[i] = 0xFF000000u | std::uint32_t(std::uint8_t(bih[p + 2])) << 16 |
                          std::uint32_t(std::uint8_t(bih[p + 1])) << 8 | std::uint8_t(bih[p]);
    }
    const std::uint64_t frameBytes = std::uint64_t(width) * std::uint64_t(height);
    if (frameBytes * frameData.size() > kMaxDecodedBytes)
        Refuse("clip too large");

    std::uint64_t us = usPerFrame.value_or(0);
    if (us == 0 && video.rate != 0)
        us = std::uint64_t(video.scale) * 1000000u / video.rate;
    if (us == 0)
        us = 100000;
    clip.MicroSecPerFrame = std::uint32_t(std::clamp<std::uint64_t>(us, 10000, 10000000));

    std::vector<std::uint8_t> frame(frameBytes, 0);
    const std::size_t stride = (std::size_t(width) + 3) & ~std::size_t(3);
    for (std::string_view data : frameData) {
        // An empty chunk repeats the previous frame; RLE8 frames draw over it.
        if (!data.empty()) {
            if (compression == kBiRgb) {
                if (data.size() < stride * std::size_t(height))
                    Refuse("truncated frame");
                for (std::int64_t row = 0; row < height; ++row) {
                    const std::int64_t src = topDown ? row : height - 1 - row;
                    std::copy_n(data.data() + std::size_t(src) * stride, width,
                                frame.begin() + std::ptrdiff_t(row * width));
                }
            } else {
                DecodeRle8(data, width, int(height), frame);
            }
        }
        clip.Frames.push_back(frame);
    }
    return clip;
}

TAviClip OpenAvi(const std::string& AVIName) {
    try {
        std::ifstream in(AVIName, std::ios::binary);
        if (!in)
            Refuse("cannot open the file");
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (in.bad())
            Refuse("cannot read the file");
        return ParseAvi(bytes.view());
    } catch (const EAviError& e) {
        throw EAviError(AviOpenErrorText(AVIName), e.Reason());
    }
}

} // namespace veltrane
