#include "cli/Cli.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace veltrane::cli {
namespace {

int Cli(std::vector<std::string> args, std::string* errText = nullptr) {
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    if (errText)
        *errText = err.str();
    return status;
}

std::string Bytes(std::size_t n) {
    std::mt19937 rng{static_cast<unsigned>(n)};
    std::string s;
    while (s.size() < n)
        s += (rng() % 3 == 0) ? std::string(1 + rng() % 40, char(rng())) : "Title Artist ";
    s.resize(n);
    return s;
}

TEST(Pack, RoundTripsBothFormats) {
    test::TestDir dir;
    for (std::size_t n : {0u, 1u, 32783u, 32784u, 100000u}) {
        const std::string data = Bytes(n);
        const std::string in = dir.WriteFile("in", data);
        ASSERT_EQ(Cli({"pack", in, dir / "b"}), 0);
        EXPECT_EQ(dir.ReadFile("b").substr(0, 6), "PMCS10");
        ASSERT_EQ(Cli({"unpack", dir / "b", dir / "out"}), 0);
        EXPECT_EQ(dir.ReadFile("out"), data) << n;
        ASSERT_EQ(Cli({"pack", "--plain", in, dir / "a"}), 0);
        EXPECT_EQ(dir.ReadFile("a").size(), n + 4);
        ASSERT_EQ(Cli({"unpack", dir / "a", dir / "out2"}), 0);
        EXPECT_EQ(dir.ReadFile("out2"), data) << n;
    }
}

TEST(Pack, DamagedInputFailsAndKeepsTheOutput) {
    test::TestDir dir;
    dir.WriteFile("in", Bytes(70000));
    ASSERT_EQ(Cli({"pack", dir / "in", dir / "b"}), 0);
    const std::string packed = dir.ReadFile("b");
    dir.WriteFile("out", "keep me");
    std::string err;
    dir.WriteFile("cut", packed.substr(0, packed.size() - 10));
    EXPECT_EQ(Cli({"unpack", dir / "cut", dir / "out"}, &err), 1);
    EXPECT_NE(err.find("corrupt"), std::string::npos) << err;
    dir.WriteFile("wrong", "PMCS11" + packed.substr(6));
    EXPECT_EQ(Cli({"unpack", dir / "wrong", dir / "out"}, &err), 1);
    dir.WriteFile("short", "xy");
    EXPECT_EQ(Cli({"unpack", dir / "short", dir / "out"}), 1);
    EXPECT_EQ(dir.ReadFile("out"), "keep me");
    EXPECT_EQ(Cli({"unpack", dir / "missing", dir / "out"}), 1);
    EXPECT_EQ(Cli({"pack", dir.path().string(), dir / "out"}, &err), 1); // a directory
    EXPECT_NE(err.find("directory"), std::string::npos) << err;
}

TEST(Pack, UsageErrors) {
    EXPECT_EQ(Cli({"pack", "only-one"}), 2);
    EXPECT_EQ(Cli({"pack", "--fast", "a", "b"}), 2);
    EXPECT_EQ(Cli({"unpack", "--plain", "a", "b"}), 2);
    EXPECT_EQ(Cli({"unpack", "a", "b", "c"}), 2);
}

} // namespace
} // namespace veltrane::cli
