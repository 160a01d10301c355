#include "cli/Cli.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/TagFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace veltrane::cli {
namespace {

namespace fs = std::filesystem;

struct Result {
    int rc;
    std::string out, err;
};

Result Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int rc = RunCli(args, out, err);
    return {rc, out.str(), err.str()};
}

test::RawTag Tagged(std::string title, std::string artist, std::uint8_t genre = 255) {
    test::RawTag tag;
    tag.title = std::move(title);
    tag.artist = std::move(artist);
    tag.genre = genre;
    return tag;
}

constexpr std::size_t kAudio = 20000;

TEST(FromNameCommand, CutsNamesWithQuotesBracketsAndSeveralSeparators) {
    test::TestDir dir;
    const std::string a =
        dir.WriteFile("[The \"Band\"] - (Song) - Live.mp3", test::Mp3BytesNoTag(kAudio));
    const std::string b = dir.WriteFile("Caf\xC3\xA9 - \xC3\x9C"
                                        "ber.MP3",
                                        test::Mp3BytesNoTag(kAudio));
    Result r = Cli({"from-name", a, b});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err,
              "veltrane-cli: more pieces than fields; the rest of the name was not used:\n  " + a +
                  "\n");
    TMP3Tag tag = GetMP3Tag(a);
    EXPECT_EQ(tag.Artist, "The \"Band\"");
    EXPECT_EQ(tag.Title, "Song");
    tag = GetMP3Tag(b);
    EXPECT_EQ(tag.Artist, "Caf\xC3\xA9");
    EXPECT_EQ(tag.Title, "\xC3\x9C"
                         "ber");

    r = Cli({"from-name", "--fields", "title,year", "--separator", "_", "--no-smart-cut", "--",
             dir.WriteFile("-x_2001.mp3", test::Mp3Bytes(kAudio, Tagged("", "Kept")))});
    EXPECT_EQ(r.rc, 0) << r.err;
    tag = GetMP3Tag(dir / "-x_2001.mp3");
    EXPECT_EQ(tag.Title, "-x");
    EXPECT_EQ(tag.Year, "2001");
    EXPECT_EQ(tag.Artist, "Kept");
    EXPECT_EQ(Cli({"from-name", "--clear-tag", "--fields", "title", dir / "-x_2001.mp3"}).rc, 0);
    EXPECT_EQ(GetMP3Tag(dir / "-x_2001.mp3").Artist, "");
}

TEST(EditCommands, DryRunPrintsTheTableAndWritesNothing) {
    test::TestDir dir;
    const std::string more =
        dir.WriteFile("Jean-Luc Ponty - Open Mind.mp3", test::Mp3BytesNoTag(kAudio));
    const std::string same =
        dir.WriteFile("Band - Song.mp3", test::Mp3Bytes(kAudio, Tagged("Song", "Band")));
    const std::string other =
        dir.WriteFile("x.mp3", test::Mp3Bytes(kAudio, Tagged("Song", "Band")));
    const std::string missing = dir / "gone.mp3";
    const std::string header = "file\tfield\told\tnew\tnote\n";
    const std::string note = "more pieces than fields: \"Open Mind\" is not used";
    const struct {
        std::vector<std::string> args;
        int rc;
        std::string out;
    } cases[] = {
        {{"from-name", "--dry-run", more, same},
         0,
         header + more + "\ttitle\t\tLuc Ponty\t" + note + "\n" + more + "\tartist\t\tJean\t" +
             note + "\n" + same + "\t\t\t\tunchanged\n"},
        {{"from-name", "--dry-run", "--fields", "title", missing},
         1,
         header + missing + "\t\t\t\tFile not found\n"},
        {{"rename", "--dry-run", other, same},
         1,
         header + other + "\tname\tx.mp3\tBand - Song.mp3\ta file of that name exists\n" + same +
             "\tname\tBand - Song.mp3\tBand - Song.mp3\tunchanged\n"},
        {{"rename", "--dry-run", "--to", "new", other},
         0,
         header + other + "\tname\tx.mp3\tnew.mp3\t\n"},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        EXPECT_EQ(r.rc, c.rc) << c.args[0] << " " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[0];
    }
    EXPECT_EQ(dir.ReadFile("Jean-Luc Ponty - Open Mind.mp3"), test::Mp3BytesNoTag(kAudio));
    EXPECT_EQ(dir.ReadFile("x.mp3"), test::Mp3Bytes(kAudio, Tagged("Song", "Band")));
    EXPECT_FALSE(fs::exists(dir / "new.mp3"));
    EXPECT_FALSE(fs::exists(missing));
}

