#include "setup/InstallLog.h"

#include "platform/Profile.h"
#include "setup/SetupData.h"
#include "setup/SetupPaths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace veltrane {
namespace {

bool AddUnique(std::vector<std::string>& List, const std::string& Entry) {
    for (const std::string& e : List)
        if (SameTextIgnoringCase(e, Entry))
            return false;
    List.push_back(Entry);
    return true;
}

bool IsDirectory(const std::string& Path) {
    struct stat st {};
    return ::stat(RootSafePath(Path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool TInstallRecord::AddCreatedDir(const std::string& Path) { return AddUnique(CreatedDirs, Path); }

bool TInstallRecord::AddInstalledFile(const std::string& Path) {
    return AddUnique(InstalledFiles, Path);
}

bool TInstallRecord::AddGroupItem(const std::string& Group, const std::string& Item) {
    for (std::size_t i = 0; i < LoggedGroups.size(); ++i)
        if (SameTextIgnoringCase(LoggedGroups[i], Group) && SameTextIgnoringCase(LoggedItems[i], Item))
            return false;
    LoggedGroups.push_back(Group);
    LoggedItems.push_back(Item);
    return true;
}

void TInstallRecord::Clear() {
    CreatedDirs.clear();
    InstalledFiles.clear();
    LoggedGroups.clear();
    LoggedItems.clear();
    BDEType = 0;
}

int ReadInstallLog(const std::string& Path, bool Merge, TInstallRecord& Record,
                   TSetupData* Data, std::string* Language) {
    std::vector<platform::ProfileSection> Sections;
    if (const int Err = platform::ReadProfileFile(Path, Sections))
        return Err;
    auto Find = [&](const char* Name) -> const platform::ProfileSection* {
        for (const auto& S : Sections)
            if (SameTextIgnoringCase(S.name, Name))
                return &S;
        return nullptr;
    };
    static const platform::ProfileSection None;
    auto Keys = [&](const char* Name) -> const platform::ProfileSection& {
        const auto* S = Find(Name);
        return S ? *S : None;
    };
    if (!Merge) {
        Record.CreatedDirs.clear();
        Record.InstalledFiles.clear();
        Record.LoggedGroups.clear();
        Record.LoggedItems.clear();
        if (Data)
            for (const auto& [Key, Value] : Keys(kLogDirectories).keys) {
                if (Value.empty())
                    continue;
                if (TSetupDir* Dir = Data->FindDir(Key))
                    Dir->SetDir(Value);
            }
    }
    // Sets of what is held, so a log of many entries reads in linear time.
    auto AddAll = [](std::vector<std::string>& List, const platform::ProfileSection& S) {
        std::unordered_set<std::string> Seen;
        for (const std::string& E : List)
            Seen.insert(UpperCase(E));
        for (const auto& KV : S.keys)
            if (Seen.insert(UpperCase(KV.first)).second)
                List.push_back(KV.first);
    };
    AddAll(Record.CreatedDirs, Keys(kLogCreatedDirs));
    AddAll(Record.InstalledFiles, Keys(kLogFiles));
    std::unordered_set<std::string> Pairs;
    for (std::size_t I = 0; I < Record.LoggedGroups.size(); ++I)
        Pairs.insert(UpperCase(Record.LoggedGroups[I]) + '\0' + UpperCase(Record.LoggedItems[I]));
    for (const auto& KV : Keys(kLogProgramGroups).keys) {
        const std::string& Value = KV.second;
        const auto Sep = Value.find(":~:");
        const std::string Group = Sep == std::string::npos ? Value : Value.substr(0, Sep);
        const std::string Item = Sep == std::string::npos ? Value : Value.substr(Sep + 3);
        if (!Group.empty() && Pairs.insert(UpperCase(Group) + '\0' + UpperCase(Item)).second) {
            Record.LoggedGroups.push_back(Group);
            Record.LoggedItems.push_back(Item);
        }
    }
    // A merge keeps the engine this run installed; the older log only fills in a missing one.
    if (!Merge || Record.BDEType == 0) {
        Record.BDEType = 0;
        for (const auto& [Key, Value] : Keys(kLogBDEFiles).keys)
            if (SameTextIgnoringCase(Key, "BDE Type")) {
                char* End = nullptr;
                const long N = std::strtol(Value.c_str(), &End, 10);
                if (End && *End == '\0' && !Value.empty())
                    Record.BDEType = static_cast<int>(N & 0x7f);
                break;
            }
    }
    if (Language)
        for (const auto& [Key, Value] : Keys(kLogLanguage).keys)
            if (SameTextIgnoringCase(Key, "Language")) {
                if (!Value.empty())
                    *Language = Value;
                break;
            }
    return 0;
}

bool IsInstallLog(const std::string& Path) {
    std::vector<platform::ProfileSection> Sections;
    if (platform::ReadProfileFile(Path, Sections) != 0)
        return false;
    for (const auto& S : Sections)
        for (const char* Name :
             {kLogDirectories, kLogCreatedDirs, kLogFiles, kLogProgramGroups, kLogBDEFiles, kLogLanguage})
            if (SameTextIgnoringCase(S.name, Name))
                return true;
    return false;
}

std::string LogKeyProblem(const std::string& What, const std::string& Key) {
    const std::string P = platform::ProfileKeyProblem(Key);
    return P.empty() ? "" : What + " \"" + Key + "\" cannot be kept in the install log: it holds " + P + ".";
}

std::string LogValueProblem(const std::string& What, const std::string& Value) {
    const std::string P = platform::ProfileValueProblem(Value);
    return P.empty() ? "" : What + " \"" + Value + "\" cannot be kept in the install log: it holds " + P + ".";
}

std::string LogRecordProblem(const TInstallRecord& Record, const TSetupData& Data,
                             const std::string& Language) {
    std::string P;
    for (const auto& Dir : Data.Dirs) {
        if (P.empty())
            P = LogKeyProblem("The folder name", Dir->Name());
        if (P.empty())
            P = LogValueProblem("The folder", Dir->Dir());
    }
    for (std::size_t I = 0; P.empty() && I < Record.CreatedDirs.size(); ++I)
        P = LogKeyProblem("The folder", Record.CreatedDirs[I]);
    for (std::size_t I = 0; P.empty() && I < Record.InstalledFiles.size(); ++I)
        P = LogKeyProblem("The file", Record.InstalledFiles[I]);
    for (std::size_t I = 0; P.empty() && I < Record.LoggedGroups.size(); ++I) {
        const std::string& G = Record.LoggedGroups[I];
        if (G.find(":~:") != std::string::npos)
            P = "The menu group \"" + G + "\" cannot be kept in the install log: it holds \":~:\".";
        if (P.empty())
            P = LogValueProblem("The menu group", G);
        if (P.empty())
            P = LogValueProblem("The menu item", "x" + Record.LoggedItems[I]);
    }
    if (P.empty())
        P = LogValueProblem("The language", Language);
    return P;
}

void WriteInstallLog(const std::string& LogDir, const std::string& LogFileName,
                     TInstallRecord& Record, const TSetupData& Data, const std::string& Language,
                     std::string& LogFile) {
    if (LogDir.empty())
        return;
    if (!IsDirectory(LogDir))
        throw ESetupError(kNoLogDir);
    const std::string path = AddBackslash(LogDir) + LogFileName;
    // Other sections of an older log are kept as they are.
    std::vector<platform::ProfileSection> Kept;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (const int Err = ReadInstallLog(path, true, Record, nullptr, nullptr))
            throw ESetupError("Unable to read the install log " + path + ": " + std::strerror(Err));
        LogFile = path;
        std::vector<platform::ProfileSection> Old;
        platform::ReadProfileFile(path, Old);
        for (auto& S : Old) {
            bool Ours = false;
            for (const char* Name : {kLogDirectories, kLogCreatedDirs, kLogFiles, kLogProgramGroups,
                                     kLogBDEFiles, kLogLanguage})
                Ours = Ours || SameTextIgnoringCase(S.name, Name);
            if (!Ours)
                Kept.push_back(std::move(S));
        }
    }
    if (std::string Problem = LogRecordProblem(Record, Data, Language); !Problem.empty())
        throw ESetupError(Problem);
    std::vector<platform::ProfileSection> Out = std::move(Kept);
    platform::ProfileSection Dirs{kLogDirectories, {}};
    for (auto it = Data.Dirs.rbegin(); it != Data.Dirs.rend(); ++it)
        if (IsDirectory(DirFullPath(it->get())))
            Dirs.keys.emplace_back((*it)->Name(), (*it)->Dir());
    Out.push_back(std::move(Dirs));
    platform::ProfileSection Created{kLogCreatedDirs, {}};
    for (const std::string& dir : Record.CreatedDirs)
        Created.keys.emplace_back(dir, "");
    Out.push_back(std::move(Created));
    platform::ProfileSection Files{kLogFiles, {}};
    for (const std::string& file : Record.InstalledFiles)
        Files.keys.emplace_back(file, "");
    Out.push_back(std::move(Files));
    platform::ProfileSection Groups{kLogProgramGroups, {}};
    for (std::size_t i = 0; i < Record.LoggedGroups.size(); ++i)
        Groups.keys.emplace_back(std::to_string(i), Record.LoggedGroups[i] + ":~:" + Record.LoggedItems[i]);
    Out.push_back(std::move(Groups));
    if (Record.BDEType != 0)
        Out.push_back({kLogBDEFiles, {{"BDE Type", std::to_string(Record.BDEType)}}});
    Out.push_back({kLogLanguage, {{"Language", Language}}});
    if (const auto Status = platform::WriteProfileFile(path, Out); !Status.ok())
        throw ESetupError("Unable to write the install log " + path + ": " + std::strerror(Status.error));
    LogFile = path;
}

} // namespace veltrane
