#include "cli/Cli.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace veltrane::cli {
namespace {

std::string Find(std::vector<std::string> args, int expectedStatus = 0) {
    std::ostringstream out, err;
    args.insert(args.begin(), "find");
    EXPECT_EQ(RunCli(args, out, err), expectedStatus) << err.str();
    return out.str();
}

TEST(Find, BreadthFirstEscapedPaths) {
    test::TestDir dir;
    dir.WriteFile("a.mp3", "");
    dir.WriteFile("X/b.mp3", "");
    dir.WriteFile("X/Y/c.mp3", "");
    dir.WriteFile("Z/d.mp3", "");
    dir.WriteFile("Z/tab\there.mp3", "");
    dir.WriteFile("Z/readme.txt", "");
    const std::string d = dir.path().string();
    EXPECT_EQ(Find({"--recursive", "--filter", "*.mp3", d}),
              d + "/a.mp3\n" + d + "/X/b.mp3\n" + d + "/Z/d.mp3\n" + d + "/Z/tab\\there.mp3\n" + d +
                  "/X/Y/c.mp3\n");
    // The default filter takes every file; directories are not listed.
    EXPECT_EQ(Find({d + "/Z/"}),
              d + "/Z/d.mp3\n" + d + "/Z/readme.txt\n" + d + "/Z/tab\\there.mp3\n");
}

TEST(Find, NameStartingWithDashAfterDoubleDash) {
    test::TestDir dir;
    dir.WriteFile("-r/x.mp3", "");
    EXPECT_EQ(Find({"--", dir / "-r"}), dir / "-r/x.mp3" + "\n");
}

} // namespace
} // namespace veltrane::cli
