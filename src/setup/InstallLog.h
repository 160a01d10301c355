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
// A missing file changes nothing and gives ENOENT; a file that cannot be read (or is not a
// regular file) changes nothing and gives its errno value; 0 on success. Linear in the log's
// size.
int ReadInstallLog(const std::string& Path, bool Merge, TInstallRecord& Record,
                   TSetupData* Data, std::string* Language);

// Whether Path is a regular file holding at least one of the log's sections.
bool IsInstallLog(const std::string& Path);

// The first entry of the record or the description that the log could not hold exactly as
// it is (a "=" or a line break in a path, a group name with leading blanks...), as a message
// naming the entry and the character; "" when everything can be written and read back.
std::string LogRecordProblem(const TInstallRecord& Record, const TSetupData& Data,
                             const std::string& Language);
// The same check for single paths and names before they are recorded.
std::string LogKeyProblem(const std::string& What, const std::string& Key);
std::string LogValueProblem(const std::string& What, const std::string& Value);

// Writes the log into LogDir (the resolved log directory; empty when the description has
// none: nothing is written). An existing log is merged first, so earlier records stay. The
// whole log is written to a temporary file in the same directory, flushed and renamed over
// the old one, so a failure leaves the old log as it was. LogFile receives the log's path.
// Throws ESetupError "NO LOG DIR" when LogDir does not exist, and ESetupError naming the file
// when it cannot be written.
void WriteInstallLog(const std::string& LogDir, const std::string& LogFileName,
                     TInstallRecord& Record, const TSetupData& Data, const std::string& Language,
                     std::string& LogFile);

} // namespace veltrane
