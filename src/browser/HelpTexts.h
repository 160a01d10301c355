#pragma once
// Help mode of the main window: each toolbar control's hint and help lines, and the rules
// that fill the help window's topic and text as the pointer moves over the toolbar.

#include <string>
#include <vector>

namespace veltrane {

enum class TToolbarControl {
    ShowDir,
    EditDockCurrentDir,
    Refresh,
    Select,
    Deselect,
    EditMore,
    RenameFile,
    PlayListEditor,
    ReadTags,
    Play,
    Recursive,
    DeleteSelected,
    Help,
    About,
    EditPreferences,
    Quit,
};

// Every control, in toolbar order.
const std::vector<TToolbarControl>& AllToolbarControls();
// The control's hint ("Refresh (F5)"), shown in status panel 2 and as the help topic; this
// and the help texts come in the user's language.
std::string ControlHint(TToolbarControl control);
// The control's help texts, without the separating empty lines.
std::vector<std::string> ControlHelpTexts(TToolbarControl control);

// What the help window and status bar show.
struct THelpState {
    std::string Topic;              // LabelTopic
    std::vector<std::string> Lines; // MemoHelp, one entry per line
    std::string StatusHint;         // status bar panel 2
};

// The application's hint changed: status panel and topic take it; an empty hint shows
// "Help on help" with its one line.
void DisplayHint(THelpState& state, const std::string& hint);
// Pointer moved over control: when the topic differs from its hint, the help lines are
// replaced (an empty line first, an empty line between two texts). Returns whether they were.
bool ControlMouseMove(THelpState& state, TToolbarControl control);
// Mouse released over the playlist-editor button: same rule, with its own text.
bool PlayListEditorMouseUp(THelpState& state);

} // namespace veltrane
