#include "cli/Cli.h"

#include "VeltraneVersion.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace veltrane::cli {
namespace {

int Invoke(const std::vector<std::string>& args, std::string& out, std::string& err) {
    std::ostringstream o, e;
    const int rc = RunCli(args, o, e);
    out = o.str();
    err = e.str();
    return rc;
}

TEST(Cli, UsageErrorsAreOneLineWithStatusTwo) {
    std::string out, err;
    EXPECT_EQ(Invoke({}, out, err), 2);
    EXPECT_EQ(Invoke({"no\nsuch"}, out, err), 2);
    EXPECT_EQ(err, "veltrane-cli: unknown command 'no\\nsuch' (try --help)\n");
    EXPECT_EQ(Invoke({"tag", "x\ty"}, out, err), 2);
    EXPECT_EQ(err, "veltrane-cli: tag: unknown sub-command 'x\\ty'\n");
    EXPECT_EQ(Invoke({"tag"}, out, err), 2);
    EXPECT_TRUE(out.empty());
}

TEST(Cli, HelpListsEveryCommand) {
    std::string out, err;
    EXPECT_EQ(Invoke({"--help"}, out, err), 0);
    for (const char* command : {"tag show", "tag set", "find", "list", "pack", "unpack",
                                "from-name", "rename", "select"})
        EXPECT_NE(out.find(command), std::string::npos) << command;
}

TEST(Cli, VersionAndEveryCommandsHelpExitZero) {
    std::string out, err;
    EXPECT_EQ(Invoke({"--version"}, out, err), 0);
    EXPECT_EQ(out, "veltrane-cli " VELTRANE_VERSION "\n");
    EXPECT_STREQ(VELTRANE_VERSION, "2.0");
    // Each command's --help prints its own usage, naming it, and nothing on err.
    const std::vector<std::vector<std::string>> commands = {
        {"tag"}, {"tag", "show"}, {"tag", "set"}, {"find"}, {"list"}, {"pack"}, {"unpack"},
        {"from-name"}, {"rename"}, {"select"}, {"undo"}, {"playlist"}, {"playlist", "show"},
        {"playlist", "write"}, {"playlist", "check"},
    };
    for (std::vector<std::string> args : commands) {
        std::string name = args[0] + (args.size() > 1 ? " " + args[1] : "");
        SCOPED_TRACE(name);
        args.push_back("--help");
        EXPECT_EQ(Invoke(args, out, err), 0);
        EXPECT_EQ(out.rfind("usage: veltrane-cli " + name, 0), 0u) << out;
        EXPECT_EQ(err, "");
    }
}

TEST(Cli, AMissingOrUnreadableFolderFailsInEveryCommand) {
    test::TestDir dir;
    const std::string missing = dir / "missing";
    const std::string file = dir.WriteFile("file.mp3", "x");
    for (const std::string& folder : {missing, file}) {
        const std::vector<std::vector<std::string>> commands = {
            {"find", folder},
            {"find", "--recursive", folder},
            {"list", folder},
            {"select", "--text", "x", folder},
            {"tag", "show", "--recursive", missing},
        };
        for (const auto& args : commands) {
            SCOPED_TRACE(args[0] + " " + folder);
            std::string out, err;
            EXPECT_EQ(Invoke(args, out, err), 1);
            EXPECT_EQ(err.rfind("veltrane-cli: " + args.back() + ": ", 0), 0u) << err;
            EXPECT_EQ(out, "");
        }
    }
}

} // namespace
} // namespace veltrane::cli
