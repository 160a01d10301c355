#include "setup/SetupGroupPages.h"

#include "platform/ProgramManager.h"
#include "setup/BDELogic.h"
#include "setup/GroupsLogic.h"
#include "setup/InstallLog.h"
#include "setup/SetupPaths.h"
#include "setup/UnInstallRemoval.h"

#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

bool FileExists(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string DirOf(const std::string& Path) {
    const auto Slash = Path.rfind('/');
    return Slash == std::string::npos ? "./" : Path.substr(0, Slash + 1);
}

} // namespace

std::string GroupNameProblem(const std::string& Name) {
    // The log keeps "group:~:item" as a value: read back, leading blanks are gone, a line end
    // ends it, and the separator would split it in the wrong place.
    for (char C : Name) {
        if (C == '\n' || C == '\r')
            return "The group name cannot hold a line break.";
        if (C == '\0')
            return "The group name cannot hold a NUL character.";
    }
    if (!Name.empty() && (Name.front() == ' ' || Name.back() == ' '))
        return "The group name cannot start or end with a blank.";
    if (!Name.empty() && (Name.front() == '\t' || Name.back() == '\t'))
        return "The group name cannot start or end with a tab.";
    if (Name.find(":~:") != std::string::npos)
        return "The group name cannot hold \":~:\".";
    return "";
}

TInstallRecord RecordOf(const TSetupInfo& Info) {
    TInstallRecord R;
    R.CreatedDirs = Info.CreatedDirs;
    R.InstalledFiles = Info.InstalledFiles;
    R.LoggedGroups = Info.LoggedGroups;
    R.LoggedItems = Info.LoggedItems;
    R.BDEType = Info.BDEType;
    return R;
}

void StoreRecord(TSetupInfo& Info, const TInstallRecord& Record) {
    Info.CreatedDirs = Record.CreatedDirs;
    Info.InstalledFiles = Record.InstalledFiles;
    Info.LoggedGroups = Record.LoggedGroups;
    Info.LoggedItems = Record.LoggedItems;
    Info.BDEType = Record.BDEType;
}

// --- Groups page ----------------------------------------------------------------------------

TSetupWinGroups* TSetupGroups::Definition() const {
    return SetupData() ? SetupData()->FindWinGroup(Name) : nullptr;
}

void TSetupGroups::SetupLinked() {
    if (SetupData() && !SetupData()->FindWinGroup(Name))
        SetupData()->AddWinGroup(Name);
}

void TSetupGroups::LeavingSetup() {
    if (TSetupWinGroups* G = Definition())
        SetupData()->RemoveWinGroup(G);
}

void TSetupGroups::ShowPage() {
    TSetupPage::ShowPage();
    std::string Intent;
    if (!Text.empty()) {
        for (const std::string& L : Text)
            Intent += L + "\n";
    } else {
        Intent = SetupInfo->Text(59) + "\n\n" + SetupInfo->Text(60) + "\n\n" + SetupInfo->Text(61);
    }
    View().SetCaption(SetupInfo->Text(58));
    ExistingGroups = ProgramManager ? RequestGroups(*ProgramManager) : std::vector<std::string>{};
    std::vector<std::string> Combo = ExistingGroups;
    const TSetupWinGroups* Def = Definition();
    const bool Retyped = Refused_.has_value(); // shown once more, to be corrected
    Shown_ = Retyped ? *Refused_ : GroupOverride ? *GroupOverride : Def ? Def->Title : std::string();
    Refused_.reset();
    bool Listed = false;
    for (const std::string& G : Combo)
        Listed = Listed || G == Shown_;
    if (!Listed && !Shown_.empty() && !Retyped)
        Combo.push_back(Shown_);
    View().ShowGroups(Intent, Combo, Shown_);
    View().ShowNotebookPage(npGroups);
}

int TSetupGroups::StartPage() {
    const TSetupWinGroups* Def = Definition();
    if (!Def || InstalledItemCount(*Def, FileExists) == 0) {
        // Nothing of the group was installed: the page goes on by itself.
        PageResult = prDone;
        GoNext();
    }
    return 0;
}

