#include "setup/InstallLog.h"

#include "platform/Profile.h"
#include "setup/SetupData.h"
#include "setup/SetupPaths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <algorithm>

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

void Write(const std::string& Section, const std::string& Key, const std::string& Value,
           const std::string& File) {
    if (const auto Status = platform::WritePrivateProfileString(Section, Key, Value, File); !Status.ok())
        throw ESetupError("Unable to write the install log " + File + ": " +
                          (Status.error == EINVAL ? "a name it would record cannot be stored in it"
                                                  : std::strerror(Status.error)));
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

void ReadInstallLog(const std::string& Path, bool Merge, TInstallRecord& Record,
                    TSetupData* Data, std::string* Language) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0)
        return;
    if (!Merge) {
        Record.CreatedDirs.clear();
        Record.InstalledFiles.clear();
        Record.LoggedGroups.clear();
        Record.LoggedItems.clear();
        if (Data)
            for (const std::string& key : platform::ProfileKeys(kLogDirectories, Path)) {
                const std::string value =
                    platform::GetPrivateProfileString(kLogDirectories, key, "", Path);
                if (value.empty())
                    continue;
                if (TSetupDir* dir = Data->FindDir(key))
                    dir->SetDir(value);
            }
    }
    for (const std::string& key : platform::ProfileKeys(kLogCreatedDirs, Path))
        Record.AddCreatedDir(key);
    for (const std::string& key : platform::ProfileKeys(kLogFiles, Path))
        Record.AddInstalledFile(key);
    for (const std::string& key : platform::ProfileKeys(kLogProgramGroups, Path)) {
        const std::string value = platform::GetPrivateProfileString(kLogProgramGroups, key, "", Path);
        const auto sep = value.find(":~:");
        const std::string group = sep == std::string::npos ? value : value.substr(0, sep);
        const std::string item = sep == std::string::npos ? value : value.substr(sep + 3);
        if (!group.empty())
            Record.AddGroupItem(group, item);
    }
    // A merge keeps the engine this run installed; the older log only fills in a missing one.
    if (!Merge || Record.BDEType == 0)
        Record.BDEType = static_cast<int>(
            platform::GetPrivateProfileInt(kLogBDEFiles, "BDE Type", 0, Path) & 0x7f);
    if (Language) {
        const std::string language = platform::GetPrivateProfileString(kLogLanguage, "Language", "", Path);
        if (!language.empty())
            *Language = language;
    }
}

void WriteInstallLog(const std::string& LogDir, const std::string& LogFileName,
                     TInstallRecord& Record, const TSetupData& Data, const std::string& Language,
                     std::string& LogFile) {
    if (LogDir.empty())
        return;
    if (!IsDirectory(LogDir))
        throw ESetupError(kNoLogDir);
    const std::string path = AddBackslash(LogDir) + LogFileName;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        LogFile = path;
        ReadInstallLog(path, true, Record, nullptr, nullptr);
    }
    for (const char* section :
         {kLogDirectories, kLogCreatedDirs, kLogFiles, kLogProgramGroups, kLogBDEFiles})
        if (!platform::EraseProfileSection(section, path).ok())
            throw ESetupError("Unable to write the install log " + path);
    for (auto it = Data.Dirs.rbegin(); it != Data.Dirs.rend(); ++it)
        if (IsDirectory(DirFullPath(it->get())))
            Write(kLogDirectories, (*it)->Name(), (*it)->Dir(), path);
    for (const std::string& dir : Record.CreatedDirs)
        Write(kLogCreatedDirs, dir, "", path);
    for (const std::string& file : Record.InstalledFiles)
        Write(kLogFiles, file, "", path);
    for (std::size_t i = 0; i < Record.LoggedGroups.size(); ++i)
        Write(kLogProgramGroups, std::to_string(i),
              Record.LoggedGroups[i] + ":~:" + Record.LoggedItems[i], path);
    if (Record.BDEType != 0)
        Write(kLogBDEFiles, "BDE Type", std::to_string(Record.BDEType), path);
    Write(kLogLanguage, "Language", Language, path);
    LogFile = path;
}

} // namespace veltrane
