#include "tagcore/TagFile.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace veltrane {
namespace {

using test::Mp3Bytes;
using test::Mp3BytesNoTag;
using test::RawTag;
using test::TagBytes;

std::string Tail(const std::string& bytes) {
    return bytes.substr(bytes.size() - 128);
}

mode_t ModeOf(const std::string& path) {
    struct stat st;
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

int ErrorCodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EInOutError& e) {
        return e.ErrorCode();
    }
    return 0;
}

TEST(InOutError, TextsByCode) {
    EXPECT_EQ(EInOutError(2).what(), std::string("File not found"));
    EXPECT_EQ(EInOutError(5).what(), std::string("File access denied"));
    EXPECT_EQ(EInOutError(101).what(), std::string("Disk full"));
    EXPECT_EQ(EInOutError(42).what(), std::string("I/O error 42"));
    EXPECT_EQ(EInOutError::FromErrno(EACCES).ErrorCode(), 5);
    EXPECT_EQ(EInOutError::FromErrno(EIO).ErrorCode(), 1005); // never poses as code 5
}

TEST(TagStrings, TrimAndPad) {
    EXPECT_EQ(RTrim("ab \t  "), "ab \t");
    EXPECT_EQ(RTrim("   "), "");
    EXPECT_EQ(AddTrailingSpaces("ab", 4), "ab  ");
    EXPECT_EQ(AddTrailingSpaces("abcdef", 4), "abcdef");
    TMP3Tag t{"f.mp3", "", "a", "b", "c", "d", "e", 3, 12};
    ClearMP3Tag(t);
    EXPECT_EQ(t, (TMP3Tag{"f.mp3", "TAG", "", "", "", "", "", 255}));
}

TEST(GetMP3Tag, ReadsZeroPaddedTagOfOtherWriters) {
    test::TestDir dir;
    RawTag raw{std::string("ab\0cd", 5), "Artist", "Album", "1999", "Comment", 17, '\0'};
    const std::string f = dir.WriteFile("a.mp3", Mp3Bytes(1000, raw));
    std::uint64_t size = 0;
    const TMP3Tag t = GetMP3Tag(f, TagCodec::Default(), &size);
    EXPECT_EQ(t, (TMP3Tag{f, "TAG", "ab cd", "Artist", "Album", "1999", "Comment", 17}));
    EXPECT_EQ(size, 1128u);
}

TEST(GetMP3Tag, TrackNumberOnlyWithTheId3v11Marker) {
    test::TestDir dir;
    const struct {
        char byte125, byte126;
        std::string comment;
        std::uint8_t track;
    } cases[] = {
        {0, 0, "Short comment", 0},
        {0, 5, "Short comment", 5},
        {0, 65, "Short comment", 65},
        {32, 65, "Short comment" + std::string(16, ' ') + "A", 0}, // no marker: comment text
        {0, static_cast<char>(255), "Short comment", 255},
        {'x', 0, "Short comment" + std::string(15, ' ') + "x", 0},
    };
    for (const auto& c : cases) {
        std::string bytes = Mp3Bytes(500, RawTag{"T", "A", "B", "2001", "Short comment", 17});
        bytes[bytes.size() - 3] = c.byte125;
        bytes[bytes.size() - 2] = c.byte126;
        const TMP3Tag t = GetMP3Tag(dir.WriteFile("t.mp3", bytes));
        const std::string label = std::to_string(int(c.byte125)) + "/" + std::to_string(int(c.byte126));
        EXPECT_EQ(t.Comment, c.comment) << label;
        EXPECT_EQ(t.Track, c.track) << label;
        EXPECT_EQ(t.Genre, 17) << label;
    }
    // The 28-byte comment of an ID3v1.1 tag is read whole.
    std::string bytes = Mp3Bytes(500, RawTag{"T", "", "", "", std::string(28, 'c'), 1});
    bytes[bytes.size() - 2] = 9;
    const TMP3Tag full = GetMP3Tag(dir.WriteFile("full.mp3", bytes));
    EXPECT_EQ(full.Comment, std::string(28, 'c'));
    EXPECT_EQ(full.Track, 9);
}

