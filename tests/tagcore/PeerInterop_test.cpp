// Round trips of ID3v1.1 track numbers with other tag tools: each reads back what Veltrane
// wrote, and Veltrane reads what each wrote. A tool that is not installed is skipped.

#include "tagcore/TagFile.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace veltrane {
namespace {

// Files the tools take for MP3: MPEG-1 Layer III frame headers (128 kbit/s, 44.1 kHz).
std::string MpegAudio() {
    std::string frame("\xFF\xFB\x90\x64", 4);
    frame.resize(417, '\0');
    std::string audio;
    for (int i = 0; i < 50; ++i)
        audio += frame;
    return audio;
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The command's standard output; false when it fails.
bool Run(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return false;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    return ::pclose(pipe) == 0;
}

struct Peer {
    const char* name;
    const char* probe; // succeeds when the tool is there
    // Writes title "Song", Track and Comment into FILE as an ID3v1 tag.
    std::string (*write)(const std::string& file, int track, const std::string& comment);
    // Prints the ID3v1 track on one line and the comment on the next.
    std::string (*read)(const std::string& file);
};

const char* const kPython = "/usr/bin/python3";

const Peer kPeers[] = {
    {"id3v2", "id3v2 --version",
     [](const std::string& f, int track, const std::string& comment) {
         return "id3v2 -1 -t Song -T " + std::to_string(track) + " -c " + Quote(comment) + " " +
                Quote(f);
     },
     // "Comment: TEXT<padding> Track: N"
     [](const std::string& f) {
         return "id3v2 -l " + Quote(f) +
                " | sed -n 's/^Comment: \\(.*[^ ]\\) *Track: \\([0-9]*\\).*/\\2\\n\\1/p'";
     }},
    {"eyeD3", "eyeD3 --version",
     [](const std::string& f, int track, const std::string& comment) {
         return "eyeD3 --v1 -t Song -n " + std::to_string(track) + " -c " + Quote(comment) + " " +
                Quote(f);
     },
     [](const std::string& f) {
         return std::string(kPython) +
                " -c 'import sys, eyed3; t = eyed3.load(sys.argv[1], "
                "tag_version=eyed3.id3.ID3_V1).tag; print(t.track_num[0]); "
                "print(t.comments[0].text)' " +
                Quote(f);
     }},
    {"mutagen", "/usr/bin/python3 -c 'import mutagen'",
     [](const std::string& f, int track, const std::string& comment) {
         return std::string(kPython) +
                " -c 'import sys; from mutagen.id3 import ID3, TIT2, TRCK, COMM; t = ID3(); "
                "t.add(TIT2(encoding=0, text=\"Song\")); t.add(TRCK(encoding=0, text=sys.argv[2])); "
                "t[\"COMM\"] = COMM(encoding=0, lang=\"eng\", desc=\"\", text=sys.argv[3]); "
                "t.save(sys.argv[1], v1=2)' " +
                Quote(f) + " " + std::to_string(track) + " " + Quote(comment);
     },
     [](const std::string& f) {
         return std::string(kPython) +
                " -c 'import sys; from mutagen.id3 import ParseID3v1; "
                "t = ParseID3v1(open(sys.argv[1], \"rb\").read()[-128:]); "
                "print(t[\"TRCK\"].text[0]); print(t[\"COMM\"].text[0])' " +
                Quote(f);
     }},
    {"kid3-cli", "kid3-cli --help",
     [](const std::string& f, int track, const std::string& comment) {
         return "kid3-cli -c 'set title Song 1' -c \"set 'track number' " + std::to_string(track) +
                " 1\" -c " + Quote("set comment " + Quote(comment) + " 1") + " " + Quote(f);
     },
     [](const std::string& f) {
         return "kid3-cli -c \"get 'track number' 1\" -c 'get comment 1' " + Quote(f);
     }},
};

class PeerInterop : public ::testing::TestWithParam<Peer> {
  protected:
    void SetUp() override {
        std::string ignored;
        if (!Run(GetParam().probe, ignored))
            GTEST_SKIP() << GetParam().name << " is not installed: round trip not tested";
    }
    test::TestDir dir_;
};

TEST_P(PeerInterop, ReadsVeltranesTrackAndVeltraneReadsTheirs) {
    const Peer& peer = GetParam();
    const struct {
        int track;
        std::string comment;
    } cases[] = {{7, "Veltrane comment"}, {65, std::string(28, 'c')}, {255, "x"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.track));
        // Veltrane writes, the peer reads.
        const std::string ours = dir_.WriteFile("ours.mp3", MpegAudio());
        TMP3Tag tag;
        tag.Header = "TAG";
        tag.Title = "Song";
        tag.Comment = c.comment;
        tag.Track = static_cast<std::uint8_t>(c.track);
        tag.Genre = 17;
        SetMP3Tag(ours, tag);
        std::string output;
        ASSERT_TRUE(Run(peer.read(ours), output)) << peer.read(ours);
        EXPECT_EQ(output, std::to_string(c.track) + "\n" + c.comment + "\n");

        // The peer writes, Veltrane reads.
        const std::string theirs = dir_.WriteFile("theirs.mp3", MpegAudio());
        ASSERT_TRUE(Run(peer.write(theirs, c.track, c.comment), output))
            << peer.write(theirs, c.track, c.comment);
        const TMP3Tag read = GetMP3Tag(theirs);
        EXPECT_EQ(read.Title, "Song");
        EXPECT_EQ(read.Track, c.track);
        EXPECT_EQ(read.Comment, c.comment);
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, PeerInterop, ::testing::ValuesIn(kPeers),
                         [](const ::testing::TestParamInfo<Peer>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p)))
                                     name += *p;
                             return name;
                         });

} // namespace
} // namespace veltrane
