#include "editing/FillFromId3v2.h"

#include "EditingFixture.h"
#include "editing/ChangeJournal.h"
#include "editing/Undo.h"
#include "support/Id3v2Builder.h"

#include <fstream>
#include <gtest/gtest.h>

namespace veltrane {
namespace {

using test::RawTag;
using test::V2Frame;

const std::vector<V2Frame> kFrames = {
    {"TIT2", {"New title"}}, {"TPE1", {"New artist"}}, {"TALB", {"New album"}},
    {"TDRC", {"2004-05-01"}}, {"COMM", {"", "New comment"}}, {"TCON", {"(8)"}},
    {"TRCK", {"3/12"}}};

class FillFromId3v2Test : public ::testing::Test {
  protected:
    FillFromId3v2Test() : journal_(state_.path().string() + "/veltrane") {
        SetActiveJournal(&journal_);
    }
    ~FillFromId3v2Test() override { SetActiveJournal(nullptr); }

    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // An ID3v2 tag, audio and, when V1 is given, an ID3v1 tag.
    std::string File(const std::string& name, const std::vector<V2Frame>& frames,
                     const RawTag* v1 = nullptr) {
        const std::string body = test::Id3v2Bytes(frames) + test::Mp3BytesNoTag(test::kAudioBytes);
        return dir_.WriteFile(name, v1 ? body + test::TagBytes(*v1) : body);
    }
    TFillResult Fill(const std::vector<std::string>& paths, TFillOptions options = {}) {
        return FillFromId3v2(paths, options, TagCodec::Default(), 0, {}, nullptr);
    }

