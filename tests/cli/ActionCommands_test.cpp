// tag case, tag replace and tag format: usage errors before any write, the dry run's table,
// the files named after a run, and a step that undo takes back.

#include "CliRun.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"
#include "tagcore/TagFile.h"

#include <gtest/gtest.h>

namespace veltrane::cli {
namespace {

TEST(ActionCommands, UsageErrorsWriteNothing) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", test::Mp3Bytes(20000, {"song", "band", "", "", ""}));
    const std::string before = dir.ReadFile("a.mp3");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"tag", "replace", "--field", "title", "--find", "a(b", "--with", "x", "--regex", a},
         "--find: missing closing parenthesis at character 4"},
        {{"tag", "replace", "--field", "title", "--find", "(a)", "--with", "$3", "--regex", a},
         "--with:"},
        {{"tag", "replace", "--field", "title", "--find", "a", a}, "give both --find and --with"},
        {{"tag", "format", "--field", "comment", "--pattern", "%band%", a},
         "--pattern: unknown placeholder %band%"},
        {{"tag", "format", "--field", "comment,title", "--pattern", "x", a}, "--field:"},
        {{"tag", "case", "--field", "titel", "--mode", "upper", a}, "unknown field 'titel'"},
        {{"tag", "case", "--field", "title", "--mode", "shout", a}, "--mode takes"},
        {{"tag", "case", "--mode", "upper", a}, "missing --field"},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(dir.ReadFile("a.mp3"), before);
}

TEST(ActionCommands, DryRunRunAndUndo) {
    test::TestDir dir;
    const std::string a =
        dir.WriteFile("a.mp3", test::Mp3Bytes(20000, {"song feat. x", "ac/dc", "", "", "", 17}));
    const std::string b =
        dir.WriteFile("b.mp3", test::Mp3Bytes(20000, {"A Long Title In Title Case", "Band", "", "", ""}));
    CliRun run = Cli({"tag", "case", "--field", "title,artist", "--mode", "title", "--dry-run", a, b});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "file\tfield\told\tnew\tnote\n" + a + "\ttitle\tsong feat. x\tSong Feat. X\t\n" +
                           a + "\tartist\tac/dc\tAc/Dc\t\n" + b + "\t\t\t\tunchanged\n");
    run = Cli({"tag", "format", "--field", "title", "--pattern", "%title%/%artist%/%genre%/%file%",
               "--dry-run", b});
    EXPECT_EQ(run.out, "file\tfield\told\tnew\tnote\n" + b +
                           "\ttitle\tA Long Title In Title Case\tA Long Title In Title Case/Ban"
                           "\tcut to 30 bytes\n");
    EXPECT_EQ(GetMP3Tag(a).Title, "song feat. x");

    run = Cli({"tag", "format", "--field", "title", "--pattern",
               "%title%/%artist%/%genre%/%file%", a, b});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(GetMP3Tag(a).Title, "song feat. x/ac/dc/Rock/a");
    EXPECT_NE(run.err.find("cut to the field's width"), std::string::npos);
    EXPECT_NE(run.err.find(b), std::string::npos);
    EXPECT_EQ(run.err.find("  " + a), std::string::npos);

    run = Cli({"tag", "replace", "--field", "title", "--find", "FEAT.", "--with", "ft.",
               "--ignore-case", a, b});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(GetMP3Tag(a).Title, "song ft. x/ac/dc/Rock/a");
    EXPECT_EQ(Cli({"undo"}).status, 0);
    EXPECT_EQ(GetMP3Tag(a).Title, "song feat. x/ac/dc/Rock/a");
}

TEST(ActionCommands, APatternAtItsLimitLeavesThatFileAlone) {
    test::TestDir dir;
    const std::string hit =
        dir.WriteFile("a.mp3", test::Mp3Bytes(20000, {std::string(29, 'a') + "b", "", "", "", ""}));
    const std::string ok = dir.WriteFile("b.mp3", test::Mp3Bytes(20000, {"aaa", "", "", "", ""}));
    const CliRun run =
        Cli({"tag", "replace", "--field", "title", "--find", "(a+)+$", "--with", "X", "--regex",
             hit, ok});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("match limit"), std::string::npos);
    EXPECT_NE(run.err.find(hit), std::string::npos);
    EXPECT_EQ(GetMP3Tag(hit).Title, std::string(29, 'a') + "b");
    EXPECT_EQ(GetMP3Tag(ok).Title, "X");
}

} // namespace
} // namespace veltrane::cli
