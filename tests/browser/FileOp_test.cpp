#include "browser/FileOp.h"
#include "platform/FileOperations.h"
#include "support/TestDir.h"
#include "support/platform/FakeFileOperations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace veltrane {
namespace {

TEST(FileOp, DeleteHandsEachPathOnceSemicolonsIncluded) {
    test::FakeFileOperations files;
    TFileOperation op(files);
    op.Operation = foDelete;
    op.Flags = fofNoConfirmation | fofAllowUndo;
    op.FilesFrom = {"/m/a;b.mp3", "/m/c.mp3"};
    EXPECT_TRUE(op.Execute());
    ASSERT_EQ(files.calls.size(), 2u);
    EXPECT_EQ(files.calls[0].op, "trash");
    EXPECT_EQ(files.calls[0].from, "/m/a;b.mp3");
    EXPECT_EQ(files.calls[1].from, "/m/c.mp3");

    op.Flags = fofNoConfirmation;
    files.calls.clear();
    op.SetActive(true);
    ASSERT_EQ(files.calls.size(), 2u);
    EXPECT_EQ(files.calls[0].op, "remove");
}

TEST(FileOp, UntrashableFileIsReportedAndKept) {
    test::FakeFileOperations files;
    files.failures["/m/b.mp3"] = EXDEV;
    TFileOperation op(files);
    op.Flags = fofAllowUndo;
    op.FilesFrom = {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"};
    EXPECT_FALSE(op.Execute());
    ASSERT_EQ(op.Failures().size(), 1u);
    EXPECT_EQ(op.Failures()[0].path, "/m/b.mp3");
    EXPECT_NE(op.FailureReport().find("/m/b.mp3"), std::string::npos);
    // The failed file got no second, permanent delete.
    for (const auto& c : files.calls)
        EXPECT_EQ(c.op, "trash");
    EXPECT_EQ(files.calls.size(), 3u);
    EXPECT_FALSE(op.OperationAborted());
}

TEST(FileOp, ProgressCanCancel) {
    test::FakeFileOperations files;
    TFileOperation op(files);
    op.FilesFrom = {"a", "b", "c"};
    op.OnProgress = [](std::size_t done, std::size_t, const std::string&) { return done < 1; };
    EXPECT_FALSE(op.Execute());
    EXPECT_TRUE(op.OperationAborted());
    EXPECT_EQ(files.calls.size(), 1u);
}

TEST(FileOp, CopyMoveRenameNeverReplace) {
    test::FakeFileOperations files;
    files.existing = {"/d/a.mp3"};
    TFileOperation op(files);
    op.Operation = foCopy;
    op.FilesFrom = {"/s/a.mp3", "/s/b.mp3"};
    op.FilesTo = {"/d"};
    op.Flags = fofRenameOnCollision;
    EXPECT_TRUE(op.Execute());
    EXPECT_EQ(files.calls[0].to, "/d/a (2).mp3");
    EXPECT_EQ(files.calls[1].to, "/d/b.mp3");

    files.calls.clear();
    op.Operation = foRename;
    op.Flags = 0;
    op.FilesFrom = {"/s/x.mp3", "/s/y.mp3"};
    op.FilesTo = {"/s/X.mp3"};
    EXPECT_FALSE(op.Execute()); // the second source has no destination
    EXPECT_EQ(files.calls.size(), 1u);
    EXPECT_EQ(files.calls[0].to, "/s/X.mp3");
}

TEST(FileOp, RealTrashThroughLinuxOperations) {
    test::TestDir dir;
    setenv("XDG_DATA_HOME", dir.MakeDir("data").c_str(), 1);
    std::string a = dir.WriteFile("m/x;y.mp3", "1");
    std::string b = dir.WriteFile("m/z.mp3", "2");
    platform::LinuxFileOperations files;
    TFileOperation op(files);
    op.Flags = fofAllowUndo | fofNoConfirmation;
    op.FilesFrom = {a, b, dir / "m/missing.mp3"};
    EXPECT_FALSE(op.Execute());
    EXPECT_EQ(op.Failures().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_TRUE(std::filesystem::exists(dir / "data/Trash/info/x;y.mp3.trashinfo"));
    EXPECT_TRUE(std::filesystem::exists(dir / "data/Trash/files/z.mp3"));
}

} // namespace
} // namespace veltrane
