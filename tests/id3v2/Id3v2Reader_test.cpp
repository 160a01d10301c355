#include "id3v2/Id3v2Reader.h"

#include "id3v2/Id3v2Check.h"
#include "support/HostileId3v2.h"
#include "support/Id3v2Builder.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/InOutError.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace veltrane {
namespace {

using test::V2Frame;

TId3v2Values Values(std::string Title, std::string Artist, std::string Album, std::string Year,
                    std::string Comment, int Genre = 255, int Track = 0,
                    std::string UnknownGenre = "", std::string BadTrack = "") {
    TId3v2Values v;
    v.Title = std::move(Title);
    v.Artist = std::move(Artist);
    v.Album = std::move(Album);
    v.Year = std::move(Year);
    v.Comment = std::move(Comment);
    v.Genre = static_cast<std::uint8_t>(Genre);
    v.Track = static_cast<std::uint8_t>(Track);
    v.UnknownGenre = std::move(UnknownGenre);
    v.BadTrack = std::move(BadTrack);
    return v;
}

TEST(Id3v2Mapping, FramesMapOntoId3v1Fields) {
    const struct {
        const char* name;
        std::vector<V2Frame> frames;
        TId3v2Values expected;
    } cases[] = {
        {"plain texts", {{"TIT2", {"Song"}}, {"TPE1", {"Band"}}, {"TALB", {"Disc"}}},
         Values("Song", "Band", "Disc", "", "")},
        {"blanks and line breaks trimmed", {{"TIT2", {"  Two\nlines \t"}}},
         Values("Two lines", "", "", "", "")},
        {"several values joined", {{"TPE1", {"A", "B"}}}, Values("", "A / B", "", "", "")},
        {"TPE2 only without TPE1", {{"TPE2", {"Album artist"}}},
         Values("", "Album artist", "", "", "")},
        {"TPE1 before TPE2", {{"TPE2", {"Album artist"}}, {"TPE1", {"Lead"}}},
         Values("", "Lead", "", "", "")},
        {"TDRC date", {{"TDRC", {"2004-05-01"}}}, Values("", "", "", "2004", "")},
        {"TDRC without four digits, TYER", {{"TDRC", {"99"}}, {"TYER", {"1999"}}},
         Values("", "", "", "1999", "")},
        {"TDRC before TYER", {{"TYER", {"1999"}}, {"TDRC", {"2001"}}},
         Values("", "", "", "2001", "")},
        {"comment without description first",
         {{"COMM", {"iTunNORM", " 0000"}}, {"COMM", {"note", "second"}}, {"COMM", {"", "plain"}}},
         Values("", "", "", "", "plain")},
        {"first comment not of a player",
         {{"COMM", {"iTunSMPB", "x"}}, {"COMM", {"note", "kept"}}, {"COMM", {"other", "no"}}},
         Values("", "", "", "", "kept")},
        {"only player comments", {{"COMM", {"iTunNORM", "x"}}}, Values("", "", "", "", "")},
        {"genre number", {{"TCON", {"17"}}}, Values("", "", "", "", "", 17)},
        {"genre in parentheses", {{"TCON", {"(17)"}}}, Values("", "", "", "", "", 17)},
        {"genre reference and name", {{"TCON", {"(8)Jazz"}}}, Values("", "", "", "", "", 8)},
        {"genre name, letter case aside", {{"TCON", {"rock"}}}, Values("", "", "", "", "", 17)},
        {"genre 0 is Blues", {{"TCON", {"0"}}}, Values("", "", "", "", "", 0)},
        {"genre 114, the table's last", {{"TCON", {"114"}}}, Values("", "", "", "", "", 114)},
        {"genre 115, past the table", {{"TCON", {"115"}}},
         Values("", "", "", "", "", 255, 0, "115")},
        {"genre name not in the table", {{"TCON", {"Chiptune"}}},
         Values("", "", "", "", "", 255, 0, "Chiptune")},
        {"genre number past the table", {{"TCON", {"200"}}},
         Values("", "", "", "", "", 255, 0, "200")},
        {"genre with leading zeros", {{"TCON", {"(0017)"}}}, Values("", "", "", "", "", 17)},
        {"genre 0 written long", {{"TCON", {"0000"}}}, Values("", "", "", "", "", 0)},
        {"genre of 25 digits", {{"TCON", {"1000000000000000000000017"}}},
         Values("", "", "", "", "", 255, 0, "1000000000000000000000017")},
        {"track of a total", {{"TRCK", {"3/12"}}}, Values("", "", "", "", "", 255, 3)},
        {"track with a leading zero", {{"TRCK", {"07"}}}, Values("", "", "", "", "", 255, 7)},
        {"track 255", {{"TRCK", {"255"}}}, Values("", "", "", "", "", 255, 255)},
        {"track 0", {{"TRCK", {"0"}}}, Values("", "", "", "", "", 255, 0, "", "0")},
        {"track 256", {{"TRCK", {"256/300"}}}, Values("", "", "", "", "", 255, 0, "", "256/300")},
        {"track no number", {{"TRCK", {"A1"}}}, Values("", "", "", "", "", 255, 0, "", "A1")},
        {"UTF-8 kept", {{"TIT2", {"Café ☕"}}}, Values("Café ☕", "", "", "", "")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseId3v2(test::Id3v2Bytes(c.frames)), c.expected);
    }
}

std::string Header(int Version, int Flags, std::uint32_t Size) {
    std::string h = "ID3";
    h += static_cast<char>(Version);
    h += '\0';
    h += static_cast<char>(Flags);
    for (int shift = 21; shift >= 0; shift -= 7)
        h += static_cast<char>((Size >> shift) & 0x7F);
    return h;
}

std::string Frame23(const std::string& Id, const std::string& Text, std::uint32_t Declared = 0) {
    const std::uint32_t size = Declared ? Declared : static_cast<std::uint32_t>(Text.size() + 1);
    std::string f = Id;
    for (int shift = 24; shift >= 0; shift -= 8)
        f += static_cast<char>((size >> shift) & 0xFF);
    f += std::string(2, '\0');
    f += '\0'; // Latin-1
    return f + Text;
}

TEST(Id3v2Reader, DamagedTagsAreNotReadAndFifosDoNotHang) {
    const std::string title = Frame23("TIT2", "Fine");
    const std::string audio = test::Mp3BytesNoTag(2000);
    const struct {
        const char* name;
        std::string bytes;
        bool readable;
    } cases[] = {
        {"a sound 2.3 tag", Header(3, 0, title.size() + 20) + title + std::string(20, '\0') + audio,
         true},
        {"zero-length file", "", false},
        {"no tag", audio, false},
        {"header only, cut", Header(3, 0, 100).substr(0, 7), false},
        {"unknown version", Header(5, 0, title.size()) + title + audio, false},
        {"size not syncsafe", Header(3, 0, 0).substr(0, 6) + "\x00\x00\x80\x10" + title + audio,
         false},
        {"frame size past the end", Header(3, 0, title.size()) + Frame23("TIT2", "Fine", 5000) + audio,
         false},
        {"second frame past the end",
         Header(3, 0, 2 * title.size()) + title + Frame23("TPE1", "Fine", 500) + audio, false},
        {"tag claims 200 MB", Header(4, 0, 200u << 20) + title + audio, false},
        {"tag longer than the file", Header(3, 0, 9000) + title, false},
        {"garbage where frames should be", Header(3, 0, 30) + std::string(30, '%') + audio, false},
    };
    test::TestDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.WriteFile("f.mp3", c.bytes);
        if (c.readable) {
            EXPECT_EQ(ReadId3v2(path).Title, "Fine");
        } else {
            EXPECT_THROW(ReadId3v2(path), ENoId3v2);
        }
    }
    const std::string fifo = dir / "pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(ReadId3v2(fifo), ENoId3v2);
    EXPECT_THROW(ReadId3v2(dir / "missing.mp3"), EInOutError);
}

