#include "editing/TrackNumbers.h"

#include "EditingFixture.h"
#include "editing/ChangeJournal.h"
#include "editing/RenameFromTags.h"
#include "editing/TagEditing.h"
#include "editing/TagFromFileName.h"
#include "editing/Undo.h"

#include <fstream>
#include <gtest/gtest.h>

namespace veltrane {
namespace {

using test::RawTag;

std::string WithTrack(std::uint8_t track, std::string comment = "c") {
    std::string bytes = test::Mp3Bytes(test::kAudioBytes, RawTag{"T", "A", "", "", comment, 1});
    bytes[bytes.size() - 2] = static_cast<char>(track);
    return bytes;
}

std::vector<int> Tracks(const std::vector<std::string>& paths) {
    std::vector<int> tracks;
    for (const std::string& p : paths)
        tracks.push_back(GetMP3Tag(p).Track);
    return tracks;
}

class TrackNumbersTest : public ::testing::Test {
  protected:
    TrackNumbersTest() : journal_(state_.path().string() + "/veltrane") {
        SetActiveJournal(&journal_);
    }
    ~TrackNumbersTest() override { SetActiveJournal(nullptr); }

    std::string Bytes(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Files with these tracks (-1: no tag at all), named 1.mp3, 2.mp3, ...
    std::vector<std::string> Files(const std::vector<int>& tracks) {
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            const std::string name = std::to_string(i + 1) + ".mp3";
            paths.push_back(tracks[i] < 0
                                ? dir_.WriteFile(name, test::Mp3BytesNoTag(test::kAudioBytes))
                                : dir_.WriteFile(name, WithTrack(static_cast<std::uint8_t>(tracks[i]))));
        }
        return paths;
    }

