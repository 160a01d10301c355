#include "editing/DirectoryTree.h"
#include "editing/PreferencesLogic.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace veltrane {
namespace {

TEST(PreferencesLogic, StoresAllThreeAndUpdatesHost) {
    test::TestDir dir;
    TSettingsHost host(SettingsFilePath(dir.path().string()));
    EXPECT_EQ(StorePreferences(host, false, "/music", -1), std::nullopt);
    EXPECT_FALSE(host.CurrentSettings().DeleteToRecycleBin);
    EXPECT_EQ(host.CurrentSettings().DefaultDir, "/music");
    EXPECT_EQ(host.CurrentSettings().DblClickAction, 255);
    EXPECT_EQ(dir.ReadFile("Veltrane.ini"),
              "[Preferences]\nDeleteToRecycleBin=0\nDefaultDir=/music\nDblClickActionIndex=-1\n");
}

TEST(PreferencesLogic, FirstFailedWriteStopsTheRest) {
    test::TestDir dir;
    TSettingsHost host(dir / "missing/Veltrane.ini", TSettings{true, ".", 0});
    auto error = StorePreferences(host, false, "/music", 2);
    EXPECT_EQ(error, "Unable to write to " + (dir / "missing/Veltrane.ini"));
    EXPECT_TRUE(host.CurrentSettings().DeleteToRecycleBin);
    EXPECT_EQ(host.CurrentSettings().DblClickAction, 0);
}

TEST(DirectoryTree, ChainAndSubdirectories) {
    EXPECT_EQ(DirectoryChain("/", "/a/b"), (std::vector<std::string>{"/", "/a", "/a/b"}));
    EXPECT_EQ(DirectoryChain("/media/x", "/media/x/a/"),
              (std::vector<std::string>{"/media/x", "/media/x/a"}));
    EXPECT_EQ(DirectoryChain("/media/x", "/media/xy"), (std::vector<std::string>{"/media/x"}));
    EXPECT_EQ(DirectoryName("/a/b/"), "b");
    EXPECT_EQ(DirectoryName("/"), "/");

    test::TestDir dir;
    dir.MakeDir("b");
    dir.MakeDir("A");
    dir.MakeDir(".hidden");
    dir.WriteFile("file.mp3", "");
    ::symlink((dir / "b").c_str(), (dir / "c-link").c_str());
    EXPECT_EQ(SubDirectories(dir.path().string()),
              (std::vector<std::string>{dir / "A", dir / "b", dir / "c-link"}));
    EXPECT_TRUE(SubDirectories(dir / "missing").empty());
}

} // namespace
} // namespace veltrane
