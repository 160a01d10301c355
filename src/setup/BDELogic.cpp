#include "setup/BDELogic.h"

#include "platform/ProcessStarter.h"
#include "platform/Profile.h"
#include "platform/SystemDirs.h"
#include "setup/SetupData.h"
#include "setup/SetupPaths.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

std::string FileNameOf(const std::string& Path) {
    const auto cut = Path.find_last_of("/\\");
    return cut == std::string::npos ? Path : Path.substr(cut + 1);
}

bool StartsWithIgnoringCase(const std::string& S, const std::string& Head) {
    return S.size() >= Head.size() && SameTextIgnoringCase(S.substr(0, Head.size()), Head);
}

// Deletes the listed files (regular files only, no link followed) from Dir, then Dir when empty.
void DeleteEngineFiles(const std::string& Dir, const std::vector<TSetupFile*>& Files,
                       const std::function<void(const std::string&)>& Removed) {
    if (Dir.empty() || Dir.front() != '/')
        return;
    const int fd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    for (const TSetupFile* f : Files) {
        if (f->Name.empty() || f->Name.find('/') != std::string::npos || f->Name == "." || f->Name == "..")
            continue;
        struct stat st {};
        if (::fstatat(fd, f->Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            ::unlinkat(fd, f->Name.c_str(), 0) == 0 && Removed)
            Removed("Deleted " + AddBackslash(Dir) + f->Name);
    }
    ::close(fd);
    if (::rmdir(Dir.c_str()) == 0 && Removed)
        Removed("Removed directory " + AddBackslash(Dir));
}

// The root of the file system that holds Path (the "drive" of a removable medium).
std::string MediumRoot(const std::string& Path) {
    std::string P = RemoveBackslash(Path);
    if (P.empty() || P.front() != '/')
        return "/";
    struct stat St {};
    while (P.size() > 1 && ::stat(P.c_str(), &St) != 0)
        P = P.substr(0, std::max<std::size_t>(P.rfind('/'), 1));
    if (::stat(P.c_str(), &St) != 0)
        return "/";
    while (P.size() > 1) {
        const std::string Up = P.substr(0, std::max<std::size_t>(P.rfind('/'), 1));
        struct stat UpSt {};
        if (::stat(Up.c_str(), &UpSt) != 0 || UpSt.st_dev != St.st_dev)
            break;
        P = Up;
    }
    return AddBackslash(P);
}

constexpr char kFallbackEngineDir[] = "~/.local/opt/IDAPI/";

} // namespace

std::string BDESetupProgramProblem(const std::string& EngineDir, const std::string& InstallProgram) {
    if (EngineDir.empty() || EngineDir.front() != '/')
        return "the engine directory is not an absolute path";
    if (InstallProgram.empty() || InstallProgram == "." || InstallProgram == ".." ||
        InstallProgram.find('/') != std::string::npos || InstallProgram.find('\0') != std::string::npos)
        return "the setup program's name is not a plain file name";
    const std::string Path = AddBackslash(EngineDir) + InstallProgram;
    struct stat St {};
    if (::lstat(Path.c_str(), &St) != 0)
        return Path + " does not exist";
    if (!S_ISREG(St.st_mode))
        return Path + " is not a regular file";
    if (::access(Path.c_str(), X_OK) != 0)
        return Path + " is not executable";
    return "";
}

TBDEStore BDEStoreIn(const std::string& WindowsDir) {
    return {AddBackslash(WindowsDir) + "WIN.INI", AddBackslash(WindowsDir) + "registry.ini"};
}

bool ValidBDEDefaultDir(const std::string& Value) {
    const auto cut = Value.rfind('/');
    return cut != std::string::npos && AddBackslash(Value.substr(0, cut + 1)) == Value;
}

std::string BDEEngineDir(int Type, const std::string& ResolvedBDEDir, const std::string& DefaultDir,
                         const std::string& Fallback,
                         const std::function<bool(const std::string&)>& IsRemovable) {
    std::string dir = AddBackslash(ResolvedBDEDir);
    if (Type == kBDE16 || Type == kBDE32) {
        if (dir.empty() || dir == "/")
            dir = DefaultDir;
        if (IsRemovable && IsRemovable(dir))
            dir = AddBackslash(Fallback);
    }
    return dir;
}

bool BDEPresent(int Type, const TBDEStore& Store) {
    if (Type == kBDESetupProgram || Type == kBDE16)
        return !platform::GetPrivateProfileString("IDAPI", "DLLPATH", "", Store.WinIni).empty() &&
               !platform::GetPrivateProfileString("IDAPI", "CONFIGFILE01", "", Store.WinIni).empty();
    if (Type == kBDE32)
        return !platform::GetPrivateProfileString(kBDERegistryKey, "DLLPath", "", Store.RegistryIni)
                    .empty();
    return false;
}

