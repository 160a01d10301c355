#include "setup/InstallCli.h"

#include "platform/ProcessStarter.h"
#include "platform/SingleInstance.h"
#include "platform/SystemDirs.h"
#include "platform/Volumes.h"
#include "setup/ConsoleView.h"
#include "setup/InstallLog.h"
#include "setup/InstallProduct.h"
#include "setup/SetupJson.h"
#include "setup/SetupPaths.h"
#include "setup/SetupStartup.h"
#include "setup/SetupStream.h"
#include "setup/StoredDescription.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

constexpr char Usage[] =
    "Usage: install [Uninstall]\n"
    "       install --unattended [--dir DIR] [--group NAME] [--overwrite never|always|older|ask]\n"
    "       install --unattended Uninstall\n"
    "       install --describe [FILE]\n"
    "       install --write-description JSON OUT\n"
    "       install --version\n"
    "\n"
    "Without options the installation wizard opens. --unattended runs the same steps without\n"
    "windows, printing each one; existing files are kept unless --overwrite says otherwise.\n"
    "The menu group is the default one unless --group names another.\n"
    "--describe prints a setup description as JSON: the one stored in this program, or the one\n"
    "in FILE. --write-description writes the description in JSON as a stored description.\n"
    "--version prints the program's version.\n"
    "Exit status: 0 success, 1 failure, 2 usage error.\n";

// Regular files only, opened non-blocking: a FIFO or a device named on the command line
// must not hang the program. Error receives the reason.
bool ReadWholeFile(const std::string& Path, std::string& Bytes, std::string& Error) {
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (Fd < 0) {
        Error = std::strerror(errno);
        return false;
    }
    struct stat St {};
    if (::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode)) {
        ::close(Fd);
        Error = "not a regular file";
        return false;
    }
    Bytes.clear();
    char Buf[65536];
    for (;;) {
        const ssize_t N = ::read(Fd, Buf, sizeof Buf);
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0) {
            Error = std::strerror(errno);
            ::close(Fd);
            return false;
        }
        if (N == 0)
            break;
        Bytes.append(Buf, static_cast<std::size_t>(N));
    }
    ::close(Fd);
    return true;
}

// Writes Bytes as Path through a temporary file in the same directory, flushed and renamed
// over the old file, so a full disk leaves the old file as it was. "" or the reason.
std::string WriteWholeFileAtomic(const std::string& Path, const std::string& Bytes) {
    const auto Slash = Path.rfind('/');
    const std::string Dir = Slash == std::string::npos ? "" : Path.substr(0, Slash + 1);
    const std::string Name = Slash == std::string::npos ? Path : Path.substr(Slash + 1);
    std::string Temp = Dir + "." + Name + ".XXXXXX";
    const int Fd = ::mkostemp(Temp.data(), O_CLOEXEC);
    if (Fd < 0)
        return std::strerror(errno);
    int Err = 0;
    for (std::size_t Done = 0; Done < Bytes.size() && !Err;) {
        const ssize_t N = ::write(Fd, Bytes.data() + Done, Bytes.size() - Done);
        if (N < 0 && errno != EINTR)
            Err = errno;
        else if (N > 0)
            Done += static_cast<std::size_t>(N);
    }
    struct stat Old {};
    const mode_t Mode = ::stat(Path.c_str(), &Old) == 0 ? (Old.st_mode & 07777) : 0644;
    if (!Err && ::fchmod(Fd, Mode) != 0)
        Err = errno;
    if (!Err && ::fsync(Fd) != 0)
        Err = errno;
    if (::close(Fd) != 0 && !Err)
        Err = errno;
    if (!Err && ::rename(Temp.c_str(), Path.c_str()) != 0)
        Err = errno;
    if (Err) {
        ::unlink(Temp.c_str());
        return std::strerror(Err);
    }
    return "";
}

} // namespace

