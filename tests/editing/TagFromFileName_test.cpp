#include "editing/TagFromFileName.h"

#include "EditingFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace veltrane {
namespace {

using test::RawTag;

TEST(SmartCut, TrimsBracketsQuotesAndBlanksAtBothEndsOnly) {
    EXPECT_EQ(SmartCut(" (Live) "), "Live");
    EXPECT_EQ(SmartCut("[Intro]"), "Intro");
    EXPECT_EQ(SmartCut("'Til Dawn"), "Til Dawn");
    EXPECT_EQ(SmartCut("Rock (Remix)"), "Rock (Remix");
    EXPECT_EQ(SmartCut("\"a b\""), "a b");
    EXPECT_EQ(SmartCut(" ()[]'\" "), "");
    EXPECT_EQ(SmartCut(""), "");
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
