#include "editing/RenameFromTags.h"

#include "EditingFixture.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace veltrane {
namespace {

namespace fs = std::filesystem;

TEST(RemoveForbiddenChars, RemovesAllNineWhereverTheyStand) {
    EXPECT_EQ(RemoveForbiddenChars("AC/DC: Live?"), "ACDC Live");
    EXPECT_EQ(RemoveForbiddenChars("Who?:Me"), "WhoMe");
    EXPECT_EQ(RemoveForbiddenChars("\"*/:<>?\\|"), "");
    EXPECT_EQ(RemoveForbiddenChars("a'b(c)[d] e\xC3\xA9"), "a'b(c)[d] e\xC3\xA9");
}

TMP3Tag Tag(std::string artist, std::string title) {
    TMP3Tag tag;
    tag.Header = "TAG";
    tag.Artist = std::move(artist);
    tag.Title = std::move(title);
    return tag;
}

TEST(BuildNameFromTag, JoinsTrimmedFieldsAndRefusesMissingOnes) {
    TDeriveFormat format;
    EXPECT_EQ(BuildNameFromTag(Tag("Band  ", "Song"), format), "Band - Song");
    EXPECT_EQ(BuildNameFromTag(Tag("AC/DC", "Who?:Me"), format), "ACDC - WhoMe");
    EXPECT_EQ(BuildNameFromTag(Tag("Band", ""), format), std::nullopt);
    EXPECT_EQ(BuildNameFromTag(Tag("Band", "   "), format), std::nullopt);
    EXPECT_EQ(BuildNameFromTag(TMP3Tag{}, format), std::nullopt);
    ASSERT_TRUE(format.SetHowToCodes("1"));
    EXPECT_EQ(BuildNameFromTag(Tag("", "Song"), format), "Song");
    EXPECT_EQ(BuildNameFromTag(Tag("", "???"), format), std::nullopt);
    ASSERT_TRUE(format.SetHowToCodes(""));
    EXPECT_EQ(BuildNameFromTag(Tag("Band", "Song"), format), std::nullopt);
}

TEST(RenameByTypedName, AddsTheExtensionUnlessPresentInAnyCase) {
    test::TestDir dir;
    std::string path = dir.WriteFile("old.mp3", "x");
    TRenameResult r = RenameByTypedName(path, "new");
    EXPECT_EQ(r.Status, TRenameResult::rsRenamed);
    EXPECT_EQ(r.NewPath, dir / "new.mp3");
    EXPECT_TRUE(fs::exists(dir / "new.mp3"));
    EXPECT_FALSE(fs::exists(path));

    r = RenameByTypedName(dir / "new.mp3", "new.MP3");
    EXPECT_EQ(r.Status, TRenameResult::rsRenamed);
    EXPECT_TRUE(fs::exists(dir / "new.MP3"));
    r = RenameByTypedName(dir / "new.MP3", "new.mp");
    EXPECT_EQ(r.Status, TRenameResult::rsRenamed);
    EXPECT_TRUE(fs::exists(dir / "new.mp.mp3"));
}

TEST(RenameByTypedName, ExistingTargetOrPresentNameLeavesBothFiles) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", "AAA");
    const std::string b = dir.WriteFile("b.mp3", "BBB");
    TRenameResult r = RenameByTypedName(a, "b");
    EXPECT_EQ(r.Status, TRenameResult::rsExists);
    EXPECT_EQ(r.Message, "File with that name already exists!");
    EXPECT_EQ(dir.ReadFile("a.mp3"), "AAA");
    EXPECT_EQ(dir.ReadFile("b.mp3"), "BBB");

    r = RenameByTypedName(a, "a.mp3");
    EXPECT_EQ(r.Status, TRenameResult::rsExists);
    EXPECT_EQ(dir.ReadFile("a.mp3"), "AAA");