std::string PrepareSetupInfo(TSetupInfo& Info, const std::string& ProgramPath) {
    Info.ProgramPath = ProgramPath;
    const auto Slash = ProgramPath.rfind('/');
    const std::string Dir = Slash == std::string::npos ? "./" : ProgramPath.substr(0, Slash + 1);
    Info.SourceDir = Dir;
    Info.WindowsDir = AddBackslash(platform::ConfigDirectory());
    Info.SystemDir = AddBackslash(platform::HomeDirectory()) + ".local/lib/";
    Info.LanguageModulePath = Dir + "TSLANG32.DLL";
    auto Volumes = std::make_shared<platform::LinuxVolumes>();
    Info.IsRemovable = [Volumes](const std::string& Path) { return Volumes->IsRemovable(Path); };
    const auto Bytes = ReadStoredDescription(ProgramPath);
    if (!Bytes)
        return "This program carries no setup description.";
    try {
        Info.Data = ReadSetupData(*Bytes);
        Info.WorkGroup = std::make_unique<TSetupFileGroup>(Info.Data.get());
    } catch (const ESetupStreamError& E) {
        return std::string("The stored setup description is damaged: ") + E.what();
    }
    return "";
}

std::optional<TInstallArgs> ParseInstallArgs(const std::vector<std::string>& Args, std::string& Error) {
    TInstallArgs A;
    for (std::size_t I = 0; I < Args.size(); ++I) {
        const std::string& S = Args[I];
        auto Value = [&](const char* Option) -> std::optional<std::string> {
            if (I + 1 >= Args.size()) {
                Error = std::string(Option) + " needs a value";
                return std::nullopt;
            }
            return Args[++I];
        };
        if (S == "--help" || S == "-h") {
            A.Help = true;
        } else if (S == "--describe") {
            A.Describe = true;
            if (I + 1 < Args.size() && Args[I + 1].rfind("--", 0) != 0)
                A.DescribeFile = Args[++I];
        } else if (S == "--write-description") {
            if (I + 2 >= Args.size()) {
                Error = "--write-description needs JSON and OUT";
                return std::nullopt;
            }
            A.WriteDescription = true;
            A.JsonFile = Args[++I];
            A.OutFile = Args[++I];
        } else if (S == "--unattended") {
            A.Unattended = true;
        } else if (S == "--dir") {
            auto V = Value("--dir");
            if (!V)
                return std::nullopt;
            A.Dir = *V;
        } else if (S == "--group") {
            auto V = Value("--group");
            if (!V)
                return std::nullopt;
            A.Group = *V;
        } else if (S == "--overwrite") {
            auto V = Value("--overwrite");
            if (!V)
                return std::nullopt;
            if (*V != "never" && *V != "always" && *V != "older" && *V != "ask") {
                Error = "--overwrite takes never, always, older or ask";
                return std::nullopt;
            }
            A.OverWrite = *V;
        } else if (UpperCase(S) == "UNINSTALL") {
            A.Rest.push_back(S);
        } else {
            Error = "unknown argument: " + S;
            return std::nullopt;
        }
    }
    const int Modes = int(A.Describe) + int(A.WriteDescription) + int(A.Unattended);
    if (Modes > 1) {
        Error = "--describe, --write-description and --unattended exclude each other";
        return std::nullopt;
    }
    if (!A.Unattended && (A.Dir || A.Group || A.OverWrite != "never")) {
        Error = "--dir, --group and --overwrite belong to --unattended";
        return std::nullopt;
    }
    return A;
}

