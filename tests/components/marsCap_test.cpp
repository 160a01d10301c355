// The gradient caption's geometry and colours as plain logic.

#include "components/marsCap.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(MarsCaption, MulDivRoundsHalvesAwayFromZero) {
    const struct {
        int a, b, c, result;
    } cases[] = {{1, 1, 2, 1},  {1, -1, 2, -1}, {1, 1, 3, 0},   {2, 1, 3, 1},
                 {5, 7, 0, 0},  {255, 2, 1, 510}, {-3, 1, 2, -2}, {3, 1, -2, -2}};
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

TEST(MarsCaption, GradientBands) {
    const std::uint32_t navy = 0x800000, purple = 0x800080;
    auto one = GradientBands(navy, purple, 1, 4, 104);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].Left, 4);
    EXPECT_EQ(one[0].Right, 104);
    EXPECT_EQ(one[0].Color, navy);

    auto two = GradientBands(navy, purple, 2, 4, 105);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].Right, 55); // 4 + round(101 / 2)
    EXPECT_EQ(two[1].Left, 55);
    EXPECT_EQ(two[1].Right, 105);
    EXPECT_EQ(two[0].Color, navy);
    EXPECT_EQ(two[1].Color, purple);

    // 256 bands over 100 pixels: some bands are empty, none overlaps, colours run the way.
    const std::uint32_t grey = 0x808080, light = 0xD1D1D1;
    auto many = GradientBands(grey, light, 256, 0, 100);
    ASSERT_EQ(many.size(), 256u);
    EXPECT_EQ(many.front().Left, 0);
    EXPECT_EQ(many.back().Right, 100);
    EXPECT_EQ(many.front().Color, grey);
    EXPECT_EQ(many.back().Color, light);
    int empty = 0;
    for (size_t i = 0; i < many.size(); ++i) {
        EXPECT_LE(many[i].Left, many[i].Right);
        if (i > 0) {
            EXPECT_EQ(many[i].Left, many[i - 1].Right);
            EXPECT_GE(many[i].Color & 0xFF, many[i - 1].Color & 0xFF);
        }
        empty += many[i].Left == many[i].Right;
    }
    EXPECT_EQ(empty, 156);
    // Band 128 of 256 from 0x80 to 0xD1: 0x80 + round(128 * 81 / 255) = 0x80 + 41.
    EXPECT_EQ(many[128].Color, 0xA9A9A9u);

    // Channels are separate and may fall: blue (high byte) falls while red rises.
    auto mixed = GradientBands(0xFF0000, 0x0000FF, 3, 0, 30);
    EXPECT_EQ(mixed[1].Color, 0x7F0080u); // blue 255 - 128, red 0 + 128: halves away from 0
}

TEST(MarsCaption, MainWindowGeometry) {
    TCaptionMetrics m; // 3/4 frames, captions 19 and 15, buttons 18 x 18
    auto L = CaptionLayout(772, bsSizeable, biSystemMenu | biMinimize, false, m);
    ASSERT_TRUE(L.HasCaption);
    EXPECT_EQ(L.FrameWidth, 4);
    EXPECT_EQ(L.CaptionHeight, 18);
    EXPECT_EQ(L.CaptionRect, (TCapRect{4, 4, 768, 22}));
    EXPECT_TRUE(L.Buttons[cbClose].Shown && L.Buttons[cbClose].Enabled);
    EXPECT_TRUE(L.Buttons[cbMaximize].Shown);
    EXPECT_FALSE(L.Buttons[cbMaximize].Enabled);
    EXPECT_TRUE(L.Buttons[cbMinimize].Shown && L.Buttons[cbMinimize].Enabled);
    EXPECT_FALSE(L.Buttons[cbHelp].Shown);
    EXPECT_EQ(L.ButtonCount, 3);
    EXPECT_EQ(L.ButtonArea, (TCapRect{768 - 50, 6, 768, 20}));
    EXPECT_EQ(L.Buttons[cbClose].Rect, (TCapRect{750, 6, 766, 20}));
    EXPECT_EQ(L.Buttons[cbMaximize].Rect, (TCapRect{732, 6, 748, 20}));
    EXPECT_EQ(L.Buttons[cbMinimize].Rect, (TCapRect{716, 6, 732, 20}));
    EXPECT_EQ(L.IconRect, (TCapRect{4, 4, 22, 22}));
    EXPECT_EQ(L.TextRect, (TCapRect{24, 6, 716, 20}));

    // Minimized, the frame is the fixed one.
    EXPECT_EQ(CaptionLayout(772, bsSizeable, biSystemMenu, true, m).FrameWidth, 3);
}