TEST(GetMP3Tag, ByteAboveRangeAndUndefinedBytesRoundTrip) {
    test::TestDir dir;
    RawTag raw{"Caf\xE9 \x80",
               "\x81\x8D\x8F\x90\x9D",
               "Stra\xDF"
               "e",
               "19\xB2",
               "\xFF",
               255,
               ' '};
    const std::string original = Mp3Bytes(300, raw);
    const std::string f = dir.WriteFile("a.mp3", original);
    const TMP3Tag t = GetMP3Tag(f);
    EXPECT_EQ(t.Title, "Café €");
    EXPECT_EQ(t.Album, "Straße");
    EXPECT_EQ(t.Year, "19²");
    SetMP3Tag(f, t);
    EXPECT_EQ(dir.ReadFile("a.mp3"), original); // every byte of 32 and above kept
}

TEST(GetMP3Tag, FileWithoutTagOrTooShort) {
    test::TestDir dir;
    const TMP3Tag none{"", "", "", "", "", "", "", 255};
    for (std::size_t n : {0u, 3u, 127u, 128u, 4000u}) {
        std::string bytes = Mp3BytesNoTag(n);
        if (n == 3)
            bytes = "TAG"; // marker alone in a file shorter than a tag
        const std::string f = dir.WriteFile("f" + std::to_string(n), bytes);
        TMP3Tag expected = none;
        expected.FileName = f;
        EXPECT_EQ(GetMP3Tag(f), expected) << n;
    }
    // Case matters in the marker.
    std::string lower = Mp3Bytes(200, RawTag{"x", "", "", "", "", 1, ' '});
    lower[lower.size() - 128] = 't';
    EXPECT_EQ(GetMP3Tag(dir.WriteFile("lower", lower)).Header, "");
}

TEST(GetMP3Tag, MissingFileAndDirectory) {
    test::TestDir dir;
    EXPECT_EQ(ErrorCodeOf([&] { GetMP3Tag(dir / "missing.mp3"); }), 2);
    EXPECT_EQ(ErrorCodeOf([&] { GetMP3Tag(dir.MakeDir("d.mp3")); }), 5);
}

// Through the folder cache a path opens what it opens whole, with the same error, whatever
// the folders visited before: more folders than the cache holds, in turns, and folders that
// are links, missing, or not folders at all.
TEST(GetMP3Tag, ThroughTheFolderCacheAsThroughTheWholePath) {
    test::TestDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        const std::string album = std::to_string(i % 20);
        paths.push_back(dir.WriteFile(album + "/" + std::to_string(i) + ".mp3",
                                      Mp3Bytes(200, RawTag{"T" + std::to_string(i), album, "", "", "", 0})));
    }
    ASSERT_EQ(::symlink((dir / "3").c_str(), (dir / "link").c_str()), 0);
    const std::string flat = dir.WriteFile("flat.mp3", Mp3BytesNoTag(50));
    for (const std::string& extra :
         {dir / "link/3.mp3", dir / "missing/a.mp3", dir / "3/missing.mp3", flat + "/a.mp3",
          dir / "3/", dir / "3", flat, dir / "3/../3/23.mp3"})
        paths.push_back(extra);
    paths.push_back(paths[5]); // a folder seen long before

    TDirectoryCache folders;
    for (const std::string& path : paths) {
        std::string whole, cached;
        for (TDirectoryCache* cache : {static_cast<TDirectoryCache*>(nullptr), &folders}) {
            std::string& out = cache ? cached : whole;
            try {
                const TMP3Tag tag = GetMP3Tag(path, TagCodec::Default(), nullptr, 0, cache);
                out = tag.Header + "|" + tag.Title + "|" + tag.Artist;
            } catch (const EInOutError& e) {
                out = std::string("error ") + e.what();
            }
        }
        EXPECT_EQ(cached, whole) << path;
    }
    EXPECT_EQ(GetMP3Tag(paths[27], TagCodec::Default(), nullptr, 0, &folders).Title, "T27");
}

