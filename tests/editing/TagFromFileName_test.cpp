#include "editing/TagFromFileName.h"

#include "EditingFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace veltrane {
namespace {

using test::RawTag;

TEST(SmartCut, TrimsBlanksAndBracketsOrQuotesWithoutPartnerOrEnclosingThePiece) {
    const struct {
        const char* piece;
        const char* cut;
    } cases[] = {
        {" (Live) ", "Live"},
        {"[Intro]", "Intro"},
        {"'Til Dawn", "Til Dawn"},
        {"\"a b\"", "a b"},
        {"Rock (Remix)", "Rock (Remix)"},
        {"Pulse (Extended Mix)", "Pulse (Extended Mix)"},
        {"(Live) Song (Remix)", "(Live) Song (Remix)"},
        {"(Live) Song", "(Live) Song"},
        {"((Live))", "Live"},
        {"[Band] ", "Band"},
        {"Rock (Remix", "Rock (Remix"}, // the open bracket is not at an end
        {"Remix)", "Remix"},
        {"(Remix", "Remix"},
        {"([Remix)]", "Remix"}, // by nesting only "[" and "]" pair: "(" and ")" go, then "[]"
        {"(a] b)", "a] b"},     // "(" pairs with ")" only
        {"Song ()", "Song"},    // an empty pair at an end
        {"[] Song", "Song"},
        {"Don't Stop'", "Don't Stop"}, // an apostrophe inside a word is no quote
        {"'Til Dawn'", "Til Dawn"},
        {"\"Heroes\" Live", "\"Heroes\" Live"},
        {"[The \"Band\"] ", "The \"Band\""},
        {" ()[]'\" ", ""},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SmartCut(c.piece), c.cut) << "'" << c.piece << "'";
}

TEST(CutNameIntoFields, NamesTheTextLeftOverAndTheBadTrackPiece) {
    const struct {
        const char* name;
        const char* separator;
        const char* codes; // the format's field codes
        const char* leftOver;
        const char* badTrack;
    } cases[] = {
        {"Jean-Luc Ponty - Open Mind.mp3", "-", "21", "Open Mind", ""},
        {"Jean-Luc Ponty - Open Mind.mp3", " - ", "21", "", ""},
        {"Band - Song - Live.MP3", "-", "21", "Live", ""},
        {"Band - Song.mp3", "-", "21", "", ""},
        {"Band - Song - .mp3", "-", "21", "", ""},   // nothing but blanks is left
        {"Band - Song - ().mp3", "-", "21", "", ""}, // nor an empty pair
        {"Band - Song - (Live).mp3", "-", "21", "Live", ""},
        {"Band.mp3", "-", "21", "", ""}, // fewer pieces than fields
        {"A-B-C.mp3", "-", "1", "B-C", ""},
        {"A-B-C", "-", "21", "C", ""}, // no extension: the rest to the end
        {"A_B.mp3", "", "21", "", ""}, // an empty separator is never found
        {"x7 - Song - Live.mp3", "-", "61", "Live", "x7"},
        {"07 - Song.mp3", "-", "61", "", ""},
    };
    for (const auto& c : cases) {
        TDeriveFormat format;
        ASSERT_TRUE(format.SetHowToCodes(c.codes));
        format.SetSeparator(c.separator);
        TMP3Tag tag;
        ClearMP3Tag(tag);
        TNameCut cut;
        CutNameIntoFields(c.name, format, true, tag, &cut);
        EXPECT_EQ(cut.LeftOver, c.leftOver) << c.name << " sep '" << c.separator << "'";
        EXPECT_EQ(cut.BadTrackPiece, c.badTrack) << c.name;
    }
}

struct Cut {
    std::string Artist, Title;
};

Cut CutArtistTitle(std::string_view name, std::string_view sep, bool smart) {
    TDeriveFormat format;
    format.SetSeparator(sep);
    TMP3Tag tag;
    ClearMP3Tag(tag);
    tag.Title = "old";
    CutNameIntoFields(name, format, smart, tag);
    return {tag.Artist, tag.Title};
}

TEST(CutNameIntoFields, ArtistThenTitle) {
    const auto check = [](std::string_view name, std::string_view sep, bool smart,
                          const std::string& artist, const std::string& title) {
        const Cut cut = CutArtistTitle(name, sep, smart);
        EXPECT_EQ(cut.Artist, artist) << name << " sep '" << sep << "'";
        EXPECT_EQ(cut.Title, title) << name << " sep '" << sep << "'";
    };
    check("Band - Song.mp3", "-", true, "Band", "Song");
    check("Band - Song.mp3", "-", false, "Band ", " Song");
    check("Band - Song.mp3", " - ", false, "Band", "Song");
    check("Band - Song - Live.mp3", "-", true, "Band", "Song");
    check("Band - Rock (Remix).mp3", "-", true, "Band", "Rock (Remix)");
    check("Song.mp3", "-", true, "Song", "old"); // one piece: later fields keep their value
    check("- Song.mp3", "-", true, "", "Song");
    check("[Band] - (Song).mp3", "-", true, "Band", "Song");
    check("Band.Song.mp3", ".", true, "Band", "Song");
    check("Band - Song.Mp3", "-", true, "Band", "Song");
    check("Band - Song.MP3", "-", true, "Band", "Song");
    check("Band - Song", "-", true, "Band", "old");           // no extension: the rest is not used
    check("Band - Song.mp3", "", true, "Band - Song", "old"); // empty separator never found
    check("Caf\xC3\xA9 - \xC3\x9C"
          "ber.mp3",
          "-", true, "Caf\xC3\xA9",
          "\xC3\x9C"
          "ber");
}

TEST(CutNameIntoFields, TitleAloneAndEmptyFormat) {
    TDeriveFormat format;
    ASSERT_TRUE(format.SetHowToCodes("1"));
    format.SetSeparator("-");
    TMP3Tag tag;
    CutNameIntoFields("Song - Live.mp3", format, true, tag);
    EXPECT_EQ(tag.Title, "Song");
    CutNameIntoFields("Other.MP3", format, true, tag);
    EXPECT_EQ(tag.Title, "Other");

    ASSERT_TRUE(format.SetHowToCodes(""));
    TMP3Tag untouched;
    untouched.Title = "keep";
    TMP3Tag cut = untouched;
    CutNameIntoFields("A - B.mp3", format, true, cut);
    EXPECT_EQ(cut, untouched);
}

TEST(DeriveRun, KeepsOtherFieldsUnlessClearTagAndAlwaysClearsUntagged) {
    test::EditingFolder folder;
    const std::string tagged =
        folder.Add("Band - Song.mp3", RawTag{"t", "a", "Album", "1999", "c", 17});
    const std::string untagged = folder.AddNoTag("Other - Tune.mp3");
    TFileList& list = folder.List();
    folder.Select({tagged, untagged});
    TDeriveFormat format;
    format.SetSeparator("-");

    EXPECT_TRUE(DeriveRun(list, format, {true, false}, nullptr).empty());
    TMP3Tag tag = GetMP3Tag(tagged);
    EXPECT_EQ(tag.Artist, "Band");
    EXPECT_EQ(tag.Title, "Song");
    EXPECT_EQ(tag.Album, "Album");
    EXPECT_EQ(tag.Year, "1999");
    EXPECT_EQ(tag.Genre, 17);
    tag = GetMP3Tag(untagged);
    EXPECT_EQ(tag.Header, "TAG");
    EXPECT_EQ(tag.Artist, "Other");
    EXPECT_EQ(tag.Title, "Tune");
    EXPECT_EQ(tag.Genre, 255);
    // The rows show the new values.
    EXPECT_NE(list.ItemText(folder.RowOf(tagged)).find("\tSong\tBand\t"), std::string::npos);

    folder.Select({tagged});
    EXPECT_TRUE(DeriveRun(list, format, {true, true}, nullptr).empty());
    tag = GetMP3Tag(tagged);
    EXPECT_EQ(tag.Album, "");
    EXPECT_EQ(tag.Year, "");
    EXPECT_EQ(tag.Genre, 255);
}

TEST(DeriveRun, AFailingFileDoesNotStopTheOthersAndEmptyFormatWritesNothing) {
    test::EditingFolder folder;
    const std::string a = folder.AddNoTag("A - One.mp3");
    const std::string b = folder.AddNoTag("B - Two.mp3");
    const std::string c = folder.AddNoTag("C - Three.mp3");
    TFileList& list = folder.List();
    folder.Select({a, b, c});

    TDeriveFormat empty;
    ASSERT_TRUE(empty.SetHowToCodes(""));
    EXPECT_TRUE(DeriveRun(list, empty, {}, nullptr).empty());
    EXPECT_EQ(std::filesystem::file_size(a), test::kAudioBytes);

    std::filesystem::remove(b);
    TDeriveFormat format;
    format.SetSeparator("-");
    const TFileFailures failures = DeriveRun(list, format, {}, nullptr);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].Path, b);
    EXPECT_EQ(failures[0].Error, "File not found");
    EXPECT_EQ(GetMP3Tag(a).Title, "One");
    EXPECT_EQ(GetMP3Tag(c).Title, "Three");
}

} // namespace
} // namespace veltrane

