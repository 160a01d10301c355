#include "CliRun.h"

#include "support/AudioFiles.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace veltrane::cli {
namespace {

using test::InfoFrame;
using test::Mp3Frames;

TEST(AudioColumns, ShowListAndExportPrintTheSameFigures) {
    test::TestDir dir;
    // 200 frames at 128 kb/s: 5.2125 s. An Info header promising 300 frames of which 99 are
    // there: 99 frames of 1152 samples. No frame at all.
    dir.WriteFile("cbr.mp3", Mp3Frames(200) + test::TagBytes({"Song", "", "", "", "", 255}));
    dir.WriteFile("cut.mp3", InfoFrame(300, 301 * 417) + Mp3Frames(99));
    dir.WriteFile("none.mp3", test::Mp3BytesNoTag(20000));
    const std::string d = dir.path().string();
    const std::string cbr = "\t5.21\t128\t0\t44100\t\n", cut = "\t2.59\t128\t0\t44100\ttruncated\n",
                      none = "\t\t\t\t\tno audio\n";

    CliRun run = Cli({"tag", "show", "--audio", d});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, d + "/cbr.mp3\t1\tSong\t\t\t\t255\t\t\t" + cbr + d + "/cut.mp3\t0\t\t\t\t\t255\t\t\t" +
                           cut + d + "/none.mp3\t0\t\t\t\t\t255\t\t\t" + none);
    EXPECT_EQ(Cli({"tag", "show", d + "/cbr.mp3"}).out, d + "/cbr.mp3\t1\tSong\t\t\t\t255\t\t\t\n");

    // By length, the file without one last; descending puts it first.
    run = Cli({"list", "--audio", "--sort", "9", d});
    EXPECT_EQ(run.out, "cut.mp3\t\t\t\t\t\t\t" + cut + "cbr.mp3\tSong\t\t\t\t\t\t" + cbr +
                           "none.mp3\t\t\t\t\t\t\t" + none);
    EXPECT_EQ(Cli({"list", "--audio", "--sort", "-9", d}).out.substr(0, 8), "none.mp3");
    EXPECT_EQ(Cli({"list", "--sort", "9", d}).status, 2); // no such column without --audio

    // The export's audio columns go back in without a word.
    run = Cli({"tag", "export", "--audio", d});
    EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1),
              "path,title,artist,album,year,genre,comment,track,seconds,kbps,vbr,rate,note\r\n");
    EXPECT_NE(run.out.find("/cut.mp3,,,,,,,,2.59,128,0,44100,truncated\r\n"), std::string::npos);
    dir.WriteFile("tags.csv", run.out);
    run = Cli({"tag", "import", "--dry-run", d + "/tags.csv"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");

    // Length and Bitrate sort apart: the shorter file has the higher bit rate.
    test::TestDir two;
    two.WriteFile("fast.mp3", Mp3Frames(50, 160));
    two.WriteFile("slow.mp3", Mp3Frames(100));
    EXPECT_EQ(Cli({"list", "--audio", "--sort", "9", two.path().string()}).out.substr(0, 4), "fast");
    EXPECT_EQ(Cli({"list", "--audio", "--sort", "10", two.path().string()}).out.substr(0, 4), "slow");
}

} // namespace
} // namespace veltrane::cli