// Tags made to crash, exhaust or fool a reader: what can be read is read, the rest is left out
// before anything is allocated for it, and a tag that yields nothing is no tag.
TEST(Id3v2Reader, HostileTagsAreReadWithoutHarm) {
    using test::CompressedFrame;
    using test::TagOf;
    using test::TextFrame;
    const std::string band = TextFrame(4, "TPE1", "Band");
    // The same frame as 2.3 writes it: compression is the flag 0x80, the sizes plain numbers.
    const auto v23 = [](std::string Frame) {
        Frame[8] = '\0';
        Frame[9] = '\x80';
        return Frame;
    };
    const std::string big(17u << 20, 'x'); // past 16 MB
    const struct {
        const char* name;
        std::string tag;
        bool readable;
        std::string title, artist;
        std::vector<std::string> unsafe;
    } cases[] = {
        {"chapters nested 20,000 deep", test::NestedChapters(20000), true, "Song", "", {}},
        {"tables of contents nested 20,000 deep", test::NestedChapters(20000, "CTOC"), true, "Song",
         "", {}},
        {"compressed frame", TagOf(4, 0, CompressedFrame("TIT2", "Packed") + band), true,
         "Packed", "Band", {}},
        {"compressed frame declaring 200 MB", TagOf(4, 0, CompressedFrame("TIT2", "x", 200u << 20) + band),
         true, "", "Band", {"TIT2: inflates to 209715200 bytes, past 16 MB"}},
        {"compressed frame of 17 MB", TagOf(4, 0, band + CompressedFrame("TIT2", big)), true, "",
         "Band", {"TIT2: inflates to 17825793 bytes, past 16 MB"}},
        {"two frames of 9 MB", TagOf(4, 0, CompressedFrame("TIT2", big.substr(0, 9u << 20)) +
                                                CompressedFrame("TPE1", big.substr(0, 9u << 20))),
         true, big.substr(0, 9u << 20), "", {"TPE1: inflates to 9437185 bytes, past 16 MB"}},
        {"compressed frame inflating past what it declares",
         TagOf(4, 0, band + CompressedFrame("TIT2", big.substr(0, 200000), 100)), true, "", "Band",
         {"TIT2: inflates past the size it declares"}},
        {"only a bomb", TagOf(4, 0, CompressedFrame("TIT2", "x", 200u << 20)), false, "", "", {}},
        {"2.3 compressed frame declaring 1.6 GB",
         TagOf(3, 0, v23(CompressedFrame("TIT2", "x", 200u << 20)) + TextFrame(3, "TPE1", "Band")),
         true, "", "Band", {"TIT2: inflates to 1677721600 bytes, past 16 MB"}},
        {"a frame one byte past the end",
         TagOf(3, 0, TextFrame(3, "TIT2", "Song") + "TPE1" + test::Plain4(6) + std::string(2, '\0') +
                         std::string("\0Band", 5)),
         false, "", "", {}},
        {"2.3 extended header", test::ExtendedHeader23(false), true, "Song", "Band", {}},
        {"2.3 extended header with a CRC", test::ExtendedHeader23(true), true, "Song", "Band", {}},
        {"2.3 extended header, unsynchronised", test::ExtendedHeader23(false, true), true,
         "Song\xc3\xbf", "Band", {}},
        {"2.3 extended header past the end", TagOf(3, 0x40, test::Plain4(60) + TextFrame(3, "TIT2", "S")),
         false, "", "", {}},
        {"empty first frame", TagOf(3, 0, "TIT2" + test::Plain4(0) + std::string(2, '\0') + TextFrame(3, "TPE1", "B")),
         false, "", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.readable) {
            EXPECT_THROW(ParseId3v2(c.tag), ENoId3v2);
            continue;
        }
        EXPECT_EQ(CheckId3v2Tag(c.tag).Unsafe, c.unsafe);
        const TId3v2Values v = ParseId3v2(c.tag);
        EXPECT_EQ(v.Title.size(), c.title.size());
        EXPECT_TRUE(v.Title == c.title);
        EXPECT_EQ(v.Artist, c.artist);
    }
}

