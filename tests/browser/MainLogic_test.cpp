// The selection the main window's commands take: selected file rows in list order, the highest
// selected row, and the byte sum of the footer in 64 bits.

#include "browser/FileList.h"
#include "browser/MainLogic.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/InOutError.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace veltrane;

namespace {

class MainLogicTest : public ::testing::Test {
  protected:
    test::TestDir dir;
    TFileList list;

    void List(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const std::string& n : names)
            paths.push_back(dir.WriteFile(n, test::Mp3Bytes(20000, {})));
        list.UpdateList(paths, dir.path().string());
    }
};

TEST_F(MainLogicTest, SelectedFilesInListOrderAndHighestRow) {
    List({"c.mp3", "a;b.mp3", "b.mp3"});
    EXPECT_TRUE(SelectedFiles(list).empty());
    EXPECT_EQ(HighestSelectedRow(list), 0u);
    list.SetSelected(3, true);
    list.SetSelected(1, true);
    EXPECT_EQ(SelectedFiles(list), (std::vector<std::string>{dir / "a;b.mp3", dir / "c.mp3"}));
    EXPECT_EQ(HighestSelectedRow(list), 3u);
}

TEST_F(MainLogicTest, MarkerRowIsNeverAFile) {
    list.UpdateList({}, dir.path().string());
    ASSERT_EQ(list.Count(), 2u);
    list.SetSelected(1, true);
    EXPECT_TRUE(SelectedFiles(list).empty());
    EXPECT_EQ(SelectedSize(list), 0u);
}

TEST_F(MainLogicTest, SizeSumsInSixtyFourBits) {
    List({"a.mp3", "b.mp3"});
    // Grow one file to 3 GB (a hole, so it costs no disk): a 32-bit sum would wrap.
    std::filesystem::resize_file(dir / "b.mp3", 3'000'000'000ull);
    list.SetAllSelected(true);
    list.SetSelected(0, false);
    EXPECT_EQ(SelectedSize(list), 3'000'000'000ull + 20128ull);
}

TEST_F(MainLogicTest, VanishedFileFailsWithFileNotFound) {
    List({"a.mp3"});
    list.SetSelected(1, true);
    std::filesystem::remove(dir / "a.mp3");
    try {
        SelectedSize(list);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 2);
        EXPECT_STREQ(e.what(), "File not found");
    }
}

} // namespace
