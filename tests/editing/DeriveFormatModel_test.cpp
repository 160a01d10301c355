#include "editing/DeriveFormatModel.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

using Items = std::vector<std::string>;

TEST(DeriveFormat, StartsWithArtistThenSongAndTheRestAsOptions) {
    TDeriveFormat format;
    EXPECT_EQ(format.HowTo(), (Items{"2. Artistname", "1. Songname"}));
    EXPECT_EQ(format.Options(), (Items{"3. Album", "4. Year", "5. Comment", "6. Track"}));
    EXPECT_EQ(format.Separator(), " - ");
    EXPECT_EQ(format.FormatText(), "Artistname - Songname");
}

TEST(DeriveFormat, MovesAppendToHowToAndReturnSortedToOptions) {
    TDeriveFormat format;
    ASSERT_TRUE(format.MoveToHowTo(1)); // "4. Year"
    EXPECT_EQ(format.HowTo(), (Items{"2. Artistname", "1. Songname", "4. Year"}));
    EXPECT_EQ(format.Options(), (Items{"3. Album", "5. Comment", "6. Track"}));
    ASSERT_TRUE(format.MoveToOptions(2));
    EXPECT_EQ(format.Options(), (Items{"3. Album", "4. Year", "5. Comment", "6. Track"}));
    ASSERT_TRUE(format.MoveToOptions(0));
    EXPECT_EQ(format.Options(),
              (Items{"2. Artistname", "3. Album", "4. Year", "5. Comment", "6. Track"}));
    EXPECT_FALSE(format.MoveToHowTo(5));
    EXPECT_FALSE(format.MoveToOptions(1));
}

TEST(DeriveFormat, EmptyHowToGivesEmptyTextAndResetRestoresButKeepsSeparator) {
    TDeriveFormat format;
    format.MoveToOptions(0);
    format.MoveToOptions(0);
    EXPECT_TRUE(format.HowTo().empty());
    EXPECT_EQ(format.FormatText(), "");
    format.SetSeparator("-");
    format.Reset();
    EXPECT_EQ(format.FormatText(), "Artistname-Songname");
}

TEST(DeriveFormat, SeparatorKeepsAtMostFiveCharacters) {
    TDeriveFormat format;
    format.SetSeparator("abcdefg");
    EXPECT_EQ(format.Separator(), "abcde");
    format.SetSeparator("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"); // six e-acute
    EXPECT_EQ(format.Separator(), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
}

TEST(DeriveFormat, HowToFromCodes) {
    TDeriveFormat format;
    ASSERT_TRUE(format.SetHowToCodes("314"));
    EXPECT_EQ(format.HowTo(), (Items{"3. Album", "1. Songname", "4. Year"}));
    EXPECT_EQ(format.Options(), (Items{"2. Artistname", "5. Comment", "6. Track"}));
    EXPECT_FALSE(format.SetHowToCodes("11"));
    EXPECT_FALSE(format.SetHowToCodes("7"));
    EXPECT_EQ(format.HowTo().size(), 3u);
}

} // namespace
} // namespace veltrane
