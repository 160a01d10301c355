#include "browser/Layout.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(Layout, ColumnWidthsTakeOnlyAWholeSensibleList) {
    const struct {
        const char* text;
        std::optional<std::vector<int>> widths;
    } cases[] = {
        {"100,150,40", std::vector<int>{100, 150, 40}},
        {"0,10000,7", std::vector<int>{0, 10000, 7}},
        {"100,150", std::nullopt},      // a column short
        {"100,,40", std::nullopt},
        {"100,-5,40", std::nullopt},
        {"100,10001,40", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseColumnWidths(c.text, 3), c.widths) << c.text;
    EXPECT_EQ(FormatColumnWidths({100, 150, 40}), "100,150,40");
}

// Track takes what is left, never less than its minimum; stretching widens the text columns
// in proportion and leaves year, genre and track alone.
TEST(Layout, TrackTakesTheRestAndStretchWidensTheTextColumns) {
    const std::vector<int> described{100, 150, 150, 100, 40, 60, 100};
    const struct {
        int available;
        bool stretch;
        std::vector<int> widths;
    } cases[] = {
        {728, false, {100, 150, 150, 100, 40, 60, 100, 28}},
        {728, true, {102, 151, 151, 100, 40, 60, 100, 24}}, // 4 spare: rounding to the file name
        {690, false, {100, 150, 150, 100, 40, 60, 100, 24}}, // too narrow: Track keeps 24
        {1024, false, {100, 150, 150, 100, 40, 60, 100, 324}},
        {1324, true, {200, 300, 300, 200, 40, 60, 200, 24}},
        {1325, true, {201, 300, 300, 200, 40, 60, 200, 24}}, // rounding goes to the file name
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitListColumns(described, c.available, c.stretch, 24), c.widths)
            << c.available << (c.stretch ? " stretched" : "");
    // Length and bit rate after Track: the text columns give up the lack in proportion, none
    // below 40; stretched, they share what is left beyond the two.
    const struct {
        std::vector<int> base;
        int available;
        bool stretch;
        std::vector<int> widths;
    } tails[] = {
        {described, 728, false, {80, 119, 119, 83, 40, 60, 83, 24, 70, 50}}, // 116 short
        {described, 728, true, {80, 119, 119, 83, 40, 60, 83, 24, 70, 50}},
        {described, 844, false, {100, 150, 150, 100, 40, 60, 100, 24, 70, 50}}, // just fits
        {described, 1324, true, {180, 270, 270, 180, 40, 60, 180, 24, 70, 50}},
        {{41, 40, 40, 40, 40, 60, 40}, 300, false, {40, 40, 40, 40, 40, 60, 40, 24, 70, 50}},
    };
    for (const auto& c : tails)
        EXPECT_EQ(FitListColumns(c.base, c.available, c.stretch, 24, {70, 50}), c.widths)
            << c.available << (c.stretch ? " stretched" : "");
}

// What is written is read back (the window test restarts with it); an edited file's bad
// values each fall back on their own default.
TEST(Layout, NonsenseInTheFileGivesDefaults) {
    test::TestDir dir;
    const std::string ini = dir / "Veltrane.ini";
    dir.WriteFile("Veltrane.ini", "[Layout]\nKeepLayout=1\nColumnWidths=1,2\nSortColumn=4\n"
                                  "WindowLeft=0\nWindowTop=0\nWindowWidth=99\nWindowHeight=500\n");
    const TListLayout edited = ReadLayout(ini, 3);
    EXPECT_TRUE(edited.KeepLayout);
    EXPECT_FALSE(edited.StretchList);
    EXPECT_TRUE(edited.ColumnWidths.empty());
    EXPECT_EQ(edited.SortColumn, 1);
    EXPECT_FALSE(edited.Window); // too narrow to be a window the user left
    dir.WriteFile("Veltrane.ini", "[Layout]\nSortColumn=-3\nWindowLeft=x\nWindowTop=0\n"
                                  "WindowWidth=800\nWindowHeight=500\n");
    EXPECT_EQ(ReadLayout(ini, 3).SortColumn, -3);
    EXPECT_FALSE(ReadLayout(ini, 3).Window);
}

TEST(Layout, KeptWindowStaysWhereItCanBeGrabbed) {
    const std::vector<TRectangle> screens = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
    const struct {
        TRectangle window;
        TRectangle placed;
    } cases[] = {
        {{60, 40, 1000, 700}, {60, 40, 1000, 700}},
        {{2000, 100, 800, 600}, {2000, 100, 800, 600}}, // on the second screen
        {{-900, 10, 1000, 700}, {-900, 10, 1000, 700}}, // 100 pixels of its top still in view
        {{-950, 10, 1000, 700}, {140, 162, 1000, 700}}, // not enough: centred on the first
        {{100, 1010, 800, 600}, {240, 212, 800, 600}},  // its title bar below the screen
        {{100, 100, 2500, 1500}, {100, 100, 2500, 1500}},
        {{5000, 5000, 2500, 1500}, {0, 0, 1280, 1024}}, // cut to the first screen
    };
    for (const auto& c : cases) {
        const auto placed = PlaceOnScreens(c.window, screens);
        ASSERT_TRUE(placed);
        EXPECT_EQ((std::vector<int>{placed->Left, placed->Top, placed->Width, placed->Height}),
                  (std::vector<int>{c.placed.Left, c.placed.Top, c.placed.Width, c.placed.Height}))
            << c.window.Left << "," << c.window.Top;
    }
    EXPECT_FALSE(PlaceOnScreens({0, 0, 800, 600}, {}));
}

// A list kept with the length and bit rate columns and one kept without them serve each
// other; a sort by a column the list does not have falls back on the default.
TEST(Layout, EightAndTenColumnsServeEachOther) {
    test::TestDir dir;
    const std::string ini = dir / "Veltrane.ini";
    struct Case {
        const char* Widths;
        long Sort;
        int Columns;
        std::vector<int> Expected;
        int ExpectedSort;
    } cases[] = {
        {"1,2,3,4,5,6,7,8,9,10", -9, 8, {1, 2, 3, 4, 5, 6, 7, 8}, 1},
        {"1,2,3,4,5,6,7,8,9,10", -9, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, -9},
        {"1,2,3,4,5,6,7,8", 10, 10, {1, 2, 3, 4, 5, 6, 7, 8}, 10},
        {"1,2,3,4,5,6,7,8,9", 2, 10, {}, 2},
        {"1,2,3,4,5,6,7,8,9", 2, 8, {}, 2},
    };
    for (const Case& c : cases) {
        dir.WriteFile("Veltrane.ini", std::string("[Layout]\nColumnWidths=") + c.Widths +
                                          "\nSortColumn=" + std::to_string(c.Sort) + "\n");
        const TListLayout l = ReadLayout(ini, c.Columns);
        EXPECT_EQ(l.ColumnWidths, c.Expected) << c.Widths << " for " << c.Columns;
        EXPECT_EQ(l.SortColumn, c.ExpectedSort) << c.Widths << " for " << c.Columns;
    }
}

} // namespace
} // namespace veltrane