    // A dangling link at the target is still something a rename must not replace.
    fs::create_symlink(dir / "nowhere", dir / "c.mp3");
    EXPECT_EQ(RenameByTypedName(a, "c").Status, TRenameResult::rsExists);
    EXPECT_EQ(dir.ReadFile("a.mp3"), "AAA");
}

TEST(RenameByTypedName, ANameWithASlashCannotLeaveTheDirectory) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("sub/a.mp3", "AAA");
    const TRenameResult r = RenameByTypedName(a, "../b");
    EXPECT_EQ(r.Status, TRenameResult::rsFailed);
    EXPECT_EQ(r.Code, EINVAL);
    EXPECT_EQ(r.Message, "Hmmm, an error occurt renaming this file! (22)");
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(fs::exists(dir / "b.mp3"));

    // "x\0y" must not become "x": the cut path would name another file.
    dir.WriteFile("sub/x", "XXX");
    EXPECT_EQ(RenameByTypedName(a, std::string("x\0y", 3)).Code, EINVAL);
    EXPECT_EQ(dir.ReadFile("sub/a.mp3"), "AAA");
    EXPECT_EQ(dir.ReadFile("sub/x"), "XXX");
    // Nothing typed, or ".mp3" alone, would give the hidden name ".mp3".
    for (const char* typed : {"", ".mp3", ".MP3"}) {
        EXPECT_EQ(RenameByTypedName(a, typed).Message, kMsgEmptyName);
        EXPECT_EQ(PreviewRenameByTypedName(a, typed).State, TPreviewState::psFailed);
    }
    EXPECT_EQ(dir.ReadFile("sub/a.mp3"), "AAA");
    EXPECT_FALSE(fs::exists(dir / "sub/.mp3"));
}

TEST(RenameFromTagsRun, RenamesFromTagsSkipsIncompleteAndReportsCollisions) {
    test::EditingFolder folder;
    const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
    const std::string b = folder.Add("b.mp3", test::Tagged("Live?", "AC/DC:"));
    const std::string untagged = folder.AddNoTag("c.mp3");
    const std::string noTitle = folder.Add("d.mp3", test::Tagged("", "Band"));
    const std::string twin = folder.Add("e.mp3", test::Tagged("Song", "Band"));
    const std::string unselected = folder.Add("f.mp3", test::Tagged("X", "Y"));
    const std::string same = folder.Add("Z - Q.mp3", test::Tagged("Q", "Z"));
    TFileList& list = folder.List();
    folder.Select({a, b, untagged, noTitle, twin, same});
    const std::string twinBytes = folder.Dir().ReadFile("e.mp3");

    const TRenameRun run = RenameFromTagsRun(list, TDeriveFormat{}, nullptr);
    ASSERT_EQ(run.Renamed.size(), 2u);
    EXPECT_EQ(run.Renamed[0].OldPath, a);
    EXPECT_EQ(run.Renamed[0].NewPath, folder / "Band - Song.mp3");
    EXPECT_EQ(run.Renamed[1].NewPath, folder / "ACDC - Live.mp3");
    ASSERT_EQ(run.Failures.size(), 1u);
    EXPECT_EQ(run.Failures[0].Path, twin);
    EXPECT_EQ(run.Failures[0].Error, "Hmmm, an error occurt renaming one of the files! (" +
                                         std::to_string(EEXIST) + ")\n" +
                                         (folder / "Band - Song.mp3") + ": File exists");
    // The colliding file keeps its name and bytes; the file already named right stays.
    EXPECT_EQ(folder.Dir().ReadFile("e.mp3"), twinBytes);
    for (const std::string& kept : {untagged, noTitle, unselected, same})
        EXPECT_TRUE(fs::exists(kept)) << kept;
}

TEST(RenameFromTagsRun, EmptyFormatRenamesNothing) {
    test::EditingFolder folder;
    const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
    TFileList& list = folder.List();
    folder.Select({a});
    TDeriveFormat format;
    ASSERT_TRUE(format.SetHowToCodes(""));
    const TRenameRun run = RenameFromTagsRun(list, format, nullptr);
    EXPECT_TRUE(run.Renamed.empty());
    EXPECT_TRUE(run.Failures.empty());
    EXPECT_TRUE(fs::exists(a));
}

