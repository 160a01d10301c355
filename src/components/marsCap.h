#pragma once
// The geometry and colours of the gradient title bar, from the window's size, border and icons
// and the metrics the desktop's style reports; no window needed.

#include <array>
#include <cstdint>
#include <vector>

namespace veltrane {

struct TCapRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TCapRect&) const = default;
};

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum TCaptionButtonKind { cbClose, cbMaximize, cbMinimize, cbHelp };

// What the desktop says about frames, captions and caption buttons, in pixels.
struct TCaptionMetrics {
    int FixedFrameWidth = 3, FixedFrameHeight = 3;
    int SizeFrameWidth = 4, SizeFrameHeight = 4;
    int CaptionHeight = 19, SmallCaptionHeight = 15;
    int CaptionButtonWidth = 18, CaptionButtonHeight = 18;
    int SmallCaptionButtonWidth = 13;
};

struct TCaptionButton {
    TCaptionButtonKind Kind = cbClose;
    bool Shown = false;
    bool Enabled = false;
    TCapRect Rect;
};

struct TCaptionLayout {
    bool HasCaption = false;
    int FrameWidth = 0, FrameHeight = 0, CaptionHeight = 0;
    TCapRect CaptionRect, IconRect, ButtonArea, TextRect;
    std::array<TCaptionButton, 4> Buttons{}; // indexed by TCaptionButtonKind
    int ButtonCount = 0;
};

// Icons is a set of TBorderIcon bits.
TCaptionLayout CaptionLayout(int WindowWidth, TFormBorderStyle Border, int Icons, bool Minimized,
                             const TCaptionMetrics& Metrics);

// a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
int MulDiv(int a, int b, int c);

// Colours are 0x00BBGGRR: red in the lowest byte.
struct TGradientBand {
    int Left, Right;
    std::uint32_t Color;
};
// N bands from Left to Right, running from Begin to End channel by channel; below 2 bands
// the whole width has the begin colour. Bands may be empty when N exceeds the width.
std::vector<TGradientBand> GradientBands(std::uint32_t Begin, std::uint32_t End, int N, int Left,
                                         int Right);

// Which edge or corner of a frameless window a point grabs for resizing.
enum THitZone {
    htNone, htLeft, htRight, htTop, htBottom, htTopLeft, htTopRight, htBottomLeft, htBottomRight
};
// Border: how deep the grab zone reaches in; Corner: how far along an edge a corner reaches.
THitZone FrameHitTest(int X, int Y, int Width, int Height, int Border, int Corner);

} // namespace veltrane
