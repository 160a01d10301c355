#include "platform/FileOperations.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace veltrane::platform {
namespace {

namespace fs = std::filesystem;

TEST(FileOperations, TrashMovesFileIntoXdgTrashWithTrashInfo) {
    test::TestDir dir;
    // Set before GIO first reads it; this test runs first in its own process.
    std::string data = dir.MakeDir("data");
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    std::string name = "a;b \"c\" \xE9.mp3";
    std::string file = dir.WriteFile("music/" + name, "ID3");

    LinuxFileOperations ops;
    FileOpStatus status = ops.Trash(file);
    ASSERT_TRUE(status.ok()) << status.message;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(dir.ReadFile("data/Trash/files/" + name), "ID3");
    std::string info = dir.ReadFile("data/Trash/info/" + name + ".trashinfo");
    EXPECT_NE(info.find("[Trash Info]"), std::string::npos);
    EXPECT_NE(info.find("Path="), std::string::npos);
    EXPECT_NE(info.find("DeletionDate="), std::string::npos);
}

TEST(FileOperations, TrashOfMissingFileFailsAndDeletesNothing) {
    test::TestDir dir;
    LinuxFileOperations ops;
    FileOpStatus status = ops.Trash(dir / "missing.mp3");
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.error, ENOENT);
}

TEST(FileOperations, RenameNeverReplaces) {
    test::TestDir dir;
    std::string a = dir.WriteFile("a.mp3", "A");
    std::string b = dir.WriteFile("b.mp3", "B");
    LinuxFileOperations ops;
    FileOpStatus status = ops.Rename(a, b);
    EXPECT_EQ(status.error, EEXIST);
    EXPECT_FALSE(status.message.empty());
    EXPECT_EQ(dir.ReadFile("a.mp3"), "A");
    EXPECT_EQ(dir.ReadFile("b.mp3"), "B");

    ASSERT_TRUE(ops.Rename(a, dir / "c.mp3").ok());
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(dir.ReadFile("c.mp3"), "A");
    EXPECT_EQ(ops.Rename(dir / "gone.mp3", dir / "d.mp3").error, ENOENT);
}

TEST(FileOperations, RemoveCopyAndMove) {
    test::TestDir dir;
    std::string a = dir.WriteFile("a.mp3", "A");
    dir.WriteFile("b.mp3", "B");
    LinuxFileOperations ops;
    EXPECT_EQ(ops.Copy(a, dir / "b.mp3").error, EEXIST);
    EXPECT_EQ(dir.ReadFile("b.mp3"), "B");
    ASSERT_TRUE(ops.Copy(a, dir / "copy.mp3").ok());
    EXPECT_EQ(dir.ReadFile("copy.mp3"), "A");
    EXPECT_EQ(ops.Move(a, dir / "b.mp3").error, EEXIST);
    ASSERT_TRUE(ops.Move(a, dir / "moved.mp3").ok());
    EXPECT_FALSE(ops.Exists(a));

    dir.WriteFile("tree/sub/x.mp3", "X");
    fs::create_symlink(dir / "moved.mp3", dir / "tree/link.mp3");
    ASSERT_TRUE(ops.Remove(dir / "tree").ok());
    EXPECT_FALSE(ops.Exists(dir / "tree"));
    EXPECT_EQ(dir.ReadFile("moved.mp3"), "A"); // the link's target stays
    EXPECT_EQ(ops.Remove(dir / "tree").error, ENOENT);
}

} // namespace
} // namespace veltrane::platform
