#pragma once
// The wizard engine: the central component TSetupInfo with the description and the install
// record, and the page base with its life cycle. Each page runs its own nested loop, so the
// next page runs inside the current page's Next and a whole chain unwinds at once.

#include "setup/SetupData.h"
#include "setup/SetupView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

class TSetupInfo;
class TSetupPage;

// "%s" and "%d" replaced in order by Args ("%%" is a percent sign).
std::string FormatText(const std::string& Pattern, const std::vector<std::string>& Args);

using TNotifyEvent = std::function<void(TSetupPage& Sender)>;

class TSetupForm;

// What can own a component: a window (a TForm) or another component.
class TComponentOwner {
  public:
    virtual ~TComponentOwner() = default;
    virtual TSetupForm* AsForm() { return nullptr; }
};

class TSetupComponent : public TComponentOwner {
  public:
    explicit TSetupComponent(std::string Name) : Name(std::move(Name)) {}
    ~TSetupComponent() override;
    std::string Name;
    TSetupInfo* SetupInfo = nullptr;
    std::function<void(TSetupComponent& Sender)> OnExecute;
    TSetupData* SetupData() const;
    std::string AppName() const;
    void SetAppName(const std::string& Value);
    // Puts the component on Owner (null takes it off its owner); only a window may own one.
    void SetOwner(TComponentOwner* Owner);
    TSetupForm* Owner() const { return Owner_; }
    // The SetupInfo property as the framework assigns it: only a TSetupInfo is taken.
    void SetSetupInfo(TSetupComponent* Value);

    // Called by the owner: the central component was linked to this one (SetupInfo is set),
    // this component leaves an owner that has one, or the central component left.
    virtual void SetupLinked() {}
    virtual void LeavingSetup() {}
    virtual void SetupUnlinked() {}

  private:
    friend class TSetupForm;
    TSetupForm* Owner_ = nullptr;
};

// The owner window of the setup components: it links every component to the one central
// component, holds at most one database-engine page, and clears references to a component
// that leaves.
class TSetupForm : public TComponentOwner {
  public:
    ~TSetupForm() override;
    TSetupForm* AsForm() override { return this; }
    void Insert(TSetupComponent& Component);
    void Remove(TSetupComponent& Component);
    const std::vector<TSetupComponent*>& Components() const { return Components_; }
    TSetupInfo* Info() const { return Info_; }

  private:
    std::vector<TSetupComponent*> Components_;
    TSetupInfo* Info_ = nullptr;
};

enum TSetupButton : unsigned { btPrev = 1, btNext = 2, btFinish = 4, btCancel = 8 };

// PageResult values.
enum : std::uint8_t { prWaiting = 0, prDone = 1, prCancelled = 2, prNext = 3, prPrevious = 4 };

enum class TPageKind { Other, Message, DirChoice, FileCopy, Groups, Choice, BDEInstall, UnInstall, Language };

class TSetupPage : public TSetupComponent {
  public:
    using TSetupComponent::TSetupComponent;
    ~TSetupPage() override;
    unsigned Buttons = btPrev | btNext | btCancel;
    TSetupPage* NextPage = nullptr;
    TNotifyEvent OnCancel, OnNextPage, OnPrevPage;
    std::uint8_t PageResult = prWaiting;

    // Runs the page and returns its final PageResult (1 or 2).
    virtual int Execute();
    virtual int StartPage() { return 0; }
    virtual void ShowPage();
    virtual void GoNext();
    virtual void GoPrev();
    virtual void ButtonClick(int /*Sender*/) {}
    virtual void DoCancel();
    // Pages after which there is no going back.
    virtual TPageKind Kind() const { return TPageKind::Other; }

  protected:
    // The base Execute of a component: checks the central component and fires OnExecute.
    void ComponentExecute();
    ISetupView& View() const;
    std::string Text(int N) const;
    TSetupPage* PreviousPage() const;
};

// What the copy page asks of the file system, replaceable in tests.
struct TSpaceInfo {
    std::uint64_t Device = 0;
    std::int64_t Available = 0;
};

class TSetupInfo : public TSetupComponent {
  public:
    explicit TSetupInfo(ISetupView& View, std::string Name = "SetupInfo");
    ~TSetupInfo() override;

    ISetupView& View;
    std::unique_ptr<TSetupData> Data;

