#pragma once
// The install record (what this install created) and the install log "INSTALL.LOG" it is kept
// in between the install and the uninstall.

#include <string>
#include <vector>

namespace veltrane {

class TSetupData;

// Every add is skipped when an equal entry (ignoring case) is already recorded.
struct TInstallRecord {
    std::vector<std::string> CreatedDirs;    // full paths with trailing "/"
    std::vector<std::string> InstalledFiles; // files that did not exist before the copy
    std::vector<std::string> LoggedGroups;   // parallel to LoggedItems; an empty item marks a
    std::vector<std::string> LoggedItems;    // group the install created
    int BDEType = 0;

    bool AddCreatedDir(const std::string& Path);
    bool AddInstalledFile(const std::string& Path);
    // The pair is unique as a pair, ignoring case.
    bool AddGroupItem(const std::string& Group, const std::string& Item);
    void Clear();
};

// The log's sections.
inline constexpr const char* kLogDirectories = "Directories";
inline constexpr const char* kLogCreatedDirs = "Created Dirs";
inline constexpr const char* kLogFiles = "Files";
inline constexpr const char* kLogProgramGroups = "Program Groups";
inline constexpr const char* kLogBDEFiles = "BDE Files";
inline constexpr const char* kLogLanguage = "Language";
inline constexpr const char* kNoLogDir = "NO LOG DIR";

// Reads a log: without Merge the record is emptied first and every "Directories" entry that
// names a dir of Data sets that dir's Dir. Language receives "Language" when it is not empty.
// A missing file changes nothing.
void ReadInstallLog(const std::string& Path, bool Merge, TInstallRecord& Record,
                    TSetupData* Data, std::string* Language);

// Writes the log at exit into LogDir (the resolved log directory; empty when the description
// has none: nothing is written). An existing log is merged first, so earlier records stay.
// LogFile receives the log's path. Throws ESetupError "NO LOG DIR" when LogDir does not exist,
// and ESetupError naming the file when a line cannot be written.
void WriteInstallLog(const std::string& LogDir, const std::string& LogFileName,
                     TInstallRecord& Record, const TSetupData& Data, const std::string& Language,
                     std::string& LogFile);

} // namespace veltrane
