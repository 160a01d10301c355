#include "cli/Options.h"

#include <gtest/gtest.h>

namespace veltrane::cli {
namespace {

TEST(ParseOptions, FlagsValuesAndPositionals) {
    const Options o = ParseOptions({"a", "--recursive", "--filter", "*.mp3", "--title=x=y", "-",
                                    "--title", "last", "--", "--recursive", "-f"},
                                   {"--recursive"}, {"--filter", "--title"});
    EXPECT_TRUE(o.Has("--recursive"));
    EXPECT_FALSE(o.Has("--help"));
    EXPECT_EQ(o.Value("--filter"), "*.mp3");
    EXPECT_EQ(o.Value("--title"), "last");
    EXPECT_EQ(o.Value("--missing", "dflt"), "dflt");
    EXPECT_EQ(o.Positional(), (Args{"a", "-", "--recursive", "-f"}));
    // An empty value is a value.
    EXPECT_EQ(ParseOptions({"--genre", ""}, {}, {"--genre"}).Value("--genre"), "");
    EXPECT_TRUE(ParseOptions({"-h"}, {}, {}).Has("--help"));
}

TEST(ParseOptions, Mistakes) {
    EXPECT_THROW(ParseOptions({"--nope"}, {"--recursive"}, {}), UsageError);
    EXPECT_THROW(ParseOptions({"-r"}, {"--recursive"}, {}), UsageError);
    EXPECT_THROW(ParseOptions({"--filter"}, {}, {"--filter"}), UsageError);
    EXPECT_THROW(ParseOptions({"--recursive=1"}, {"--recursive"}, {}), UsageError);
}

} // namespace
} // namespace veltrane::cli
