#include "components/MsgBoxLayout.h"

#include "tagcore/UiText.h"

#include <algorithm>

namespace veltrane {

namespace {

constexpr int Gap = 8;          // between buttons, between picture and text, above buttons
constexpr int Margin = 12;      // every side
constexpr int MinWidth = 250;   // client width at least
constexpr int ButtonHeight = 23;
constexpr int OkWidth = 95;
constexpr std::size_t MaxCustomButtons = 9;

} // namespace

const std::array<std::string, 13>& MsgBoxStandardCaptions() {
    static const std::array<std::string, 13> captions = {VT_TRANSLATE_NOOP("TMsgBox", "&Abort"),
                                                         VT_TRANSLATE_NOOP("TMsgBox", "&Retry"),
                                                         VT_TRANSLATE_NOOP("TMsgBox", "&Ignore"),
                                                         VT_TRANSLATE_NOOP("TMsgBox", "&Ok"),
                                                         "&Ok",
                                                         VT_TRANSLATE_NOOP("TMsgBox", "&Cancel"),
                                                         "&Retry",
                                                         "&Cancel",
                                                         VT_TRANSLATE_NOOP("TMsgBox", "&Yes"),
                                                         VT_TRANSLATE_NOOP("TMsgBox", "&No"),
                                                         "&Yes",
                                                         "&No",
                                                         "&Cancel"};
    return captions;
}

std::vector<TMsgButton> MsgBoxButtons(MsgButtonStyles Style,
                                      const std::vector<std::string>& ButtonTexts,
                                      int DefButton, int CancelButton,
                                      const TTextWidth& TextWidth) {
    std::array<std::string, 13> c = MsgBoxStandardCaptions();
    for (std::string& caption : c)
        caption = UiText("TMsgBox", caption.c_str());
    std::vector<std::string> captions;
    switch (Style) {
    case btsAbortRetryIgnore: captions = {c[0], c[1], c[2]}; break;
    case btsOk: captions = {c[3]}; break;
    case btsOkCancel: captions = {c[4], c[5]}; break;
    case btsRetryCancel: captions = {c[6], c[7]}; break;
    case btsYesNo: captions = {c[8], c[9]}; break;
    case btsYesNoCancel: captions = {c[10], c[11], c[12]}; break;
    case btsCustom:
        captions.assign(ButtonTexts.begin(),
                        ButtonTexts.begin() +
                            static_cast<std::ptrdiff_t>(std::min(ButtonTexts.size(), MaxCustomButtons)));
        break;
    }
    // W for the standard sets, Wc for custom ones; the single Ok is always 95 wide.
    int width = Style == btsCustom ? 25 : OkWidth;
    for (const std::string& caption : captions)
        width = std::max(width, TextWidth(caption + "##"));
    if (Style == btsOk)
        width = OkWidth;

    std::vector<TMsgButton> buttons;
    const int count = static_cast<int>(captions.size());
    for (int i = 0; i < count; ++i) {
        TMsgButton b{captions[static_cast<std::size_t>(i)], i + 1, width, false, false};
        switch (Style) {
        case btsOk: b.Default = b.Cancel = DefButton < 2; break;
        case btsOkCancel:
        case btsRetryCancel: b.Cancel = b.Number == 2; break;
        case btsYesNoCancel:
            b.Cancel = b.Number == 3 || (CancelButton >= 1 && CancelButton <= 3 && b.Number == CancelButton);
            break;
        case btsCustom: b.Cancel = b.Number == CancelButton; break;
        default: break;
        }
        if (Style != btsOk)
            b.Default = b.Number == DefButton;
        buttons.push_back(b);
    }
    return buttons;
}

TMsgBoxLayout ArrangeMsgBox(const std::vector<std::string>& Lines,
                            const std::vector<TMsgButton>& Buttons, int PictureWidth,
                            int PictureHeight, int LineHeight, const TTextWidth& TextWidth) {
    TMsgBoxLayout l;
    int row = 2 * Margin;
    for (std::size_t i = 0; i < Buttons.size(); ++i)
        row += Buttons[i].Width + (i > 0 ? Gap : 0);
    int text = 0;
    for (const std::string& line : Lines)
        text = std::max(text, TextWidth(line + "##"));
    text += Margin + Gap + PictureWidth;
    l.ClientWidth = std::max({MinWidth, row, text});

    l.Label.Left = PictureWidth > 0 ? PictureWidth + Gap + Margin : Margin;
    l.Label.Top = Margin;
    int h = static_cast<int>(Lines.size()) * LineHeight;
    h = std::max(h, PictureHeight);
    l.ClientHeight = h + 2 * Margin + Gap + ButtonHeight;
    l.Label.Width = l.ClientWidth - l.Label.Left - Margin;
    l.Label.Height = l.ClientHeight - 2 * Margin - ButtonHeight - Gap;

    const int top = l.ClientHeight - ButtonHeight - Margin;
    int left = l.ClientWidth / 2 - row / 2 + Margin;
    for (const TMsgButton& b : Buttons) {
        l.Buttons.push_back({left, top, b.Width, ButtonHeight});
        left += b.Width + Gap;
    }
    return l;
}

std::optional<TMsgPoint> MsgBoxPosition(Appearences Appearence, int BoxWidth, int BoxHeight,
                                        const std::optional<TMsgRect>& Parent, int ScreenWidth,
                                        int ScreenHeight, int FormLeft, int FormTop) {
    switch (Appearence) {
    case apDefault: return std::nullopt;
    case apCustom: return TMsgPoint{FormLeft, FormTop};
    case apParentCenter:
        if (Parent)
            return TMsgPoint{std::max(0, Parent->Left + Parent->Width / 2 - BoxWidth / 2),
                             std::max(0, Parent->Top + Parent->Height / 2 - BoxHeight / 2)};
        return TMsgPoint{std::max(0, ScreenWidth / 2 - BoxWidth / 2),
                         std::max(0, ScreenHeight / 2 - BoxHeight / 2)};
    case apScreenCenter:
        break;
    }
    return TMsgPoint{(ScreenWidth - BoxWidth) / 2, (ScreenHeight - BoxHeight) / 2};
}

} // namespace veltrane