std::optional<int> RunInstallCommandLine(const std::vector<std::string>& Args, const std::string& ProgramPath,
                                         std::FILE* Out, std::FILE* Err, std::FILE* In) {
    std::string Error;
    const auto A = ParseInstallArgs(Args, Error);
    if (!A) {
        std::fprintf(Err, "install: %s\n%s", Error.c_str(), Usage);
        return 2;
    }
    if (A->Help) {
        std::fputs(Usage, Out);
        return 0;
    }
    if (A->Describe) {
        std::string Bytes;
        if (A->DescribeFile) {
            if (std::string Why; !ReadWholeFile(*A->DescribeFile, Bytes, Why)) {
                std::fprintf(Err, "install: cannot read %s: %s\n", A->DescribeFile->c_str(), Why.c_str());
                return 1;
            }
        } else if (auto Stored = ReadStoredDescription(ProgramPath)) {
            Bytes = *Stored;
        } else {
            std::fprintf(Err, "install: this program carries no setup description\n");
            return 1;
        }
        try {
            int Version = 0;
            auto D = ReadSetupData(Bytes, &Version);
            std::fputs(SetupDataToJson(*D, Version).c_str(), Out);
            return 0;
        } catch (const ESetupStreamError& E) {
            std::fprintf(Err, "install: %s: not a setup description: %s\n",
                         A->DescribeFile ? A->DescribeFile->c_str() : "stored description", E.what());
            return 1;
        }
    }
    if (A->WriteDescription) {
        std::string Json;
        if (std::string Why; !ReadWholeFile(A->JsonFile, Json, Why)) {
            std::fprintf(Err, "install: cannot read %s: %s\n", A->JsonFile.c_str(), Why.c_str());
            return 1;
        }
        try {
            const std::string Bytes = WriteSetupData(*SetupDataFromJson(Json));
            if (std::string Why = WriteWholeFileAtomic(A->OutFile, Bytes); !Why.empty()) {
                std::fprintf(Err, "install: cannot write %s: %s\n", A->OutFile.c_str(), Why.c_str());
                return 1;
            }
            return 0;
        } catch (const std::exception& E) {
            std::fprintf(Err, "install: %s: %s\n", A->JsonFile.c_str(), E.what());
            return 1;
        }
    }
    if (!A->Unattended)
        return std::nullopt;

    TConsoleView View(Out, In);
    TSetupInfo Info(View);
    View.Info = &Info;
    if (std::string Problem = PrepareSetupInfo(Info, ProgramPath); !Problem.empty()) {
        std::fprintf(Err, "install: %s\n", Problem.c_str());
        return 1;
    }
    TInstallProduct Product(Info);
    Product.SetupFileCopy.OverWrite = A->OverWrite == "always" ? swAlways
                                      : A->OverWrite == "older" ? swOlder
                                      : A->OverWrite == "ask"   ? swAsk
                                                                : swNever;
    View.OverWrite = Product.SetupFileCopy.OverWrite;
    Product.SetupGroups.GroupOverride = A->Group;
    std::string LogError;
    AddExitHooks(Info, LogError);
    platform::SingleInstance Lock(ProgramPath);
    platform::LinuxProcessStarter Processes;
    TStartupOptions Options;
    Options.IsFirstInstance = Lock.IsFirst();
    Options.Args = A->Rest;
    Options.HandOn = {"--unattended", "--overwrite", A->OverWrite};
    if (A->Group) {
        Options.HandOn.push_back("--group");
        Options.HandOn.push_back(*A->Group);
    }
    Options.Unattended = true;
    Options.Processes = &Processes;
    try {
        const TStartupResult R = RunStartup(Info, Options);
        if (R.Kind == TStartupKind::Refused || R.Kind == TStartupKind::Restarted)
            return R.ExitCode;
        if (A->Dir) {
            struct stat St {};
            if (::stat(platform::ExpandHome(*A->Dir).c_str(), &St) == 0 && !S_ISDIR(St.st_mode)) {
                std::fprintf(Err, "install: --dir %s is a file, not a folder\n", A->Dir->c_str());
                return 1;
            }
            if (!Product.SetupDirChoice.SetTargetDir(*A->Dir)) {
                std::fprintf(Err, "install: --dir needs an absolute directory: %s\n", A->Dir->c_str());
                return 2;
            }
        }
        if (A->Group && Info.Data->LogFileDir) {
            if (std::string P = LogValueProblem("The menu group", *A->Group); !P.empty()) {
                std::fprintf(Err, "install: %s\n", P.c_str());
                return 1;
            }
        }
        if (R.Kind == TStartupKind::UnInstall && !Product.AutoUnInstall) {
            std::fprintf(Err, "install: this installer has no uninstall page\n");
            return 1;
        }
        const int Result = Info.RunWizardChain(Product.AutoSetup, Product.AutoUnInstall);
        Info.Finish();
        if (!LogError.empty()) {
            std::fprintf(Err, "install: %s\n", LogError.c_str());
            return 1;
        }
        return Result == prDone ? 0 : 1;
    } catch (const ESetupError& E) {
        std::fprintf(Err, "install: %s\n", E.what());
        return 1;
    }
}

} // namespace veltrane
