#include "setup/SetupInfo.h"

#include "platform/Profile.h"
#include "platform/SystemDirs.h"
#include "setup/SetupPaths.h"
#include "setup/SetupTexts.h"

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <sys/statvfs.h>
#include <sys/stat.h>

namespace veltrane {

std::string FormatText(const std::string& Pattern, const std::vector<std::string>& Args) {
    std::string Out;
    std::size_t Next = 0;
    for (std::size_t I = 0; I < Pattern.size(); ++I) {
        if (Pattern[I] == '%' && I + 1 < Pattern.size()) {
            const char C = Pattern[I + 1];
            if (C == '%') {
                Out += '%';
                ++I;
                continue;
            }
            if (C == 's' || C == 'd') {
                Out += Next < Args.size() ? Args[Next] : "";
                ++Next;
                ++I;
                continue;
            }
        }
        Out += Pattern[I];
    }
    return Out;
}

TSetupData* TSetupComponent::SetupData() const { return SetupInfo ? SetupInfo->Data.get() : nullptr; }

std::string TSetupComponent::AppName() const {
    return SetupData() ? SetupData()->AppName : std::string("(none)");
}

void TSetupComponent::SetAppName(const std::string& Value) {
    if (SetupData())
        SetupData()->AppName = Value;
}

TSetupComponent::~TSetupComponent() {
    if (Owner_)
        Owner_->Remove(*this);
}

void TSetupComponent::SetOwner(TComponentOwner* Owner) {
    TSetupForm* Form = Owner ? Owner->AsForm() : nullptr;
    if (Owner && !Form)
        throw ESetupError("Only a TForm can own a TSetup component.");
    if (Owner_ == Form)
        return;
    if (Owner_)
        Owner_->Remove(*this);
    if (Form)
        Form->Insert(*this);
}

void TSetupComponent::SetSetupInfo(TSetupComponent* Value) {
    if (Value && !dynamic_cast<TSetupInfo*>(Value))
        throw ESetupError("SetupInfo can only accept components of type TSetupInfo.");
    SetupInfo = static_cast<TSetupInfo*>(Value);
    if (SetupInfo)
        SetupLinked();
}

// ---- the owner window ----

TSetupForm::~TSetupForm() {
    while (!Components_.empty())
        Remove(*Components_.back());
}

void TSetupForm::Insert(TSetupComponent& C) {
    if (C.Owner_ == this)
        return;
    if (C.Owner_)
        C.Owner_->Remove(C);
    auto* Info = dynamic_cast<TSetupInfo*>(&C);
    if (Info && Info_)
        throw ESetupError("Only allowed one TSetupInfo per application.");
    if (dynamic_cast<TSetupPage*>(&C) && static_cast<TSetupPage&>(C).Kind() == TPageKind::BDEInstall)
        for (TSetupComponent* Other : Components_)
            if (auto* P = dynamic_cast<TSetupPage*>(Other); P && P->Kind() == TPageKind::BDEInstall)
                throw ESetupError("Only allowed one TSetupBDEInstall per application.");
    Components_.push_back(&C);
    C.Owner_ = this;
    if (Info) {
        Info_ = Info;
        for (TSetupComponent* Other : Components_)
            if (Other != Info)
                Other->SetSetupInfo(Info);
    } else if (Info_) {
        C.SetSetupInfo(Info_);
    }
}

void TSetupForm::Remove(TSetupComponent& C) {
    auto It = std::find(Components_.begin(), Components_.end(), &C);
    if (It == Components_.end())
        return;
    if (&C == Info_) {
        for (TSetupComponent* Other : Components_)
            if (Other != &C && Other->SetupInfo) {
                Other->SetupUnlinked();
                Other->SetupInfo = nullptr;
            }
        Info_ = nullptr;
    } else {
        if (Info_ && C.SetupInfo)
            C.LeavingSetup();
        C.SetupInfo = nullptr;
        for (TSetupComponent* Other : Components_)
            if (auto* P = dynamic_cast<TSetupPage*>(Other); P && P->NextPage == &C)
                P->NextPage = nullptr;
    }
    Components_.erase(It);
    C.Owner_ = nullptr;
}

// ---- pages ----

TSetupPage::~TSetupPage() {
    if (Owner())
        Owner()->Remove(*this); // no page keeps a NextPage to this one
}

ISetupView& TSetupPage::View() const { return SetupInfo->View; }
std::string TSetupPage::Text(int N) const { return SetupInfo->Text(N); }

TSetupPage* TSetupPage::PreviousPage() const {
    const auto& H = SetupInfo->PageHistory;
    // The entry below this page (the top while this page runs).
    auto It = std::find(H.rbegin(), H.rend(), this);
    if (It == H.rend() || std::next(It) == H.rend())
        return nullptr;
    return *std::next(It);
}

void TSetupPage::ComponentExecute() {
    if (!SetupInfo)
        throw ESetupError(Name + " cannot find the TSetupInfo component.");
    if (OnExecute)
        OnExecute(*this);
}

int TSetupPage::Execute() {
    if (!SetupInfo)
        throw ESetupError(Name + " cannot find the TSetupInfo component.");
    PageResult = prWaiting;
    ISetupView& V = View();
    if (!V.WizardExists()) {
        SetupInfo->KickOffPage = this;
        V.RunWizard(SetupInfo->Picture, [this] {
            Execute();
            View().CloseWizard();
        });
        return PageResult;
    }
    SetupInfo->PageHistory.push_back(this);
    do {
        PageResult = prWaiting;
        ShowPage();
        if (PageResult == prWaiting)
            ComponentExecute();
        if (PageResult == prWaiting)
            StartPage();
        V.WaitUntil([this] { return PageResult != prWaiting; });
        if (PageResult == prPrevious) {
            PageResult = prDone;
            GoPrev();
        }
        if (PageResult == prNext) {
            PageResult = prDone;
            GoNext();
        }
        if (PageResult == prCancelled)
            DoCancel();
    } while (PageResult != prDone && PageResult != prCancelled);
    SetupInfo->PageHistory.pop_back();
    return PageResult;
}

void TSetupPage::ShowPage() {
    TSetupInfo& I = *SetupInfo;
    I.CurrentPage = this;
    View().SetCaption("");
    I.CancelQuestion = Text(20);
    TSetupPage* Prev = PreviousPage();
    bool PrevEnabled = (Buttons & btPrev) && Prev;
    if (Prev && (Prev->Kind() == TPageKind::FileCopy || Prev->Kind() == TPageKind::Groups ||
                 Prev->Kind() == TPageKind::BDEInstall))
        PrevEnabled = false;
    const bool Finish = Buttons & btFinish;
    I.SetButton(wbPrev, true, PrevEnabled, Text(8));
    I.SetButton(wbNext, true, (Buttons & btNext) || Finish, Text(Finish ? 10 : 9));
    I.SetButton(wbCancel, true, Buttons & btCancel, Text(11));
    if (I.ButtonEnabled(wbNext))
        View().FocusButton(wbNext);
    else if (I.ButtonEnabled(wbPrev))
        View().FocusButton(wbPrev);
    else
        View().FocusButton(wbCancel);
}

void TSetupPage::GoNext() {
    if (!SetupInfo->ButtonEnabled(wbNext) || PageResult == prCancelled)
        return;
    if (OnNextPage)
        OnNextPage(*this);
    if (NextPage && PageResult == prDone)
        NextPage->Execute();
}

void TSetupPage::GoPrev() {
    if (!SetupInfo->ButtonEnabled(wbPrev) || PageResult == prCancelled)
        return;
    if (OnPrevPage)
        OnPrevPage(*this);
    if (TSetupPage* Prev = PreviousPage())
        Prev->PageResult = prPrevious;
}

void TSetupPage::DoCancel() {
    if (!SetupInfo->ButtonEnabled(wbCancel) && PageResult != prCancelled)
        return;
    if (OnCancel)
        OnCancel(*this);
    if (PageResult == prCancelled)
        if (TSetupPage* Prev = PreviousPage())
            Prev->PageResult = prCancelled;
}

// ---- the central component ----

TSetupInfo::TSetupInfo(ISetupView& View, std::string Name)
    : TSetupComponent(std::move(Name)), View(View), Data(std::make_unique<TSetupData>()) {
    SetupInfo = this;
    WorkGroup = std::make_unique<TSetupFileGroup>(Data.get());
    FreeSpace = [](const std::string& Path) -> std::optional<TSpaceInfo> {
        struct statvfs Vfs {};
        struct stat St {};
        if (::statvfs(Path.c_str(), &Vfs) != 0 || ::stat(Path.c_str(), &St) != 0)
            return std::nullopt;
        TSpaceInfo S;
        S.Device = St.st_dev;
        S.Available = static_cast<std::int64_t>(Vfs.f_bavail) * static_cast<std::int64_t>(Vfs.f_frsize);
        return S;
    };
    IsRemovable = [](const std::string&) { return false; };
    for (auto& B : ButtonStates)
        B.Caption.clear();
    LanguageList = {"English"};
}

TSetupInfo::~TSetupInfo() {
    if (Owner())
        Owner()->Remove(*this);
    UnloadLanguageModule();
}

void TSetupInfo::SetMultiDiskFiles(const std::vector<std::string>& Entries) {
    MultiDiskFiles.clear();
    for (const std::string& E : Entries) {
        if (Data->FindFile(E))
            MultiDiskFiles.push_back(E);
        else
            MessageBox("Unable to locate file " + E + " in the installed files.", mtWarning, mbOK);
    }
}

void TSetupInfo::Finish() {
    if (Finished_)
        return;
    Finished_ = true;
    for (auto& Hook : OnFinish)
        Hook(*this);
}

std::string TSetupInfo::Text(int N) const {
    if (LanguageString_ && LanguageBase != 5000) {
        if (const char* S = LanguageString_(LanguageBase + N))
            return S;
        return StringNotFound;
    }
    const char* S = BuiltInText(N);
    return S ? S : StringNotFound;
}

void TSetupInfo::UnloadLanguageModule() {
    if (LanguageModule_)
        ::dlclose(LanguageModule_);
    LanguageModule_ = nullptr;
    LanguageString_ = nullptr;
}

void TSetupInfo::BuildLanguageList() {
    LanguageList = {"English"};
    if (LanguageModulePath.empty())
        return;
    void* Module = ::dlopen(LanguageModulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!Module)
        return;
    auto Get = reinterpret_cast<const char* (*)(int)>(::dlsym(Module, "TSLoadString"));
    for (int K = 0; Get; ++K) {
        const char* Name = Get(K * 1000);
        if (!Name)
            break;
        if (std::find(LanguageList.begin(), LanguageList.end(), Name) == LanguageList.end())
            LanguageList.emplace_back(Name);
    }
    ::dlclose(Module);
}

void TSetupInfo::LoadLanguage(const std::string& L) {
    UnloadLanguageModule();
    const bool Listed = std::find(LanguageList.begin(), LanguageList.end(), L) != LanguageList.end();
    if (Listed && L != "English" && !LanguageModulePath.empty()) {
        if (void* Module = ::dlopen(LanguageModulePath.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            auto Get = reinterpret_cast<const char* (*)(int)>(::dlsym(Module, "TSLoadString"));
            for (int K = 0; Get; ++K) {
                const char* Name = Get(K * 1000);
                if (!Name)
                    break;
                if (L == Name) {
                    LanguageModule_ = Module;
                    LanguageString_ = Get;
                    LanguageBase = K * 1000;
                    break;
                }
            }
            if (!LanguageModule_)
                ::dlclose(Module);
        }
    }
    std::string Loaded = L;
    if (!LanguageModule_) {
        LanguageBase = 5000;
        Loaded = "English";
    }
    Language = Loaded;
    if (Loaded != L)
        MessageBox(Text(7), mtWarning, mbOK);
}

void TSetupInfo::SetLanguage(const std::string& L) {
    if (std::find(LanguageList.begin(), LanguageList.end(), L) == LanguageList.end()) {
        MessageBox("The language " + L + " is not in the list of available languages.\n"
                   "Switching to the default language.", mtInformation, mbOK);
        return;
    }
    LoadLanguage(L);
}

void TSetupInfo::SetButton(TWizardButton B, bool Visible, bool Enabled, const std::string& Caption) {
    ButtonStates[B] = {Visible, Enabled, Caption};
    View.SetButton(B, Visible, Enabled, Caption);
}

void TSetupInfo::NextClick() {
    if (CurrentPage && ButtonEnabled(wbNext))
        CurrentPage->PageResult = prNext;
}

void TSetupInfo::PrevClick() {
    if (CurrentPage && ButtonEnabled(wbPrev))
        CurrentPage->PageResult = prPrevious;
}

void TSetupInfo::CancelClick() {
    if (!CurrentPage || !ButtonEnabled(wbCancel))
        return;
    if (MessageBox(CancelQuestion, mtConfirmation, mbYes | mbNo) == mrYes) {
        UserCancelled = true;
        CurrentPage->PageResult = prCancelled;
    }
}

void TSetupInfo::PageButtonClick(int Sender) {
    if (CurrentPage)
        CurrentPage->ButtonClick(Sender);
}

int TSetupInfo::MessageBox(const std::string& Text, TMsgDlgType Type, unsigned Buttons, int Unattended) {
    return View.MessageBox(Text, Type, Buttons, Unattended);
}

void TSetupInfo::SelectDir(TSetupDir* Dir, bool WithFiles) {
    if (!Dir)
        return;
    if (!IsSelected(Dir))
        SelectedDirs.push_back(Dir);
    for (const auto& Child : Data->Dirs)
        if (Child->Parent == Dir && Child.get() != Dir)
            SelectDir(Child.get(), WithFiles);
    if (WithFiles)
        for (TSetupFile* F : Dir->Files)
            WorkGroup->AddFile(F, Dir, true);
}

void TSetupInfo::DeselectDir(TSetupDir* Dir) {
    if (!IsSelected(Dir))
        return;
    for (std::size_t I = SelectedDirs.size(); I-- > 0;)
        if (I < SelectedDirs.size() && SelectedDirs[I]->Parent == Dir && SelectedDirs[I] != Dir)
            DeselectDir(SelectedDirs[I]);
    SelectedDirs.erase(std::remove(SelectedDirs.begin(), SelectedDirs.end(), Dir), SelectedDirs.end());
}

bool TSetupInfo::IsSelected(const TSetupDir* Dir) const {
    return std::find(SelectedDirs.begin(), SelectedDirs.end(), Dir) != SelectedDirs.end();
}

std::string TSetupInfo::ResolveDirPath(const std::string& Name) const {
    std::string Path;
    if (Name.empty() || Name == "(none)")
        return "";
    if (Name == "Source Dir")
        Path = SourceDir;
    else if (Name == "Windows")
        Path = WindowsDir;
    else if (Name == "Windows System")
        Path = SystemDir;
    else
        Path = DirFullPath(Data->FindDir(Name));
    return AddBackslash(Path);
}

void TSetupInfo::AddUnique(std::vector<std::string>& List, const std::string& Entry) {
    for (const std::string& E : List)
        if (SameTextIgnoringCase(E, Entry))
            return;
    List.push_back(Entry);
}

void TSetupInfo::AddLoggedPair(const std::string& Group, const std::string& Item) {
    for (std::size_t I = 0; I < LoggedGroups.size(); ++I)
        if (SameTextIgnoringCase(LoggedGroups[I], Group) && SameTextIgnoringCase(LoggedItems[I], Item))
            return;
    LoggedGroups.push_back(Group);
    LoggedItems.push_back(Item);
}

void TSetupInfo::ReadLog(const std::string& Path, bool Merge) {
    namespace p = platform;
    if (!std::filesystem::exists(Path))
        return;
    if (!Merge) {
        CreatedDirs.clear();
        InstalledFiles.clear();
        LoggedGroups.clear();
        LoggedItems.clear();
        for (const std::string& Key : p::ProfileKeys("Directories", Path)) {
            const std::string Value = p::GetPrivateProfileString("Directories", Key, "", Path);
            if (TSetupDir* Dir = Data->FindDir(Key); Dir && !Value.empty())
                Dir->SetDir(Value);
        }
    }
    for (const std::string& Key : p::ProfileKeys("Created Dirs", Path))
        AddUnique(CreatedDirs, Key);
    for (const std::string& Key : p::ProfileKeys("Files", Path))
        AddUnique(InstalledFiles, Key);
    for (const std::string& Key : p::ProfileKeys("Program Groups", Path)) {
        const std::string Value = p::GetPrivateProfileString("Program Groups", Key, "", Path);
        std::string Group = Value, Item = Value;
        if (auto At = Value.find(":~:"); At != std::string::npos) {
            Group = Value.substr(0, At);
            Item = Value.substr(At + 3);
        }
        if (!Group.empty())
            AddLoggedPair(Group, Item);
    }
    BDEType = static_cast<int>(p::GetPrivateProfileInt("BDE Files", "BDE Type", 0, Path));
    const std::string L = p::GetPrivateProfileString("Language", "Language", "", Path);
    if (!L.empty())
        SetLanguage(L);
}

int TSetupInfo::RunWizardChain(TSetupPage* AutoSetup, TSetupPage* AutoUnInstall) {
    TSetupPage* Page = AttemptUnInstall ? AutoUnInstall : AutoSetup;
    if (!Page)
        return 0;
    const int Result = Page->Execute();
    if (!OutcomeText.empty())
        MessageBox(OutcomeText, Result == prDone || UserCancelled ? mtInformation : mtWarning, mbOK);
    else if (Result == prCancelled && UserCancelled && !AttemptUnInstall)
        MessageBox("The installation was cancelled; nothing was changed.", mtInformation, mbOK);
    else if (Result == prDone)
        MessageBox(Text(AttemptUnInstall ? 4 : 2), mtInformation, mbOK);
    else if (Result == prCancelled)
        MessageBox(Text(AttemptUnInstall ? 5 : 3), mtInformation, mbOK);
    return Result;
}

void TSetupInfo::PrepareDirs() {
    for (const auto& Dir : Data->Dirs)
        if (!Dir->Parent)
            Dir->SetDir(platform::ExpandHome(Dir->Dir()));
    if (TSetupDir* Windows = Data->FindDir("Windows"))
        Windows->SetDir(WindowsDir);
    if (TSetupDir* System = Data->FindDir("Windows System")) {
        const std::string Win = AddBackslash(WindowsDir);
        if (!Win.empty() && SystemDir.rfind(Win, 0) == 0 && SystemDir.size() > Win.size()) {
            System->Parent = Data->FindDir("Windows");
            System->SetDir(SystemDir.substr(Win.size()));
        } else {
            System->Parent = nullptr;
            System->SetDir(SystemDir);
        }
    }
    for (const auto& Dir : Data->Dirs) {
        SelectDir(Dir.get(), true);
        View.ProcessMessages();
    }
}

} // namespace veltrane
