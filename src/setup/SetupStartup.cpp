#include "setup/SetupStartup.h"

#include "platform/Profile.h"
#include "platform/SystemDirs.h"
#include "setup/InstallLog.h"
#include "setup/SetupGroupPages.h"
#include "setup/SetupPages.h"
#include "setup/SetupPaths.h"

#include <cerrno>
#include <filesystem>
#include <cstdlib>
#include <cstring>
#include <sys/random.h>
#include <sys/stat.h>
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

// A fresh random token: only the copy a first stage starts knows it, so a hand-over
// section left behind or written by anyone else is never acted on.
std::string NewToken() {
    unsigned char Bytes[16];
    std::size_t Got = 0;
    while (Got < sizeof Bytes) {
        const ssize_t N = ::getrandom(Bytes + Got, sizeof Bytes - Got, 0);
        if (N < 0 && errno != EINTR)
            return "";
        if (N > 0)
            Got += static_cast<std::size_t>(N);
    }
    static const char Hex[] = "0123456789abcdef";
    std::string T;
    for (unsigned char B : Bytes) {
        T += Hex[B >> 4];
        T += Hex[B & 15];
    }
    return T;
}

// The token this run was started with (taken out of the environment, so nothing it starts
// in turn inherits it).
std::string TakeToken() {
    const char* V = std::getenv(HandOverTokenVariable);
    std::string T = V ? V : "";
    ::unsetenv(HandOverTokenVariable);
    return T;
}

bool SameToken(const std::string& A, const std::string& B) {
    if (A.size() != B.size() || A.size() < 32)
        return false;
    unsigned char Diff = 0;
    for (std::size_t I = 0; I < A.size(); ++I)
        Diff |= static_cast<unsigned char>(A[I] ^ B[I]);
    return Diff == 0;
}

// Starts the copy in TempDir with the token; an unattended run waits for it and takes its
// status.
int StartCopy(const TStartupOptions& O, const std::string& Program, const std::string& Token,
              bool& Started) {
    std::vector<std::string> Argv{Program};
    if (O.Unattended)
        Argv.insert(Argv.end(), O.HandOn.begin(), O.HandOn.end());
    Started = false;
    if (!O.Processes)
        return 1;
    ::setenv(HandOverTokenVariable, Token.c_str(), 1);
    const platform::SpawnResult R = O.Processes->Start(Argv, false);
    ::unsetenv(HandOverTokenVariable);
    if (!R.ok())
        return 1;
    Started = true;
    if (!O.Unattended)
        return 0;
    return O.Processes->Wait(R.pid, true).value_or(1);
}

// Replaces Section of the hand-over file with Keys; the directory is made when missing (a
// fresh account may have no ~/.config yet).
bool WriteHandOver(const TSetupInfo& Info, const std::string& Section,
                   const std::vector<std::pair<std::string, std::string>>& Keys) {
    std::error_code Error;
    std::filesystem::create_directories(RemoveBackslash(Info.WindowsDir), Error);
    const std::string File = HandOverFile(Info);
    if (!platform::EraseProfileSection(Section, File).ok())
        return false;
    for (const auto& [Key, Value] : Keys)
        if (!platform::WritePrivateProfileString(Section, Key, Value, File).ok())
            return false;
    return true;
}

