#include "tagcore/MpegAudio.h"

#include "support/AudioFiles.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace veltrane;
using namespace veltrane::test;

namespace {

struct Made {
    const char* Name;
    std::vector<std::string> LameArgs; // empty: made by hand below
    int Version, Rate, Mode, Kbps;     // Kbps 0: VBR, checked against the file's average
    bool Vbr;
    TAudioNote Note;
    double Tolerance; // seconds, or a share when below 0
};

// What a file holds at its end that is no audio.
std::uint64_t Trailing(const std::string& bytes) {
    return bytes.size() >= 128 && bytes.compare(bytes.size() - 128, 3, "TAG") == 0 ? 128 : 0;
}

TEST(MpegAudio, FilesMadeByLameReadAsFfmpegDecodesThem) {
    if (const std::string missing = MissingAudioTools(); !missing.empty())
        GTEST_SKIP() << missing;
    TestDir dir;
    const std::string wav = SourceWave(dir.path().string());
    const Made table[] = {
        {"cbr", {"-b", "128"}, 10, 44100, 1, 128, false, TAudioNote::anNone, 0.06},
        {"xing", {"-V", "2"}, 10, 44100, 1, 0, true, TAudioNote::anNone, 0.06},
        {"noheader", {"-V", "2", "-t"}, 10, 44100, 1, 0, true, TAudioNote::anNone, -0.05},
        {"mpeg2", {"--resample", "22.05", "-b", "64"}, 20, 22050, 1, 64, false, TAudioNote::anNone, 0.06},
        {"mono", {"-m", "m", "-b", "96"}, 10, 44100, 3, 96, false, TAudioNote::anNone, 0.06},
        {"id3v2", {"-b", "160", "--add-id3v2", "--pad-id3v2-size", "5000", "--tt", "T"}, 10, 44100,
         1, 160, false, TAudioNote::anNone, 0.06},
        {"half", {}, 10, 44100, 1, 128, false, TAudioNote::anTruncated, 0.06},
        {"none", {}, 0, 0, 0, 0, false, TAudioNote::anNoAudio, 0},
    };
    for (const Made& m : table) {
        SCOPED_TRACE(m.Name);
        const std::string path = dir / (std::string(m.Name) + ".mp3");
        if (m.Note == TAudioNote::anTruncated) {
            const std::string whole = dir.ReadFile("cbr.mp3");
            dir.WriteFile("half.mp3", whole.substr(0, whole.size() / 2));
        } else if (m.Note == TAudioNote::anNoAudio) {
            std::string noise(40000, '\0');
            for (std::size_t i = 0; i < noise.size(); ++i)
                noise[i] = static_cast<char>((i * 7919 + i / 13) % 251); // never 0xFF
            dir.WriteFile("none.mp3", noise);
        } else {
            ASSERT_TRUE(Lame(m.LameArgs, wav, path));
        }
        const std::string bytes = dir.ReadFile(std::string(m.Name) + ".mp3");
        const TMpegAudio a = ReadMpegAudio(bytes, Trailing(bytes));
        EXPECT_EQ(a.Note, m.Note);
        EXPECT_EQ(a.Version, m.Version);
        EXPECT_EQ(a.SampleRate, m.Rate);
        EXPECT_EQ(a.ChannelMode, m.Mode);
        EXPECT_EQ(a.Vbr, m.Vbr);
        EXPECT_EQ(a.Estimated, m.Tolerance < 0);
        if (m.Note == TAudioNote::anNoAudio) {
            EXPECT_FALSE(DecodedSeconds(path));
            continue;
        }
        const std::optional<double> decoded = DecodedSeconds(path);
        ASSERT_TRUE(decoded);
        const double tolerance = m.Tolerance < 0 ? -m.Tolerance * *decoded : m.Tolerance;
        EXPECT_NEAR(a.Seconds, *decoded, tolerance);
        if (m.Kbps != 0) {
            EXPECT_EQ(a.Kbps, m.Kbps);
        } else {
            const double average = (bytes.size() - a.AudioStart) * 8 / *decoded / 1000;
            EXPECT_NEAR(a.Kbps, average, average * 0.05);
        }
        if (std::string(m.Name) == "id3v2") {
            EXPECT_GT(a.AudioStart, 5000u);
        }
    }
}

// MPEG 1 layer 3, 128 kb/s, 44,100 Hz, stereo, no padding: 417 bytes a frame.
constexpr unsigned char kHeader[4] = {0xFF, 0xFB, 0x90, 0x00};
std::string Frames(int count) {
    std::string frame(417, '\0');
    std::memcpy(frame.data(), kHeader, 4);
    std::string out;
    for (int i = 0; i < count; ++i)
        out += frame;
    return out;
}

void PutBe32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        s[at + k] = static_cast<char>(v >> (24 - 8 * k));
}