// Files tagged at test time by the tag writers of other projects.
TEST(Id3v2Reader, ReadsWhatPeerWritersWrote) {
    const struct {
        const char* name;
        const char* program;
        std::string command; // FILE is appended
        TId3v2Values expected;
    } cases[] = {
        {"id3v2, ID3v2.3", "id3v2",
         "id3v2 --id3v2-only -t 'Peer Song' -a 'Peer Band' -A 'Peer Disc' -y 1999 -g 17 -T 3/12 "
         "-c 'a note'",
         Values("Peer Song", "Peer Band", "Peer Disc", "1999", "a note", 17, 3)},
        {"eyeD3, ID3v2.4 UTF-8", "eyeD3",
         "eyeD3 -Q --to-v2.4 --encoding utf8 -t 'Tïtle' -a 'Ärtist' -A 'Älbum' --recording-date "
         "2004 -G Jazz -n 5 -c 'cömment'",
         Values("Tïtle", "Ärtist", "Älbum", "2004", "cömment", 8, 5)},
        {"eyeD3, ID3v2.4 UTF-16", "eyeD3",
         "eyeD3 -Q --to-v2.4 --encoding utf16 -t '日本' -a 'Ωmega' --recording-date 2010-05-01 "
         "-n 300",
         Values("日本", "Ωmega", "", "2010", "", 255, 0, "", "300")},
        {"mutagen, ID3v2.4 with TDRC and a (17) genre", "mid3v2",
         "mid3v2 -t 'Mu Song' -a 'Mu Band' -y 2001 -g '(17)' -T 3/12",
         Values("Mu Song", "Mu Band", "", "2001", "", 17, 3)},
        {"mutagen, ID3v2.3 with TYER", "mid3v2",
         // The interpreter mutagen was installed for.
         "$(sed -n '1s/^#! *//p' \"$(command -v mid3v2)\") -c 'import sys; from mutagen.id3 import ID3, TIT2, TYER, TCON, TRCK; t = ID3(); "
         "t.add(TIT2(encoding=1, text=\"Üb3\")); t.add(TYER(encoding=0, text=\"1987\")); "
         "t.add(TCON(encoding=0, text=\"(17)\")); t.add(TRCK(encoding=0, text=\"3/12\")); "
         "t.save(sys.argv[1], v2_version=3)'",
         Values("Üb3", "", "", "1987", "", 17, 3)},
    };
    test::TestDir dir;
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!test::HaveProgram(c.program)) {
            std::printf("skipped %s: %s is not installed\n", c.name, c.program);
            continue;
        }
        const std::string path = dir.WriteFile("peer.mp3", test::Mp3BytesNoTag(4000));
        ASSERT_EQ(std::system((c.command + " '" + path + "' >/dev/null 2>&1").c_str()), 0);
        EXPECT_EQ(ReadId3v2(path), c.expected);
        ++run;
    }
    if (run == 0)
        GTEST_SKIP() << "no peer tag writer installed (id3v2, eyeD3, mutagen)";
}

} // namespace
} // namespace veltrane