TEST(MarsCaption, ButtonsByBorderAndIcons) {
    TCaptionMetrics m;
    const int all = biSystemMenu | biMinimize | biMaximize | biHelp;
    const struct {
        TFormBorderStyle border;
        int icons;
        bool close, maximize, minimize, help, icon;
    } cases[] = {
        {bsSingle, all, true, true, true, false, true},
        {bsDialog, all, true, false, false, true, false},
        {bsToolWindow, all, true, false, false, false, false},
        {bsSizeToolWin, all, true, false, false, false, false},
        {bsSizeable, biSystemMenu | biMaximize, true, true, true, false, true},
        {bsSizeable, biMinimize | biMaximize, false, false, false, false, false},
        {bsDialog, biSystemMenu, true, false, false, false, false},
    };
    for (const auto& c : cases) {
        auto L = CaptionLayout(300, c.border, c.icons, false, m);
        SCOPED_TRACE(testing::Message() << "border " << c.border << " icons " << c.icons);
        EXPECT_EQ(L.Buttons[cbClose].Shown, c.close);
        EXPECT_EQ(L.Buttons[cbMaximize].Shown, c.maximize);
        EXPECT_EQ(L.Buttons[cbMinimize].Shown, c.minimize);
        EXPECT_EQ(L.Buttons[cbHelp].Shown, c.help);
        EXPECT_EQ(L.IconRect.Width() > 0, c.icon);
    }
    // A minimize button the window lacks is shown, disabled.
    auto L = CaptionLayout(300, bsSizeable, biSystemMenu | biMaximize, false, m);
    EXPECT_FALSE(L.Buttons[cbMinimize].Enabled);
    EXPECT_TRUE(L.Buttons[cbMaximize].Enabled);

    // A tool window: small caption, its close button fills the area less 2 on each side.
    auto tool = CaptionLayout(200, bsToolWindow, biSystemMenu, false, m);
    EXPECT_EQ(tool.CaptionHeight, 14);
    EXPECT_EQ(tool.ButtonArea, (TCapRect{197 - 13, 5, 197, 15}));
    EXPECT_EQ(tool.Buttons[cbClose].Rect, (TCapRect{186, 5, 195, 15}));
    EXPECT_EQ(tool.TextRect.Left, 5);

    EXPECT_FALSE(CaptionLayout(300, bsNone, all, false, m).HasCaption);
}

TEST(MarsCaption, FrameZones) {
    const struct {
        int x, y;
        THitZone zone;
    } cases[] = {{0, 0, htTopLeft},       {15, 2, htTopLeft},     {16, 2, htTop},
                 {2, 15, htTopLeft},      {2, 16, htLeft},        {199, 50, htRight},
                 {196, 50, htRight},      {195, 50, htNone},      {100, 99, htBottom},
                 {199, 99, htBottomRight}, {0, 99, htBottomLeft}, {185, 0, htTopRight},
                 {100, 50, htNone},       {200, 50, htNone},      {-1, 50, htNone}};
    for (const auto& c : cases)
        EXPECT_EQ(FrameHitTest(c.x, c.y, 200, 100, 4, 16), c.zone) << c.x << "," << c.y;
}

} // namespace
} // namespace veltrane
