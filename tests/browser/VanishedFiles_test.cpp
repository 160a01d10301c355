#include "browser/ErrorText.h"
#include "browser/FileList.h"
#include "browser/VanishedFiles.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace veltrane {
namespace {

// Five listed files a..e.mp3, each 20000 bytes.
struct Listed {
    test::TestDir dir;
    TFileList list;
    Listed() {
        std::vector<std::string> files;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"})
            files.push_back(dir.WriteFile(name, test::Mp3BytesNoTag(20000)));
        list.UpdateList(files, dir.path().string());
    }
    std::string Name(std::size_t Row) const {
        return std::filesystem::path(list.Row(Row).Path).filename().string();
    }
};

TEST(VanishedFilesTest, GoneSelectedRowsAreDroppedAndNamedOnce) {
    struct Case {
        std::vector<std::size_t> selected;
        std::vector<std::string> removed;
        std::size_t focus;
        std::vector<std::string> rowsAfter;
        std::size_t focusAfter;
        std::size_t selectedAfter;
    };
    const Case cases[] = {
        // The focused row goes: the row that takes its place has the focus.
        {{2, 4}, {"b.mp3"}, 2, {"a.mp3", "c.mp3", "d.mp3", "e.mp3"}, 2, 1},
        // A row above the focus goes: the focus stays on its file.
        {{1, 4}, {"a.mp3"}, 4, {"b.mp3", "c.mp3", "d.mp3", "e.mp3"}, 3, 1},
        // The last rows go while focused: the focus moves to the new last row.
        {{4, 5}, {"d.mp3", "e.mp3"}, 5, {"a.mp3", "b.mp3", "c.mp3"}, 3, 0},
        // A gone file that is not selected stays listed until it is touched.
        {{1}, {"c.mp3"}, 1, {"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}, 1, 1},
    };
    for (const Case& c : cases) {
        Listed l;
        for (std::size_t row : c.selected)
            l.list.SetSelected(row, true);
        l.list.SetItemIndex(static_cast<std::ptrdiff_t>(c.focus));
        std::vector<std::string> gonePaths;
        for (const std::string& name : c.removed) {
            std::filesystem::remove(l.dir / name);
            gonePaths.push_back(l.dir / name);
        }
        const TSelectedSize size = SelectedSizeDroppingVanished(l.list);
        std::vector<std::string> rows;
        for (std::size_t i = 1; i < l.list.Count(); ++i)
            rows.push_back(l.Name(i));
        EXPECT_EQ(rows, c.rowsAfter);
        EXPECT_EQ(l.list.ItemIndex(), static_cast<std::ptrdiff_t>(c.focusAfter));
        EXPECT_EQ(l.list.SelCount(), c.selectedAfter);
        EXPECT_EQ(size.Bytes, 20000u * c.selectedAfter);
        const bool selectedGone = c.rowsAfter.size() < 5;
        EXPECT_EQ(size.Vanished, selectedGone ? gonePaths : std::vector<std::string>{});
        // Asked again, nothing more is reported.
        EXPECT_TRUE(SelectedSizeDroppingVanished(l.list).Vanished.empty());
    }
}

TEST(VanishedFilesTest, OneRowIsDroppedOnlyWhenItsFileIsGone) {
    Listed l;
    EXPECT_FALSE(DropRowIfVanished(l.list, 2));
    std::filesystem::remove(l.dir / "b.mp3");
    EXPECT_FALSE(DropRowIfVanished(l.list, 0));
    EXPECT_TRUE(DropRowIfVanished(l.list, 2));
    EXPECT_EQ(l.list.Count(), 5u);
    EXPECT_EQ(l.Name(2), "c.mp3");
}

TEST(VanishedFilesTest, MessagesNameTheFileAndSayWhy) {
    EXPECT_EQ(VanishedFilesMessage({"/m/a.mp3", "/m/b.mp3"}), "File not found\n/m/a.mp3\n/m/b.mp3");
    EXPECT_EQ(VanishedFilesMessage({"1", "2", "3"}, 2), "File not found\n1\n2\n... and 1 more");

    EXPECT_EQ(
        WithFileError("Hmmm, an error occurt renaming one of the files! (17)", "/m/x.mp3", EEXIST),
        "Hmmm, an error occurt renaming one of the files! (17)\n/m/x.mp3: File exists");
    EXPECT_EQ(WithFileError("(22)", "x", EINVAL), "(22)\nx: Invalid argument");

    // A named code needs no description; a bare number gets the system's.
    EInOutError gone(2);
    EXPECT_EQ(InOutErrorMessage(gone, "/m/a.mp3"), "File not found\n/m/a.mp3");
    gone.SetFileName("/m/own.mp3");
    EXPECT_EQ(InOutErrorMessage(gone), "File not found\n/m/own.mp3");
    const EInOutError io = EInOutError::FromErrno(EIO);
    EXPECT_EQ(InOutErrorMessage(io, "/m/a.mp3"),
              std::string(io.what()) + "\n/m/a.mp3: Input/output error");
    EXPECT_EQ(InOutErrorText(io), std::string(io.what()) + " (Input/output error)");
    EXPECT_EQ(InOutErrorText(EInOutError::FromErrno(EXDEV)),
              "I/O error " + std::to_string(EXDEV) + " (Invalid cross-device link)");
}

} // namespace
} // namespace veltrane