TEST(GetMP3Tag, MakesReadOnlyFileWritableAndKeepsOtherBits) {
    test::TestDir dir;
    const std::string f = dir.WriteFile("ro.mp3", Mp3Bytes(200, RawTag{"Song", "", "", "", "", 1}));
    ASSERT_EQ(::chmod(f.c_str(), 0444), 0);
    EXPECT_EQ(GetMP3Tag(f).Title, "Song");
    EXPECT_EQ(ModeOf(f), 0644u);
}

TEST(GetMP3Tag, AddsNoWriteBitThroughALinkOrToAnotherOwnersFile) {
    test::TestDir tree, elsewhere;
    const std::string target =
        elsewhere.WriteFile("ro.mp3", Mp3Bytes(200, RawTag{"Song", "", "", "", "", 1}));
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const std::string link = tree / "link.mp3";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    EXPECT_EQ(GetMP3Tag(link).Title, "Song");
    EXPECT_EQ(ModeOf(target), 0444u);

    if (::geteuid() != 0)
        GTEST_SKIP() << "another owner's file needs root to make";
    const std::string foreign = tree.WriteFile("foreign.mp3", Mp3Bytes(200, RawTag{"F", "", "", "", "", 1}));
    ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(foreign.c_str(), 0444), 0);
    EXPECT_EQ(GetMP3Tag(foreign).Title, "F");
    EXPECT_EQ(ModeOf(foreign), 0444u);
}

TEST(GetMP3Tag, ReadsWhatCannotBeOpenedForWriting) {
    // A running program refuses write access even to root; reading falls back to read-only,
    // and writing is refused as access denied.
    const std::string self = "/proc/self/exe";
    std::uint64_t size = 0;
    EXPECT_NO_THROW(GetMP3Tag(self, TagCodec::Default(), &size));
    EXPECT_GT(size, 128u);
    EXPECT_EQ(ErrorCodeOf([&] { SetMP3Tag(self, TMP3Tag{}); }), 5);
}

TEST(SetMP3Tag, AppendsThenReplacesNeverTouchingAudio) {
    test::TestDir dir;
    const std::string audio = Mp3BytesNoTag(1000);
    const std::string f = dir.WriteFile("a.mp3", audio);
    TMP3Tag t{f, "", "Title", "Artist", "Album", "99", "Comment", 200};
    SetMP3Tag(f, t);
    std::string bytes = dir.ReadFile("a.mp3");
    ASSERT_EQ(bytes.size(), 1128u);
    EXPECT_EQ(bytes.substr(0, 1000), audio);
    EXPECT_EQ(Tail(bytes), TagBytes(RawTag{"Title", "Artist", "Album", "99", "Comment", 200, ' '}));
    TMP3Tag back = GetMP3Tag(f);
    EXPECT_EQ(back, (TMP3Tag{f, "TAG", "Title", "Artist", "Album", "99", "Comment", 200}));

    back.Title = "Other";
    SetMP3Tag(f, back);
    bytes = dir.ReadFile("a.mp3");
    ASSERT_EQ(bytes.size(), 1128u);
    EXPECT_EQ(bytes.substr(0, 1000), audio);
    EXPECT_EQ(GetMP3Tag(f).Title, "Other");
}

TEST(SetMP3Tag, ShortFileGetsTagAppended) {
    test::TestDir dir;
    const std::string f = dir.WriteFile("s.mp3", "TAGxx");
    SetMP3Tag(f, TMP3Tag{f, "", "T", "", "", "", "", 1});
    const std::string bytes = dir.ReadFile("s.mp3");
    ASSERT_EQ(bytes.size(), 133u);
    EXPECT_EQ(bytes.substr(0, 5), "TAGxx");
    EXPECT_EQ(GetMP3Tag(f).Title, "T");
}