void TSetupGroups::GoNext() {
    const TSetupWinGroups* Def = Definition();
    if (Def && InstalledItemCount(*Def, FileExists) > 0 && ProgramManager) {
        const std::string Group = View().GroupName(Shown_);
        if (const std::string Problem = GroupNameProblem(Group); !Problem.empty()) {
            SetupInfo->MessageBox(Problem, mtWarning, mbOK);
            Refused_ = Group;
            PageResult = prPrevious; // the page stays
            return;
        }
        TInstallRecord Record = RecordOf(*SetupInfo);
        const TGroupsOutcome Outcome = CreateProgramGroup(Group, ExistingGroups, *Def, *SetupInfo->WorkGroup,
                                                          *ProgramManager, Record, FileExists);
        StoreRecord(*SetupInfo, Record);
        if (Outcome.ShowAgain) {
            SetupInfo->MessageBox(SetupInfo->Text(62), mtWarning, mbOK);
            PageResult = prPrevious;
            return;
        }
        if (Outcome.Cancelled) {
            SetupInfo->MessageBox(FormatText(SetupInfo->Text(63), {Group}), mtError, mbOK);
            PageResult = prCancelled;
            return;
        }
        for (const std::string& Item : Outcome.FailedItems)
            SetupInfo->MessageBox(FormatText(SetupInfo->Text(64), {Item}), mtError, mbOK);
        View().Report("Menu group " + Group + " created");
    }
    PageResult = prDone;
    TSetupPage::GoNext();
}

// --- Uninstall page -------------------------------------------------------------------------

void TSetupUnInstall::ShowPage() {
    TSetupPage::ShowPage();
    std::string Intent;
    if (!Text.empty()) {
        for (const std::string& L : Text)
            Intent += L + "\n";
    } else {
        Intent = FormatText(SetupInfo->Text(85), {AppName()}) + "  " + SetupInfo->Text(86) + "\n\n" + SetupInfo->Text(87);
    }
    View().SetCaption(FormatText(SetupInfo->Text(84), {AppName()}));
    View().ShowUnInstallText(Intent);
    View().ShowNotebookPage(npUnInstall);
}

void TSetupUnInstall::GoNext() {
    TSetupInfo& I = *SetupInfo;
    const auto Next = I.ButtonStates[wbNext];
    I.SetButton(wbNext, Next.Visible, false, Next.Caption);
    if (OnCleanup)
        OnCleanup(*this);
    TUnInstallEvents Events;
    Events.Removed = [this](const std::string& Line) { View().Report(Line); };
    Events.Warning = [&I](const std::string& Line) { I.MessageBox(Line, mtWarning, mbOK); };
    std::vector<std::string> Left;
    Events.FileLeft = [&Left](const std::string& F) { Left.push_back(F); };
    RunUnInstallRemoval(RecordOf(I), I.LogFile, ProgramManager, Events);
    if (UndoBDE)
        UndoBDE(I.BDEType);
    else if (TSetupForm* Form = I.Owner())
        for (TSetupComponent* C : Form->Components())
            if (auto* Engine = dynamic_cast<TSetupBDEInstall*>(C))
                Engine->UnInstall(I.BDEType);
    I.UninstallDone = true;
    I.SetButton(wbNext, Next.Visible, true, Next.Caption);
    if (!Left.empty()) {
        // Not a success: the files and the log that names them stay for another attempt.
        I.OutcomeText = SetupInfo->Text(5);
        for (const std::string& F : Left)
            I.OutcomeText += "\nStill there: " + F;
        PageResult = prCancelled;
        return;
    }
    PageResult = prDone;
    TSetupPage::GoNext();
}

// --- Exit -----------------------------------------------------------------------------------

void AddExitHooks(TSetupInfo& Info, std::string& LogError) {
    Info.OnFinish.push_back([&LogError](TSetupInfo& I) {
        const TSetupData& D = *I.Data;
        if (!I.UninstallDone) {
            // An install writes its log before the closing page or rolls back; only a
            // cancelled uninstall writes the log it read again.
            if (!D.LogFileDir || !I.AttemptUnInstall)
                return;
            try {
                TInstallRecord Record = RecordOf(I);
                WriteInstallLog(I.ResolveDirPath(D.LogFileDir->Name()), D.LogFileName, Record, D,
                                I.Language, I.LogFile);
                StoreRecord(I, Record);
            } catch (const ESetupError& E) {
                LogError = E.what();
            }
            return;
        }
        // The temporary copy of a finished uninstall removes itself and what it took along.
        const std::string Dir = DirOf(I.ProgramPath);
        for (const std::string& F : D.UnInstallFiles)
            if (F.find('/') == std::string::npos && F != "." && F != "..")
                ::unlink((Dir + F).c_str());
        ::unlink(I.ProgramPath.c_str());
        ::rmdir(RemoveBackslash(Dir).c_str()); // the private directory, when nothing else is in it
    });
    Info.OnFinish.push_back([](TSetupInfo& I) {
        if (!I.MultiDisk || I.UninstallDone)
            return;
        const std::string Dir = DirOf(I.ProgramPath);
        for (const std::string& F : I.MultiDiskFiles)
            if (F.find('/') == std::string::npos && F != "." && F != "..")
                ::unlink((Dir + F).c_str());
        ::unlink(I.ProgramPath.c_str());
    });
}

} // namespace veltrane
