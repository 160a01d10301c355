#include "tagcore/MP3Tag.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(GenreTable, HasExactNumbering) {
    const auto& t = GenreTable();
    EXPECT_EQ(t[0], "");
    EXPECT_EQ(ByteToStyle(0), "Blues ");
    EXPECT_EQ(ByteToStyle(17), "Rock ");
    EXPECT_EQ(ByteToStyle(67), "Psychadelic ");
    EXPECT_EQ(ByteToStyle(83), "Swing ");
    EXPECT_EQ(ByteToStyle(84), "Bebob ");
    EXPECT_EQ(ByteToStyle(92), "Psychedelic Rock ");
    EXPECT_EQ(ByteToStyle(114), "Folklore ");
    EXPECT_EQ(ByteToStyle(115), "");
    EXPECT_EQ(ByteToStyle(255), "");
    for (std::size_t i = 1; i < t.size(); ++i) {
        ASSERT_GE(t[i].size(), 2u) << i;
        EXPECT_EQ(t[i].back(), ' ') << i;
        EXPECT_NE(t[i][t[i].size() - 2], ' ') << i;
    }
}

TEST(GenreTable, StyleToByteMatchesWholeEntryIgnoringCase) {
    EXPECT_EQ(StyleToByte("blues "), 0);
    EXPECT_EQ(StyleToByte("ROCK & ROLL "), 78);
    EXPECT_EQ(StyleToByte("Blues"), 254);
    EXPECT_EQ(StyleToByte(""), 255);
    EXPECT_EQ(StyleToByte("Nonsense "), 254);
}

TEST(GenreTable, RoundTripsEveryNumber) {
    for (int g = 0; g <= 255; ++g) {
        const auto b = static_cast<std::uint8_t>(g);
        EXPECT_EQ(StyleToByte(ByteToStyle(b)), g <= 114 ? b : 255) << g;
    }
}

} // namespace
} // namespace veltrane

namespace veltrane {
namespace {

TEST(ParseTrack, OneToThreeDigitsOfOneTo255) {
    const struct {
        const char* text;
        int track; // -1: refused
    } cases[] = {{"", 0},     {"7", 7},     {"07", 7},   {"007", 7},  {"255", 255}, {"0", -1},
                 {"256", -1}, {"300", -1},  {"0007", -1}, {" 7", -1}, {"7a", -1},   {"-1", -1},
                 {"+7", -1},  {"Track 07", -1}};
    for (const auto& c : cases) {
        const std::optional<std::uint8_t> t = ParseTrack(c.text);
        EXPECT_EQ(t ? int(*t) : -1, c.track) << '"' << c.text << '"';
    }
}

} // namespace
} // namespace veltrane
