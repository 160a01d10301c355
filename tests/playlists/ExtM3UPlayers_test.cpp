// Players of other makes read the extended, relative playlists we write, and we read theirs.

#include "playlists/ExtM3U.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace veltrane {
namespace {

using Lines = std::vector<std::string>;

bool Installed(const char* tool) {
    return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string RunShell(const std::string& command, int& status) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[4096];
    while (pipe)
        if (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        else
            break;
    status = pipe ? ::pclose(pipe) : -1;
    return output;
}

// Silent MPEG-1 Layer III frames with a tag, so players decode them and we have a title.
std::string Audio(const test::RawTag& tag) {
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\x44';
    std::string audio;
    for (int i = 0; i < 20; ++i)
        audio += frame;
    return audio + test::TagBytes(tag);
}

class ExtM3UPlayers : public ::testing::Test {
  protected:
    void SetUp() override {
        a_ = dir_.WriteFile("M/one song.mp3", Audio({"Song", "Band", "", "", "", 255}));
        b_ = dir_.WriteFile("M/S/two.mp3", Audio({"", "", "", "", "", 255}));
        list_ = dir_ / "M/list.m3u8";
        WritePlaylistEntries(list_, {a_, b_}, pwOverwrite, {true, true});
        // By hand, in the form the players' documentation describes, beside ours.
        dir_.WriteFile("M/hand.m3u", "#EXTM3U\n#EXTINF:2,Band - Song\none song.mp3\n\n"
                                     "#EXTINF:-1,two\n#EXTVLCOPT:start-time=0\n" + b_ + "\n");
    }
    test::TestDir dir_;
    std::string a_, b_, list_;
};

TEST_F(ExtM3UPlayers, OursIsExtendedAndRelativeAndHandMadeOnesReadAsEntries) {
    EXPECT_EQ(dir_.ReadFile("M/list.m3u8"), "#EXTM3U\r\n#EXTINF:-1,Band - Song\r\none song.mp3\r\n"
                                            "#EXTINF:-1,two\r\nS/two.mp3\r\n");
    EXPECT_EQ(ReadPlaylistFile(dir_ / "M/hand.m3u"), (Lines{"one song.mp3", b_}));
    for (const std::string& entry : ReadPlaylistFile(list_))
        EXPECT_TRUE(PlaylistEntryExists(entry, list_)) << entry;
}

TEST_F(ExtM3UPlayers, Mpg123PlaysEveryEntryFromAnotherFolder) {
    if (!Installed("mpg123"))
        GTEST_SKIP() << "mpg123 is not installed (scripts/deps.sh installs it)";
    for (const std::string& list : {list_, dir_ / "M/hand.m3u"}) {
        int status = 0;
        const std::string out = RunShell("cd / && mpg123 --test -@ '" + list + "'", status);
        EXPECT_EQ(status, 0) << out;
        EXPECT_NE(out.find("Decoding of one song.mp3 finished"), std::string::npos) << out;
        EXPECT_NE(out.find("Decoding of two.mp3 finished"), std::string::npos) << out;
        EXPECT_EQ(out.find("EXT"), std::string::npos) << out; // no # line taken for a file
    }
}

TEST_F(ExtM3UPlayers, MpvPlaysEveryEntryFromAnotherFolder) {
    if (!Installed("mpv"))
        GTEST_SKIP() << "mpv is not installed (scripts/deps.sh installs it)";
    for (const std::string& list : {list_, dir_ / "M/hand.m3u"}) {
        int status = 0;
        const std::string out = RunShell("cd / && mpv --no-config --ao=null "
                                    "--vo=null --length=0.05 --playlist='" + list + "'",
                                    status);
        EXPECT_EQ(status, 0) << out;
        EXPECT_NE(out.find("one song.mp3"), std::string::npos) << out;
        EXPECT_NE(out.find("two.mp3"), std::string::npos) << out;
        EXPECT_EQ(out.find("Failed"), std::string::npos) << out;
    }
}

} // namespace
} // namespace veltrane
