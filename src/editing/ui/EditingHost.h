#pragma once
// What the editing windows need from the main window. The main window implements it; window
// tests pass a fake. Keeps the editing windows free of the main window's own class.

#include "browser/FileList.h"
#include "browser/Progress.h"

#include <cstddef>
#include <string>

namespace veltrane {

class IEditingHost {
  public:
    virtual ~IEditingHost() = default;

    // The list model: rows, selection and the focused row.
    virtual TFileList& FileList() = 0;
    // Rows or selection of FileList changed: repaint the list and refresh the footer.
    virtual void ListChanged() = 0;
    // Scrolls the list so that its focused row is in view.
    virtual void ShowFocusedRow() {}
    // The list control's LockDisplay switch.
    virtual void SetLockDisplay(bool On) = 0;
    // The main window's progress window (TmProgressWnd).
    virtual IProgress* ProgressWindow() = 0;
    // Starts a new search of the current directory, rebuilding the list.
    virtual void RunSearch() = 0;
    // The row the main window remembered when it opened the single-file editor.
    virtual std::size_t RememberedRow() const = 0;
    // A modal error message box with a single OK button.
    virtual void ShowError(const std::string& Text) = 0;
    // The same for a notice of what was done: the information icon instead of the error's.
    virtual void ShowNotice(const std::string& Text) { ShowError(Text); }
    // The settings file ("Veltrane.ini"); "" when none is kept, as in tests.
    virtual std::string SettingsFileName() const { return {}; }
};

} // namespace veltrane