TEST(PreviewRenameFromTags, PredictsEachRenameInTurnAndRenamesNothing) {
    test::EditingFolder folder;
    const std::string dir = folder.Dir().path().string();
    const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
    const std::string b = folder.Add("b.mp3", test::Tagged("Live?", "AC/DC:"));
    const std::string untagged = folder.AddNoTag("c.mp3");
    const std::string noTitle = folder.Add("d.mp3", test::Tagged("", "Band"));
    const std::string twin = folder.Add("e.mp3", test::Tagged("Song", "Band"));
    const std::string same = folder.Add("Z - Q.mp3", test::Tagged("Q", "Z"));
    const std::string blocked = folder.Add("g.mp3", test::Tagged("X", "Y"));
    folder.Add("Y - X.mp3", test::Tagged("", ""));
    const std::string movesAway = folder.Add("K - J.mp3", test::Tagged("M", "K"));
    const std::string movesIn = folder.Add("i.mp3", test::Tagged("J", "K"));
    const std::string missing = folder / "gone.mp3";
    const std::string euros(30, '\x80'); // three UTF-8 bytes each
    const std::string longName =
        folder.Add("l.mp3", test::RawTag{euros, euros, euros, "", euros, 255});
    TDeriveFormat four;
    ASSERT_TRUE(four.SetHowToCodes("1235"));

    const struct {
        const TDeriveFormat& format;
        std::vector<std::string> paths;
        std::vector<std::string> rows; // old|new|note|state (0 change, 1 unchanged, 3 failed)
    } cases[] = {
        {TDeriveFormat{},
         {a, b, untagged, noTitle, twin, same, blocked, movesAway, movesIn, missing},
         {"a.mp3|Band - Song.mp3||0",
          "b.mp3|ACDC - Live.mp3|removed / : ? (not allowed in a name)|0",
          "c.mp3|c.mp3|the file has no tag|1", "d.mp3|d.mp3|the tag has no title|1",
          "e.mp3|Band - Song.mp3|an earlier file of this run takes that name|3",
          "Z - Q.mp3|Z - Q.mp3|unchanged|1", "g.mp3|Y - X.mp3|a file of that name exists|3",
          "K - J.mp3|K - M.mp3||0", "i.mp3|K - J.mp3||0", "gone.mp3||File not found|3"}},
        // Taken in the other order, the first target is not free yet.
        {TDeriveFormat{},
         {movesIn, movesAway},
         {"i.mp3|K - J.mp3|a file of that name exists|3", "K - J.mp3|K - M.mp3||0"}},
        {four,
         {longName},
         {"l.mp3|" +
          [&] {
              std::string utf8;
              for (int i = 0; i < 30; ++i)
                  utf8 += "\xE2\x82\xAC";
              return utf8 + " - " + utf8 + " - " + utf8 + " - " + utf8 + ".mp3";
          }() +
          "|the name is longer than 255 bytes|3"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> rows;
        for (const TPreviewRow& r :
             PreviewRenameFromTags(c.paths, c.format, TagCodec::Default(), nullptr, 1)) {
            EXPECT_EQ(r.Field, "name");
            EXPECT_EQ(r.File.substr(0, dir.size()), dir);
            rows.push_back(r.Old + "|" + r.New + "|" + r.Note + "|" +
                           std::to_string(static_cast<int>(r.State)));
        }
        EXPECT_EQ(rows, c.rows);
    }
    for (const std::string& kept : {a, b, twin, blocked, movesAway, movesIn, longName})
        EXPECT_TRUE(fs::exists(kept)) << kept;
    EXPECT_FALSE(fs::exists(folder / "Band - Song.mp3"));
}

} // namespace
} // namespace veltrane
