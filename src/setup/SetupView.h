#pragma once
// What the wizard's logic needs from a window layer. The Qt windows implement it; the
// unattended run implements it on the terminal. Pages call it to show texts and to wait; the
// view reports button presses back through TSetupInfo's NextClick, PrevClick and CancelClick.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace veltrane {

enum TMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };
enum TMsgDlgBtn : unsigned {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbRetry = 32,
    mbAll = 64,
    mbIgnore = 128,
    mbHelp = 256,
};
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};
// The answer an unattended run gives: the usual rule (OK, else Yes, else Abort), or a
// question that only the person running it can answer.
inline constexpr int UnattendedDefault = 0;
inline constexpr int UnattendedAsk = -1;

enum TWizardButton { wbPrev = 0, wbNext = 1, wbCancel = 2 };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Notebook pages of the wizard window.
enum TNotebookPage {
    npDirChoice = 0,
    npFileCopy = 1,
    npGroups = 2,
    npChoices = 3,
    npBDEInstall = 4,
    npUnInstall = 5,
    npMessage = 6,
    npMultiDisk = 7,
    npSelectDirectory = 8,
    npSelectLanguage = 9,
};

struct TFontSpec {
    std::string Family = "Arial";
    int PixelSize = 12;
    std::uint32_t Color = 0xFF000000; // 0xFF000000 = the window-text colour
    bool Bold = false;
    bool Italic = false;
};

struct TDirChoiceTexts {
    std::string Intent; // lead text, lines joined by "\n"
    std::string Browse;
    bool BrowseEnabled = true;
    std::string Group;
    std::string Directory;
};

struct TBrowseRequest {
    std::string Caption, PathLabel, Intent;
    std::string Target;        // the directory the list opens at
    int PreserveTrailing = 0;  // trailing components of Target kept when a directory is picked
};

// One option of a choice page.
struct TChoiceRow {
    std::string Title;
    std::string Description; // lines joined by "\n"
    bool Selected = false;
};

struct TCopyTexts {
    std::string Actions, FileInfo, Copying, To, File, Total;
};

class ISetupView {
  public:
    virtual ~ISetupView() = default;

    virtual bool WizardExists() const = 0;
    // Creates the wizard window and shows it modally; KickOff runs once it is shown; returns
    // when the window is closed again.
    virtual void RunWizard(const std::string& Picture, const std::function<void()>& KickOff) = 0;
    virtual void CloseWizard() = 0;
    // Handles window messages until Done() holds (a nested loop).
    virtual void WaitUntil(const std::function<bool()>& Done) = 0;
    virtual void ProcessMessages() = 0;

    virtual void SetCaption(const std::string& Caption) = 0;
    virtual void SetButton(TWizardButton Button, bool Visible, bool Enabled,
                           const std::string& Caption) = 0;
    virtual void FocusButton(TWizardButton Button) = 0;
    virtual void ShowNotebookPage(int Index) = 0;
    virtual int MessageBox(const std::string& Text, TMsgDlgType Type, unsigned Buttons,
                           int Unattended) = 0;
    // One line of what the installer does (shown by the terminal run, ignored by windows).
    virtual void Report(const std::string& Line) = 0;

    virtual void ShowMessageText(const std::vector<std::string>& Lines, TAlignment Alignment,
                                 const TFontSpec& Font) = 0;
    virtual void ShowDirChoice(const TDirChoiceTexts& Texts) = 0;
    virtual void SetDirLabel(const std::string& Text) = 0;
    virtual int DirLabelWidth() = 0;
    virtual int TextWidth(const std::string& Text) = 0;
    // The Browse sub-page: 3 with Path set (Next), 4 (Previous) or 2 (Cancel).
    virtual int Browse(const TBrowseRequest& Request, std::string& Path) = 0;
    virtual void ShowCopyTexts(const TCopyTexts& Texts) = 0;
    virtual void SetCopyLabels(const std::string& Source, const std::string& Target) = 0;
    virtual int CopyLabelWidth() = 0;
    virtual void SetFilesLeft(std::size_t Count) = 0;
    // Bars take 64-bit values; a view scales them to what its control holds.
    virtual void SetFileBar(std::int64_t Progress, std::int64_t Max) = 0;
    virtual void SetTotalBar(std::int64_t Progress, std::int64_t Max) = 0;
    // The wait page of the two restarting stages (caption text 65, label text 70).
    virtual void ShowMultiDisk(const std::string& Caption, const std::string& Text) = 0;
    // The groups page: its text, the combo's entries and the name shown in it; GroupName
    // reads back what the combo holds when Next is pressed (a view without one: Shown).
    virtual void ShowGroups(const std::string& /*Intent*/, const std::vector<std::string>& /*Groups*/,
                            const std::string& /*Shown*/) {}
    virtual std::string GroupName(const std::string& Shown) { return Shown; }
    // The uninstall page's text.
    virtual void ShowUnInstallText(const std::string& /*Intent*/) {}
    // The choice page: one row per option; a click on a row's title or description calls
    // OnClick with the row's index. ClearChoices frees the rows.
    virtual void ShowChoices(const std::vector<TChoiceRow>& /*Rows*/,
                             const std::function<void(std::size_t)>& /*OnClick*/) {}
    virtual void SetChoiceSelected(std::size_t /*Row*/, bool /*Selected*/) {}
    virtual void ClearChoices() {}
    // The language page's radio group; CheckedLanguage reads back the checked entry (a view
    // without one: Shown).
    virtual void ShowLanguages(const std::vector<std::string>& /*Names*/, int /*Checked*/) {}
    virtual int CheckedLanguage(int Shown) { return Shown; }
    // The database-engine page: its text and the Reinstall button.
    virtual void ShowBDEText(const std::string& /*Intent*/, const std::string& /*Reinstall*/,
                             bool /*ReinstallEnabled*/) {}
};

} // namespace veltrane
