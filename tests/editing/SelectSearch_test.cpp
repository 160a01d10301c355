#include "editing/SelectSearch.h"

#include "EditingFixture.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(RowTextMatches, CaseRuleIsAsciiOnly) {
    EXPECT_TRUE(RowTextMatches(" a.mp3\tSong (Live)\t", "live", false));
    EXPECT_FALSE(RowTextMatches(" a.mp3\tSong (Live)\t", "live", true));
    EXPECT_TRUE(RowTextMatches(" a.mp3\tSong (Live)\t", "Live", true));
    // Letters above 127 still compare by case.
    EXPECT_FALSE(RowTextMatches("\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\xA9", false));
    EXPECT_TRUE(RowTextMatches("\xC3\x89t\xC3\xA9", "\xC3\x89T\xC3\xA9", false));
    EXPECT_FALSE(RowTextMatches("anything", "", false));
}

std::vector<std::string> SelectedPaths(const TFileList& list) {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < list.Count(); ++i)
        if (list.Selected(i))
            out.push_back(list.Row(i).Path);
    return out;
}

struct Folder {
    test::EditingFolder folder;
    std::string live, upper, plain, untagged;
    TFileList* list;
    Folder() {
        live = folder.Add("a.mp3", test::Tagged("Song (Live)", "Band", 17));
        upper = folder.Add("b.mp3", test::Tagged("LIVE AT HOME", "Other", 0));
        plain = folder.Add("c.mp3", test::Tagged("Studio", "Band", 17));
        untagged = folder.AddNoTag("d.mp3");
        list = &folder.List();
    }
};

using Paths = std::vector<std::string>;

TEST(ApplySelectSearch, SelectModeSelectsExactlyTheMatches) {
    Folder f;
    f.folder.Select({f.plain, f.untagged});
    TSelectSearch search;
    search.Text = "live";
    ApplySelectSearch(*f.list, TDeSelectMode::dmSelect, search);
    EXPECT_EQ(SelectedPaths(*f.list), (Paths{f.live, f.upper}));

    search.CaseSensitive = true;
    search.Text = "Live";
    ApplySelectSearch(*f.list, TDeSelectMode::dmSelect, search);
    EXPECT_EQ(SelectedPaths(*f.list), (Paths{f.live}));

    search.Text = "";
    ApplySelectSearch(*f.list, TDeSelectMode::dmSelect, search);
    EXPECT_TRUE(SelectedPaths(*f.list).empty());
}

TEST(ApplySelectSearch, DeselectModeOnlyDeselectsMatches) {
    Folder f;
    f.folder.Select({f.live, f.plain});
    TSelectSearch search;
    search.Text = "LIVE";
    ApplySelectSearch(*f.list, TDeSelectMode::dmDeselect, search);
    EXPECT_EQ(SelectedPaths(*f.list), (Paths{f.plain}));
}

TEST(ApplySelectSearch, GenreNameInTheRowIsFoundByText) {
    Folder f;
    TSelectSearch search;
    search.Text = "rock ";
    ApplySelectSearch(*f.list, TDeSelectMode::dmSelect, search);
    EXPECT_EQ(SelectedPaths(*f.list), (Paths{f.live, f.plain}));
}

TEST(ApplySelectSearch, StyleSearchDecidesAloneAndEmptyEntryMeansNoGenre) {
    Folder f;
    TSelectSearch search;
    search.Text = "live";
    search.UseStyleSearch = true; // text box checked too: the genre alone decides
    search.Style = "Rock ";
    ApplySelectSearch(*f.list, TDeSelectMode::dmSelect, search);
    EXPECT_EQ(SelectedPaths(*f.list), (Paths{f.live, f.plain}));

    search.Style = "";
    ApplySelectSearch(*f.list, TDeSelectMode::dmSelect, search);
    EXPECT_EQ(SelectedPaths(*f.list), (Paths{f.untagged}));

    search.Style = "Blues ";
    f.folder.Select({f.live, f.upper, f.plain});
    ApplySelectSearch(*f.list, TDeSelectMode::dmDeselect, search);
    EXPECT_EQ(SelectedPaths(*f.list), (Paths{f.live, f.plain, f.untagged}));
}

TEST(ApplySelectSearch, UnreadableFileDoesNotMatchAndIsReported) {
    Folder f;
    std::filesystem::remove(f.untagged);
    TSelectSearch search;
    search.UseTextSearch = false;
    search.UseStyleSearch = true;
    const TFileFailures failures = ApplySelectSearch(*f.list, TDeSelectMode::dmSelect, search);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Path, f.untagged);
    EXPECT_TRUE(SelectedPaths(*f.list).empty());
}

TEST(ApplySelectSearch, MarkerRowIsNeverSelected) {
    test::EditingFolder folder;
    TFileList& list = folder.List();
    ASSERT_EQ(list.Count(), 2u);
    TSelectSearch search;
    search.Text = "found";
    ApplySelectSearch(list, TDeSelectMode::dmSelect, search);
    EXPECT_FALSE(list.Selected(1));
    search.UseStyleSearch = true;
    EXPECT_TRUE(ApplySelectSearch(list, TDeSelectMode::dmSelect, search).empty());
}

} // namespace
} // namespace veltrane
