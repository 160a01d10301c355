#pragma once
// Plain rules behind the main window's commands on the selection: keys, double-click,
// footer texts, delete and play set-up, the start-up directory.

#include "browser/Execfile.h"
#include "browser/FileOp.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

// Keys the list reacts to; the window maps its key events onto these.
enum class TListKey { A, Enter, F2, F5, KeypadPlus, KeypadMinus, Delete, Other };

struct TKeyModifiers {
    bool Ctrl = false;
    bool Shift = false;
    bool Alt = false;
};

enum class TListCommand {
    None,
    SelectAll,
    Play,
    Rename,
    Refresh,
    Select,
    Deselect,
    Delete,
    DoubleClickAction, // run the double-click action (DoubleClickCommand)
    EditTag,
};

// The key table of the list, first match wins: Ctrl+A select all, Ctrl+Enter play, F2, F5,
// keypad + and -, Delete, then Enter with any other modifiers the double-click action.
TListCommand ListKeyCommand(TListKey key, TKeyModifiers modifiers);
// Double-click action setting to command: 0 EditTag, 1 Play, 2 Rename, other values None.
TListCommand DoubleClickCommand(std::uint8_t action);

struct TFooterTexts {
    std::string Count; // status panel 0: "1 file selected", "N files selected"
    std::string Size;  // status panel 1: megabytes of 1,000,000 bytes, "0.00 megabyte"
};
// Footer texts for a selection; the byte sum is 64-bit, so gigabytes show their true size.
TFooterTexts FooterTexts(std::uint64_t selectedCount, std::uint64_t selectedBytes,
                         char decimalSeparator = '.');

// After a reading the user cancelled: "Reading cancelled: N files left out of the list."
std::string ReadingCancelledMessage(std::size_t leftOut);

// "Are you sure you want to delete N file(s)?"
std::string DeleteQuestion(std::size_t selectedRows);
// "Deleting N files."
std::string DeleteProgressTitle(std::size_t selectedRows);
// Sets the delete operation: the paths as a list, allow-undo from the trash setting, no
// confirmation, and the progress title.
void PrepareDelete(TFileOperation& operation, std::vector<std::string> paths, bool toRecycleBin);

// Sets the program starter for Play: the player command, and the path as one argument that
// reaches the player unchanged whatever bytes it holds.
void PreparePlay(TExecFile& playFile, const std::string& playerCommand, const std::string& path);
// Play: ends the player started last, then starts the player on path without waiting. A
// failed start is silent; returns whether a player started. Without a player command nothing
// is ended or started (the caller says so, NoPlayerMessage).
bool PlayPath(TExecFile& playFile, const std::string& playerCommand, const std::string& path);

// The directory to search at start-up: the command-line directory when it names one, else
// the default directory when it names one; made absolute against startDir and normalised.
// Nullopt: show startDir without searching.
std::optional<std::string> StartupDirectory(const std::optional<std::string>& commandLineDir,
                                            const std::string& defaultDir,
                                            const std::string& startDir);

} // namespace veltrane
