#include "editing/TagEditing.h"

#include "EditingFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace veltrane {
namespace {

using test::RawTag;

TEST(EditorFields, TaggedRecordShowsTrimmedFieldsAndUntaggedShowsNothing) {
    TMP3Tag tag;
    tag.Header = "TAG";
    tag.Title = "  Song  ";
    tag.Year = "1999";
    tag.Genre = 17;
    TEditorFields fields = EditorFieldsFromTag(tag);
    EXPECT_EQ(fields.Title, "  Song");
    EXPECT_EQ(fields.Year, "1999");
    EXPECT_EQ(fields.Style, "Rock ");
    tag.Genre = 200;
    EXPECT_EQ(EditorFieldsFromTag(tag).Style, "");
    tag.Header.clear();
    fields = EditorFieldsFromTag(tag);
    EXPECT_EQ(fields.Title, "");
    EXPECT_EQ(fields.Style, "");
}

TEST(SaveSingleTag, WritesTextsAsTheyStandAndRefreshesTheRow) {
    test::EditingFolder folder;
    const std::string path = folder.AddNoTag("a.mp3");
    TFileList& list = folder.List();
    TMP3Tag record = GetMP3Tag(path);
    TEditorFields fields;
    fields.Title = " lead";
    fields.Year = "abcd";
    const TMP3Tag saved = SaveSingleTag(record, fields, &list);
    EXPECT_EQ(saved.Genre, 255);
    const TMP3Tag read = GetMP3Tag(path);
    EXPECT_EQ(read.Header, "TAG");
    EXPECT_EQ(read.Title, " lead");
    EXPECT_EQ(read.Year, "abcd");
    EXPECT_EQ(read.Genre, 255);
    EXPECT_EQ(std::filesystem::file_size(path), test::kAudioBytes + 128);
    EXPECT_EQ(list.ItemText(folder.RowOf(path)), " a.mp3\t lead\t\t\tabcd\t\t\t\t");

    fields.Style = "Folklore ";
    SaveSingleTag(read, fields, &list);
    EXPECT_EQ(GetMP3Tag(path).Genre, 114);

    record.FileName = folder / "gone.mp3";
    EXPECT_THROW(SaveSingleTag(record, fields, &list), EInOutError);
}

TEST(LeaveBoxes, ChangeRule) {
    EXPECT_TRUE(LeaveForText(""));
    EXPECT_FALSE(LeaveForText("x"));
    EXPECT_FALSE(LeaveForText(" "));
    EXPECT_TRUE(LeaveForStyleIndex(0));
    EXPECT_FALSE(LeaveForStyleIndex(3));
    EXPECT_EQ(EditMoreHeadline(1), "changing tag for 1 file");
    EXPECT_EQ(EditMoreHeadline(12), "changing tag for 12 files");
    EXPECT_EQ(EditMoreHeadline(0), "changing tag for 0 files");
}

TEST(ApplyEditMoreFields, OnlyClearedBoxesChangeAndUntaggedStartsEmpty) {
    TMP3Tag tag;
    tag.Header = "TAG";
    tag.Title = "T";
    tag.Album = "A";
    tag.Comment = "C";
    tag.Genre = 17;
    TEditMoreFields fields;
    fields.Album = {false, "New"};
    fields.Comment = {false, ""};
    TMP3Tag changed = tag;
    ApplyEditMoreFields(changed, fields);
    EXPECT_EQ(changed.Title, "T");
    EXPECT_EQ(changed.Album, "New");
    EXPECT_EQ(changed.Comment, "");
    EXPECT_EQ(changed.Genre, 17);

    fields.Style = {false, ""};
    ApplyEditMoreFields(changed, fields);
    EXPECT_EQ(changed.Genre, 255);

    TMP3Tag untagged;
    untagged.Title = "stray";
    untagged.Genre = 255;
    ApplyEditMoreFields(untagged, TEditMoreFields{});
    EXPECT_EQ(untagged.Header, "TAG");
    EXPECT_EQ(untagged.Title, "");
}

struct RecordingProgress : IProgress {
    std::string caption;
    std::uint64_t max = 0;
    std::vector<std::uint64_t> positions;
    bool finished = false;
    void Start(const std::string& c, std::uint64_t m) override {
        caption = c;
        max = m;
    }
    void SetPosition(std::uint64_t p) override { positions.push_back(p); }
    void Finish() override { finished = true; }
};

TEST(EditMoreRun, WritesSelectedFilesInOrderAndGoesOnAfterAFailure) {
    test::EditingFolder folder;
    const std::string a = folder.Add("a.mp3", test::Tagged("Title A  ", "Artist", 3));
    const std::string b = folder.Add("b.mp3", test::Tagged("Title B", "Artist"));
    const std::string c = folder.AddNoTag("c.mp3");
    const std::string d = folder.Add("d.mp3", test::Tagged("Title D", "Artist"));
    TFileList& list = folder.List();
    folder.Select({a, b, c});
    std::filesystem::remove(b);
    const std::string dBytes = folder.Dir().ReadFile("d.mp3");

    TEditMoreFields fields;
    fields.Album = {false, "Best Of"};
    RecordingProgress progress;
    const TFileFailures failures = EditMoreRun(list, fields, &progress);

    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Path, b);
    EXPECT_EQ(progress.caption, "Updating 3 tags, please wait...");
    EXPECT_EQ(progress.max, 2u);
    EXPECT_EQ(progress.positions, (std::vector<std::uint64_t>{1, 2, 3}));
    EXPECT_TRUE(progress.finished);

    TMP3Tag tag = GetMP3Tag(a);
    EXPECT_EQ(tag.Title, "Title A");
    EXPECT_EQ(tag.Album, "Best Of");
    EXPECT_EQ(tag.Genre, 3);
    tag = GetMP3Tag(c);
    EXPECT_EQ(tag.Header, "TAG");
    EXPECT_EQ(tag.Album, "Best Of");
    EXPECT_EQ(tag.Title, "");
    EXPECT_EQ(tag.Genre, 255);
    EXPECT_EQ(folder.Dir().ReadFile("d.mp3"), dBytes);
    EXPECT_NE(list.ItemText(folder.RowOf(c)).find("\tBest Of\t"), std::string::npos);
}

TEST(EditMoreRun, AllBoxesCheckedKeepsTheTagBytes) {
    test::EditingFolder folder;
    RawTag raw = test::Tagged("Song", "Band", 17);
    raw.pad = ' ';
    const std::string a = folder.Add("a.mp3", raw);
    const std::string before = folder.Dir().ReadFile("a.mp3");
    TFileList& list = folder.List();
    folder.Select({a});
    EXPECT_TRUE(EditMoreRun(list, TEditMoreFields{}, nullptr).empty());
    EXPECT_EQ(folder.Dir().ReadFile("a.mp3"), before);
}

} // namespace
} // namespace veltrane
