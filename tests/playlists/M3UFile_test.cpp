#include "playlists/M3UFile.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

using Lines = std::vector<std::string>;

TEST(M3UFile, ReadingSplitsLinesAndStopsAtCtrlZ) {
    const struct {
        std::string text;
        Lines entries;
    } cases[] = {
        {"", {}},
        {"\x1a" "a\r\n", {}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\n", {"a"}},
        {"a\rb\r", {"a", "b"}},
        // Linux tools write LF only: still one entry a line.
        {"a\nb\r\n", {"a", "b"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\r\n\x1a" "b\r\n", {"a"}},
        {"#EXTM3U\r\nrel/x.mp3", {"#EXTM3U", "rel/x.mp3"}},
        {"lat\xe9\r\n", {"lat\xe9"}},
    };
    test::TestDir dir;
    for (const auto& c : cases) {
        EXPECT_EQ(ParsePlaylistText(c.text), c.entries) << c.text;
        // A file that starts with #EXTM3U is extended M3U: its # lines are no entries.
        Lines read = c.entries;
        if (!read.empty() && read[0] == "#EXTM3U")
            read.erase(read.begin());
        EXPECT_EQ(ReadPlaylistFile(dir.WriteFile("p.m3u", c.text)), read) << c.text;
    }
}

TEST(M3UFile, WritingOverwritesOrAppendsOnALineOfItsOwn) {
    const struct {
        const char* old; // nullptr: no file yet
        Lines entries;
        TPlaylistWriteMode mode;
        std::string after; // empty with refused: the old bytes
        bool refused = false;
    } cases[] = {
        {nullptr, {"a", "b"}, pwOverwrite, "a\r\nb\r\n"},
        {"old\r\nlines\r\n", {"a"}, pwOverwrite, "a\r\n"},
        {"old\r\n", {}, pwOverwrite, ""},
        {nullptr, {"c"}, pwAppend, "c\r\n"},
        {"", {"c"}, pwAppend, "c\r\n"},
        {"x", {"c"}, pwAppend, "x\r\nc\r\n"},
        {"a\r\nb", {"c"}, pwAppend, "a\r\nb\r\nc\r\n"},
        {"x\r", {"c"}, pwAppend, "x\rc\r\n"},
        {"x\n", {"c"}, pwAppend, "x\nc\r\n"},
        {"x\r\n", {}, pwAppend, "x\r\n"},
        {"x\r\n\x1a", {"c"}, pwAppend, "x\r\nc\r\n"},
        {"x\x1a", {"c"}, pwAppend, "x\r\nc\r\n"},
        {"\x1a", {"c"}, pwAppend, "c\r\n"},
        {"lat\xe9\r\n", {"a b\tc", "\xff"}, pwAppend, "lat\xe9\r\na b\tc\r\n\xff\r\n"},
        // A Ctrl-Z before the last byte would hide the new lines from every reader.
        {"x\r\n\x1a junk after the end", {"c"}, pwAppend, "", true},
        {"x\r\n\x1a\x1a", {"c"}, pwAppend, "", true},
        {"\x1a" "yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy"
         "yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy\r\n",
         {"c"}, pwAppend, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.old ? c.old : "(none)");
        test::TestDir dir;
        const std::string path = dir / "p.m3u";
        if (c.old)
            dir.WriteFile("p.m3u", c.old);
        if (c.refused) {
            try {
                WritePlaylistFile(path, c.entries, c.mode);
                ADD_FAILURE() << "appended after a Ctrl-Z";
            } catch (const EPlaylistFileError& e) {
                EXPECT_EQ(e.Errno(), EINVAL);
                EXPECT_NE(std::string(e.what()).find("Ctrl-Z"), std::string::npos);
            }
            EXPECT_EQ(dir.ReadFile("p.m3u"), c.old);
            continue;
        }
        WritePlaylistFile(path, c.entries, c.mode);
        EXPECT_EQ(dir.ReadFile("p.m3u"), c.after);
        if (c.mode == pwAppend && !c.entries.empty()) {
            EXPECT_EQ(ReadPlaylistFile(path).back(), c.entries.back());
        }
    }
}

TEST(M3UFile, OverwriteKeepsModeAndWritesThroughLinks) {
    test::TestDir dir;
    const std::string path = dir.WriteFile("real.m3u", "old\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.m3u", (dir / "link.m3u").c_str()), 0);
    WritePlaylistFile(dir / "link.m3u", {"new"}, pwOverwrite);
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "link.m3u").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.ReadFile("real.m3u"), "new\r\n");
    // Nothing of the temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(M3UFile, ResolvePlaylistPath) {
    const struct {
        const char* dir;
        const char* typed;
        std::optional<std::string> path;
    } cases[] = {
        {"/music", "", std::nullopt},
        {"/music", "mix", "/music/mix.m3u"},
        {"/music", "mix.m3u", "/music/mix.m3u"},
        {"/music", "MIX.M3U", "/music/MIX.M3U.m3u"},
        {"/music", ".m3u", "/music/.m3u.m3u"},
        {"/music", "a.m3u", "/music/a.m3u"},
        {"/", "a", "/a.m3u"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolvePlaylistPath(c.dir, c.typed), c.path) << c.typed;
}

// A write that fails with ENOSPC once Limit bytes are written, as a full disk does.
TPlaylistFileIo DiskFullAfter(std::size_t Limit) {
    auto written = std::make_shared<std::size_t>(0);
    TPlaylistFileIo io = TPlaylistFileIo::System();
    io.Write = [written, Limit](int fd, const void* data, std::size_t size, off_t offset) {
        if (*written >= Limit) {
            errno = ENOSPC;
            return ssize_t(-1);
        }
        size = std::min(size, Limit - *written);
        const ssize_t n = ::pwrite(fd, data, size, offset);
        *written += std::size_t(n);
        return n;
    };
    return io;
}

void ExpectFailedWriteKeepsOldFile(const std::string& dirPath, const TPlaylistFileIo& io,
                                   int expected = ENOSPC) {
    const std::string path = dirPath + "/p.m3u";
    const std::string old = "x\r\nlast\x1a";
    for (TPlaylistWriteMode mode : {pwOverwrite, pwAppend}) {
        {
            FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            std::fwrite(old.data(), 1, old.size(), f);
            std::fclose(f);
        }
        const Lines big(2000, std::string(100, 'e'));
        try {
            WritePlaylistFile(path, big, mode, io);
            ADD_FAILURE() << "a write onto a full disk reported success";
        } catch (const EPlaylistFileError& e) {
            EXPECT_EQ(e.Errno(), expected);
            EXPECT_STREQ(e.what(), std::strerror(expected));
        }
        std::string now(old.size() + 10, '\0');
        FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        now.resize(std::fread(now.data(), 1, now.size(), f));
        std::fclose(f);
        EXPECT_EQ(now, old) << (mode == pwOverwrite ? "overwrite" : "append");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dirPath), {}), 1);
    }
}