TEST(MpegAudio, HostileBytesCostOnePassAtMost) {
    std::string ffs(300000, '\xFF');
    std::string syncs;
    for (int i = 0; i < 75000; ++i)
        syncs.append(reinterpret_cast<const char*>(kHeader), 4);
    std::string huge = Frames(400); // a Xing header claiming 2^32 - 1 frames and bytes
    std::memcpy(huge.data() + 36, "Xing", 4);
    PutBe32(huge, 40, 3);
    PutBe32(huge, 44, 0xFFFFFFFFu);
    PutBe32(huge, 48, 0xFFFFFFFFu);
    std::string zeroFrames = huge; // a header without frames counts for nothing
    PutBe32(zeroFrames, 44, 0);
    const std::string beyond = std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + Frames(20);
    struct Case {
        const char* Name;
        std::string Bytes;
        TAudioNote Note;
    } cases[] = {
        {"0xFF bytes", ffs, TAudioNote::anNoAudio},
        {"sync words everywhere", syncs, TAudioNote::anNoAudio},
        {"2^32 frames", huge, TAudioNote::anTruncated},
        {"Xing without frames", zeroFrames, TAudioNote::anNone},
        {"tag past the end", beyond, TAudioNote::anNoAudio},
        {"empty", "", TAudioNote::anNoAudio},
        {"one frame", Frames(1), TAudioNote::anNoAudio},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::uint64_t read = 0;
        const TMpegAudio a = ReadMpegAudio(
            c.Bytes.size(), 0, [&](std::uint64_t at, char* into, std::size_t n) {
                if (at >= c.Bytes.size())
                    return std::size_t{0};
                n = std::min<std::size_t>(n, c.Bytes.size() - at);
                std::memcpy(into, c.Bytes.data() + at, n);
                read += n;
                return n;
            });
        EXPECT_EQ(a.Note, c.Note);
        EXPECT_LE(read, 10u + 96 * 1024);
        EXPECT_TRUE(std::isfinite(a.Seconds) && a.Seconds >= 0);
    }
    // The frames themselves decide once the header says nothing: 400 frames at 128 kb/s.
    EXPECT_NEAR(ReadMpegAudio(zeroFrames).Seconds, 400 * 417 * 8 / 128000.0, 1e-9);
}

TEST(MpegAudio, FirstFramesDecideBetweenCbrAndAnEstimate) {
    // Junk before the first frame is skipped; a bit rate change within 16 frames is VBR.
    std::string cbr = std::string(100, 'x') + Frames(20);
    TMpegAudio a = ReadMpegAudio(cbr);
    EXPECT_EQ(a.AudioStart, 100u);
    EXPECT_FALSE(a.Vbr);
    EXPECT_EQ(a.Kbps, 128);
    std::string vbr = Frames(15);
    std::string fast(522, '\0'); // 160 kb/s: 522 bytes
    const unsigned char h160[4] = {0xFF, 0xFB, 0xA0, 0x00};
    std::memcpy(fast.data(), h160, 4);
    vbr += fast + Frames(4);
    a = ReadMpegAudio(vbr);
    EXPECT_TRUE(a.Vbr);
    EXPECT_TRUE(a.Estimated);
    EXPECT_NEAR(a.Seconds, 20 * 1152 / 44100.0, 1e-6);
    EXPECT_EQ(a.Kbps, 129); // (19 * 417 + 522) bytes in 20 frames of 1152 samples
    // A padded frame is a byte longer; a header of another stream (layer 2) is no second frame.
    std::string padded(418, '\0');
    const unsigned char hPad[4] = {0xFF, 0xFB, 0x92, 0x00}, hLayer2[4] = {0xFF, 0xFD, 0x90, 0x00};
    std::memcpy(padded.data(), hPad, 4);
    EXPECT_EQ(ReadMpegAudio(padded + Frames(20)).AudioStart, 0u);
    std::string layer2 = Frames(1);
    std::memcpy(layer2.data(), hLayer2, 4);
    EXPECT_EQ(ReadMpegAudio(Frames(1) + layer2 + Frames(20)).AudioStart, 834u);
    EXPECT_EQ(AudioNoteText(TAudioNote::anTruncated), "truncated");
    EXPECT_EQ(AudioNoteText(TAudioNote::anNoAudio), "no audio");
    EXPECT_EQ(AudioNoteText(TAudioNote::anNone), "");
}

} // namespace
