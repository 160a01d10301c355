#pragma once
// How the message box component arranges itself: its buttons (captions, numbers, which one is
// the default and which ones Esc presses), the client size, the label and button places and
// the box's position on the screen. Plain logic; the window passes in its text measure.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

enum MsgButtonStyles {
    btsAbortRetryIgnore,
    btsOk,
    btsOkCancel,
    btsRetryCancel,
    btsYesNo,
    btsYesNoCancel,
    btsCustom
};
enum Appearences { apCustom, apDefault, apParentCenter, apScreenCenter };
enum MsgBoxTypes { mbAsk, mbInfo, mbWarn, mbError, mbCustom };

// The thirteen standard captions, "&Abort" to "&Cancel", in the order of the button sets.
const std::array<std::string, 13>& MsgBoxStandardCaptions();

struct TMsgButton {
    std::string Caption;
    int Number = 0;       // 1-based; what Execute returns when it is pressed
    int Width = 0;
    bool Default = false; // pressed by Enter, focused at the start
    bool Cancel = false;  // pressed by Esc
};

struct TMsgRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const TMsgRect&) const = default;
};

// A text's width in the box's font ("&" marks included, as the caption is stored).
using TTextWidth = std::function<int(const std::string& Text)>;

// The buttons of a set: at most nine custom ones, none for an empty custom list.
std::vector<TMsgButton> MsgBoxButtons(MsgButtonStyles Style,
                                      const std::vector<std::string>& ButtonTexts,
                                      int DefButton, int CancelButton,
                                      const TTextWidth& TextWidth);

struct TMsgBoxLayout {
    int ClientWidth = 0;
    int ClientHeight = 0;
    TMsgRect Label;
    std::vector<TMsgRect> Buttons; // in the order of the buttons given
};

// Picture: its size, or 0 x 0 for none (an animation counts the same).
TMsgBoxLayout ArrangeMsgBox(const std::vector<std::string>& Lines,
                            const std::vector<TMsgButton>& Buttons, int PictureWidth,
                            int PictureHeight, int LineHeight, const TTextWidth& TextWidth);

struct TMsgPoint {
    int X = 0, Y = 0;
    bool operator==(const TMsgPoint&) const = default;
};

// Top-left corner of the box; nothing for apDefault (the window system places it). Parent is
// the parent window's frame, when there is one.
std::optional<TMsgPoint> MsgBoxPosition(Appearences Appearence, int BoxWidth, int BoxHeight,
                                        const std::optional<TMsgRect>& Parent, int ScreenWidth,
                                        int ScreenHeight, int FormLeft, int FormTop);

} // namespace veltrane
