#include "cli/Cli.h"

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

} // namespace
} // namespace veltrane::cli