TEST(FromNameCommand, BadFieldsAreUsageErrorsAndMissingFilesAreReported) {
    test::TestDir dir;
    EXPECT_EQ(Cli({"from-name", "--fields", "title,genre", dir / "a.mp3"}).rc, 2);
    EXPECT_EQ(Cli({"from-name", "--fields", "title,title", dir / "a.mp3"}).rc, 2);
    EXPECT_EQ(Cli({"from-name", "--fields", "", dir / "a.mp3"}).rc, 2);
    const Result r = Cli({"from-name", dir / "a.mp3"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "veltrane-cli: " + (dir / "a.mp3") + ": File not found\n");
}

TEST(EditCommands, SeparatorLongerThanTheFieldIsAUsageErrorAndNothingIsWritten) {
    test::TestDir dir;
    const std::string bytes = test::Mp3Bytes(kAudio, Tagged("Old", "Band"));
    const std::string a = dir.WriteFile("a_-_-_-b.mp3", bytes);
    struct Case {
        std::vector<std::string> args;
        int rc;
    };
    const Case cases[] = {
        {{"from-name", "--separator", "_-_-_-", a}, 2},
        {{"rename", "--separator", "123456", a}, 2},
        // Five characters fit, counted as characters, not bytes.
        {{"from-name", "--separator", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", a}, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        const Result r = Cli(args);
        EXPECT_EQ(r.rc, c.rc) << args[0] << " " << args[2] << ": " << r.err;
        if (c.rc == 2) {
            EXPECT_NE(r.err.find("at most 5 characters"), std::string::npos) << r.err;
            EXPECT_EQ(dir.ReadFile("a_-_-_-b.mp3"), bytes);
        }
    }
}

TEST(RenameCommand, FromTagsPrintsOldAndNewAndRefusesToReplace) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(kAudio, Tagged("Live?", "AC/DC")));
    const std::string b = dir.WriteFile("b.mp3", test::Mp3Bytes(kAudio, Tagged("Live", "ACDC")));
    const std::string bBytes = dir.ReadFile("b.mp3");
    Result r = Cli({"rename", a, b});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, a + " -> " + (dir / "ACDC - Live.mp3") + "\n");
    EXPECT_EQ(r.err,
              "veltrane-cli: " + b + ": Hmmm, an error occurt renaming one of the files! (17)\n");
    EXPECT_EQ(dir.ReadFile("b.mp3"), bBytes);

    r = Cli({"rename", "--fields", "title", "--separator", "+", b});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "Live.mp3"));
}

TEST(RenameCommand, TypedNameKeepsBothFilesWhenTheTargetExists) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("old.mp3", "AAA");
    dir.WriteFile("new.mp3", "NNN");
    Result r = Cli({"rename", "--to", "new", a});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "veltrane-cli: " + a + ": File with that name already exists!\n");
    EXPECT_EQ(dir.ReadFile("old.mp3"), "AAA");
    EXPECT_EQ(dir.ReadFile("new.mp3"), "NNN");

    r = Cli({"rename", "--to", "Caf\xC3\xA9 [1]", a});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, a + " -> " + (dir / "Caf\xC3\xA9 [1].mp3") + "\n");
    EXPECT_EQ(Cli({"rename", "--to", "x", a, a}).rc, 2);
    EXPECT_EQ(Cli({"rename", "--to", "x", "--fields", "title", a}).rc, 2);
}

TEST(SelectCommand, PrintsMatchingFilesInListOrderEscaped) {
    test::TestDir dir;
    dir.WriteFile("b.mp3", test::Mp3Bytes(kAudio, Tagged("Song (Live)", "Band", 17)));
    dir.WriteFile("a\tx.mp3", test::Mp3Bytes(kAudio, Tagged("LIVE", "Other", 0)));
    dir.WriteFile("sub/c.mp3", test::Mp3BytesNoTag(kAudio));
    dir.WriteFile("small.mp3", "live"); // too small for a row

    Result r = Cli({"select", "--text", "live", dir.path().string()});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, dir.path().string() + "/a\\tx.mp3\t\n" + (dir / "b.mp3") + "\t\n");
    r = Cli({"select", "--case-sensitive", "--text", "Live", dir.path().string()});
    EXPECT_EQ(r.out, (dir / "b.mp3") + "\t\n");
    r = Cli({"select", "--genre", "ROCK", dir.path().string()});
    EXPECT_EQ(r.out, (dir / "b.mp3") + "\t\n");
    r = Cli({"select", "--recursive", "--genre", "", dir.path().string()});
    EXPECT_EQ(r.out, (dir / "sub/c.mp3") + "\t\n");

    EXPECT_EQ(Cli({"select", "--genre", "nope", dir.path().string()}).rc, 2);
    EXPECT_EQ(Cli({"select", "--text", "a", "--genre", "Rock", dir.path().string()}).rc, 2);
    EXPECT_EQ(Cli({"select", dir.path().string()}).rc, 2);
}

TEST(EditCommands, CodepageReadsAndWritesTagTextsInThatCodePage) {
    test::TestDir dir;
    // Byte 0xCF is "П" in CP1251 and "Ï" in Windows-1252.
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(kAudio, Tagged("\xCF", "Band")));
    Result r = Cli({"select", "--codepage", "CP1251", "--text", "П", dir.path().string()});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, a + "\t\n");
    EXPECT_EQ(Cli({"select", "--text", "П", dir.path().string()}).out, "");
    EXPECT_EQ(Cli({"select", "--codepage", "UTF-16", "--text", "x", dir.path().string()}).rc, 2);

    r = Cli({"rename", "--codepage", "CP1251", a});
    EXPECT_EQ(r.rc, 0) << r.err;
    const std::string renamed = dir / "Band - П.mp3";
    EXPECT_EQ(r.out, a + " -> " + renamed + "\n");

    const std::string b = dir.WriteFile("Пес - Тема.mp3", test::Mp3BytesNoTag(kAudio));
    r = Cli({"from-name", "--codepage", "CP1251", b});
    EXPECT_EQ(r.rc, 0) << r.err;
    const std::string bytes = dir.ReadFile("Пес - Тема.mp3");
    EXPECT_EQ(bytes.substr(bytes.size() - 128 + 3, 4), "\xD2\xE5\xEC\xE0"); // title "Тема"
    EXPECT_EQ(bytes.substr(bytes.size() - 128 + 33, 3), "\xCF\xE5\xF1");    // artist "Пес"
    EXPECT_EQ(Cli({"from-name", "--codepage", "nope", b}).rc, 2);
}

} // namespace
} // namespace veltrane::cli
