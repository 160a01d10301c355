#include "tagcore/MpegAudio.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace veltrane {

namespace {

// The first frame is looked for in this much audio, and a VBR file without a header is
// estimated from the frames that start in it.
constexpr std::uint64_t kSearchBytes = 64 * 1024;
// Room past the search for the frames that follow the first (16 frames of 1,728 bytes at most).
constexpr std::uint64_t kSlackBytes = 32 * 1024;
// Reads end on multiples of this, so the first one stays within a caller's head of the file.
constexpr std::uint64_t kChunk = 4 * 1024;
constexpr int kCbrFrames = 16;

constexpr int kKbps[2][3][15] = {
    // MPEG 1: layers 1, 2, 3
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    // MPEG 2 and 2.5
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

struct TFrame {
    int Version = 0; // 10, 20, 25
    int Layer = 0;
    int Kbps = 0;
    int Rate = 0;
    int Mode = 0;
    int Samples = 0; // per frame
    std::uint32_t Size = 0;
    std::uint32_t Key = 0; // the bits every frame of a stream shares
};

std::uint32_t Be32(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

bool ParseHeader(std::uint32_t h, TFrame& f) {
    if ((h & 0xFFE00000u) != 0xFFE00000u)
        return false;
    const unsigned version = (h >> 19) & 3, layer = (h >> 17) & 3, rate = (h >> 10) & 3;
    const unsigned bitrate = (h >> 12) & 15;
    if (version == 1 || layer == 0 || bitrate == 0 || bitrate == 15 || rate == 3)
        return false; // reserved, or free format (whose size no header gives)
    f.Version = version == 3 ? 10 : version == 2 ? 20 : 25;
    f.Layer = 4 - static_cast<int>(layer);
    const int v = f.Version == 10 ? 0 : 1;
    f.Kbps = kKbps[v][f.Layer - 1][bitrate];
    f.Rate = kRates[f.Version == 10 ? 0 : f.Version == 20 ? 1 : 2][rate];
    f.Mode = static_cast<int>((h >> 6) & 3);
    const std::uint32_t pad = (h >> 9) & 1;
    const std::uint32_t bps = static_cast<std::uint32_t>(f.Kbps) * 1000;
    const auto r = static_cast<std::uint32_t>(f.Rate);
    if (f.Layer == 1) {
        f.Samples = 384;
        f.Size = (12 * bps / r + pad) * 4;
    } else {
        f.Samples = f.Layer == 3 && v == 1 ? 576 : 1152;
        f.Size = static_cast<std::uint32_t>(f.Samples) / 8 * bps / r + pad;
    }
    f.Key = h & 0xFFFE0C00u; // sync, version, layer, sample rate
    return true;
}

// The bytes from Base on, read a chunk at a time as they are asked for, never past Limit.
class TWindow {
  public:
    TWindow(const TReadAt& ReadAt, std::uint64_t Base, std::uint64_t Limit)
        : read_(ReadAt), base_(Base), limit_(Limit) {}

    // N bytes at Offset, or nullptr past the limit or the file's end.
    const unsigned char* At(std::uint64_t Offset, std::size_t N) {
        if (Offset < base_ || Offset + N > limit_)
            return nullptr;
        const std::uint64_t end = Offset + N - base_;
        if (end > bytes_.size() && !Fill(end))
            return nullptr;
        return reinterpret_cast<const unsigned char*>(bytes_.data()) + (Offset - base_);
    }
    std::uint64_t End() const { return base_ + bytes_.size(); }

  private:
    bool Fill(std::uint64_t end) {
        if (ended_)
            return false;
        std::uint64_t want = (base_ + end + kChunk - 1) / kChunk * kChunk;
        want = std::min(want, limit_) - base_;
        const std::size_t had = bytes_.size();
        bytes_.resize(static_cast<std::size_t>(want));
        const std::size_t got = read_(base_ + had, bytes_.data() + had, bytes_.size() - had);
        bytes_.resize(had + std::min(got, bytes_.size() - had));
        ended_ = bytes_.size() < want;
        return bytes_.size() >= end;
    }

    const TReadAt& read_;
    const std::uint64_t base_;
    const std::uint64_t limit_;
    std::string bytes_;
    bool ended_ = false;
};

// A frame at Offset whose whole size lies before End.
bool FrameAt(TWindow& w, std::uint64_t Offset, std::uint64_t End, TFrame& f) {
    const unsigned char* p = w.At(Offset, 4);
    return p && ParseHeader(Be32(p), f) && Offset + f.Size <= End;
}

// Where the audio starts: after an ID3v2 tag (and its footer), if there is one.
std::uint64_t AudioStart(const TReadAt& ReadAt) {
    unsigned char h[10];
    if (ReadAt(0, reinterpret_cast<char*>(h), sizeof h) < sizeof h || std::memcmp(h, "ID3", 3) != 0 ||
        h[3] == 0xFF || h[4] == 0xFF || ((h[6] | h[7] | h[8] | h[9]) & 0x80) != 0)
        return 0;
    const std::uint64_t size = std::uint64_t{h[6]} << 21 | std::uint64_t{h[7]} << 14 |
                               std::uint64_t{h[8]} << 7 | h[9];
    return 10 + size + (h[3] >= 4 && (h[5] & 0x10) != 0 ? 10 : 0);
}

struct TInfoHeader {
    bool Found = false;
    bool Vbr = false;
    std::uint32_t Frames = 0;
    std::uint32_t Bytes = 0;
    std::uint32_t Delay = 0;
    std::uint32_t Padding = 0;
};

// A Xing/Info or VBRI header in the first frame, which then carries no audio.
TInfoHeader ReadInfoHeader(TWindow& w, std::uint64_t At, const TFrame& f) {
    TInfoHeader info;
    const unsigned char* frame = w.At(At, f.Size);
    if (!frame || f.Layer != 3)
        return info;
    const bool mono = f.Mode == 3;
    const std::uint32_t xing = 4 + (f.Version == 10 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if (xing + 8 <= f.Size &&
        (std::memcmp(frame + xing, "Xing", 4) == 0 || std::memcmp(frame + xing, "Info", 4) == 0)) {
        info.Found = true;
        info.Vbr = frame[xing] == 'X';
        const std::uint32_t flags = Be32(frame + xing + 4);
        std::uint32_t p = xing + 8;
        if ((flags & 1) && p + 4 <= f.Size) {
            info.Frames = Be32(frame + p);
            p += 4;
        }
        if ((flags & 2) && p + 4 <= f.Size) {
            info.Bytes = Be32(frame + p);
            p += 4;
        }
        p += (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
        // The LAME tag: the encoder's delay and padding, 12 bits each, 21 bytes in.
        if (p + 24 <= f.Size && (std::memcmp(frame + p, "LAME", 4) == 0 ||
                                 std::memcmp(frame + p, "Lavf", 4) == 0 ||
                                 std::memcmp(frame + p, "Lavc", 4) == 0)) {
            const unsigned char* d = frame + p + 21;
            info.Delay = std::uint32_t{d[0]} << 4 | d[1] >> 4;
            info.Padding = std::uint32_t{d[1] & 0x0Fu} << 8 | d[2];
        }
        return info;
    }
    constexpr std::uint32_t vbri = 4 + 32;
    if (vbri + 18 <= f.Size && std::memcmp(frame + vbri, "VBRI", 4) == 0) {
        info.Found = true;
        info.Vbr = true;
        info.Bytes = Be32(frame + vbri + 10);
        info.Frames = Be32(frame + vbri + 14);
    }
    return info;
}

int RoundKbps(double bitsPerSecond) {
    return static_cast<int>(std::lround(std::min(bitsPerSecond / 1000, 1e6)));
}

} // namespace

TMpegAudio ReadMpegAudio(std::uint64_t FileSize, std::uint64_t TrailingBytes,
                         const TReadAt& ReadAt) {
    TMpegAudio audio;
    const std::uint64_t start = AudioStart(ReadAt);
    const std::uint64_t end = FileSize - std::min(FileSize, TrailingBytes);
    if (start >= end)
        return audio;
    TWindow w(ReadAt, start, std::min(end, start + kSearchBytes + kSlackBytes));

    // The first frame: a valid header, and another of the same stream right after it.
    const std::uint64_t searchEnd = std::min(end, start + kSearchBytes);
    TFrame first;
    std::uint64_t at = start;
    for (;; ++at) {
        if (at >= searchEnd)
            return audio;
        const unsigned char* p = w.At(at, 1);
        if (!p)
            return audio;
        if (*p != 0xFF)
            continue;
        TFrame next;
        if (FrameAt(w, at, end, first) && w.At(at + first.Size, 4) &&
            ParseHeader(Be32(w.At(at + first.Size, 4)), next) && next.Key == first.Key)
            break;
    }

    audio.Note = TAudioNote::anNone;
    audio.AudioStart = at;
    audio.Version = first.Version;
    audio.Layer = first.Layer;
    audio.SampleRate = first.Rate;
    audio.ChannelMode = first.Mode;
    audio.Kbps = first.Kbps;
    const std::uint64_t audioBytes = end - at;
    const double rate = first.Rate;

    const TInfoHeader info = ReadInfoHeader(w, at, first);
    if (info.Found && info.Frames > 0) {
        audio.Vbr = info.Vbr;
        audio.Frames = info.Frames;
        const double samples = static_cast<double>(info.Frames) * first.Samples;
        const double cut = info.Delay + info.Padding < samples ? info.Delay + info.Padding : 0;
        audio.Seconds = (samples - cut) / rate;
        const std::uint64_t promised = info.Bytes > first.Size ? info.Bytes : 0;
        if (audio.Vbr)
            audio.Kbps = RoundKbps((promised ? promised : audioBytes) * 8.0 / (samples / rate));
        if (promised && audioBytes < promised) {
            // What is there of the frames after the header frame plays; the end padding
            // went with the missing part.
            audio.Note = TAudioNote::anTruncated;
            const double share =
                static_cast<double>(audioBytes - std::min<std::uint64_t>(audioBytes, first.Size)) /
                static_cast<double>(promised - first.Size);
            audio.Seconds = std::max(0.0, (samples * share - info.Delay) / rate);
        }
        return audio;
    }

    // No header: CBR when the first frames share one bit rate, else an estimate from the
    // frames in the first 64 KB.
    std::uint64_t frames = 0, bytes = 0;
    bool sameRate = true;
    std::uint64_t p = at;
    for (int k = 0;; ++k) {
        TFrame f;
        if (!FrameAt(w, p, end, f) || f.Key != first.Key)
            break;
        if (k < kCbrFrames && f.Kbps != first.Kbps)
            sameRate = false;
        if (p < searchEnd) {
            ++frames;
            bytes += f.Size;
        } else if (k >= kCbrFrames) {
            break;
        }
        p += f.Size;
    }
    if (sameRate) {
        audio.Seconds = static_cast<double>(audioBytes) * 8 / (first.Kbps * 1000.0);
        return audio;
    }
    audio.Vbr = true;
    audio.Estimated = true;
    const double bytesPerSecond = static_cast<double>(bytes) * rate /
                                  (static_cast<double>(frames) * first.Samples);
    audio.Kbps = RoundKbps(bytesPerSecond * 8);
    audio.Seconds = static_cast<double>(audioBytes) / bytesPerSecond;
    return audio;
}

TMpegAudio ReadMpegAudio(std::string_view File, std::uint64_t TrailingBytes) {
    return ReadMpegAudio(File.size(), TrailingBytes,
                         [File](std::uint64_t Offset, char* Into, std::size_t Length) {
                             if (Offset >= File.size())
                                 return std::size_t{0};
                             const std::size_t n = std::min<std::size_t>(
                                 Length, File.size() - static_cast<std::size_t>(Offset));
                             std::memcpy(Into, File.data() + Offset, n);
                             return n;
                         });
}

std::string_view AudioNoteText(TAudioNote Note) {
    switch (Note) {
    case TAudioNote::anTruncated:
        return "truncated";
    case TAudioNote::anNoAudio:
        return "no audio";
    default:
        return "";
    }
}

std::array<std::string, 5> AudioColumnTexts(const TMpegAudio& Audio) {
    std::array<std::string, 5> texts;
    texts[4] = AudioNoteText(Audio.Note);
    if (!Audio.HasAudio())
        return texts;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", Audio.Seconds);
    texts[0] = seconds;
    texts[1] = std::to_string(Audio.Kbps);
    texts[2] = Audio.Vbr ? "1" : "0";
    texts[3] = std::to_string(Audio.SampleRate);
    return texts;
}

} // namespace veltrane
