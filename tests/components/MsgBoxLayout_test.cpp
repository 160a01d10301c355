#include "components/MsgBoxLayout.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

// Every character 6 pixels wide.
int Width(const std::string& text) {
    return static_cast<int>(text.size()) * 6;
}

TEST(MsgBoxLayout, ButtonSets) {
    const struct {
        MsgButtonStyles style;
        std::vector<std::string> texts;
        int def, cancel;
        std::vector<std::string> captions;
        int width;
        std::vector<int> defaults, cancels; // button numbers
    } cases[] = {
        {btsOk, {}, 0, 0, {"&Ok"}, 95, {1}, {1}},
        {btsOk, {}, 2, 0, {"&Ok"}, 95, {}, {}},
        {btsYesNo, {}, 1, 2, {"&Yes", "&No"}, 95, {1}, {}},
        {btsOkCancel, {}, 0, 0, {"&Ok", "&Cancel"}, 95, {}, {2}},
        {btsRetryCancel, {}, 1, 0, {"&Retry", "&Cancel"}, 95, {1}, {2}},
        {btsAbortRetryIgnore, {}, 3, 1, {"&Abort", "&Retry", "&Ignore"}, 95, {3}, {}},
        {btsYesNoCancel, {}, 0, 1, {"&Yes", "&No", "&Cancel"}, 95, {}, {1, 3}},
        {btsCustom, {"Append", "Overwrite", "Cancel"}, 0, 3, {"Append", "Overwrite", "Cancel"},
         66, {}, {3}},
        {btsCustom, {"A"}, 1, 0, {"A"}, 25, {1}, {}},
        {btsCustom, {}, 1, 1, {}, 0, {}, {}},
        {btsCustom, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, 0, 0,
         {"1", "2", "3", "4", "5", "6", "7", "8", "9"}, 25, {}, {}},
        // A long standard caption widens W past 95.
    };
    for (const auto& c : cases) {
        const auto buttons = MsgBoxButtons(c.style, c.texts, c.def, c.cancel, Width);
        std::vector<std::string> captions;
        std::vector<int> defaults, cancels;
        for (const TMsgButton& b : buttons) {
            captions.push_back(b.Caption);
            EXPECT_EQ(b.Number, int(captions.size()));
            EXPECT_EQ(b.Width, c.width) << b.Caption;
            if (b.Default) defaults.push_back(b.Number);
            if (b.Cancel) cancels.push_back(b.Number);
        }
        EXPECT_EQ(captions, c.captions) << c.style;
        EXPECT_EQ(defaults, c.defaults) << c.style;
        EXPECT_EQ(cancels, c.cancels) << c.style;
    }
    // W follows the widest caption once it passes 95: "&Cancel##" at 20 pixels a character.
    const auto wide = MsgBoxButtons(btsOkCancel, {}, 0, 0,
                                    [](const std::string& t) { return int(t.size()) * 20; });
    EXPECT_EQ(wide[0].Width, 180);
}

TEST(MsgBoxLayout, Arrangement) {
    const auto ok = MsgBoxButtons(btsOk, {}, 0, 0, Width);
    const auto three = MsgBoxButtons(btsCustom, {"Append", "Overwrite", "Cancel"}, 0, 3, Width);
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::vector<TMsgButton> buttons;
        int pictureW, pictureH;
        int clientW, clientH;
        TMsgRect label;
        TMsgRect firstButton;
    } cases[] = {
        // One short line, no picture: 250 wide, one line high.
        {"short", {"Hi"}, ok, 0, 0, 250, 15 + 24 + 8 + 23, {12, 12, 226, 15}, {125 - 59 + 12, 35, 95, 23}},
        // A picture sets the label's left and the least text height.
        {"picture", {"Hi"}, ok, 32, 32, 250, 32 + 24 + 8 + 23, {52, 12, 186, 32},
         {78, 87 - 35, 95, 23}},
        // A long line widens the box: 50 characters + "##" + 12 + 8 + 32; two lines of 15
        // are still less than the picture's 32.
        {"long line", {std::string(50, 'x'), "y"}, ok, 32, 32, 52 * 6 + 52, 32 + 55,
         {52, 12, 52 * 6 + 52 - 64, 32}, {(52 * 6 + 52) / 2 - 119 / 2 + 12, 52, 95, 23}},
        {"three lines", {"a", "b", "c"}, ok, 32, 32, 250, 45 + 55, {52, 12, 186, 45},
         {78, 65, 95, 23}},
        // Three buttons of 66: row 3 * 66 + 2 * 8 + 24 = 238, under 250.
        {"custom row", {"a", "b"}, three, 32, 32, 250, 32 + 55, {52, 12, 186, 32},
         {250 / 2 - 238 / 2 + 12, 52, 66, 23}},
    };
    for (const auto& c : cases) {
        const TMsgBoxLayout l = ArrangeMsgBox(c.lines, c.buttons, c.pictureW, c.pictureH, 15, Width);
        EXPECT_EQ(l.ClientWidth, c.clientW) << c.name;
        EXPECT_EQ(l.ClientHeight, c.clientH) << c.name;
        EXPECT_EQ(l.Label, c.label) << c.name;
        ASSERT_FALSE(l.Buttons.empty());
        EXPECT_EQ(l.Buttons[0], c.firstButton) << c.name;
        for (std::size_t i = 1; i < l.Buttons.size(); ++i)
            EXPECT_EQ(l.Buttons[i].Left, l.Buttons[i - 1].Left + l.Buttons[i - 1].Width + 8);
    }
}

TEST(MsgBoxLayout, Position) {
    const TMsgRect parent{100, 50, 400, 300};
    const struct {
        Appearences mode;
        std::optional<TMsgRect> parent;
        std::optional<TMsgPoint> at;
    } cases[] = {
        {apDefault, parent, std::nullopt},
        {apCustom, parent, TMsgPoint{20, 30}},
        {apScreenCenter, parent, TMsgPoint{(1280 - 250) / 2, (1024 - 100) / 2}},
        {apParentCenter, parent, TMsgPoint{100 + 200 - 125, 50 + 150 - 50}},
        {apParentCenter, TMsgRect{-300, 0, 100, 40}, TMsgPoint{0, 0}},
        {apParentCenter, std::nullopt, TMsgPoint{640 - 125, 512 - 50}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MsgBoxPosition(c.mode, 250, 100, c.parent, 1280, 1024, 20, 30), c.at) << c.mode;
}

} // namespace
} // namespace veltrane
