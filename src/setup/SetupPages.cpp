#include "setup/SetupPages.h"

#include "platform/RenameNoReplace.h"
#include "platform/SystemDirs.h"
#include "setup/SetupGroupPages.h"
#include "setup/SetupPaths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

std::string JoinLines(const std::vector<std::string>& Lines) {
    std::string Out;
    for (std::size_t I = 0; I < Lines.size(); ++I)
        Out += (I ? "\n" : "") + Lines[I];
    return Out;
}

bool PathExists(const std::string& Path) {
    struct stat St {};
    return ::stat(Path.c_str(), &St) == 0;
}

std::string FileNameOf(const std::string& Path) {
    const auto Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string DirOf(const std::string& Path) {
    const auto Slash = Path.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

std::string LocalDateTime(std::time_t T) {
    std::tm Tm{};
    localtime_r(&T, &Tm);
    char Buf[64];
    std::strftime(Buf, sizeof Buf, "%x %X", &Tm);
    return Buf;
}

} // namespace

// ---- message page ----

void TSetupMessage::ShowPage() {
    TSetupPage::ShowPage();
    View().ShowMessageText(Lines, Alignment, Font);
    View().SetCaption(Caption);
    View().ShowNotebookPage(npMessage);
    View().Report(Caption);
}

// ---- directory choice ----

std::string BrowsePath(const std::string& Selected, const std::string& Target, int PreserveTrailing) {
    std::string Path = AddBackslash(Selected);
    if (PreserveTrailing <= 0)
        return Path;
    std::vector<std::string> Parts;
    std::string Part;
    for (char C : Target) {
        if (C == '/') {
            if (!Part.empty())
                Parts.push_back(Part);
            Part.clear();
        } else {
            Part += C;
        }
    }
    if (!Part.empty())
        Parts.push_back(Part);
    const std::size_t Keep = std::min(Parts.size(), static_cast<std::size_t>(PreserveTrailing));
    for (std::size_t I = Parts.size() - Keep; I < Parts.size(); ++I)
        Path += Parts[I] + "/";
    return Path;
}

TSetupDir* TSetupDirChoice::Install() const {
    if (!SetupData() || InstallDir.empty() || InstallDir == "(none)")
        return nullptr;
    return SetupData()->FindDir(InstallDir);
}

std::string TSetupDirChoice::TargetDir() const {
    TSetupDir* Dir = Install();
    return Dir ? Dir->Dir() : "";
}

bool TSetupDirChoice::SetTargetDir(const std::string& Value) {
    TSetupDir* Dir = Install();
    const std::string T = AddBackslash(platform::ExpandHome(Value));
    if (!Dir || T.empty() || T[0] != '/' || T.find("//") != std::string::npos)
        return false;
    Dir->SetDir(T);
    return true;
}

int TSetupDirChoice::Execute() {
    if (!SetupData())
        return prCancelled;
    if (DoInvisible) {
        SetupInfo->SelectDir(Install(), false);
        PageResult = prDone;
        GoNext();
        return prDone;
    }
    return TSetupPage::Execute();
}

void TSetupDirChoice::ShowPage() {
    TSetupPage::ShowPage();
    TDirChoiceTexts T;
    T.Intent = Text.empty() ? FormatText(TSetupPage::Text(28), {AppName()}) : JoinLines(Text);
    T.Intent += "\n";
    if (AllowDirChange)
        T.Intent += TSetupPage::Text(29) + "  ";
    T.Intent += TSetupPage::Text(30) + "\n\n" + TSetupPage::Text(31);
    T.Browse = TSetupPage::Text(26);
    T.BrowseEnabled = AllowDirChange;
    T.Group = TSetupPage::Text(27);
    T.Directory = ShortenPathForLabel(TargetDir(), View().DirLabelWidth(),
                                      [this](const std::string& S) { return View().TextWidth(S); });
    View().ShowDirChoice(T);
    View().SetCaption(TSetupPage::Text(25));
    View().ShowNotebookPage(npDirChoice);
    View().Report(TSetupPage::Text(25) + ": " + TargetDir());
}

void TSetupDirChoice::GoNext() {
    const std::string Target = TargetDir();
    if (SetupInfo->IsRemovable(Target)) {
        SetupInfo->MessageBox(TSetupPage::Text(32), mtWarning, mbOK);
        PageResult = prWaiting;
        return;
    }
    if (struct stat St {}; ::stat(RemoveBackslash(Target).c_str(), &St) == 0 && !S_ISDIR(St.st_mode)) {
        SetupInfo->MessageBox(RemoveBackslash(Target) + " is a file, not a folder.", mtWarning, mbOK);
        PageResult = prWaiting;
        return;
    }
    // A folder the install log could not name is refused here, where another can be chosen.
    if (SetupData()->LogFileDir) {
        if (std::string Problem = LogKeyProblem("The folder", Target); !Problem.empty()) {
            SetupInfo->MessageBox(Problem, mtWarning, mbOK);
            PageResult = prWaiting;
            return;
        }
    }
    if (platform::IsDirectory(RemoveBackslash(Target)) || DoInvisible) {
        SetupInfo->SelectDir(Install(), false);
    } else if (SetupInfo->MessageBox(FormatText(TSetupPage::Text(33), {Target}), mtConfirmation,
                                     mbYes | mbNo) == mrYes) {
        SetupInfo->SelectDir(Install(), false);
    } else {
        PageResult = prPrevious;
        return;
    }
    PageResult = prDone;
    TSetupPage::GoNext();
}

void TSetupDirChoice::GoPrev() {
    SetupInfo->DeselectDir(Install());
    TSetupPage::GoPrev();
}

void TSetupDirChoice::ButtonClick(int) {
    TBrowseRequest R;
    R.Caption = TSetupPage::Text(34);
    R.PathLabel = TSetupPage::Text(35);
    R.Intent = SelectText.empty() ? FormatText(TSetupPage::Text(36), {AppName()}) : JoinLines(SelectText);
    R.Target = TargetDir();
    R.PreserveTrailing = PreserveTrailing;
    TSetupInfo& I = *SetupInfo;
    const TSetupInfo::TButtonState Saved[3] = {I.ButtonStates[0], I.ButtonStates[1], I.ButtonStates[2]};
    for (int B = 0; B < 3; ++B)
        I.SetButton(static_cast<TWizardButton>(B), Saved[B].Visible, true, Saved[B].Caption);
    View().ShowNotebookPage(npSelectDirectory);
    std::string Path;
    const int Result = View().Browse(R, Path);
    for (int B = 0; B < 3; ++B)
        I.SetButton(static_cast<TWizardButton>(B), Saved[B].Visible, Saved[B].Enabled, Saved[B].Caption);
    View().ShowNotebookPage(npDirChoice);
    View().SetCaption(TSetupPage::Text(25));
    if (Result == prNext) {
        SetTargetDir(Path);
        View().SetDirLabel(ShortenPathForLabel(TargetDir(), View().DirLabelWidth(),
                                               [this](const std::string& S) { return View().TextWidth(S); }));
        PageResult = prNext;
    } else if (Result == prCancelled) {
        PageResult = prCancelled;
    }
}

// ---- file copy primitives ----

TOverwriteAction DecideOverwrite(bool TargetExists, TOverWrite Mode, std::time_t TargetTime,
                                 std::time_t SourceTime) {
    if (!TargetExists || Mode == swAlways)
        return TOverwriteAction::Copy;
    switch (Mode) {
    case swNever: return TOverwriteAction::Skip;
    case swOlder: return TargetTime < SourceTime ? TOverwriteAction::Copy : TOverwriteAction::Skip;
    default: return TOverwriteAction::Ask;
    }
}

std::string CopyFileAtomic(const std::string& Source, const std::string& Target, bool Replace,
                           const std::function<void(std::int64_t)>& Progress) {
    const int In = ::open(Source.c_str(), O_RDONLY | O_CLOEXEC);
    if (In < 0)
        return errno == ENOENT ? "Source file doesn't exist." : std::strerror(errno);
    struct stat St {};
    if (::fstat(In, &St) != 0 || !S_ISREG(St.st_mode)) {
        ::close(In);
        return "Source file doesn't exist.";
    }
    std::string Temp = DirOf(Target) + "/." + FileNameOf(Target) + ".XXXXXX";
    const int Out = ::mkostemp(Temp.data(), O_CLOEXEC);
    if (Out < 0) {
        const int Err = errno;
        ::close(In);
        return std::strerror(Err);
    }
    std::string Error;
    char Block[2048];
    for (;;) {
        const ssize_t N = ::read(In, Block, sizeof Block);
        if (N < 0) {
            if (errno == EINTR)
                continue;
            Error = std::strerror(errno);
            break;
        }
        for (ssize_t Done = 0; Done < N && Error.empty();) {
            const ssize_t W = ::write(Out, Block + Done, static_cast<std::size_t>(N - Done));
            if (W < 0 && errno != EINTR)
                Error = std::strerror(errno);
            else if (W > 0)
                Done += W;
        }
        if (!Error.empty())
            break;
        if (Progress)
            Progress(N);
        if (N < static_cast<ssize_t>(sizeof Block))
            break;
    }
    const struct timespec Times[2] = {St.st_atim, St.st_mtim};
    if (Error.empty() && (::fchmod(Out, St.st_mode & 07777) != 0 || ::fsync(Out) != 0 ||
                          ::futimens(Out, Times) != 0))
        Error = std::strerror(errno);
    if (::close(Out) != 0 && Error.empty())
        Error = std::strerror(errno);
    ::close(In);
    if (Error.empty()) {
        const int Err = Replace ? (::rename(Temp.c_str(), Target.c_str()) == 0 ? 0 : errno)
                                : RenameNoReplace(Temp, Target);
        if (Err != 0)
            Error = std::strerror(Err);
    }
    if (!Error.empty())
        ::unlink(Temp.c_str());
    return Error;
}

std::string NearestExistingDir(const std::string& Path) {
    std::string P = RemoveBackslash(Path);
    while (!P.empty() && P != "/" && !platform::IsDirectory(P))
        P = DirOf(P);
    return P.empty() ? "/" : P;
}

// ---- the decompression module (optional, loaded with dlopen) ----

struct TDecompressor {
    void* Handle = nullptr;
    int (*DeCompress)(const char*, const char*, void*, int) = nullptr;
    long long (*IsCompressed)(const char*) = nullptr;
    double (*TimeStamp)(const char*) = nullptr;
};

// ---- file copy page ----

TSetupFileCopy::TSetupFileCopy(std::string Name) : TSetupPage(std::move(Name)) { Buttons = btCancel; }

TSetupFileCopy::~TSetupFileCopy() {
    if (Module_ && Module_->Handle)
        ::dlclose(Module_->Handle);
    delete Module_;
}

void TSetupFileCopy::ShowPage() {
    TSetupPage::ShowPage();
    TCopyTexts T;
    T.Actions = Text(38) + "\n\n" + Text(31);
    T.FileInfo = Text(39);
    T.Copying = Text(40);
    T.To = Text(41);
    T.File = Text(42);
    T.Total = Text(43);
    View().ShowCopyTexts(T);
    View().SetCaption(Text(37));
    SetupInfo->SetButton(wbPrev, false, false, Text(8));
    SetupInfo->SetButton(wbNext, false, false, Text(9));
    View().ShowNotebookPage(npFileCopy);
    View().Report(Text(37));
}

std::vector<TSpaceShortfall> TSetupFileCopy::CheckSpace() const {
    // Grouped by file system, asked of each target's nearest existing ancestor: the target
    // itself usually does not exist yet.
    struct TNeed {
        std::string Where;
        std::int64_t Available = 0, Required = 0;
        bool Known = false;
    };
    std::map<std::uint64_t, TNeed> Needs;
    std::vector<std::uint64_t> Order;
    const TSetupFileGroup& Work = *SetupInfo->WorkGroup;
    for (std::size_t I = 0; I < Work.Dirs.size(); ++I) {
        TSetupDir* Dir = Work.Dirs[I];
        const std::string Where = NearestExistingDir(DirFullPath(Dir));
        auto Space = SetupInfo->FreeSpace(Where);
        if (!Space)
            continue;
        auto [It, New] = Needs.try_emplace(Space->Device);
        if (New) {
            It->second.Where = Where;
            It->second.Available = Space->Available;
            Order.push_back(Space->Device);
        }
        if (SetupInfo->IsSelected(Dir))
            for (TSetupFile* F : Work.FileLists[I]->Files)
                It->second.Required += F->Size;
    }
    std::vector<TSpaceShortfall> Short;
    for (std::uint64_t Device : Order) {
        const TNeed& N = Needs[Device];
        if (N.Available < N.Required)
            Short.push_back({N.Where, N.Available, N.Required});
    }
    return Short;
}

std::string TSetupFileCopy::ShortLabel(const std::string& Path) {
    return RemoveBackslash(ShortenPathForLabel(Path, View().CopyLabelWidth(),
                                               [this](const std::string& S) { return View().TextWidth(S); }));
}

void TSetupFileCopy::Advance(std::int64_t Bytes) {
    FileProgress_ = std::min(FileMax_, FileProgress_ + Bytes);
    TotalProgress_ = std::min(TotalMax_, TotalProgress_ + Bytes);
    View().SetFileBar(FileProgress_, FileMax_);
    View().SetTotalBar(TotalProgress_, TotalMax_);
}

bool TSetupFileCopy::CreateTargetDirs() {
    TSetupInfo& I = *SetupInfo;
    const TSetupFileGroup& Work = *I.WorkGroup;
    for (std::size_t K = 0; K < Work.Dirs.size(); ++K) {
        TSetupDir* Dir = Work.Dirs[K];
        const std::string Path = DirFullPath(Dir);
        const bool Listed = std::any_of(Targets_.begin(), Targets_.end(),
                                        [&](const TTarget& T) { return T.Path == Path; });
        if (!Listed && (!Work.FileLists[K]->Files.empty() || CreateEmptyDirs) && I.IsSelected(Dir))
            Targets_.push_back({Path, Dir});
    }
    std::stable_sort(Targets_.begin(), Targets_.end(), [](const TTarget& A, const TTarget& B) {
        return UpperCase(A.Path) < UpperCase(B.Path);
    });
    for (std::size_t K = 0; K < Targets_.size(); ++K) {
        const TTarget T = Targets_[K];
        const std::string Path = RemoveBackslash(T.Path);
        if (platform::IsDirectory(Path))
            continue;
        // Missing ancestors, nearest first.
        std::vector<std::string> Missing;
        for (std::string P = DirOf(Path); P.size() > 1 && !PathExists(P); P = DirOf(P))
            Missing.push_back(AddBackslash(P));
        bool Ok = !Path.empty() && Path[0] == '/';
        std::vector<std::string> Made;
        if (Ok) {
            for (auto It = Missing.rbegin(); It != Missing.rend() && Ok; ++It) {
                Ok = ::mkdir(RemoveBackslash(*It).c_str(), 0755) == 0;
                if (Ok)
                    Made.push_back(RemoveBackslash(*It));
            }
            if (Ok) {
                Ok = ::mkdir(Path.c_str(), 0755) == 0;
                if (Ok)
                    Made.push_back(Path);
            }
        }
        if (Ok) {
            // What was made must be the directory asked for (same device and inode when
            // opened), whatever links lie on the way.
            struct stat ByPath {}, Opened {};
            const int Fd = ::open(Path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            Ok = Fd >= 0 && ::fstat(Fd, &Opened) == 0 && ::stat(Path.c_str(), &ByPath) == 0 &&
                 Opened.st_dev == ByPath.st_dev && Opened.st_ino == ByPath.st_ino;
            if (Fd >= 0)
                ::close(Fd);
        }
        if (!Ok) {
            for (auto It = Made.rbegin(); It != Made.rend(); ++It)
                ::rmdir(It->c_str());
            const std::string Failed = T.Path;
            Failures_.push_back(FormatText(Text(44), {DirFullPath(T.Dir)}));
            Targets_.erase(std::remove_if(Targets_.begin() + static_cast<std::ptrdiff_t>(K), Targets_.end(),
                                          [&](const TTarget& X) { return X.Path.rfind(Failed, 0) == 0; }),
                           Targets_.end());
            --K;
            if (I.MessageBox(FormatText(Text(44), {DirFullPath(T.Dir)}) + " " + Text(45), mtWarning,
                             mbYes | mbNo) == mrYes)
                Abort_ = true;
            continue;
        }
        for (const std::string& M : Made)
            Transaction.DirCreated(M);
        View().Report("Created directory " + T.Path);
        for (const std::string& A : Missing)
            TSetupInfo::AddUnique(I.CreatedDirs, A);
        if (T.Dir->Name() != "Windows" && T.Dir->Name() != "Windows System")
            TSetupInfo::AddUnique(I.CreatedDirs, T.Path);
    }
    return !Abort_;
}

bool TSetupFileCopy::DiskPrompt(int Disk) {
    if (!SetupInfo->IsRemovable(SourceDir_) && SetupInfo->Test)
        return true;
    TSetupDisk* D = SetupData()->GetDisk(Disk);
    const int R = SetupInfo->MessageBox(
        FormatText(Text(47), {std::to_string(Disk), D ? D->Description : ""}), mtInformation, mbOK | mbCancel);
    if (R == mrCancel)
        Abort_ = true;
    return !Abort_;
}

void TSetupFileCopy::CopyOne(const std::string& Source, const std::string& Target, TSetupFile& File, int Disk) {
    TSetupInfo& I = *SetupInfo;
    View().SetCopyLabels(ShortLabel(Source), ShortLabel(Target));
    View().ProcessMessages();
    FileProgress_ = 0;
    FileMax_ = File.Size;
    if (Source == Target) {
        I.MessageBox(Text(48) + ":" + Source, mtInformation, mbOK);
        Advance(File.Size);
        return;
    }
    struct stat TargetSt {};
    const bool Existed = ::lstat(Target.c_str(), &TargetSt) == 0;
    bool Replace = false;
    if (Existed) {
        struct stat SourceSt {};
        const bool SourceOk = ::stat(Source.c_str(), &SourceSt) == 0;
        auto Action = DecideOverwrite(true, OverWrite, TargetSt.st_mtime,
                                      SourceOk ? SourceSt.st_mtime : 0);
        while (Action == TOverwriteAction::Ask) {
            if (!SourceOk) {
                const int R = I.MessageBox(FormatText(Text(50), {FileNameOf(Source), std::to_string(Disk)}) + "\n" + Text(46),
                                           mtWarning, mbYes | mbAbort | mbRetry, mrAbort);
                if (R == mrRetry)
                    continue;
                if (R == mrAbort && I.MessageBox(Text(45), mtConfirmation, mbYes | mbNo) == mrNo)
                    Action = TOverwriteAction::Copy;
                else {
                    Abort_ = R == mrAbort;
                    Action = TOverwriteAction::Skip;
                }
                break;
            }
            const std::string Name = File.Name;
            const std::string Question =
                FormatText(Text(51) + "\n%s " + Text(52) + "\n" + Text(53) + "\n%s " + Text(52),
                           {Name, LocalDateTime(TargetSt.st_mtime), std::to_string(TargetSt.st_size), Name,
                            LocalDateTime(SourceSt.st_mtime), std::to_string(SourceSt.st_size)});
            const int R = I.MessageBox(Question, mtConfirmation, mbYes | mbNo | mbAbort | mbAll, UnattendedAsk);
            if (R == mrYes) {
                Action = TOverwriteAction::Copy;
            } else if (R == mrAll) {
                OverWrite = swAlways;
                Action = TOverwriteAction::Copy;
            } else if (R == mrAbort) {
                if (I.MessageBox(Text(45), mtConfirmation, mbYes | mbNo) == mrYes) {
                    Abort_ = true;
                    Action = TOverwriteAction::Skip;
                } else {
                    Action = TOverwriteAction::Copy;
                }
            } else {
                Action = TOverwriteAction::Skip;
            }
        }
        if (Action == TOverwriteAction::Skip) {
            if (!Abort_)
                Kept_.push_back(Target);
            View().Report("Kept " + Target);
            Advance(File.Size);
            return;
        }
        Replace = true;
    }
    for (;;) {
        FileProgress_ = 0;
        View().SetFileBar(0, FileMax_);
        // A file about to be replaced is kept aside first, so a rollback can put it back.
        std::string Error = Transaction.Prepare(Target);
        if (!Error.empty()) {
        } else if (!File.Compressed || I.Test) {
            // Pending messages are handled every 64 blocks: often enough for Cancel and the bars,
            // rarely enough not to slow a large copy down.
            int Blocks = 0;
            Error = CopyFileAtomic(Source, Target, Replace, [this, &Blocks](std::int64_t N) {
                Advance(N);
                if (++Blocks % 64 == 0)
                    View().ProcessMessages();
            });
        } else {
            FileMax_ = File.CompressedSize;
            Error = Text(49); // no decompression module ships with this product
            if (Module_ && Module_->DeCompress) {
                std::string Temp = DirOf(Target) + "/." + FileNameOf(Target) + ".XXXXXX";
                const int Fd = ::mkostemp(Temp.data(), O_CLOEXEC);
                if (Fd >= 0) {
                    ::close(Fd);
                    if (Module_->DeCompress(Source.c_str(), Temp.c_str(), this, 1027) >= 0 &&
                        (Replace ? ::rename(Temp.c_str(), Target.c_str()) : RenameNoReplace(Temp, Target)) == 0)
                        Error.clear();
                    else
                        ::unlink(Temp.c_str());
                }
            }
        }
        Transaction.Written(Target, Error.empty());
        if (Error.empty()) {
            View().Report((Replace ? "Replaced " : "Copied ") + Target);
            if (!Existed)
                TSetupInfo::AddUnique(I.InstalledFiles, Target);
            View().ProcessMessages();
            return;
        }
        const int R = I.MessageBox(FormatText(Text(50), {FileNameOf(Source), std::to_string(Disk)}) + "\n" + Error,
                                   mtWarning, mbAbort | mbRetry | mbIgnore);
        if (R == mrRetry)
            continue;
        if (R == mrIgnore) {
            Skipped_.push_back(Target);
            Advance(File.Size);
            return;
        }
        // Whether the copy goes on or not, this file is missing: the run has failed.
        Failures_.push_back("Unable to copy " + Target + ": " + Error);
        if (I.MessageBox(Text(45), mtConfirmation, mbYes | mbNo) == mrYes)
            Abort_ = true;
        return;
    }
}

int TSetupFileCopy::StartPage() {
    TSetupInfo& I = *SetupInfo;
    SourceDir_ = I.MultiDisk ? I.SourceDir : AddBackslash(DirOf(I.ProgramPath));
    Abort_ = false;
    Committed_ = false;
    Targets_.clear();
    Failures_.clear();
    Skipped_.clear();
    Kept_.clear();

    // Refused before anything is touched: what the log could not hold, and a folder another
    // run is installing into.
    std::string Refusal = LogProblem();
    if (Refusal.empty() && SetupData()->LogFileDir)
        Refusal = Transaction.LockTarget(I.ResolveDirPath(SetupData()->LogFileDir->Name()));
    if (!Refusal.empty()) {
        I.OutcomeText = Refusal + "\n" + Text(3);
        PageResult = prCancelled;
        return 0;
    }

    const auto Short = CheckSpace();
    for (const TSpaceShortfall& S : Short) {
        if (OnDriveTooSmall) {
            OnDriveTooSmall(*this, S.Where, S.Required, S.Available);
            continue;
        }
        I.MessageBox(FormatText(Text(54), {S.Where}) + "\n" + FormatText(Text(55), {std::to_string(S.Available)}) +
                         "\n" + FormatText(Text(56), {std::to_string(S.Required)}) + "\n" +
                         FormatText(Text(57), {std::to_string(S.Required - S.Available)}) + "\n",
                     mtWarning, mbOK);
    }
    if (!Short.empty()) {
        // Only Cancel, and Previous to choose another folder.
        I.SetButton(wbPrev, true, true, Text(8));
        View().FocusButton(wbPrev);
        return 0;
    }
    Before_ = RecordOf(I);
    Transaction.Begin();

    const std::string ModulePath = AddBackslash(DirOf(I.ProgramPath)) + "TSComp32.DLL";
    if (void* H = ::dlopen(ModulePath.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        Module_ = new TDecompressor;
        Module_->Handle = H;
        Module_->DeCompress = reinterpret_cast<int (*)(const char*, const char*, void*, int)>(::dlsym(H, "TSDeCompress"));
        Module_->IsCompressed = reinterpret_cast<long long (*)(const char*)>(::dlsym(H, "TSIsCompressed"));
        Module_->TimeStamp = reinterpret_cast<double (*)(const char*)>(::dlsym(H, "TSCompressedFileTimeStamp"));
    }
    auto FreeModule = [this] {
        if (Module_ && Module_->Handle)
            ::dlclose(Module_->Handle);
        delete Module_;
        Module_ = nullptr;
    };

    if (!CreateTargetDirs()) {
        FreeModule();
        Undo();
        PageResult = prCancelled;
        return 0;
    }

    std::vector<TCopyEntry> List;
    for (const TTarget& T : Targets_) {
        const TSetupFileGroup& Work = *I.WorkGroup;
        const int K = Work.IndexOfDir(T.Dir);
        if (K < 0)
            continue;
        for (TSetupFile* F : Work.FileLists[static_cast<std::size_t>(K)]->Files) {
            for (std::size_t D = 0; D < SetupData()->Disks.size(); ++D)
                if (SetupData()->Disks[D]->Contains(F)) {
                    const int Disk = static_cast<int>(D + 1);
                    List.push_back({Disk, F, T.Path});
                }
            View().ProcessMessages();
        }
    }
    // Sorted as the text "disk::name::dir" ignoring case, field by field so that a "::" inside a
    // name cannot shift the fields: disk 10 comes before disk 2, and disk 1 before 10.
    auto KeyOf = [](const TCopyEntry& E) {
        return std::tuple(std::to_string(E.Disk), UpperCase(E.File->Name), UpperCase(E.TargetDir));
    };
    std::stable_sort(List.begin(), List.end(),
                     [&](const TCopyEntry& A, const TCopyEntry& B) { return KeyOf(A) < KeyOf(B); });
    TotalMax_ = 0;
    for (const TCopyEntry& E : List)
        TotalMax_ += E.File->Size;
    TotalProgress_ = 0;
    View().SetTotalBar(0, TotalMax_);

    int CurrentDisk = 1;
    std::size_t Next = 0;
    while (Next < List.size() && !Abort_ && PageResult != prCancelled) {
        View().SetFilesLeft(List.size() - Next);
        const TCopyEntry& E = List[Next];
        if (E.Disk != CurrentDisk)
            DiskPrompt(E.Disk);
        if (!Abort_) {
            CurrentDisk = E.Disk;
            const std::string From = (I.Test ? E.File->Source() : SourceDir_) + E.File->Name;
            CopyOne(From, E.TargetDir + E.File->Name, *E.File, E.Disk);
        }
        ++Next;
    }
    View().SetFilesLeft(List.size() - Next);
    FreeModule();
    if (Abort_ || PageResult == prCancelled || !Failures_.empty()) {
        Undo();
        PageResult = prCancelled;
        return 0;
    }
    // Next is hidden on this page, so the chain goes on directly rather than through the
    // button-guarded base GoNext.
    if (OnNextPage)
        OnNextPage(*this);
    if (PageResult == prCancelled) {
        Undo();
        return 0;
    }
    PageResult = prDone;
    if (!NextPage) {
        if (!Commit())
            PageResult = prCancelled;
        return 0;
    }
    NextPage->Execute();
    // The pages after this one ran inside it: a cancel there undoes this run too.
    if (PageResult == prCancelled)
        Undo();
    else if (Transaction.Active() && !Commit())
        PageResult = prCancelled;
    return 0;
}

std::string TSetupFileCopy::LogProblem() const {
    const TSetupInfo& I = *SetupInfo;
    const TSetupData& D = *SetupData();
    if (!D.LogFileDir)
        return "";
    if (std::string P = LogKeyProblem("The log file name", D.LogFileName); !P.empty())
        return P;
    TInstallRecord Would;
    const TSetupFileGroup& Work = *I.WorkGroup;
    for (std::size_t K = 0; K < Work.Dirs.size(); ++K) {
        if (!I.IsSelected(Work.Dirs[K]))
            continue;
        const std::string Dir = DirFullPath(Work.Dirs[K]);
        Would.CreatedDirs.push_back(Dir);
        for (TSetupFile* F : Work.FileLists[K]->Files)
            Would.InstalledFiles.push_back(Dir + F->Name);
    }
    for (const auto& G : D.WinGroups) {
        Would.LoggedGroups.push_back(G->Title);
        Would.LoggedItems.push_back("");
        for (TSetupWinItem* Item : G->Items) {
            Would.LoggedGroups.push_back(G->Title);
            Would.LoggedItems.push_back(Item->Name());
        }
    }
    return LogRecordProblem(Would, D, I.Language);
}

bool TSetupFileCopy::Commit() {
    if (!Transaction.Active())
        return Committed_;
    TSetupInfo& I = *SetupInfo;
    // The menu folders this run made are recorded like the others, so the uninstall removes
    // them when they are empty.
    for (const std::string& Dir : Transaction.MenuDirs())
        TSetupInfo::AddUnique(I.CreatedDirs, Dir);
    const TSetupData& D = *SetupData();
    if (D.LogFileDir) {
        try {
            TInstallRecord Record = RecordOf(I);
            WriteInstallLog(I.ResolveDirPath(D.LogFileDir->Name()), D.LogFileName, Record, D, I.Language,
                            I.LogFile);
            StoreRecord(I, Record);
            View().Report("Wrote the install log " + I.LogFile);
        } catch (const ESetupError& E) {
            Failures_.push_back(E.what());
            Undo();
            return false;
        }
    }
    Transaction.Commit();
    Committed_ = true;
    return true;
}

void TSetupFileCopy::Undo() {
    if (!Transaction.Active())
        return;
    TSetupInfo& I = *SetupInfo;
    const std::vector<std::string> Left = Transaction.RollBack();
    StoreRecord(I, Before_);
    std::string Undone;
    for (const std::string& L : Left)
        Undone += "\n" + L;
    if (!Failures_.empty() || !(I.UserCancelled || Abort_)) {
        std::string T = Text(3);
        for (const std::string& F : Failures_)
            T += "\n" + F;
        T += Left.empty() ? "\nNothing was changed." : "\nThese could not be undone:" + Undone;
        I.OutcomeText = T;
    } else {
        I.UserCancelled = true;
        I.OutcomeText = Left.empty() ? std::string(InstallCancelledText)
                                     : "The installation was cancelled; these could not be undone:" + Undone;
    }
    View().Report(Left.empty() ? "Rolled back: everything this run did is undone"
                               : "Rolled back, except for:" + Undone);
}

} // namespace veltrane