TEST(M3UFile, FailedWriteLeavesOldFileAndRefusesLineBreaks) {
    test::TestDir dir;
    ExpectFailedWriteKeepsOldFile(dir.path().string(), DiskFullAfter(1000));
    // Every byte written, but the flush to the disk fails.
    TPlaylistFileIo flushFails = TPlaylistFileIo::System();
    flushFails.Sync = [](int) {
        errno = EIO;
        return -1;
    };
    ExpectFailedWriteKeepsOldFile(dir.path().string(), flushFails, EIO);
    // A name with a line break would come back as two entries: nothing is written.
    dir.WriteFile("q.m3u", "old\r\n");
    for (const char* bad : {"a\nb", "a\rb", "a\x1a" "b"})
        EXPECT_THROW(WritePlaylistFile(dir / "q.m3u", {"ok", bad}, pwOverwrite),
                     EPlaylistFileError);
    EXPECT_EQ(dir.ReadFile("q.m3u"), "old\r\n");
}

TEST(M3UFile, FullFileSystemLeavesOldFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    test::TestDir dir;
    const std::string mnt = dir.MakeDir("small");
    if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    ExpectFailedWriteKeepsOldFile(mnt, TPlaylistFileIo::System());
    ::umount(mnt.c_str());
}

// A player of another make reads a playlist we wrote entry by entry. (mpg123 takes a backslash
// in an entry for a directory separator, so no name here holds one.)
TEST(M3UFile, ARealPlayerReadsEveryEntry) {
    if (std::system("command -v mpg123 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "mpg123 is not installed (scripts/deps.sh installs it)";
    test::TestDir dir;
    // Silent MPEG-1 Layer III frames: 128 kbit/s, 44.1 kHz, 417 bytes each.
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\x44';
    std::string audio;
    for (int i = 0; i < 20; ++i)
        audio += frame;
    Lines entries;
    for (const char* name : {"a b.mp3", "semi;colon.mp3", "quote\"d.mp3", "lat\xe9.mp3"})
        entries.push_back(dir.WriteFile(name, audio));
    const std::string list = dir / "list.m3u";
    WritePlaylistFile(list, entries, pwOverwrite);
    const std::string command = "mpg123 --test -@ '" + list + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << output;
    for (const std::string& entry : entries) {
        const std::string name = entry.substr(entry.rfind('/') + 1);
        EXPECT_NE(output.find("Decoding of " + name + " finished"), std::string::npos)
            << name << "\n" << output;
    }
}

} // namespace
} // namespace veltrane
