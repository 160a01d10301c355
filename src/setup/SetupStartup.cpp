#include "setup/SetupStartup.h"

#include "platform/Profile.h"
#include "platform/SystemDirs.h"
#include "setup/SetupPages.h"
#include "setup/SetupPaths.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace veltrane {
namespace {

std::string DirOf(const std::string& Path) {
    const auto Slash = Path.rfind('/');
    return Slash == std::string::npos ? "./" : Path.substr(0, Slash + 1);
}

std::string NameOf(const std::string& Path) {
    const auto Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

// Starts the copy in TempDir; an unattended run waits for it and takes its status.
int StartCopy(const TStartupOptions& O, const std::string& Program, bool& Started) {
    std::vector<std::string> Argv{Program};
    if (O.Unattended)
        Argv.insert(Argv.end(), O.HandOn.begin(), O.HandOn.end());
    Started = false;
    if (!O.Processes)
        return 1;
    const platform::SpawnResult R = O.Processes->Start(Argv, false);
    if (!R.ok())
        return 1;
    Started = true;
    if (!O.Unattended)
        return 0;
    return O.Processes->Wait(R.pid, true).value_or(1);
}

} // namespace

std::string HandOverFile(const TSetupInfo& Info) { return AddBackslash(Info.WindowsDir) + HandOverFileName; }

std::string MakePrivateTempDir() {
    std::string Template = AddBackslash(platform::TempDirectory()) + "install.XXXXXX";
    if (!::mkdtemp(Template.data()))
        return "";
    return AddBackslash(Template);
}

TStartupResult RunStartup(TSetupInfo& Info, const TStartupOptions& O) {
    namespace p = platform;
    // 1. One running instance per program file.
    if (!O.IsFirstInstance) {
        if (Info.OnMultiInstance)
            Info.OnMultiInstance();
        if (Info.MultiException)
            throw ESetupError("Only one instance of the setup program allowed.");
        return {TStartupKind::Refused, 1};
    }
    // 2. Language.
    Info.BuildLanguageList();
    Info.LoadLanguage(Info.Language);

    const std::string HandOver = HandOverFile(Info);
    const std::string ProgramDir = DirOf(Info.ProgramPath);
    TSetupData& D = *Info.Data;

    // 3. The copy started by the removable-medium stage reads its files from there.
    const std::string Source = p::GetPrivateProfileString("MultiDisk Install", "Source Dir", "", HandOver);
    p::EraseProfileSection("MultiDisk Install", HandOver);
    if (!Source.empty()) {
        Info.SourceDir = AddBackslash(Source);
        Info.MultiDisk = true;
    }

    // 4. Started from a removable medium with more than one disk: continue from a copy.
    if (Info.IsRemovable(Info.ProgramPath) && D.Disks.size() > 1) {
        Info.View.ShowMultiDisk(Info.Text(65), Info.Text(70));
        const std::string Temp = MakePrivateTempDir();
        bool Ok = !Temp.empty() &&
                  CopyFileAtomic(Info.ProgramPath, Temp + NameOf(Info.ProgramPath), false, {}).empty();
        for (const std::string& F : Info.MultiDiskFiles)
            Ok = Ok && CopyFileAtomic(ProgramDir + F, Temp + F, false, {}).empty();
        if (!Ok) {
            Info.MessageBox(Info.Text(66) + "\n" + Info.Text(67), mtError, mbOK);
            throw ESetupError(Info.Text(66));
        }
        p::WritePrivateProfileString("MultiDisk Install", "Source Dir", ProgramDir, HandOver);
        bool Started = false;
        const int Status = StartCopy(O, Temp + NameOf(Info.ProgramPath), Started);
        if (!Started) {
            Info.MessageBox(Info.Text(71) + "\n" + Info.Text(67), mtError, mbOK);
            throw ESetupError(Info.Text(67));
        }
        return {TStartupKind::Restarted, Status};
    }

    // 5. Second uninstall stage: the copy in the temporary directory.
    const std::string Log = p::GetPrivateProfileString("UnInstall", "Log File", "", HandOver);
    if (!Log.empty()) {
        D.UnInstallFiles.clear();
        for (int K = 0;; ++K) {
            const std::string F = p::GetPrivateProfileString("UnInstall", std::to_string(K), "", HandOver);
            if (F.empty())
                break;
            D.UnInstallFiles.push_back(UpperCase(F));
        }
        p::EraseProfileSection("UnInstall", HandOver);
        Info.AttemptUnInstall = true;
        Info.LogFile = Log;
        Info.ReadLog(Log, false);
        ::unlink(Log.c_str());
    }

    // 6. First uninstall stage: the installer lies in the directory it removes, so it goes on
    // from a private temporary copy.
    if (!Info.AttemptUnInstall && !O.Args.empty() && UpperCase(O.Args[0]) == "UNINSTALL") {
        Info.LogFile = ProgramDir + D.LogFileName;
        Info.View.ShowMultiDisk(Info.Text(65), Info.Text(70));
        const std::string Temp = MakePrivateTempDir();
        const std::string Self = NameOf(Info.ProgramPath);
        bool Ok = !Temp.empty() && CopyFileAtomic(Info.ProgramPath, Temp + Self, false, {}).empty();
        std::vector<std::string> Copied;
        for (const std::string& F : D.UnInstallFiles)
            if (Ok && UpperCase(F) != UpperCase(Self)) {
                Ok = CopyFileAtomic(ProgramDir + F, Temp + F, false, {}).empty();
                Copied.push_back(F);
            }
        if (!Ok) {
            Info.MessageBox(Info.Text(91) + "  " + Info.Text(89), mtWarning, mbOK);
            return {TStartupKind::Restarted, 1};
        }
        p::EraseProfileSection("UnInstall", HandOver);
        if (D.LogFileDir)
            p::WritePrivateProfileString("UnInstall", "Log File", Info.LogFile, HandOver);
        for (std::size_t K = 0; K < Copied.size(); ++K)
            p::WritePrivateProfileString("UnInstall", std::to_string(K), Copied[K], HandOver);
        bool Started = false;
        const int Status = StartCopy(O, Temp + Self, Started);
        if (!Started) {
            Info.MessageBox(Info.Text(93) + " " + Info.Text(89), mtWarning, mbOK);
            return {TStartupKind::Restarted, 1};
        }
        return {TStartupKind::Restarted, Status};
    }

    // 7, 8. This machine's directories, then every dir selected with its files.
    Info.PrepareDirs();
    return {Info.AttemptUnInstall ? TStartupKind::UnInstall : TStartupKind::Install, 0};
}

} // namespace veltrane
