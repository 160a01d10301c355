#pragma once
// The user's settings, kept in "Veltrane.ini" in the start directory, section "Preferences".

#include <cstdint>
#include <string>

namespace veltrane {

inline constexpr const char* kSettingsFileName = "Veltrane.ini";
inline constexpr const char* kSettingsSection = "Preferences";
inline constexpr const char* kKeyDeleteToRecycleBin = "DeleteToRecycleBin";
inline constexpr const char* kKeyDefaultDir = "DefaultDir";
inline constexpr const char* kKeyDblClickActionIndex = "DblClickActionIndex";

struct TSettings {
    bool DeleteToRecycleBin = true;  // deleted files go to the trash
    std::string DefaultDir = ".";    // directory shown at start-up
    std::uint8_t DblClickAction = 0; // 0 edit tag, 1 play file, 2 rename file; others do nothing
};

// The settings file of a start directory: StartDir + "/Veltrane.ini".
std::string SettingsFilePath(const std::string& startDir);
// Where the settings are read from and written to. Normally the start directory's file; when
// the start directory cannot be written (a system directory), the user's
// ConfigDir + "/Veltrane/Veltrane.ini" takes the writes, and the reads too once it exists or when
// the start directory holds no settings file, so preferences are never lost.
struct TSettingsFiles {
    std::string Read;
    std::string Write;
};
TSettingsFiles ChooseSettingsFiles(const std::string& startDir, const std::string& configDir,
                                   bool startDirWritable, bool startFileExists,
                                   bool configFileExists);
// The same for this machine: asks the file system, and creates the config folder when the
// fallback is taken.
TSettingsFiles LocateSettingsFiles(const std::string& startDir, const std::string& configDir);

// Reads the three settings; a missing file or key gives its default, no message.
TSettings ReadSettings(const std::string& settingsFile);

// Each write returns false when the key could not be written (the file is then unchanged).
bool WriteDeleteToRecycleBin(const std::string& settingsFile, bool value); // "1" or "0"
bool WriteDefaultDir(const std::string& settingsFile, const std::string& value);
bool WriteDblClickActionIndex(const std::string& settingsFile, int index); // decimal, -1 for none

// The "More" page of the preferences. The first four live in section "Preferences"; the
// preview switches are the "Show this preview" keys of section "Preview".
inline constexpr const char* kKeyClearReadOnly = "ClearReadOnly";
inline constexpr const char* kKeySyncID3v2 = "SyncID3v2";
inline constexpr const char* kKeyShowAudio = "ShowAudio";
inline constexpr const char* kKeyTagCodePage = "TagCodePage";
inline constexpr const char* kMorePreviewSection = "Preview";
inline constexpr const char* kMoreKeyPreviewTagsFromNames = "TagsFromNames";
inline constexpr const char* kMoreKeyPreviewRenameFromTags = "RenameFromTags";
inline constexpr const char* kMoreKeyPreviewImportTags = "ImportTags";

struct TMorePreferences {
    bool ClearReadOnly = true; // reading a folder makes its read-only files writable
    bool SyncID3v2 = false;    // a tag change is made in the ID3v2 tag as well
    bool ShowAudio = false;    // the list shows length and bit rate
    std::string TagCodePage;   // empty (absent): Windows-1252; "auto" or a code page name
    bool PreviewTagsFromNames = true;
    bool PreviewRenameFromTags = true;
    bool PreviewImportTags = true;
    bool operator==(const TMorePreferences&) const = default;
};

// A missing file or key gives its default; a switch is on for any number but 0.
TMorePreferences ReadMorePreferences(const std::string& settingsFile);
// Writes the keys whose value differs from Old ("1"/"0"; an empty code page removes its key),
// nothing else; false when a key could not be written (later keys are then left alone).
bool WriteMorePreferences(const std::string& settingsFile, const TMorePreferences& Old,
                          const TMorePreferences& Value);

// "Unable to write to %s" with the file's path.
std::string UnableToWriteMessage(const std::string& settingsFile);

} // namespace veltrane