TEST(SetMP3Tag, CutsAndPadsInCodePageBytes) {
    TMP3Tag t;
    t.Title = std::string(35, 'x');
    t.Year = "12345";
    for (int i = 0; i < 31; ++i)
        t.Artist += "é"; // two UTF-8 bytes, one code-page byte
    t.Album = "a\tb";    // written as is; reads back as a blank
    t.Comment = "中";
    const std::string bytes = BuildTagBytes(t);
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes.substr(3, 30), std::string(30, 'x'));
    EXPECT_EQ(bytes.substr(33, 30), std::string(30, '\xE9'));
    EXPECT_EQ(bytes.substr(63, 3), "a\tb");
    EXPECT_EQ(bytes.substr(93, 4), "1234");
    EXPECT_EQ(bytes.substr(97, 30), "?" + std::string(29, ' '));
    EXPECT_EQ(static_cast<unsigned char>(bytes[127]), 255);
    t.Year = "99";
    EXPECT_EQ(BuildTagBytes(t).substr(93, 4), "99  ");
    EXPECT_EQ(ParseTagBytes(bytes).Album, "a b");
}

TEST(SetMP3Tag, UsesTheGivenCodePage) {
    test::TestDir dir;
    const std::string f = dir.WriteFile("c.mp3", Mp3BytesNoTag(200));
    const TagCodec cyr("CP1251");
    SetMP3Tag(f, TMP3Tag{f, "", "Песня", "", "", "", "", 255}, cyr);
    EXPECT_EQ(Tail(dir.ReadFile("c.mp3")).substr(3, 5), "\xCF\xE5\xF1\xED\xFF");
    EXPECT_EQ(GetMP3Tag(f, cyr).Title, "Песня");
}

TEST(SetMP3Tag, UnwritableFileIsAccessDeniedAndUnchanged) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write anything";
    test::TestDir dir;
    const std::string original = Mp3BytesNoTag(300);
    const std::string f = dir.WriteFile("ro.mp3", original);
    ASSERT_EQ(::chmod(f.c_str(), 0444), 0);
    EXPECT_EQ(ErrorCodeOf([&] { SetMP3Tag(f, TMP3Tag{}); }), 5);
    EXPECT_EQ(dir.ReadFile("ro.mp3"), original);
    EXPECT_EQ(ErrorCodeOf([&] { SetMP3Tag(dir / "missing.mp3", TMP3Tag{}); }), 2);
}

TEST(SetMP3Tag, FullDiskLeavesFileAsItWas) {
    test::TestDir dir;
    const std::string original = Mp3BytesNoTag(1000);
    const std::string f = dir.WriteFile("full.mp3", original);
    // A file-size limit makes the append stop part way, as a full disk would.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 1050;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const int code = ErrorCodeOf([&] { SetMP3Tag(f, TMP3Tag{f, "", "T", "", "", "", "", 1}); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(code, 101);
    EXPECT_EQ(dir.ReadFile("full.mp3"), original);
}

// Cuts the file to half its size from inside the writer, as another program might.
void TruncateToHalf(int fd) {
    struct stat st;
    ASSERT_EQ(::fstat(fd, &st), 0);
    ASSERT_EQ(::ftruncate(fd, st.st_size / 2), 0);
}

// Overwrites the last 128 bytes with zeros, keeping the size; the time is set apart, since
// a rewrite in the same clock tick is not seen.
void BlankTheTail(int fd) {
    struct stat st;
    ASSERT_EQ(::fstat(fd, &st), 0);
    const std::string zeros(128, '\0');
    ASSERT_EQ(::pwrite(fd, zeros.data(), zeros.size(), st.st_size - 128), 128);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {st.st_mtim.tv_sec - 10, 0}};
    ASSERT_EQ(::futimens(fd, times), 0);
}