// Removes the copy a first uninstall stage started this program as: the program and the
// files it took along, then their private directory. Only a directory MakePrivateTempDir
// makes (this user's, not a link) is touched, so a program started from anywhere else keeps
// its files.
void RemoveOwnCopy(const std::string& ProgramPath, const std::vector<std::string>& TakenAlong) {
    const std::string Dir = DirOf(ProgramPath);
    const std::string Prefix = AddBackslash(platform::TempDirectory()) + "install.";
    if (Dir.size() != Prefix.size() + 7 || Dir.compare(0, Prefix.size(), Prefix) != 0 ||
        Dir.find('/', Prefix.size()) != Dir.size() - 1)
        return;
    struct stat St {};
    if (::lstat(RemoveBackslash(Dir).c_str(), &St) != 0 || !S_ISDIR(St.st_mode) ||
        St.st_uid != ::geteuid())
        return;
    for (const std::string& F : TakenAlong)
        if (!F.empty() && F.find('/') == std::string::npos && F != "." && F != "..")
            ::unlink((Dir + F).c_str());
    ::unlink(ProgramPath.c_str());
    ::rmdir(RemoveBackslash(Dir).c_str()); // when nothing else is in it
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

    // Acted on only by the copy the first stage started with the section's token.
    const std::string Token = TakeToken();

    // 3. The copy started by the removable-medium stage reads its files from there.
    const std::string Source = p::GetPrivateProfileString("MultiDisk Install", "Source Dir", "", HandOver);
    if (SameToken(Token, p::GetPrivateProfileString("MultiDisk Install", "Token", "", HandOver))) {
        p::EraseProfileSectionAndEmptyFile("MultiDisk Install", HandOver);
        if (!Source.empty()) {
            Info.SourceDir = AddBackslash(Source);
            Info.MultiDisk = true;
        }
    } else if (!Source.empty() && !p::IsDirectory(RemoveBackslash(Source))) {
        p::EraseProfileSectionAndEmptyFile("MultiDisk Install", HandOver);
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
        const std::string NewTok = NewToken();
        if (NewTok.empty() ||
            !WriteHandOver(Info, "MultiDisk Install", {{"Source Dir", ProgramDir}, {"Token", NewTok}})) {
            Info.MessageBox(Info.Text(66) + "\n" + Info.Text(67), mtError, mbOK);
            throw ESetupError(Info.Text(66));
        }
        bool Started = false;
        const int Status = StartCopy(O, Temp + NameOf(Info.ProgramPath), NewTok, Started);
        if (!Started) {
            p::EraseProfileSectionAndEmptyFile("MultiDisk Install", HandOver);
            Info.MessageBox(Info.Text(71) + "\n" + Info.Text(67), mtError, mbOK);
            throw ESetupError(Info.Text(67));
        }
        return {TStartupKind::Restarted, Status};
    }

    // 5. Second uninstall stage: the copy in the temporary directory.
    const std::string Log = p::GetPrivateProfileString("UnInstall", "Log File", "", HandOver);
    if (!Log.empty() && !SameToken(Token, p::GetPrivateProfileString("UnInstall", "Token", "", HandOver))) {
        // Not ours: left by a first stage that died, or planted. Ignored, and dropped once
        // the folder it names holds no install any more.
        if (!IsInstallLog(Log))
            p::EraseProfileSectionAndEmptyFile("UnInstall", HandOver);
    } else if (!Log.empty()) {
        D.UnInstallFiles.clear();
        std::vector<std::string> TakenAlong;
        for (int K = 0;; ++K) {
            const std::string F = p::GetPrivateProfileString("UnInstall", std::to_string(K), "", HandOver);
            if (F.empty())
                break;
            TakenAlong.push_back(F);
            D.UnInstallFiles.push_back(UpperCase(F));
        }
        p::EraseProfileSectionAndEmptyFile("UnInstall", HandOver);
        const std::string Refused = "Nothing was uninstalled.";
        // Refused, the copy is of no further use: it goes as a finished uninstall's does.
        const auto Refuse = [&](const std::string& Message) {
            Info.MessageBox(Message + ". " + Refused, mtError, mbOK);
            RemoveOwnCopy(Info.ProgramPath, TakenAlong);
            return TStartupResult{TStartupKind::Refused, 1};
        };
        if (Log[0] != '/' || NameOf(Log) != D.LogFileName)
            return Refuse("The uninstall was handed " + Log + ", which is not an install log called " +
                          D.LogFileName);
        TInstallRecord Record;
        std::string Language;
        if (const int Err = ReadInstallLog(Log, false, Record, &D, &Language))
            return Refuse("The install log " + Log + " cannot be read: " + std::strerror(Err));
        if (!IsInstallLog(Log))
            return Refuse(Log + " is not an install log");
        Info.AttemptUnInstall = true;
        Info.LogFile = Log;
        StoreRecord(Info, Record);
        if (!Language.empty())
            Info.SetLanguage(Language);
        // The log stays until the removal finds every recorded file gone, so an uninstall
        // that cannot finish can be run again.
    }

    // 6. First uninstall stage: the installer lies in the directory it removes, so it goes on
    // from a private temporary copy.
    if (!Info.AttemptUnInstall && !O.Args.empty() && UpperCase(O.Args[0]) == "UNINSTALL") {
        Info.LogFile = ProgramDir + D.LogFileName;
        if (!D.LogFileDir || !IsInstallLog(Info.LogFile)) {
            Info.MessageBox("No install log was found at " + Info.LogFile + ", so nothing can be uninstalled.",
                            mtError, mbOK);
            return {TStartupKind::Restarted, 1};
        }
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
        std::vector<std::pair<std::string, std::string>> Keys;
        const std::string NewTok = NewToken();
        Keys.emplace_back("Log File", Info.LogFile);
        Keys.emplace_back("Token", NewTok);
        for (std::size_t K = 0; K < Copied.size(); ++K)
            Keys.emplace_back(std::to_string(K), Copied[K]);
        // Without the hand-over the copy would not know it is an uninstall.
        if (NewTok.empty() || !WriteHandOver(Info, "UnInstall", Keys)) {
            Info.MessageBox(Info.Text(91) + "  " + Info.Text(89), mtWarning, mbOK);
            return {TStartupKind::Restarted, 1};
        }
        bool Started = false;
        const int Status = StartCopy(O, Temp + Self, NewTok, Started);
        if (!Started) {
            p::EraseProfileSectionAndEmptyFile("UnInstall", HandOver);
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
