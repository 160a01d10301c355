#include "browser/HelpTexts.h"

#include <map>

namespace veltrane {
namespace {

struct Entry {
    std::string hint;
    std::vector<std::string> texts;
};

const std::map<TToolbarControl, Entry>& Table() {
    using C = TToolbarControl;
    static const std::map<TToolbarControl, Entry> table = {
        {C::ShowDir,
         {"Show/hide change directory window",
          {"This buttons opens the change directory window.",
           "You can leave this windows open if you want."}}},
        {C::EditDockCurrentDir,
         {"Current directory",
          {"This edit shows the current directory you're in. You can change this by either type "
           "another directory here, or use the Change Directory window by clicking the button "
           "left of this edit."}}},
        {C::Refresh,
         {"Refresh (F5)",
          {"With this button you can force the program to reload the current directory."}}},
        {C::Select,
         {"Select file(s) (+)",
          {"With this button you can select MP3 files in the current list by entering text they "
           "contain.",
           "i.e. select all files which contain the string 'no doubt'"}}},
        {C::Deselect,
         {"Deselect file(s) (-)",
          {"With this button you can deselect MP3 files in the current list by entering text "
           "they contain.",
           "i.e. deselect all files which contain the string 'no doubt'"}}},
        {C::EditMore,
         {"Edit selected mp3's",
          {"Use this to edit properties for the selected files.",
           "i.e. change the album name for all the selected songs, but keep all the artistnames "
           "etc."}}},
        {C::RenameFile,
         {"Rename selected file (F2)",
          {"Here you can rename one of more files by entering a new name, or derive it from the "
           "tags.",
           "i.e. rename all selected files using the artistnames and songnames"}}},
        {C::PlayListEditor,
         {"Playlist Editor",
          {"Opens a new Winamp playlist, and puts all the selected MP3s in it."}}},
        {C::ReadTags,
         {"Read ID3 tags from filename", {"Fill in ID3 tags according to the filename."}}},
        {C::Play,
         {"Play selected MP3 (Ctrl-Enter)",
          {"This button plays the selected MP3 file.",
           "note: works only if your MP3 file type is registered!"}}},
        {C::Recursive,
         {"Subdir mode",
          {"When this option is enabled, Veltrane searches all sub-dirs from the current dir for "
           "MP3s"}}},
        {C::DeleteSelected,
         {"Delete selected files (Del)",
          {"Deletes the selected MP3 files. Files are actually deleted or moved to the recycle "
           "bin depending on the settings in the preferences window."}}},
        {C::Help,
         {"Show help",
          {"Shows this help windows, you can keep this windows visible if you want, or you close "
           "it by either clicking the help button again, or clicking the 'close help' button."}}},
        {C::About, {"About this program", {"Shows some blah about this program."}}},
        {C::EditPreferences,
         {"Preferences",
          {"Opens the preferences window, here you can set things like default startup dir, "
           "whether to delete to the recycle bin or not, and more."}}},
        {C::Quit, {"Close the program", {"Closes the program --> do I need to say more?"}}},
    };
    return table;
}

bool SetLinesIfNew(THelpState& state, const std::string& hint,
                   const std::vector<std::string>& texts) {
    // The topic follows the hint only after the move event, so this runs once per arrival.
    if (state.Topic == hint)
        return false;
    state.Lines.clear();
    for (const std::string& text : texts) {
        state.Lines.emplace_back();
        state.Lines.push_back(text);
    }
    return true;
}

} // namespace

const std::vector<TToolbarControl>& AllToolbarControls() {
    using C = TToolbarControl;
    static const std::vector<TToolbarControl> all = {
        C::ShowDir,   C::EditDockCurrentDir, C::Refresh,        C::Select,   C::Deselect,
        C::EditMore,  C::RenameFile,         C::PlayListEditor, C::ReadTags, C::Play,
        C::Recursive, C::DeleteSelected,     C::Help,           C::About,    C::EditPreferences,
        C::Quit};
    return all;
}

const std::string& ControlHint(TToolbarControl control) {
    return Table().at(control).hint;
}

const std::vector<std::string>& ControlHelpTexts(TToolbarControl control) {
    return Table().at(control).texts;
}

void DisplayHint(THelpState& state, const std::string& hint) {
    state.StatusHint = hint;
    state.Topic = hint;
    if (hint.empty()) {
        state.Topic = "Help on help";
        state.Lines = {"", "Move your mouse over the button you'd like to know more about."};
    }
}

bool ControlMouseMove(THelpState& state, TToolbarControl control) {
    const Entry& e = Table().at(control);
    return SetLinesIfNew(state, e.hint, e.texts);
}

bool PlayListEditorMouseUp(THelpState& state) {
    return SetLinesIfNew(
        state, ControlHint(TToolbarControl::PlayListEditor),
        {"Opens the playlist editor, and puts the selected MP3's in a new playlist."});
}

} // namespace veltrane
