// The track number on the command line: shown last by tag show, list and select, set by
// tag set --track, cut from and joined into names, and numbered by tag number.

#include "cli/Cli.h"

#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace veltrane::cli {
namespace {

struct Result {
    int rc;
    std::string out, err;
};

Result Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int rc = RunCli(args, out, err);
    return {rc, out.str(), err.str()};
}

std::string WithTrack(int track, const std::string& comment = "c") {
    std::string bytes = test::Mp3Bytes(20000, test::RawTag{"T", "A", "", "", comment, 17});
    bytes[bytes.size() - 2] = static_cast<char>(track);
    return bytes;
}

// The last field of each output line.
std::vector<std::string> LastFields(const std::string& out) {
    std::vector<std::string> fields;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        fields.push_back(line.substr(line.rfind('\t') + 1));
    return fields;
}

TEST(TrackCommands, ShownLastSetRemovedAndRefusedBeforeAnyWrite) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", WithTrack(7));
    const std::string b = dir.WriteFile("b.mp3", test::Mp3BytesNoTag(20000));
    const std::string d = dir.path().string();
    EXPECT_EQ(LastFields(Cli({"tag", "show", a, b}).out), (std::vector<std::string>{"7", ""}));
    EXPECT_EQ(LastFields(Cli({"list", d}).out), (std::vector<std::string>{"7", ""}));
    EXPECT_EQ(Cli({"select", "--text", "7", d}).out, a + "\t7\n");
    const struct {
        std::vector<std::string> args;
        int rc;
        std::vector<std::string> tracks; // of a and b afterwards
    } steps[] = {
        {{"tag", "set", "--track", "12", a, b}, 0, {"12", "12"}},
        {{"tag", "set", "--album", "X", a}, 0, {"12", "12"}}, // another field keeps it
        {{"tag", "set", "--track", "", b}, 0, {"12", ""}},
        {{"tag", "set", "--track", "256", a}, 2, {"12", ""}},
        {{"tag", "set", "--track", "0", a}, 2, {"12", ""}},
        {{"tag", "number", "--start", "250", b, a}, 0, {"251", "250"}},
        {{"tag", "number", "--start", "254", a, b, dir / "c.mp3"}, 1, {"251", "250"}},
        {{"tag", "number", "--start", "0", a}, 2, {"251", "250"}},
        {{"tag", "number", "--start", "x", a}, 2, {"251", "250"}},
        {{"list", "--sort", "8", d}, 0, {"250", "251"}}, // b first now
    };
    for (const auto& s : steps) {
        const Result r = Cli(s.args);
        EXPECT_EQ(r.rc, s.rc) << s.args[1] << " " << s.args[2] << ": " << r.err;
        if (s.args[0] == "list") {
            EXPECT_EQ(LastFields(r.out), s.tracks);
        } else {
            EXPECT_EQ(LastFields(Cli({"tag", "show", a, b}).out), s.tracks) << s.args[2];
        }
    }
}

TEST(TrackCommands, KeepExistingCutCommentsAndFieldsInNames) {
    test::TestDir dir;
    const std::string a = dir.WriteFile("a.mp3", WithTrack(0, std::string(30, 'x')));
    const std::string b = dir.WriteFile("b.mp3", WithTrack(9));
    const std::string c = dir.WriteFile("c.mp3", WithTrack(0));
    Result r = Cli({"tag", "number", "--keep-existing", a, b, c});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(LastFields(Cli({"tag", "show", a, b, c}).out),
              (std::vector<std::string>{"1", "9", "2"}));
    // The 30-character comment lost two to the track: said once, naming the file.
    EXPECT_EQ(r.err, "veltrane-cli: comment cut to 28 characters to make room for the track "
                     "number:\n  " + a + "\n");

    const std::string n = dir.WriteFile("05 - Song.mp3", test::Mp3BytesNoTag(20000));
    const std::string bad = dir.WriteFile("Track 5 - Other.mp3", test::Mp3BytesNoTag(20000));
    r = Cli({"from-name", "--fields", "track,title", n, bad});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(r.err.find("  " + bad + "\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(n), std::string::npos) << r.err;
    EXPECT_EQ(LastFields(Cli({"tag", "show", n, bad}).out), (std::vector<std::string>{"5", ""}));
    // The name is already "05 - Song.mp3"; a file without a track is skipped.
    r = Cli({"rename", "--fields", "track,title", n, bad});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(Cli({"tag", "set", "--track", "123", bad}).rc, 0);
    r = Cli({"rename", "--fields", "track,title", n, bad});
    EXPECT_EQ(r.out, bad + " -> " + (dir / "123 - Other.mp3") + "\n");
}

} // namespace
} // namespace veltrane::cli
