#include "browser/Settings.h"

#include "platform/Profile.h"

#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {

std::string SettingsFilePath(const std::string& startDir) {
    if (startDir.empty())
        return kSettingsFileName;
    return startDir + (startDir.back() == '/' ? "" : "/") + kSettingsFileName;
}

namespace {

std::string ConfigFolder(const std::string& configDir) {
    return configDir + (!configDir.empty() && configDir.back() == '/' ? "" : "/") + "Veltrane";
}

} // namespace

TSettingsFiles ChooseSettingsFiles(const std::string& startDir, const std::string& configDir,
                                   bool startDirWritable, bool startFileExists,
                                   bool configFileExists) {
    const std::string startFile = SettingsFilePath(startDir);
    if (startDirWritable)
        return {startFile, startFile};
    const std::string configFile = SettingsFilePath(ConfigFolder(configDir));
    if (configFileExists || !startFileExists)
        return {configFile, configFile};
    return {startFile, configFile};
}

TSettingsFiles LocateSettingsFiles(const std::string& startDir, const std::string& configDir) {
    const std::string dir = startDir.empty() ? "." : startDir;
    const std::string startFile = SettingsFilePath(startDir);
    // A settings file that exists but cannot be written sends the writes elsewhere as well.
    const bool writable = ::access(dir.c_str(), W_OK) == 0 &&
                          (::access(startFile.c_str(), F_OK) != 0 ||
                           ::access(startFile.c_str(), W_OK) == 0);
    const std::string configFolder = ConfigFolder(configDir);
    TSettingsFiles files = ChooseSettingsFiles(
        startDir, configDir, writable, ::access(startFile.c_str(), F_OK) == 0,
        ::access(SettingsFilePath(configFolder).c_str(), F_OK) == 0);
    if (!writable) {
        ::mkdir(configDir.c_str(), 0700);
        ::mkdir(configFolder.c_str(), 0700);
    }
    return files;
}

TSettings ReadSettings(const std::string& settingsFile) {
    TSettings s;
    s.DeleteToRecycleBin = platform::GetPrivateProfileInt(kSettingsSection, kKeyDeleteToRecycleBin,
                                                          1, settingsFile) != 0;
    s.DefaultDir =
        platform::GetPrivateProfileString(kSettingsSection, kKeyDefaultDir, ".", settingsFile);
    // Kept in one byte: -1 becomes 255, which matches no action.
    s.DblClickAction = static_cast<std::uint8_t>(
        platform::GetPrivateProfileInt(kSettingsSection, kKeyDblClickActionIndex, 0, settingsFile));
    return s;
}

bool WriteDeleteToRecycleBin(const std::string& settingsFile, bool value) {
    return platform::WritePrivateProfileString(kSettingsSection, kKeyDeleteToRecycleBin,
                                               value ? "1" : "0", settingsFile)
        .ok();
}

bool WriteDefaultDir(const std::string& settingsFile, const std::string& value) {
    return platform::WritePrivateProfileString(kSettingsSection, kKeyDefaultDir, value,
                                               settingsFile)
        .ok();
}

bool WriteDblClickActionIndex(const std::string& settingsFile, int index) {
    return platform::WritePrivateProfileString(kSettingsSection, kKeyDblClickActionIndex,
                                               std::to_string(index), settingsFile)
        .ok();
}

TMorePreferences ReadMorePreferences(const std::string& settingsFile) {
    const auto flag = [&](const char* Section, const char* Key, bool Default) {
        return platform::GetPrivateProfileInt(Section, Key, Default ? 1 : 0, settingsFile) != 0;
    };
    TMorePreferences m;
    m.ClearReadOnly = flag(kSettingsSection, kKeyClearReadOnly, true);
    m.SyncID3v2 = flag(kSettingsSection, kKeySyncID3v2, false);
    m.ShowAudio = flag(kSettingsSection, kKeyShowAudio, false);
    m.TagCodePage =
        platform::GetPrivateProfileString(kSettingsSection, kKeyTagCodePage, "", settingsFile);
    m.PreviewTagsFromNames = flag(kMorePreviewSection, kMoreKeyPreviewTagsFromNames, true);
    m.PreviewRenameFromTags = flag(kMorePreviewSection, kMoreKeyPreviewRenameFromTags, true);
    m.PreviewImportTags = flag(kMorePreviewSection, kMoreKeyPreviewImportTags, true);
    return m;
}

bool WriteMorePreferences(const std::string& settingsFile, const TMorePreferences& Old,
                          const TMorePreferences& Value) {
    const auto flag = [&](const char* Section, const char* Key, bool Before, bool After) {
        return Before == After ||
               platform::WritePrivateProfileString(Section, Key, After ? "1" : "0", settingsFile)
                   .ok();
    };
    if (!flag(kSettingsSection, kKeyClearReadOnly, Old.ClearReadOnly, Value.ClearReadOnly) ||
        !flag(kSettingsSection, kKeySyncID3v2, Old.SyncID3v2, Value.SyncID3v2) ||
        !flag(kSettingsSection, kKeyShowAudio, Old.ShowAudio, Value.ShowAudio))
        return false;
    if (Old.TagCodePage != Value.TagCodePage) {
        const platform::ProfileStatus status =
            Value.TagCodePage.empty()
                ? platform::DeleteProfileKey(kSettingsSection, kKeyTagCodePage, settingsFile)
                : platform::WritePrivateProfileString(kSettingsSection, kKeyTagCodePage,
                                                      Value.TagCodePage, settingsFile);
        if (!status.ok())
            return false;
    }
    return flag(kMorePreviewSection, kMoreKeyPreviewTagsFromNames, Old.PreviewTagsFromNames,
                Value.PreviewTagsFromNames) &&
           flag(kMorePreviewSection, kMoreKeyPreviewRenameFromTags, Old.PreviewRenameFromTags,
                Value.PreviewRenameFromTags) &&
           flag(kMorePreviewSection, kMoreKeyPreviewImportTags, Old.PreviewImportTags,
                Value.PreviewImportTags);
}

std::string UnableToWriteMessage(const std::string& settingsFile) {
    return "Unable to write to " + settingsFile;
}

} // namespace veltrane
