#include "components/AviReader.h"

#include "components/Lzrw1Kh.h"
#include "generators/RiffWriter.h"
#include "media/Media.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrane {
namespace {

using namespace std::string_literals;

// A small clip: 4x2 pixels, a three-colour palette, the given frame chunks.
struct ClipSpec {
    std::vector<std::string> streamTypes = {"vids"};
    std::uint32_t compression = 0;
    unsigned bitCount = 8;
    std::int32_t height = 2;
    std::vector<std::string> frames;
};

std::string MakeAvi(const ClipSpec& spec) {
    std::string avih;
    Put32(avih, 50000);
    for (int i = 0; i < 13; ++i)
        Put32(avih, 0);
    std::string strls;
    for (const std::string& type : spec.streamTypes) {
        std::string strh = type + "\0\0\0\0"s;
        while (strh.size() < 56)
            strh += char(0);
        std::string strf;
        Put32(strf, 40);
        Put32(strf, 4);
        Put32(strf, std::uint32_t(spec.height));
        Put16(strf, 1);
        Put16(strf, spec.bitCount);
        Put32(strf, spec.compression);
        for (int i = 0; i < 3; ++i)
            Put32(strf, 0);
        Put32(strf, 3);
        Put32(strf, 0);
        strf += "\x00\x00\xff\x00\x00\xff\x00\x00\xff\x00\x00\x00"s; // red, green, blue
        strls += List("strl", Chunk("strh", strh) + Chunk("strf", strf));
    }
    std::string movi;
    for (const std::string& f : spec.frames)
        movi += Chunk("00dc", f);
    return Chunk("RIFF", "AVI " + List("hdrl", Chunk("avih", avih) + strls) + List("movi", movi));
}

TEST(AviReader, UncompressedFramesBottomUp) {
    ClipSpec spec;
    spec.frames = {"\x01\x01\x01\x01"s
                   "\x00\x01\x02\x00"s,
                   ""};
    const TAviClip clip = ParseAvi(MakeAvi(spec));
    EXPECT_EQ(clip.Width, 4);
    EXPECT_EQ(clip.Height, 2);
    EXPECT_EQ(clip.MicroSecPerFrame, 50000u);
    EXPECT_EQ(clip.Palette[0], 0xFFFF0000u);
    EXPECT_EQ(clip.Palette[2], 0xFF0000FFu);
    ASSERT_EQ(clip.FrameCount(), 2);
    EXPECT_EQ(clip.Frames[0], (std::vector<std::uint8_t>{0, 1, 2, 0, 1, 1, 1, 1}));
    EXPECT_EQ(clip.Frames[1], clip.Frames[0]); // an empty chunk repeats the frame
}

TEST(AviReader, Rle8RunsLiteralsDeltaAndClipping) {
    ClipSpec spec;
    spec.compression = 1;
    spec.frames = {
        // Bottom row: run of 2 x colour 1, absolute 3 bytes (padded); top row: run of 9
        // (clipped at the width); end of bitmap.
        "\x02\x01\x00\x03\x02\x00\x01\x00\x00\x00"s
        "\x09\x02\x00\x01"s,
        // Delta one right and one up, then one pixel of colour 0.
        "\x00\x02\x01\x01\x01\x00\x00\x01"s,
    };
    const TAviClip clip = ParseAvi(MakeAvi(spec));
    ASSERT_EQ(clip.FrameCount(), 2);
    EXPECT_EQ(clip.Frames[0], (std::vector<std::uint8_t>{2, 2, 2, 2, 1, 1, 2, 0}));
    EXPECT_EQ(clip.Frames[1], (std::vector<std::uint8_t>{2, 0, 2, 2, 1, 1, 2, 0}));
}

TEST(AviReader, RefusesSoundOtherCompressionsAndDamage) {
    const auto reason = [](const ClipSpec& spec) {
        try {
            ParseAvi(MakeAvi(spec));
        } catch (const EAviError& e) {
            return e.Reason();
        }
        return std::string("accepted");
    };
    ClipSpec sound;
    sound.streamTypes = {"vids", "auds"};
    sound.frames = {"\0\0\0\0\0\0\0\0"s};
    EXPECT_EQ(reason(sound), "the clip has sound");
    ClipSpec rle4 = sound;
    rle4.streamTypes = {"vids"};
    rle4.compression = 2;
    EXPECT_EQ(reason(rle4), "unsupported compression");
    ClipSpec cvid = rle4;
    cvid.compression = 0x64697663; // "cvid"
    EXPECT_EQ(reason(cvid), "unsupported compression");
    ClipSpec rgb24 = rle4;
    rgb24.compression = 0;
    rgb24.bitCount = 24;
    EXPECT_EQ(reason(rgb24), "frames are not 8-bit");
    ClipSpec none = rgb24;
    none.bitCount = 8;
    none.frames.clear();
    EXPECT_EQ(reason(none), "no frames");
    ClipSpec shortFrame = none;
    shortFrame.frames = {"\0\0\0"s};
    EXPECT_EQ(reason(shortFrame), "truncated frame");
    ClipSpec rleTrunc = none;
    rleTrunc.compression = 1;
    rleTrunc.frames = {"\x00\x05\x01"s};
    EXPECT_EQ(reason(rleTrunc), "truncated RLE8 frame");

    ClipSpec good;
    good.frames = {"\0\0\0\0\0\0\0\0"s};
    const std::string avi = MakeAvi(good);
    for (std::size_t cut = 0; cut < avi.size(); ++cut) {
        try {
            ParseAvi(avi.substr(0, cut)); // a cut inside RIFF's stated size may still parse
        } catch (const EAviError&) {
        }
    }
    EXPECT_THROW(ParseAvi("RIFX"), EAviError);

    // An odd last chunk without its pad byte ends the list cleanly.
    std::string odd = avi + "JUNK\1\0\0\0x";
    const std::uint32_t riffSize = std::uint32_t(odd.size() - 8);
    odd.replace(4, 4, std::string{char(riffSize), char(riffSize >> 8), char(riffSize >> 16), 0});
    EXPECT_EQ(ParseAvi(odd).FrameCount(), 1);
}

TEST(AviReader, OpenReportsTheControlText) {
    try {
        OpenAvi("/nonexistent/clip.avi");
        FAIL();
    } catch (const EAviError& e) {
        EXPECT_STREQ(e.what(), "Could not open AVI \"/nonexistent/clip.avi\"\n\n"
                               "It must be a silent AVI file/resource.");
    }
}

TEST(AviReader, ReadsTheSearchingAnimation) {
    test::TestDir dir;
    const std::string path = dir.WriteFile(
        "search.Avi", TCompressStream().DecompressBytes(media::SearchFilesFileData()));
    const TAviClip clip = OpenAvi(path);
    EXPECT_EQ(clip.Width, 80);
    EXPECT_EQ(clip.Height, 50);
    EXPECT_EQ(clip.FrameCount(), 32);
    EXPECT_NE(clip.Frames[0], clip.Frames[8]); // the glass moves
}

} // namespace
} // namespace veltrane
