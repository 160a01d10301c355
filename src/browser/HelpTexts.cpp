#include "browser/HelpTexts.h"

#include "tagcore/UiText.h"

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
         {VT_TRANSLATE_NOOP("HelpTexts", "Show/hide change directory window"),
          {VT_TRANSLATE_NOOP("HelpTexts", "This buttons opens the change directory window."),
           VT_TRANSLATE_NOOP("HelpTexts", "You can leave this windows open if you want.")}}},
        {C::EditDockCurrentDir,
         {VT_TRANSLATE_NOOP("HelpTexts", "Current directory"),
          {VT_TRANSLATE_NOOP(
              "HelpTexts",
              "This edit shows the current directory you're in. You can change this by either type "
              "another directory here, or use the Change Directory window by clicking the button "
              "left of this edit.")}}},
        {C::Refresh,
         {VT_TRANSLATE_NOOP("HelpTexts", "Refresh (F5)"),
          {VT_TRANSLATE_NOOP(
              "HelpTexts",
              "With this button you can force the program to reload the current directory.")}}},
        {C::Select,
         {VT_TRANSLATE_NOOP("HelpTexts", "Select file(s) (+)"),
          {VT_TRANSLATE_NOOP("HelpTexts", "With this button you can select MP3 files in the "
                                          "current list by entering text they "
                                          "contain."),
           VT_TRANSLATE_NOOP("HelpTexts",
                             "i.e. select all files which contain the string 'no doubt'")}}},
        {C::Deselect,
         {VT_TRANSLATE_NOOP("HelpTexts", "Deselect file(s) (-)"),
          {VT_TRANSLATE_NOOP(
               "HelpTexts",
               "With this button you can deselect MP3 files in the current list by entering text "
               "they contain."),
           VT_TRANSLATE_NOOP("HelpTexts",
                             "i.e. deselect all files which contain the string 'no doubt'")}}},
        {C::EditMore,
         {VT_TRANSLATE_NOOP("HelpTexts", "Edit selected mp3's"),
          {VT_TRANSLATE_NOOP("HelpTexts", "Use this to edit properties for the selected files."),
           VT_TRANSLATE_NOOP("HelpTexts", "i.e. change the album name for all the selected songs, "
                                          "but keep all the artistnames "
                                          "etc.")}}},
        {C::RenameFile,
         {VT_TRANSLATE_NOOP("HelpTexts", "Rename selected file (F2)"),
          {VT_TRANSLATE_NOOP("HelpTexts", "Here you can rename one of more files by entering a new "
                                          "name, or derive it from the "
                                          "tags."),
           VT_TRANSLATE_NOOP(
               "HelpTexts",
               "i.e. rename all selected files using the artistnames and songnames")}}},
        {C::PlayListEditor,
         {VT_TRANSLATE_NOOP("HelpTexts", "Playlist Editor"),
          {VT_TRANSLATE_NOOP(
              "HelpTexts", "Opens a new Winamp playlist, and puts all the selected MP3s in it.")}}},
        {C::ReadTags,
         {VT_TRANSLATE_NOOP("HelpTexts", "Read ID3 tags from filename"),
          {VT_TRANSLATE_NOOP("HelpTexts", "Fill in ID3 tags according to the filename.")}}},
        {C::Play,
         {VT_TRANSLATE_NOOP("HelpTexts", "Play selected MP3 (Ctrl-Enter)"),
          {VT_TRANSLATE_NOOP("HelpTexts", "This button plays the selected MP3 file."),
           VT_TRANSLATE_NOOP("HelpTexts",
                             "note: works only if your MP3 file type is registered!")}}},
        {C::Recursive,
         {VT_TRANSLATE_NOOP("HelpTexts", "Subdir mode"),
          {VT_TRANSLATE_NOOP("HelpTexts", "When this option is enabled, Veltrane searches all "
                                          "sub-dirs from the current dir for "
                                          "MP3s")}}},
        {C::DeleteSelected,
         {VT_TRANSLATE_NOOP("HelpTexts", "Delete selected files (Del)"),
          {VT_TRANSLATE_NOOP(
              "HelpTexts",
              "Deletes the selected MP3 files. Files are actually deleted or moved to the recycle "
              "bin depending on the settings in the preferences window.")}}},
        {C::Help,
         {VT_TRANSLATE_NOOP("HelpTexts", "Show help"),
          {VT_TRANSLATE_NOOP("HelpTexts", "Shows this help windows, you can keep this windows "
                                          "visible if you want, or you close "
                                          "it by either clicking the help button again, or "
                                          "clicking the 'close help' button.")}}},
        {C::About,
         {VT_TRANSLATE_NOOP("HelpTexts", "About this program"),
          {VT_TRANSLATE_NOOP("HelpTexts", "Shows some blah about this program.")}}},
        {C::EditPreferences,
         {VT_TRANSLATE_NOOP("HelpTexts", "Preferences"),
          {VT_TRANSLATE_NOOP(
              "HelpTexts",
              "Opens the preferences window, here you can set things like default startup dir, "
              "whether to delete to the recycle bin or not, and more.")}}},
        {C::Quit,
         {VT_TRANSLATE_NOOP("HelpTexts", "Close the program"),
          {VT_TRANSLATE_NOOP("HelpTexts", "Closes the program --> do I need to say more?")}}},
    };
    return table;
}

std::vector<std::string> Translated(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    out.reserve(texts.size());
    for (const std::string& text : texts)
        out.push_back(UiText("HelpTexts", text.c_str()));
    return out;
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

std::string ControlHint(TToolbarControl control) {
    return UiText("HelpTexts", Table().at(control).hint.c_str());
}

std::vector<std::string> ControlHelpTexts(TToolbarControl control) {
    return Translated(Table().at(control).texts);
}

void DisplayHint(THelpState& state, const std::string& hint) {
    state.StatusHint = hint;
    state.Topic = hint;
    if (hint.empty()) {
        state.Topic = UiText("HelpTexts", "Help on help");
        state.Lines = {
            "",
            UiText("HelpTexts", "Move your mouse over the button you'd like to know more about.")};
    }
}

bool ControlMouseMove(THelpState& state, TToolbarControl control) {
    return SetLinesIfNew(state, ControlHint(control), ControlHelpTexts(control));
}

bool PlayListEditorMouseUp(THelpState& state) {
    return SetLinesIfNew(
        state, ControlHint(TToolbarControl::PlayListEditor),
        {UiText("HelpTexts",
                "Opens the playlist editor, and puts the selected MP3's in a new playlist.")});
}

} // namespace veltrane