bool BDEInstallIntegrated(int Type, const std::string& EngineDir,
                          const std::vector<std::string>& ExtraData, TSetupData& Data,
                          TSetupFileGroup& WorkGroup,
                          const std::function<void(TSetupDir*)>& SelectDir, const TBDEStore& Store) {
    TSetupDir* engine = Data.AddDir("$$$BDE$$$", EngineDir, nullptr);
    engine->SetDir(EngineDir);
    TSetupDir* langDrv = Data.AddDir("$$$BDELD$$$", "LANGDRV/", engine);
    if (SelectDir) {
        SelectDir(engine);
        SelectDir(langDrv);
    }
    for (TSetupFile* f : Data.BDEFiles.Files)
        WorkGroup.AddFile(f, engine, true);
    for (TSetupFile* f : Data.BDELDFiles.Files)
        WorkGroup.AddFile(f, langDrv, true);
    if (TSetupDir* system = Data.FindDir("Windows System"))
        for (TSetupFile* f : Data.BDEWSFiles.Files)
            WorkGroup.AddFile(f, system, true);

    const std::string bare = RemoveBackslash(EngineDir);
    bool ok = true;
    auto write = [&](const std::string& Section, const std::string& Key, const std::string& Value,
                     const std::string& File) {
        ok = platform::WritePrivateProfileString(Section, Key, Value, File).ok() && ok;
    };
    if (Type == kBDE16) {
        write("IDAPI", "DLLPATH", bare, Store.WinIni);
        write("IDAPI", "CONFIGFILE01", AddBackslash(EngineDir) + "IDAPI.CFG", Store.WinIni);
        write(kBDELangDriverSection, "LDPath", AddBackslash(EngineDir) + "LANGDRV", Store.WinIni);
    } else if (Type == kBDE32) {
        for (const std::string& entry : ExtraData) {
            const auto a = entry.find(":~:");
            const auto b = a == std::string::npos ? a : entry.find(":~:", a + 3);
            if (b == std::string::npos)
                continue;
            const std::string key = entry.substr(0, a), name = entry.substr(a + 3, b - a - 3);
            std::string value = entry.substr(b + 3);
            if (SameTextIgnoringCase(name, "BLAPIPATH") || SameTextIgnoringCase(name, "DLLPATH"))
                value = bare;
            else if (StartsWithIgnoringCase(name, "LOCALE_LIB") || StartsWithIgnoringCase(name, "CONFIGFILE"))
                value = AddBackslash(EngineDir) + FileNameOf(value);
            write(key, name, value, Store.RegistryIni);
        }
    }
    return ok;
}

void BDEUnInstall(int RecordedType, const TSetupData& Data, const TBDEStore& Store,
                  const std::function<void(const std::string&)>& Removed) {
    if (RecordedType == kBDE16) {
        const std::string dll = platform::GetPrivateProfileString("IDAPI", "DLLPATH", "", Store.WinIni);
        const std::string ld =
            platform::GetPrivateProfileString(kBDELangDriverSection, "LDPath", "", Store.WinIni);
        platform::EraseProfileSection("IDAPI", Store.WinIni);
        platform::EraseProfileSection(kBDELangDriverSection, Store.WinIni);
        DeleteEngineFiles(ld, Data.BDELDFiles.Files, Removed);
        DeleteEngineFiles(dll, Data.BDEFiles.Files, Removed);
    } else if (RecordedType == kBDE32) {
        const std::string dll =
            platform::GetPrivateProfileString(kBDERegistryKey, "DLLPATH", "", Store.RegistryIni);
        DeleteEngineFiles(dll, Data.BDEFiles.Files, Removed);
        for (const std::string& section : platform::ProfileSections(Store.RegistryIni))
            if (SameTextIgnoringCase(section, kBDERegistryKey) ||
                StartsWithIgnoringCase(section, std::string(kBDERegistryKey) + "\\"))
                platform::EraseProfileSection(section, Store.RegistryIni);
    }
}

// ---- the database-engine page ----

bool TSetupBDEInstall::SetDefaultDir(const std::string& Value) {
    if (!ValidBDEDefaultDir(Value)) {
        if (SetupInfo)
            SetupInfo->MessageBox("This is not a valid directory string.", mtWarning, mbOK);
        return false;
    }
    DefaultDir_ = Value;
    return true;
}

std::string TSetupBDEInstall::EngineDir() const {
    return BDEEngineDir(BDEType, SetupInfo->ResolveDirPath(BDEDir), platform::ExpandHome(DefaultDir_),
                        platform::ExpandHome(kFallbackEngineDir), SetupInfo->IsRemovable);
}

TBDEStore TSetupBDEInstall::Store() const { return BDEStoreIn(SetupInfo->WindowsDir); }

bool TSetupBDEInstall::Present() const { return BDEPresent(BDEType, Store()); }

void TSetupBDEInstall::UnInstall(int RecordedType) {
    if (!AllowUnInstall || !SetupInfo)
        return;
    BDEUnInstall(RecordedType, *SetupData(), Store(), [this](const std::string& Line) { View().Report(Line); });
}

