#include "browser/FindFile.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrane {
namespace {

using Paths = std::vector<std::string>;

Paths Find(const std::string& dir, bool recurse, const std::string& filter = "*.mp3") {
    TFindFile f;
    f.Directory = dir;
    f.Recurse = recurse;
    f.Filter = filter;
    f.Execute();
    return f.Files;
}

TEST(MatchesWildcard, WindowsStyle) {
    EXPECT_TRUE(MatchesWildcard("*.mp3", "SONG.MP3"));
    EXPECT_TRUE(MatchesWildcard("*.mp3", ".hidden.mp3"));
    EXPECT_FALSE(MatchesWildcard("*.mp3", "song.mp3.bak"));
    EXPECT_TRUE(MatchesWildcard("*.*", "README"));
    EXPECT_TRUE(MatchesWildcard("s?ng*.mp3", "sÖng 1.mp3")); // "?" is one character
    EXPECT_TRUE(MatchesWildcard("[a].mp3", "[A].mp3"));      // brackets are plain letters
    EXPECT_FALSE(MatchesWildcard("[a].mp3", "a.mp3"));
    EXPECT_TRUE(MatchesWildcard("*a*b", "xxaxxb"));
    EXPECT_FALSE(MatchesWildcard("*a*b", "xxbxxa"));
}

TEST(TFindFile, BreadthFirstInByteOrder) {
    test::TestDir dir;
    dir.WriteFile("M/a.mp3", "");
    dir.WriteFile("M/X/b.mp3", "");
    dir.WriteFile("M/X/Y/c.mp3", "");
    dir.WriteFile("M/Z/d.mp3", "");
    dir.WriteFile("M/B.MP3", "");
    dir.WriteFile("M/notes.txt", "");
    const std::string m = dir / "M";
    const Paths expected{m + "/B.MP3", m + "/a.mp3", m + "/X/b.mp3", m + "/Z/d.mp3",
                         m + "/X/Y/c.mp3"};
    EXPECT_EQ(Find(m, true), expected);
    EXPECT_EQ(Find(m + "/", true), expected);
    EXPECT_EQ(Find(m, false), (Paths{m + "/B.MP3", m + "/a.mp3"}));
}

TEST(TFindFile, DefaultAttributesFindHiddenFilesButNoDirectories) {
    test::TestDir dir;
    dir.WriteFile("x.mp3/inner.mp3", "");
    dir.WriteFile(".hidden.mp3", "");
    dir.WriteFile(".hiddendir/h.mp3", "");
    const std::string ro = dir.WriteFile("ro.mp3", "1234");
    ASSERT_EQ(::chmod(ro.c_str(), 0444), 0);
    const std::string root = dir.path().string();

    TFindFile f;
    f.Directory = root;
    f.Filter = "*.mp3";
    f.Recurse = true;
    f.Execute();
    EXPECT_EQ(f.Files, (Paths{root + "/.hidden.mp3", root + "/ro.mp3", root + "/.hiddendir/h.mp3",
                              root + "/x.mp3/inner.mp3"}));
    EXPECT_EQ(f.FileCount(), 4u);
    EXPECT_EQ(f.DirCount(), 0u);
    EXPECT_EQ(f.TotalSize(), 4u);

    f.Attributes = {ffDirectory};
    f.Recurse = false;
    f.Execute();
    EXPECT_EQ(f.Files, (Paths{root + "/ro.mp3", root + "/x.mp3"})); // hidden now excluded
    EXPECT_EQ(f.DirCount(), 1u);
    EXPECT_EQ(f.FileCount(), 1u);
}

TEST(TFindFile, SymlinkLoopIsSearchedOnce) {
    test::TestDir dir;
    dir.WriteFile("a/song.mp3", "");
    ASSERT_EQ(::symlink("..", (dir / "a/up").c_str()), 0);
    ASSERT_EQ(::symlink("../a", (dir / "a/again").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere.mp3", (dir / "a/dangling.mp3").c_str()), 0);
    EXPECT_EQ(Find(dir / "a", true), (Paths{dir / "a/song.mp3"}));
}

TEST(TFindFile, BrokenLinksThatMatchAreNamedOnceAndTheScanGoesOn) {
    test::TestDir dir;
    dir.WriteFile("a/song.mp3", "");
    dir.WriteFile("b/z.mp3", "");
    ASSERT_EQ(::symlink("nowhere.mp3", (dir / "a/dangling.mp3").c_str()), 0);
    ASSERT_EQ(::symlink("self.mp3", (dir / "a/self.mp3").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere.txt", (dir / "a/other.txt").c_str()), 0); // not searched for
    TFindFile f;
    f.Directory = dir.path().string();
    f.Recurse = true;
    f.Filter = "*.mp3";
    f.Execute();
    EXPECT_EQ(f.Files, (Paths{dir / "a/song.mp3", dir / "b/z.mp3"}));
    ASSERT_EQ(f.Problems.size(), 2u);
    EXPECT_EQ(f.Problems[0].Path, dir / "a/dangling.mp3");
    EXPECT_EQ(f.Problems[0].Reason, "dangling symbolic link");
    EXPECT_EQ(f.Problems[1].Path, dir / "a/self.mp3");
    EXPECT_EQ(f.Problems[1].Reason, "symbolic link loop");
    EXPECT_EQ(SkippedEntriesMessage(f.Problems),
              "These entries could not be read and are not listed:\n\n" + (dir / "a/dangling.mp3") +
                  ": dangling symbolic link\n" + (dir / "a/self.mp3") + ": symbolic link loop");
    EXPECT_EQ(SkippedEntriesMessage({}), "");
}

// Runs the search as an unprivileged user when this process is root; the problems' paths
// come back one per line.
std::string ProblemsAsUnprivileged(const std::string& start) {
    const auto search = [&] {
        TFindFile f;
        f.Directory = start;
        f.Recurse = true;
        f.Filter = "*.mp3";
        f.Execute();
        std::string text;
        for (const std::string& p : f.Files)
            text += "file " + p + "\n";
        for (const TFindProblem& p : f.Problems)
            text += "skip " + p.Path + ": " + p.Reason + "\n";
        return text;
    };
    if (::geteuid() != 0)
        return search();
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const std::string text = search();
        const bool ok = ::write(fds[1], text.data(), text.size()) == ssize_t(text.size());
        ::_exit(ok ? 0 : 4);
    }
    ::close(fds[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, std::size_t(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return text;
}

TEST(TFindFile, UnreadableDirectoryIsNamedAndTheRestSearched) {
    test::TestDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    dir.WriteFile("open/a.mp3", "");
    dir.WriteFile("shut/b.mp3", "");
    for (const char* d : {"open", "shut"})
        ASSERT_EQ(::chmod((dir / d).c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "shut").c_str(), 0), 0);
    EXPECT_EQ(ProblemsAsUnprivileged(dir.path().string()),
              "file " + (dir / "open/a.mp3") + "\nskip " + (dir / "shut") +
                  ": Permission denied\n");
}

TEST(TFindFile, MissingOrEmptyDirectoryGivesNothing) {
    test::TestDir dir;
    TFindFile f;
    f.Files = {"stale"};
    f.Directory = dir / "missing";
    f.Recurse = true;
    EXPECT_NO_THROW(f.Execute());
    EXPECT_TRUE(f.Files.empty());
    f.Directory.clear();
    f.Execute();
    EXPECT_TRUE(f.Files.empty());
}

TEST(TFindFile, EventsAndAbort) {
    test::TestDir dir;
    dir.WriteFile("a.mp3", "");
    dir.WriteFile("s/b.mp3", "");
    dir.WriteFile("s/t/c.mp3", "");
    std::vector<std::string> log;
    TFindFile f;
    f.Directory = dir.path().string();
    f.Recurse = true;
    f.BeforeExecute = [&](TFindFile&) { log.push_back("before"); };
    f.AfterExecute = [&](TFindFile& s) {
        log.push_back("after " + std::to_string(s.Files.size()));
    };
    f.OnNewPath = [&](TFindFile&, const std::string& d, bool& abort) {
        log.push_back(d.substr(dir.path().string().size()));
        if (d.ends_with("/s/"))
            abort = true;
    };
    f.Execute();
    EXPECT_EQ(log, (Paths{"before", "/", "/s/", "after 1"}));
    EXPECT_TRUE(f.Aborted());
    f.Execute(); // the abort flag stays set for later runs
    EXPECT_TRUE(f.Files.empty());
    f.ClearAbort();
    f.OnNewPath = nullptr;
    f.Execute();
    EXPECT_EQ(f.Files.size(), 3u);
}

} // namespace
} // namespace veltrane