namespace veltrane {
namespace {

// "file|field|old|new|note|state" with the folder's path cut off, for whole-table compares.
std::vector<std::string> RowTexts(const std::vector<TPreviewRow>& rows, const std::string& dir) {
    std::vector<std::string> texts;
    for (const TPreviewRow& r : rows) {
        const std::string file = r.File.rfind(dir, 0) == 0 ? r.File.substr(dir.size() + 1) : r.File;
        texts.push_back(file + "|" + r.Field + "|" + r.Old + "|" + r.New + "|" + r.Note + "|" +
                        std::to_string(static_cast<int>(r.State)));
    }
    return texts;
}

TEST(PreviewDeriveFromFileNames, ShowsChangedUnchangedWarnedAndFailedRowsAndWritesNothing) {
    test::EditingFolder folder;
    const std::string changed =
        folder.Add("Band - Song.mp3", RawTag{"Old", "Band", "Alb", "", "", 17});
    const std::string same = folder.Add("Same - Name.mp3", test::Tagged("Name", "Same"));
    const std::string more = folder.AddNoTag("Jean-Luc Ponty - Open Mind.mp3");
    const std::string track = folder.Add("x7 - Tune.mp3", test::Tagged("Tune", "y"));
    const std::string kept = folder.Add("Miles-Davis - So What.mp3", test::Tagged("Davis", "Miles"));
    const std::string gone = folder / "Gone - Away.mp3";
    const std::string dir = folder.Dir().path().string();
    const std::string before = folder.Dir().ReadFile("Band - Song.mp3");
    TDeriveFormat artistTitle;
    artistTitle.SetSeparator("-");
    TDeriveFormat trackTitle = artistTitle;
    ASSERT_TRUE(trackTitle.SetHowToCodes("61"));
    const std::string morePieces = "more pieces than fields: \"Open Mind\" is not used";
    // States: 0 change, 1 unchanged, 2 warning, 3 failed.
    const struct {
        const TDeriveFormat& format;
        TDeriveOptions options;
        std::vector<std::string> paths;
        std::vector<std::string> rows;
        std::string counts;
    } cases[] = {
        {artistTitle,
         {true, false},
         {changed, same, more, gone},
         {"Band - Song.mp3|title|Old|Song||0", "Same - Name.mp3||||unchanged|1",
          "Jean-Luc Ponty - Open Mind.mp3|title||Luc Ponty|" + morePieces + "|2",
          "Jean-Luc Ponty - Open Mind.mp3|artist||Jean|" + morePieces + "|2",
          "Gone - Away.mp3||||File not found|3"},
         "3 changes in 2 files; 1 file unchanged; 1 row cannot be done; 2 rows with a warning"},
        // Clear tag empties what the name does not give.
        {artistTitle,
         {true, true},
         {changed},
         {"Band - Song.mp3|title|Old|Song||0", "Band - Song.mp3|album|Alb|||0",
          "Band - Song.mp3|genre|Rock|||0"},
         "3 changes in 1 file"},
        {trackTitle,
         {true, false},
         {track},
         {"x7 - Tune.mp3|track||x7|not a track number from 1 to 255; the track is left as it "
          "is|3"},
         "0 changes in 0 files; 1 row cannot be done"},
        // Left-over pieces of a file that keeps its tag: a warning, no change.
        {artistTitle,
         {true, false},
         {kept},
         {"Miles-Davis - So What.mp3||||unchanged; more pieces than fields: \"So What\" is not "
          "used|2"},
         "0 changes in 0 files; 1 row with a warning"},
    };
    for (const auto& c : cases) {
        const auto rows = PreviewDeriveFromFileNames(c.paths, c.format, c.options,
                                                     TagCodec::Default(), nullptr, 1);
        EXPECT_EQ(RowTexts(rows, dir), c.rows);
        EXPECT_EQ(PreviewSummary(CountPreview(rows)), c.counts);
    }
    EXPECT_EQ(folder.Dir().ReadFile("Band - Song.mp3"), before);
    EXPECT_EQ(std::filesystem::file_size(more), test::kAudioBytes);
}

// An empty track piece (" - Tune.mp3" cut as track - title) is no track number: the dry run
// flags it as the run does, never a silent "no change".
TEST(PreviewDeriveFromFileNames, AnEmptyTrackPieceFails) {
    test::EditingFolder folder;
    const std::string path = folder.Add(" - Tune.mp3", test::Tagged("Tune", "y"));
    TDeriveFormat trackTitle;
    trackTitle.SetSeparator("-");
    ASSERT_TRUE(trackTitle.SetHowToCodes("61"));
    const auto rows = PreviewDeriveFromFileNames({path}, trackTitle, {true, false},
                                                 TagCodec::Default(), nullptr, 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Field, "track");
    EXPECT_EQ(rows[0].State, TPreviewState::psFailed);
}

} // namespace
} // namespace veltrane
