#include "platform/SingleInstance.h"
#include "platform/SystemDirs.h"
#include "platform/Volumes.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace veltrane::platform {
namespace {

TEST(Volumes, ParseMountsKeepsUserVolumes) {
    auto volumes = ParseMounts("sysfs /sys sysfs rw 0 0\n"
                               "proc /proc proc rw 0 0\n"
                               "/dev/sdb1 /media/user/My\\040Stick vfat rw 0 0\n"
                               "/dev/sda1 / ext4 rw 0 0\n"
                               "tmpfs /dev/shm tmpfs rw 0 0\n"
                               "/dev/sda2 /home ext4 rw 0 0\n"
                               "/dev/sda2 /home ext4 rw 0 0\n");
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].root, "/");
    EXPECT_EQ(volumes[1].root, "/home");
    EXPECT_EQ(volumes[2].root, "/media/user/My Stick");
    EXPECT_EQ(volumes[2].name, "My Stick");
    EXPECT_EQ(VolumeOf(volumes, "/media/user/My Stick/a.mp3")->root, "/media/user/My Stick");
    EXPECT_EQ(VolumeOf(volumes, "/homework/a.mp3")->root, "/");
    EXPECT_EQ(VolumeOf(volumes, "/home")->root, "/home");
}

TEST(Volumes, LiveVolumesStartWithRoot) {
    LinuxVolumes volumes;
    auto list = volumes.MountedVolumes();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().root, "/");
    EXPECT_FALSE(volumes.IsRemovable("/proc/nonexistent"));
}

TEST(SystemDirs, TempDirectoryOrder) {
    const char* saved = std::getenv("TMPDIR");
    std::string keep = saved ? saved : "";
    setenv("TMPDIR", "", 1);
    setenv("TEMP", "/t1", 1);
    setenv("TMP", "/t2", 1);
    EXPECT_EQ(TempDirectory(), "/t1");
    unsetenv("TEMP");
    EXPECT_EQ(TempDirectory(), "/t2");
    unsetenv("TMP");
    EXPECT_EQ(TempDirectory(), "/tmp");
    setenv("TMPDIR", "/t0", 1);
    EXPECT_EQ(TempDirectory(), "/t0");
    if (saved)
        setenv("TMPDIR", keep.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

TEST(SystemDirs, TypedDirectoryMustBeAbsoluteAndExist) {
    test::TestDir dir;
    dir.MakeDir("music");
    setenv("HOME", dir.path().c_str(), 1);
    EXPECT_EQ(ResolveTypedDirectory("~/music"), dir / "music");
    EXPECT_EQ(ResolveTypedDirectory(dir / "music"), dir / "music");
    EXPECT_EQ(ResolveTypedDirectory("music"), std::nullopt);
    EXPECT_EQ(ResolveTypedDirectory(""), std::nullopt);
    EXPECT_EQ(ResolveTypedDirectory(dir / "missing"), std::nullopt);
    EXPECT_EQ(ResolveTypedDirectory("\\music"), std::nullopt);
    // Typed detours are tidied; ".." after a link is the parent of the link's target.
    const std::string base = dir.path().string();
    EXPECT_EQ(ResolveTypedDirectory(base + "//music/./"), dir / "music");
    EXPECT_EQ(ResolveTypedDirectory(base + "/music/../music"), dir / "music");
    dir.MakeDir("deep/inner");
    std::filesystem::create_directory_symlink(dir / "deep/inner", dir / "music/link");
    EXPECT_EQ(ResolveTypedDirectory(base + "/music/link/.."),
              std::filesystem::canonical(dir / "deep").string());
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(ConfigDirectory(), dir / ".config");
}

TEST(SingleInstance, SecondLockForSameProgramFails) {
    test::TestDir dir;
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    SingleInstance first("/opt/veltrane");
    EXPECT_TRUE(first.IsFirst());
    SingleInstance other("/opt/other");
    EXPECT_TRUE(other.IsFirst());
    {
        SingleInstance second("/opt/veltrane");
        EXPECT_FALSE(second.IsFirst());
    }
}

} // namespace
} // namespace veltrane::platform