    // Stored properties.
    std::string Language = "English";
    bool MultiDisk = false;
    std::vector<std::string> MultiDiskFiles; // set through SetMultiDiskFiles
    bool MultiException = true;
    std::function<void()> OnMultiInstance;
    std::string Picture;
    std::string SourceDir; // with trailing "/"
    bool Test = false;

    // Where this run of the installer lives and which system directories it uses.
    std::string ProgramPath;
    std::string WindowsDir; // with trailing "/"
    std::string SystemDir;  // with trailing "/"

    // Run-time state.
    std::vector<TSetupPage*> PageHistory;
    TSetupPage* CurrentPage = nullptr;
    TSetupPage* KickOffPage = nullptr;
    std::vector<TSetupDir*> SelectedDirs;
    std::unique_ptr<TSetupFileGroup> WorkGroup;
    std::string LogFile;
    bool AttemptUnInstall = false;
    bool UninstallDone = false;
    std::vector<std::string> CreatedDirs, InstalledFiles, LoggedGroups, LoggedItems;
    int BDEType = 0;
    std::string CancelQuestion;
    // The user cancelled (the cancel question or "Abort file copy?" answered Yes).
    bool UserCancelled = false;
    // When set, shown at the end of the chain instead of texts 2 to 5 (what a rolled-back
    // install did, or why it failed).
    std::string OutcomeText;
    struct TButtonState {
        bool Visible = true, Enabled = true;
        std::string Caption;
    } ButtonStates[3];

    // Free space of the file system holding Path (which exists); nullopt when it cannot be
    // asked. Replaceable for tests.
    std::function<std::optional<TSpaceInfo>(const std::string& Path)> FreeSpace;
    // Whether Path lies on a removable medium (the floppy rule). Replaceable for tests.
    std::function<bool(const std::string& Path)> IsRemovable;
    // Run at the end of the program, before the record is dropped (the install log hooks in).
    std::vector<std::function<void(TSetupInfo&)>> OnFinish;

    // Keeps the entries that name a file of the description (ignoring case) and warns about
    // each other one.
    void SetMultiDiskFiles(const std::vector<std::string>& Entries);

    // Text n of the current language; "*** String not found ***" when missing.
    std::string Text(int N) const;
    // The language machinery.
    std::vector<std::string> LanguageList;
    int LanguageBase = 5000;
    std::string LanguageModulePath; // the optional module, looked for beside the program
    void BuildLanguageList();
    // Loads L (falling back to English with warning text 7 when it cannot).
    void LoadLanguage(const std::string& L);
    // Setting the property: names outside the list are refused with a notice.
    void SetLanguage(const std::string& L);

    void SetButton(TWizardButton B, bool Visible, bool Enabled, const std::string& Caption);
    bool ButtonEnabled(TWizardButton B) const { return ButtonStates[B].Enabled; }
    // Button presses from the view.
    void NextClick();
    void PrevClick();
    void CancelClick();
    void PageButtonClick(int Sender);
    int MessageBox(const std::string& Text, TMsgDlgType Type, unsigned Buttons,
                   int Unattended = UnattendedDefault);

    // Selection model.
    void SelectDir(TSetupDir* Dir, bool WithFiles);
    void DeselectDir(TSetupDir* Dir);
    bool IsSelected(const TSetupDir* Dir) const;
    // "(none)" and "" give ""; "Source Dir", "Windows", "Windows System" or a dir's full path.
    std::string ResolveDirPath(const std::string& Name) const;

    // Record keeping: adds once, comparing ignoring case.
    static void AddUnique(std::vector<std::string>& List, const std::string& Entry);
    void AddLoggedPair(const std::string& Group, const std::string& Item);
    // Reads the install log (merge keeps the record already held).
    void ReadLog(const std::string& Path, bool Merge);

    // Starts AutoSetup or AutoUnInstall, shows the outcome, and returns the chain's result.
    int RunWizardChain(TSetupPage* AutoSetup, TSetupPage* AutoUnInstall);
    // Points "Windows" and "Windows System" at this machine's directories, expands "~/" in
    // absolute dirs for the user running the installer, and selects every dir with its files.
    void PrepareDirs();
    // Runs the OnFinish hooks once.
    void Finish();

  private:
    void* LanguageModule_ = nullptr;
    const char* (*LanguageString_)(int) = nullptr;
    bool Finished_ = false;
    void UnloadLanguageModule();
};

} // namespace veltrane
