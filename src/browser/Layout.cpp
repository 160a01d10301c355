#include "browser/Layout.h"

#include "platform/Profile.h"

#include <algorithm>
#include <charconv>

namespace veltrane {

namespace {

constexpr int kMaxColumnWidth = 10000;
constexpr int kMinWindowSide = 100;
constexpr int kMaxWindowSide = 30000;
// The part of the title bar that must lie on a screen for the window to be reachable.
constexpr int kGrabWidth = 100;
constexpr int kGrabHeight = 20;

std::optional<long long> ReadInt(const std::string& file, const char* key) {
    const std::optional<std::string> text = platform::ReadProfileValue(file, kLayoutSection, key);
    if (!text)
        return std::nullopt;
    long long value = 0;
    const char* end = text->data() + text->size();
    const auto [at, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc() || at != end)
        return std::nullopt;
    return value;
}

bool Write(const std::string& file, const char* key, const std::string& value) {
    return platform::WritePrivateProfileString(kLayoutSection, key, value, file).ok();
}

int Overlap(int a0, int a1, int b0, int b1) {
    return std::max(0, std::min(a1, b1) - std::max(a0, b0));
}

} // namespace

std::string FormatColumnWidths(const std::vector<int>& widths) {
    std::string text;
    for (std::size_t i = 0; i < widths.size(); ++i)
        text += (i ? "," : "") + std::to_string(widths[i]);
    return text;
}

std::optional<std::vector<int>> ParseColumnWidths(const std::string& text, int count) {
    std::vector<int> widths;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (at < end || widths.empty()) {
        int value = -1;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc() || value < 0 || value > kMaxColumnWidth)
            return std::nullopt;
        widths.push_back(value);
        at = next;
        if (at == end)
            break;
        if (*at != ',' || ++at == end)
            return std::nullopt;
    }
    if (static_cast<int>(widths.size()) != count)
        return std::nullopt;
    return widths;
}

TListLayout ReadLayout(const std::string& settingsFile, int columnCount) {
    TListLayout layout;
    layout.KeepLayout = ReadInt(settingsFile, kKeyKeepLayout).value_or(0) != 0;
    layout.StretchList = ReadInt(settingsFile, kKeyStretchList).value_or(0) != 0;
    if (auto text = platform::ReadProfileValue(settingsFile, kLayoutSection, kKeyColumnWidths)) {
        // A list kept with the length and bit rate columns and one kept without them serve
        // each other: the two extra widths are dropped, or the described ones fill in.
        const int kept = static_cast<int>(std::count(text->begin(), text->end(), ',')) + 1;
        const bool other = (columnCount == 8 && kept == 10) || (columnCount == 10 && kept == 8);
        layout.ColumnWidths =
            ParseColumnWidths(*text, other ? kept : columnCount).value_or(std::vector<int>{});
        if (layout.ColumnWidths.size() > static_cast<std::size_t>(columnCount))
            layout.ColumnWidths.resize(static_cast<std::size_t>(columnCount));
    }
    const long long sort = ReadInt(settingsFile, kKeySortColumn).value_or(1);
    if (sort != 0 && sort >= -columnCount && sort <= columnCount)
        layout.SortColumn = static_cast<int>(sort);
    layout.SubdirMode = ReadInt(settingsFile, kKeySubdirMode).value_or(0) != 0;

    const auto left = ReadInt(settingsFile, kKeyWindowLeft);
    const auto top = ReadInt(settingsFile, kKeyWindowTop);
    const auto width = ReadInt(settingsFile, kKeyWindowWidth);
    const auto height = ReadInt(settingsFile, kKeyWindowHeight);
    const auto inRange = [](long long v, long long lo, long long hi) { return v >= lo && v <= hi; };
    if (left && top && width && height && inRange(*left, -kMaxWindowSide, kMaxWindowSide) &&
        inRange(*top, -kMaxWindowSide, kMaxWindowSide) &&
        inRange(*width, kMinWindowSide, kMaxWindowSide) &&
        inRange(*height, kMinWindowSide, kMaxWindowSide)) {
        TWindowPlace place;
        place.Rect = {static_cast<int>(*left), static_cast<int>(*top), static_cast<int>(*width),
                      static_cast<int>(*height)};
        place.Maximized = ReadInt(settingsFile, kKeyWindowMaximized).value_or(0) != 0;
        layout.Window = place;
    }
    return layout;
}