TEST(SetMP3Tag, FileChangedWhileWritingIsReportedAndLeftAsItIs) {
    test::TestDir dir;
    for (const auto change : {TruncateToHalf, BlankTheTail}) {
        for (const bool tagged : {false, true}) {
            const std::string f = dir.WriteFile(
                "cut.mp3", tagged ? Mp3Bytes(1000, RawTag{"Old", "", "", "", "", 1}) : Mp3BytesNoTag(1000));
            const std::string before = dir.ReadFile("cut.mp3");
            BeforeTagWriteHook = change;
            std::string text;
            try {
                SetMP3Tag(f, TMP3Tag{f, "TAG", "New", "", "", "", "", 1});
            } catch (const EInOutError& e) {
                text = e.what();
            }
            BeforeTagWriteHook = nullptr;
            const bool cut = change == TruncateToHalf;
            EXPECT_EQ(text, cut || tagged ? kTagFileChanged : "") << "tagged " << tagged << " cut " << cut;
            const std::string left = cut      ? before.substr(0, before.size() / 2)
                                     : tagged ? before.substr(0, before.size() - 128) + std::string(128, '\0')
                                              : dir.ReadFile("cut.mp3"); // tagged anew: nothing to compare
            EXPECT_EQ(dir.ReadFile("cut.mp3"), left);
        }
    }
}

TEST(SetMP3Tag, TrackMakesAnId3v11TagAndAnEditLeavingItKeepsIt) {
    test::TestDir dir;
    const std::string c29(29, 'c');
    const struct {
        const char* name;
        char oldTrack; // of the file's tag before; 0: a plain ID3v1 tag
        std::string comment; // the comment written; "=" keeps what was read
        int track;           // the track written; -1 keeps what was read
        std::string bytes97; // bytes 97..126 afterwards
        std::string readBack;
        bool cut;
    } cases[] = {
        {"29 characters, no track", 0, c29, -1, c29 + " ", c29, false},
        {"29 characters, track 7", 0, c29, 7, std::string(28, 'c') + '\0' + '\7',
         std::string(28, 'c'), true},
        {"30 characters, track 255", 0, std::string(30, 'd'), 255,
         std::string(28, 'd') + '\0' + '\xFF', std::string(28, 'd'), true},
        {"year only, track kept", 7, "=", -1, AddTrailingSpaces("Short comment", 28) + '\0' + '\7',
         "Short comment", false},
        {"track removed", 65, "=", 0, AddTrailingSpaces("Short comment", 30), "Short comment", false},
        {"trailing blanks are no cut", 0, std::string(28, 'e') + "  ", 3,
         std::string(28, 'e') + '\0' + '\3', std::string(28, 'e'), false},
        {"zero and a byte at the end read as no track", 0, std::string(28, 'f') + '\0' + 'g', 0,
         std::string(28, 'f') + " g", std::string(28, 'f') + " g", false},
    };
    for (const auto& c : cases) {
        std::string bytes = Mp3Bytes(500, RawTag{"T", "A", "B", "2001", "Short comment", 0});
        if (c.oldTrack != 0)
            bytes[bytes.size() - 2] = c.oldTrack;
        const std::string f = dir.WriteFile("t.mp3", bytes);
        TMP3Tag tag = GetMP3Tag(f);
        tag.Year = "2024";
        if (c.comment != "=")
            tag.Comment = c.comment;
        if (c.track >= 0)
            tag.Track = static_cast<std::uint8_t>(c.track);
        EXPECT_EQ(CommentCutByTrack(tag), c.cut) << c.name;
        SetMP3Tag(f, tag);
        const std::string tail = Tail(dir.ReadFile("t.mp3"));
        EXPECT_EQ(tail.substr(93, 4), "2024") << c.name;
        EXPECT_EQ(tail.substr(97, 30), c.bytes97) << c.name;
        const TMP3Tag back = GetMP3Tag(f);
        EXPECT_EQ(back.Comment, c.readBack) << c.name;
        EXPECT_EQ(back.Track, tag.Track) << c.name;
        EXPECT_EQ(tail, BuildTagBytes(tag)) << c.name; // the journal plans exactly these bytes
    }
}

} // namespace
} // namespace veltrane