    test::TestDir dir_, state_;
    TChangeJournal journal_;
};

TMP3Tag Tag(std::string title, std::string artist, std::string album, std::string year,
            std::string comment, int genre, int track) {
    TMP3Tag t;
    t.Header = "TAG";
    t.Title = std::move(title);
    t.Artist = std::move(artist);
    t.Album = std::move(album);
    t.Year = std::move(year);
    t.Comment = std::move(comment);
    t.Genre = static_cast<std::uint8_t>(genre);
    t.Track = static_cast<std::uint8_t>(track);
    return t;
}

TEST_F(FillFromId3v2Test, FillsOnlyEmptyFieldsOrOverwritesAndKeepsId3v2AndAudio) {
    RawTag old{"Old title", "", "Old album", "", "", 17};
    const struct {
        const char* name;
        bool hasV1;
        TFillOptions options;
        TMP3Tag expected;
    } cases[] = {
        {"no ID3v1 tag: appended", false, {},
         Tag("New title", "New artist", "New album", "2004", "New comment", 8, 3)},
        {"only empty fields", true, {},
         Tag("Old title", "New artist", "Old album", "2004", "New comment", 17, 3)},
        {"overwrite", true, {ffAll, true},
         Tag("New title", "New artist", "New album", "2004", "New comment", 8, 3)},
        {"chosen fields only", true, {ffArtist | ffGenre | ffTrack, true},
         Tag("Old title", "New artist", "Old album", "", "", 8, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = File("f.mp3", kFrames, c.hasV1 ? &old : nullptr);
        const std::string before = Bytes(path);
        const std::size_t kept = before.size() - (c.hasV1 ? 128 : 0);
        const TFillResult result = Fill({path}, c.options);
        EXPECT_EQ(result.Filled, 1u);
        EXPECT_TRUE(result.Failures.empty());
        TMP3Tag expected = c.expected;
        expected.FileName = path;
        EXPECT_EQ(GetMP3Tag(path), expected);
        const std::string after = Bytes(path);
        ASSERT_EQ(after.size(), kept + 128);
        EXPECT_EQ(after.substr(0, kept), before.substr(0, kept)); // ID3v2 tag and audio
    }
}

TEST_F(FillFromId3v2Test, ReportsCutLossyAndUnreadableFilesAndGoesOn) {
    RawTag longComment{"T", "", "", "", std::string(30, 'k'), 255};
    RawTag full{"New title", "New artist", "New album", "2004", "New comment", 8};
    const std::string damagedBytes = std::string("ID3\x03\0\0\0\0\0\x20TIT2\0\0\x13\x88\0\0\0x", 21) +
                                     test::Mp3BytesNoTag(test::kAudioBytes);
    const std::vector<std::string> paths = {
        File("1.mp3", {{"TIT2", {std::string(31, 't')}},
                       {"COMM", {"", std::string(29, 'c')}},
                       {"TRCK", {"4"}}}),
        File("2.mp3", {{"TRCK", {"9"}}}, &longComment),
        File("3.mp3", {{"TIT2", {"日本"}}}),
        dir_.WriteFile("4.mp3", damagedBytes),
        dir_.WriteFile("5.mp3", test::Mp3BytesNoTag(test::kAudioBytes)),
        File("6.mp3", {{"TIT2", {"Other"}}, {"TCON", {"Rock"}}}, &full),
        File("7.mp3", {{"TIT2", {"x"}}, {"TCON", {"Chiptune"}}, {"TRCK", {"0"}}}),
        File("8.mp3", {{"COMM", {"", std::string(30, 'c')}}}), // no track: 30 bytes fit
    };
    std::vector<std::string> before;
    for (const std::string& p : paths)
        before.push_back(Bytes(p));
    const TFillResult r = Fill(paths);
    EXPECT_EQ(r.Filled, 5u);
    EXPECT_EQ(r.Unchanged, 1u);
    const auto notes = [](const TFileFailures& list) {
        std::vector<std::string> out;
        for (const TFileFailure& f : list)
            out.push_back(f.Path.substr(f.Path.rfind('/') + 1) + ": " + f.Error);
        return out;
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(notes(r.Failures), (Lines{"4.mp3: no readable ID3v2 tag", "5.mp3: no readable ID3v2 tag"}));
    EXPECT_EQ(notes(r.Cut), (Lines{"1.mp3: title, comment", "2.mp3: comment"}));
    EXPECT_EQ(notes(r.Lossy), (Lines{"3.mp3: title (日本, WINDOWS-1252)"}));
    EXPECT_EQ(notes(r.UnknownGenre), (Lines{"7.mp3: Chiptune"}));
    EXPECT_EQ(notes(r.BadTrack), (Lines{"7.mp3: 0"}));
    for (const std::size_t untouched : {3u, 4u, 5u})
        EXPECT_EQ(Bytes(paths[untouched]), before[untouched]) << paths[untouched];
    // Filled with "Other" it would have lost its own title; it had nothing empty to fill.
    EXPECT_EQ(GetMP3Tag(paths[5]).Title, "New title");
    EXPECT_EQ(GetMP3Tag(paths[1]).Track, 9);
    const std::string report = FillReport(r);
    EXPECT_EQ(report.rfind("ID3v1 tags filled from ID3v2 in 5 files. 1 file had nothing to fill.", 0), 0u)
        << report;
    EXPECT_NE(report.find(paths[3] + ": no readable ID3v2 tag"), std::string::npos) << report;
}

TEST_F(FillFromId3v2Test, ListRowsShowTheValuesAndUndoTakesTheStepBack) {
    RawTag old{"", "Kept artist", "", "", "", 255};
    const std::vector<std::string> paths = {File("a.mp3", kFrames),
                                            File("b.mp3", kFrames, &old)};
    std::vector<std::string> before;
    for (const std::string& p : paths)
        before.push_back(Bytes(p));
    TFileList list;
    list.UpdateList(paths, dir_.path().string());
    list.SetAllSelected(true);
    const TFillResult r = FillFromId3v2Run(list, {}, nullptr);
    ASSERT_EQ(r.Filled, 2u);
    for (std::size_t i = 1; i < list.Count(); ++i) {
        EXPECT_NE(list.Row(i).Text.find("New title"), std::string::npos) << list.Row(i).Text;
        EXPECT_NE(list.Row(i).Text.find("New album"), std::string::npos) << list.Row(i).Text;
    }
    EXPECT_EQ(GetMP3Tag(paths[1]).Artist, "Kept artist");

    const TUndoReport undo = UndoStep(journal_);
    EXPECT_EQ(undo.Command, "fill ID3v1 from ID3v2 of 2 files");
    EXPECT_EQ(undo.Restored, 2u);
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(Bytes(paths[i]), before[i]) << paths[i];
}

TEST(FillFields, NamesParseAndUnknownOnesAreRefused) {
    EXPECT_EQ(ParseFillFields("title,Track"), unsigned{ffTitle | ffTrack});
    EXPECT_EQ(ParseFillFields("all"), unsigned{ffAll});
    EXPECT_THROW(ParseFillFields("title,,album"), std::invalid_argument);
    EXPECT_THROW(ParseFillFields("titel"), std::invalid_argument);
}

} // namespace
} // namespace veltrane