std::vector<int> FitListColumns(const std::vector<int>& Base, int Available, bool Stretch,
                                int TrackMin, const std::vector<int>& Tail) {
    constexpr int kText[] = {0, 1, 2, 3, 6};
    std::vector<int> widths(Base.begin(), Base.begin() + std::min<std::size_t>(Base.size(), 7));
    widths.resize(7, 0);
    for (const int w : Tail)
        Available -= w;
    int used = 0;
    for (const int w : widths)
        used += w;
    int textWidth = 0;
    for (const int c : kText)
        textWidth += widths[c];
    int extra = Available - used - TrackMin;
    if (Stretch && extra > 0) {
        int given = 0;
        for (const int c : kText) {
            const int more = textWidth > 0 ? static_cast<int>(static_cast<long long>(extra) *
                                                              widths[c] / textWidth)
                                            : extra / 5;
            widths[c] += more;
            given += more;
        }
        widths[0] += extra - given; // what rounding left over
        used += extra;
    } else if (!Tail.empty() && extra < 0) {
        int spare = 0; // what the text columns can give above their minimum
        for (const int c : kText)
            spare += std::max(0, widths[c] - kMinTextColumn);
        const int lack = std::min(-extra, spare);
        int taken = 0;
        for (const int c : kText) {
            const int less = spare > 0 ? static_cast<int>(static_cast<long long>(lack) *
                                                          std::max(0, widths[c] - kMinTextColumn) /
                                                          spare)
                                       : 0;
            widths[c] -= less;
            taken += less;
        }
        for (const int c : kText) { // what rounding left over, from the first that can give
            const int less = std::min(lack - taken, std::max(0, widths[c] - kMinTextColumn));
            widths[c] -= less;
            taken += less;
        }
        used -= taken;
    }
    widths.push_back(std::max(TrackMin, Available - used));
    widths.insert(widths.end(), Tail.begin(), Tail.end());
    return widths;
}

bool WriteLayoutPreferences(const std::string& settingsFile, bool keepLayout, bool stretchList) {
    return Write(settingsFile, kKeyKeepLayout, keepLayout ? "1" : "0") &&
           Write(settingsFile, kKeyStretchList, stretchList ? "1" : "0");
}

bool WriteLayout(const std::string& settingsFile, const TListLayout& layout) {
    bool ok = Write(settingsFile, kKeyColumnWidths, FormatColumnWidths(layout.ColumnWidths)) &&
              Write(settingsFile, kKeySortColumn, std::to_string(layout.SortColumn)) &&
              Write(settingsFile, kKeySubdirMode, layout.SubdirMode ? "1" : "0");
    if (ok && layout.Window) {
        const TRectangle& r = layout.Window->Rect;
        ok = Write(settingsFile, kKeyWindowLeft, std::to_string(r.Left)) &&
             Write(settingsFile, kKeyWindowTop, std::to_string(r.Top)) &&
             Write(settingsFile, kKeyWindowWidth, std::to_string(r.Width)) &&
             Write(settingsFile, kKeyWindowHeight, std::to_string(r.Height)) &&
             Write(settingsFile, kKeyWindowMaximized, layout.Window->Maximized ? "1" : "0");
    }
    return ok;
}

std::optional<TRectangle> PlaceOnScreens(const TRectangle& window,
                                         const std::vector<TRectangle>& screens) {
    if (screens.empty())
        return std::nullopt;
    for (const TRectangle& s : screens) {
        const int wide = Overlap(window.Left, window.Left + window.Width, s.Left, s.Left + s.Width);
        const int high = Overlap(window.Top, window.Top + kGrabHeight, s.Top, s.Top + s.Height);
        if (wide >= std::min(kGrabWidth, window.Width) && high >= kGrabHeight)
            return window;
    }
    const TRectangle& first = screens.front();
    TRectangle placed = window;
    placed.Width = std::min(window.Width, first.Width);
    placed.Height = std::min(window.Height, first.Height);
    placed.Left = first.Left + (first.Width - placed.Width) / 2;
    placed.Top = first.Top + (first.Height - placed.Height) / 2;
    return placed;
}

} // namespace veltrane
