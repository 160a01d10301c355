#include "components/marsCap.h"

#include <algorithm>
#include <cstdlib>

namespace veltrane {

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return 0;
    const long long num = static_cast<long long>(a) * b;
    const long long den = c;
    const bool negative = (num < 0) != (den < 0);
    const long long q = (std::llabs(num) * 2 + std::llabs(den)) / (2 * std::llabs(den));
    return static_cast<int>(negative ? -q : q);
}

TCaptionLayout CaptionLayout(int WindowWidth, TFormBorderStyle Border, int Icons, bool Minimized,
                             const TCaptionMetrics& M) {
    TCaptionLayout L;
    if (Border == bsNone)
        return L;
    L.HasCaption = true;
    const bool tool = Border == bsToolWindow || Border == bsSizeToolWin;
    const bool sizing = (Border == bsSizeable || Border == bsSizeToolWin) && !Minimized;
    L.FrameWidth = sizing ? M.SizeFrameWidth : M.FixedFrameWidth;
    L.FrameHeight = sizing ? M.SizeFrameHeight : M.FixedFrameHeight;
    L.CaptionHeight = (tool ? M.SmallCaptionHeight : M.CaptionHeight) - 1;

    TCapRect& cap = L.CaptionRect;
    cap.Left = L.FrameWidth;
    cap.Top = L.FrameHeight;
    cap.Right = cap.Left + WindowWidth - 2 * L.FrameWidth;
    cap.Bottom = cap.Top + L.CaptionHeight;

    for (int k = 0; k < 4; ++k)
        L.Buttons[static_cast<size_t>(k)].Kind = static_cast<TCaptionButtonKind>(k);
    auto& close = L.Buttons[cbClose];
    auto& maximize = L.Buttons[cbMaximize];
    auto& minimize = L.Buttons[cbMinimize];
    auto& help = L.Buttons[cbHelp];
    if (Icons & biSystemMenu) {
        close.Shown = close.Enabled = true;
        if (!tool) {
            const bool single = Border == bsSingle || Border == bsSizeable;
            const bool minMax = Border != bsDialog && (Icons & (biMinimize | biMaximize));
            minimize.Shown = maximize.Shown = minMax;
            minimize.Enabled = minMax && (Icons & biMinimize);
            maximize.Enabled = minMax && (Icons & biMaximize);
            help.Shown = help.Enabled = !single && (Icons & biHelp);
        }
    }
    for (const auto& b : L.Buttons)
        L.ButtonCount += b.Shown ? 1 : 0;

    const int buttonWidth = tool ? M.SmallCaptionButtonWidth : M.CaptionButtonWidth;
    L.ButtonArea = {cap.Right - ((buttonWidth - 2) * L.ButtonCount + 2), cap.Top + 2, cap.Right,
                    cap.Bottom - 2};

    const int w = M.CaptionButtonWidth - 2;
    const int h = M.CaptionButtonHeight - 4;
    const int top = L.ButtonArea.Top;
    if (tool) {
        if (close.Shown)
            close.Rect = {L.ButtonArea.Left + 2, top, L.ButtonArea.Right - 2, L.ButtonArea.Bottom};
    } else {
        int right = cap.Right - 2; // where the next button ends
        if (close.Shown) {
            close.Rect = {right - w, top, right, top + h};
            right = close.Rect.Left - 2;
        }
        if (maximize.Shown) {
            maximize.Rect = {right - w, top, right, top + h};
            right = maximize.Rect.Left;
        }
        if (minimize.Shown) {
            minimize.Rect = {right - w, top, right, top + h};
            right = minimize.Rect.Left;
        }
        if (help.Shown)
            help.Rect = {right - w, top, right, top + h};
    }

    const bool withIcon =
        (Icons & biSystemMenu) && (Border == bsSingle || Border == bsSizeable);
    L.IconRect = withIcon ? TCapRect{cap.Left, cap.Top, cap.Left + M.CaptionButtonWidth,
                                     cap.Top + M.CaptionButtonWidth}
                          : TCapRect{cap.Left, cap.Top, cap.Left, cap.Top};
    L.TextRect = {L.IconRect.Right + 2, cap.Top + 2, L.ButtonArea.Left - 2, cap.Bottom - 2};
    return L;
}

std::vector<TGradientBand> GradientBands(std::uint32_t Begin, std::uint32_t End, int N, int Left,
                                         int Right) {
    std::vector<TGradientBand> bands;
    if (N < 2) {
        bands.push_back({Left, Right, Begin & 0xFFFFFFu});
        return bands;
    }
    auto channel = [](std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    bands.reserve(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i) {
        std::uint32_t color = 0;
        for (int shift : {0, 8, 16}) {
            const int b = channel(Begin, shift);
            const int v = b + MulDiv(i, channel(End, shift) - b, N - 1);
            color |= static_cast<std::uint32_t>(std::clamp(v, 0, 255)) << shift;
        }
        bands.push_back({Left + MulDiv(i, Right - Left, N), Left + MulDiv(i + 1, Right - Left, N),
                         color});
    }
    return bands;
}

THitZone FrameHitTest(int X, int Y, int Width, int Height, int Border, int Corner) {
    if (X < 0 || Y < 0 || X >= Width || Y >= Height)
        return htNone;
    const bool left = X < Border, right = X >= Width - Border;
    const bool top = Y < Border, bottom = Y >= Height - Border;
    if (!left && !right && !top && !bottom)
        return htNone;
    // Near a corner along either edge, the corner is grabbed.
    const bool nearLeft = X < Corner, nearRight = X >= Width - Corner;
    const bool nearTop = Y < Corner, nearBottom = Y >= Height - Corner;
    if ((top && nearLeft) || (left && nearTop))
        return htTopLeft;
    if ((top && nearRight) || (right && nearTop))
        return htTopRight;
    if ((bottom && nearLeft) || (left && nearBottom))
        return htBottomLeft;
    if ((bottom && nearRight) || (right && nearBottom))
        return htBottomRight;
    if (left)
        return htLeft;
    if (right)
        return htRight;
    return top ? htTop : htBottom;
}

} // namespace veltrane
