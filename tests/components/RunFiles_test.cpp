#include "components/RunFiles.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veltrane {
namespace {

namespace fs = std::filesystem;

// The id of a process that has ended and been reaped.
pid_t EndedPid() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

std::string Entry(const std::string& Path) {
    struct stat st {};
    ::lstat(Path.c_str(), &st);
    std::string e = std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
                    std::to_string(st.st_ctim.tv_sec * 1000000000ull + st.st_ctim.tv_nsec) + ":" +
                    Path;
    return e + '\0';
}

std::string List(std::uint64_t Start, const std::vector<std::string>& Entries) {
    std::string bytes("veltrane media files\0start=", 27);
    bytes += std::to_string(Start) + '\0';
    for (const std::string& e : Entries)
        bytes += e;
    return bytes;
}

// Only the very files an ended run of this user listed go; every other file stays.
TEST(RunFiles, RemovesOnlyWhatAnEndedRunListed) {
    test::TestDir dir;
    const std::string run = dir.MakeDir("run");
    const std::string listed = dir.WriteFile("tmp/~fs10.bmp", "a");
    const std::string unlisted = dir.WriteFile("tmp/~fs11.bmp", "b");
    const std::string replaced = dir.WriteFile("tmp/~fs12.mod", "c");
    const std::string replacedEntry = Entry(replaced);
    // Made while the listed file still exists, so it is surely another inode.
    fs::rename(dir.WriteFile("tmp/other", "someone else's, same name"), replaced);
    const std::string other = dir.WriteFile("tmp/notes.txt", "d"); // not of the scheme
    const std::string target = dir.WriteFile("tmp/~fs13.Avi", "e");
    const std::string link = dir / "tmp/~fs14.Avi";
    fs::create_symlink(target, link);
    const std::string ownLive = dir.WriteFile("tmp/~fs15.bmp", "f");
    const std::string reused = dir.WriteFile("tmp/~fs16.bmp", "g");

    const pid_t ended = EndedPid();
    dir.WriteFile("run/" + RunListName(ended),
                  List(1, {Entry(listed), replacedEntry, Entry(other), Entry(link), Entry(ownLive),
                           std::string("garbage\0", 8), "1:2:relative" + std::string(1, '\0')}));
    // A live run listing a file keeps it, even when an ended list names it too.
    dir.WriteFile("run/" + RunListName(::getpid()),
                  List(ProcessStartTime(::getpid()), {Entry(ownLive)}));
    // A running id with another start time is a run that ended: its id was given again.
    dir.WriteFile("run/" + RunListName(::getppid()), List(1, {Entry(reused)}));

    TRunFileList files(run);
    std::vector<std::string> removed = files.RemoveFilesOfEndedRuns();
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{listed, reused}));
    for (const std::string& kept : {unlisted, replaced, other, target, link, ownLive})
        EXPECT_TRUE(fs::exists(fs::symlink_status(kept))) << kept;
    EXPECT_FALSE(fs::exists(run + "/" + RunListName(ended)));
    EXPECT_FALSE(fs::exists(run + "/" + RunListName(::getppid())));
    EXPECT_TRUE(fs::exists(run + "/" + RunListName(::getpid())));
}

TEST(RunFiles, ListsThisRunsFilesUntilItEnds) {
    test::TestDir dir;
    const std::string run = dir.MakeDir("run");
    const std::string media = dir.WriteFile("~fs3.bmp", "x");
    const std::string file = run + "/" + RunListName(::getpid());
    {
        TRunFileList files(run);
        ASSERT_TRUE(files.Open());
        EXPECT_EQ(files.ListFile(), file);
        EXPECT_TRUE(files.Add(media));
        EXPECT_FALSE(files.Add(dir / "missing"));
        EXPECT_EQ(dir.ReadFile("run/" + RunListName(::getpid())),
                  List(ProcessStartTime(::getpid()), {Entry(media)}));
        TRunFileList second(run); // the name is taken: never opened through it
        EXPECT_FALSE(second.Open());
    }
    EXPECT_FALSE(fs::exists(file));
    // A link planted at the name is not followed.
    fs::create_symlink(media, file);
    TRunFileList files(run);
    EXPECT_FALSE(files.Open());
    EXPECT_EQ(dir.ReadFile("~fs3.bmp"), "x");
}

} // namespace
} // namespace veltrane
