#pragma once
// The list layout kept between runs, in section "Layout" of the settings file: the two
// preferences that switch it on (both off by default, so the program starts as described:
// centred window, fixed list, sort column 1, subdir mode off) and what they keep.

#include <optional>
#include <string>
#include <vector>

namespace veltrane {

inline constexpr const char* kLayoutSection = "Layout";
inline constexpr const char* kKeyKeepLayout = "KeepLayout";     // "1": the keys below are used
inline constexpr const char* kKeyStretchList = "StretchList";   // "1": the list follows the window
inline constexpr const char* kKeyColumnWidths = "ColumnWidths"; // "100,150,...", one per column
inline constexpr const char* kKeySortColumn = "SortColumn";     // signed field number
inline constexpr const char* kKeySubdirMode = "SubdirMode";     // "1" or "0"
inline constexpr const char* kKeyWindowLeft = "WindowLeft";
inline constexpr const char* kKeyWindowTop = "WindowTop";
inline constexpr const char* kKeyWindowWidth = "WindowWidth";
inline constexpr const char* kKeyWindowHeight = "WindowHeight";
inline constexpr const char* kKeyWindowMaximized = "WindowMaximized";

struct TRectangle {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

struct TWindowPlace {
    TRectangle Rect;
    bool Maximized = false;
};

struct TLayoutPreferences {
    bool KeepLayout = false;
    bool StretchList = false;
};

struct TListLayout {
    bool KeepLayout = false;
    bool StretchList = false;
    std::vector<int> ColumnWidths; // empty: the described widths
    int SortColumn = 1;
    bool SubdirMode = false;
    std::optional<TWindowPlace> Window; // none: centred at the described size
};

// Reads the section; a missing file or key, or a value that is no sensible one (a width
// list of the wrong length, a sort column out of range, a window too small or too large),
// gives that value's default. For 8 columns a list of 10 widths gives its first 8; for 10
// columns a list of 8 gives those 8 (the window keeps its own for the last two).
TListLayout ReadLayout(const std::string& settingsFile, int columnCount);
// The two preferences alone; false when the file could not be written.
bool WriteLayoutPreferences(const std::string& settingsFile, bool keepLayout, bool stretchList);
// What KeepLayout keeps: widths, sort column, subdir mode and the window's place.
bool WriteLayout(const std::string& settingsFile, const TListLayout& layout);

// The list's eight column widths for a list Available pixels wide: the first seven as Base
// gives them and Track the rest, at least TrackMin. With Stretch, the room beyond Base and
// TrackMin goes to the text columns (file name, song, artist, album, comment) in proportion
// to their widths, so Track stays narrow. Tail (the length and bit rate columns) follows
// Track at its own widths; the text columns then give up what the list lacks, in proportion
// and down to kMinTextColumn each, so the new columns are in view without scrolling.
inline constexpr int kMinTextColumn = 40;
std::vector<int> FitListColumns(const std::vector<int>& Base, int Available, bool Stretch,
                                int TrackMin, const std::vector<int>& Tail = {});

// "100,150,40" and back; nullopt for anything but count numbers from 0 to 10000.
std::string FormatColumnWidths(const std::vector<int>& widths);
std::optional<std::vector<int>> ParseColumnWidths(const std::string& text, int count);

// Where a kept window goes on the screens (their available areas): its rectangle when a
// strip of its top edge, wide enough to grab, lies on one of them; otherwise its size, cut
// to the first screen, centred on that screen. Nullopt without screens.
std::optional<TRectangle> PlaceOnScreens(const TRectangle& window,
                                         const std::vector<TRectangle>& screens);

} // namespace veltrane