int TSetupBDEInstall::Execute() {
    if (!SetupInfo)
        throw ESetupError(Name + " cannot find the TSetupInfo component.");
    if (BDEType != kBDENone)
        return TSetupPage::Execute();
    // Nothing to install: the chain goes on without this page.
    PageResult = prDone;
    if (OnNextPage)
        OnNextPage(*this);
    if (NextPage)
        PageResult = static_cast<std::uint8_t>(NextPage->Execute());
    return PageResult;
}

void TSetupBDEInstall::ShowPage() {
    TSetupPage::ShowPage();
    std::string Intent;
    if (!Text.empty()) {
        for (std::size_t I = 0; I < Text.size(); ++I)
            Intent += (I ? "\n" : "") + Text[I];
    } else {
        Intent = TSetupPage::Text(75) + "\n\n" + TSetupPage::Text(76) + "  " + TSetupPage::Text(77) + "\n\n" +
                 TSetupPage::Text(78) + "  " + TSetupPage::Text(79);
    }
    View().SetCaption(TSetupPage::Text(73));
    View().ShowBDEText(Intent, TSetupPage::Text(74), Present());
    View().ShowNotebookPage(npBDEInstall);
    View().Report(TSetupPage::Text(73));
}

void TSetupBDEInstall::GoNext() {
    const bool Ok = (!Reinstall_ && Present()) || Install();
    Reinstall_ = false;
    PageResult = Ok ? prDone : prCancelled;
    TSetupPage::GoNext();
}

void TSetupBDEInstall::ButtonClick(int) {
    if (!Present())
        return; // the button is enabled only for an engine that is there
    Reinstall_ = true;
    PageResult = prNext;
}

bool TSetupBDEInstall::Install() {
    TSetupInfo& I = *SetupInfo;
    if (BDEType == kBDESetupProgram)
        return RunSetupProgram();
    const std::string Dir = EngineDir();
    if (Dir.empty() || Dir.front() != '/') {
        I.MessageBox("The database engine's directory " + Dir + " is not an absolute path.", mtError, mbOK);
        return false;
    }
    std::error_code Error;
    std::filesystem::create_directories(RemoveBackslash(I.WindowsDir), Error);
    const TBDEStore S = Store();
    if (!BDEInstallIntegrated(BDEType, Dir, ExtraData, *SetupData(), *I.WorkGroup,
                              [&I](TSetupDir* D) { I.SelectDir(D, false); }, S)) {
        I.MessageBox("Unable to record the database engine's settings in " +
                         (BDEType == kBDE16 ? S.WinIni : S.RegistryIni) + ".",
                     mtError, mbOK);
        return false;
    }
    I.BDEType = BDEType;
    View().Report("Database engine settings written for " + Dir);
    return true;
}

bool TSetupBDEInstall::RunSetupProgram() {
    TSetupInfo& I = *SetupInfo;
    const std::string Dir = EngineDir();
    const std::string Program = Dir + InstallProgram;
    if (!Dir.empty() && I.IsRemovable(Program)) {
        const std::string Marker = MediumRoot(Dir) + "DISK1.DSK";
        struct stat St {};
        while (::stat(Marker.c_str(), &St) != 0)
            if (I.MessageBox(TSetupPage::Text(83), mtInformation, mbOK | mbCancel) != mrOk)
                return false;
    }
    if (const std::string Problem = BDESetupProgramProblem(Dir, InstallProgram); !Problem.empty()) {
        View().Report("Not started: " + Problem);
        I.MessageBox(TSetupPage::Text(82), mtError, mbOK);
        return false;
    }
    std::unique_ptr<platform::LinuxProcessStarter> Own;
    platform::IProcessStarter* Starter = Processes;
    if (!Starter) {
        Own = std::make_unique<platform::LinuxProcessStarter>();
        Starter = Own.get();
    }
    // The program runs in its own directory; the installer is single-threaded, so changing
    // its own directory around the start is safe.
    const int Here = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool Moved = ::chdir(Dir.c_str()) == 0;
    const platform::SpawnResult R = Starter->Start({Program}, false);
    if (Moved && Here >= 0 && ::fchdir(Here) != 0)
        View().Report("Unable to return to the installer's directory");
    if (Here >= 0)
        ::close(Here);
    if (!R.ok()) {
        I.MessageBox(FormatText(TSetupPage::Text(81), {std::to_string(R.error)}), mtError, mbOK);
        I.MessageBox(TSetupPage::Text(80), mtError, mbOK);
        return false;
    }
    // Its result is judged once it has ended: right after the start nothing is installed yet.
    while (!Starter->Wait(R.pid, false)) {
        View().ProcessMessages();
        ::usleep(20000);
    }
    if (!Present()) {
        I.MessageBox(TSetupPage::Text(80), mtError, mbOK);
        return false;
    }
    View().Report("Database engine installed by " + Program);
    return true;
}

} // namespace veltrane