    test::TestDir dir_, state_;
    TChangeJournal journal_;
};

TEST_F(TrackNumbersTest, NumbersInOrderWithAndWithoutKeepingAndRefusesPast255) {
    const struct {
        const char* name;
        std::vector<int> before;
        TNumberOptions options;
        std::vector<int> after; // empty: refused, nothing written
    } cases[] = {
        {"from 1", {0, 5, -1, 0}, {1, false}, {1, 2, 3, 4}},
        {"from 10", {0, 0}, {10, false}, {10, 11}},
        {"keeping existing", {0, 5, -1, 9, 0}, {1, true}, {1, 5, 2, 9, 3}},
        {"up to 255 exactly", {0, 0, 0}, {253, false}, {253, 254, 255}},
        {"one past 255", {0, 0, 0}, {254, false}, {}},
        {"kept ones use no number", {0, 7, 0}, {254, true}, {254, 7, 255}},
        {"keeping still too many", {0, 7, 0, 0}, {254, true}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> paths = Files(c.before);
        std::vector<std::string> before;
        for (const std::string& p : paths)
            before.push_back(Bytes(p));
        const std::size_t steps = journal_.Read().Steps.size();
        if (c.after.empty()) {
            EXPECT_THROW(NumberTracks(paths, c.options, TagCodec::Default(), {}, nullptr),
                         ETrackRange);
            for (std::size_t i = 0; i < paths.size(); ++i)
                EXPECT_EQ(Bytes(paths[i]), before[i]);
            EXPECT_EQ(journal_.Read().Steps.size(), steps);
            continue;
        }
        EXPECT_TRUE(NumberTracks(paths, c.options, TagCodec::Default(), {}, nullptr).empty());
        EXPECT_EQ(Tracks(paths), c.after);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (c.options.KeepExisting && c.before[i] > 0) {
                EXPECT_EQ(Bytes(paths[i]), before[i]) << "a kept track is not even rewritten";
            }
        }
        // One step, and undo takes it back whole.
        EXPECT_EQ(journal_.Read().Steps.size(), steps + 1);
        EXPECT_TRUE(UndoStep(journal_).Failures.empty());
        for (std::size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(Bytes(paths[i]), before[i]);
    }
}

TEST_F(TrackNumbersTest, MessagesAndAFileThatFailsKeepsItsPlace) {
    EXPECT_EQ(TrackRangeMessage(250, 10), "Track numbers end at 255: numbering from 250 fits 6 "
                                          "of these 10 files. No file was changed.");
    EXPECT_THROW(NumberTracks({}, {0, false}, TagCodec::Default(), {}, nullptr), ETrackRange);
    std::vector<std::string> paths = Files({0, 0});
    paths.insert(paths.begin() + 1, dir_ / "missing.mp3");
    paths.push_back(paths.front()); // named twice: numbered once
    const TFileFailures failures = NumberTracks(paths, {}, TagCodec::Default(), {}, nullptr);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Path, paths[1]);
    EXPECT_EQ(GetMP3Tag(paths[0]).Track, 1);
    EXPECT_EQ(GetMP3Tag(paths[2]).Track, 3);
    EXPECT_EQ(journal_.Read().Steps.back().Command, "number tracks of 2 files"); // those read
}

TEST_F(TrackNumbersTest, RunRebuildsRowsAndNotesCutComments) {
    test::EditingFolder folder;
    const std::string a = folder.Add("a.mp3", RawTag{"A", "", "", "", std::string(30, 'x'), 1});
    const std::string b = folder.Add("b.mp3", RawTag{"B", "", "", "", "short", 1});
    TFileList& list = folder.List();
    list.SetAllSelected(true);
    TRunNotes notes;
    EXPECT_TRUE(NumberTracksRun(list, {4, false}, nullptr, &notes).empty());
    EXPECT_EQ(TFileList::GetStringItem(kTrackColumn, list.ItemText(folder.RowOf(a))), "4");
    EXPECT_EQ(TFileList::GetStringItem(kTrackColumn, list.ItemText(folder.RowOf(b))), "5");
    EXPECT_EQ(notes.CommentCut, std::vector<std::string>{a});
    EXPECT_EQ(GetMP3Tag(a).Comment, std::string(28, 'x'));
}

TEST_F(TrackNumbersTest, EditorsSetRemoveOrKeepTheTrackAndUndoTakesItBack) {
    test::EditingFolder folder;
    const std::string a = folder.Dir().WriteFile("a.mp3", WithTrack(7));
    const std::string before = Bytes(a);
    // The single-file editor refuses a bad track before writing anything.
    TEditorFields fields = EditorFieldsFromTag(GetMP3Tag(a));
    EXPECT_EQ(fields.Track, "7");
    for (const char* bad : {"0", "256", "x", "-3"}) {
        fields.Track = bad;
        EXPECT_THROW(SaveSingleTag(GetMP3Tag(a), fields, nullptr), std::invalid_argument) << bad;
    }
    EXPECT_EQ(Bytes(a), before);
    fields.Track = "12";
    SaveSingleTag(GetMP3Tag(a), fields, nullptr);
    EXPECT_EQ(GetMP3Tag(a).Track, 12);
    EXPECT_EQ(journal_.Read().Steps.back().Command, "edit tag of a.mp3");
    EXPECT_TRUE(UndoStep(journal_).Failures.empty());
    EXPECT_EQ(Bytes(a), before);

    // The multi-file editor: a released empty box removes the track, a left one keeps it.
    TFileList& list = [&]() -> TFileList& {
        folder.Add("b.mp3", RawTag{"B", "", "", "", "", 1});
        return folder.List();
    }();
    const std::string b = folder / "b.mp3";
    list.SetSelected(folder.RowOf(b), true);
    const struct {
        TLeaveField track;
        int after;
    } runs[] = {{{false, "9"}, 9}, {{true, ""}, 9}, {{false, ""}, 0}};
    for (const auto& r : runs) {
        TEditMoreFields more;
        more.Album = {false, "X"};
        more.Track = r.track;
        EXPECT_TRUE(EditMoreRun(list, more, nullptr).empty());
        EXPECT_EQ(GetMP3Tag(b).Track, r.after);
        list.SetSelected(folder.RowOf(b), true);
    }
    TEditMoreFields bad;
    bad.Track = {false, "300"};
    EXPECT_THROW(EditMoreRun(list, bad, nullptr), std::invalid_argument);
    EXPECT_EQ(EditMoreDescription(TEditMoreFields{{}, {}, {}, {}, {}, {}, {false, "1"}}, 2),
              "set track of 2 files");
}

TEST(DeriveTrack, PiecesOfOneToThreeDigitsSetTheTrackOthersAreNamed) {
    TDeriveFormat format;
    ASSERT_TRUE(format.SetHowToCodes("61"));
    format.SetSeparator("-");
    const struct {
        const char* name;
        bool smartCut;
        int track; // -1: left as it was (5), the file named
    } cases[] = {
        {"07 - Song.mp3", true, 7},     {"7-Song.mp3", true, 7},       {"255 - x.mp3", true, 255},
        {"(12) - x.mp3", true, 12},     {"007 - x.mp3", true, 7},      {"Track 07 - x.mp3", true, -1},
        {"0 - x.mp3", true, -1},        {"300 - x.mp3", true, -1},     {"07 - Song.mp3", false, -1},
        {"- Song.mp3", true, -1},       {"1234 - x.mp3", true, -1},
    };
    for (const auto& c : cases) {
        TMP3Tag tag;
        ClearMP3Tag(tag);
        tag.Track = 5;
        const bool ok = CutNameIntoFields(c.name, format, c.smartCut, tag);
        EXPECT_EQ(ok, c.track >= 0) << c.name;
        EXPECT_EQ(tag.Track, c.track >= 0 ? c.track : 5) << c.name;
    }
    // The track is an item of the format like the others; the reset puts it with the options.
    format.Reset();
    EXPECT_EQ(format.Options().back(), "6. Track");
    ASSERT_TRUE(format.MoveToHowTo(format.Options().size() - 1));
    EXPECT_EQ(format.FormatText(), "Artistname-Songname-Track");
    ASSERT_TRUE(format.MoveToOptions(2));
    EXPECT_EQ(format.Options(), (std::vector<std::string>{"3. Album", "4. Year", "5. Comment",
                                                          "6. Track"}));
}

TEST(DeriveTrack, RunNamesTheFilesWhoseTrackPieceIsNoNumber) {
    test::EditingFolder folder;
    const std::string good = folder.Add("03 - Good.mp3", test::Tagged("x", "y"));
    const std::string bad = folder.Add("Track 3 - Bad.mp3", test::Tagged("x", "y"));
    TFileList& list = folder.List();
    list.SetAllSelected(true);
    TDeriveFormat format;
    ASSERT_TRUE(format.SetHowToCodes("61"));
    format.SetSeparator("-");
    TRunNotes notes;
    EXPECT_TRUE(DeriveRun(list, format, {true, false}, nullptr, &notes).empty());
    EXPECT_EQ(GetMP3Tag(good).Track, 3);
    EXPECT_EQ(GetMP3Tag(bad).Track, 0);
    EXPECT_EQ(GetMP3Tag(bad).Title, "Bad");
    EXPECT_EQ(notes.BadTrack, std::vector<std::string>{bad});
    ASSERT_EQ(notes.Messages().size(), 1u);
    EXPECT_NE(notes.Messages()[0].find(bad), std::string::npos);
}

TEST(RenameTrack, TwoDigitsThreeFrom100AndNoTrackSkips) {
    TDeriveFormat format;
    ASSERT_TRUE(format.SetHowToCodes("61"));
    format.SetSeparator(" - ");
    const struct {
        int track;
        std::optional<std::string> name;
    } cases[] = {{7, "07 - Song"}, {10, "10 - Song"}, {99, "99 - Song"}, {100, "100 - Song"},
                 {255, "255 - Song"}, {0, std::nullopt}};
    for (const auto& c : cases) {
        TMP3Tag tag;
        tag.Header = "TAG";
        tag.Title = "Song";
        tag.Track = static_cast<std::uint8_t>(c.track);
        EXPECT_EQ(BuildNameFromTag(tag, format), c.name) << c.track;
    }
}

} // namespace
} // namespace veltrane
