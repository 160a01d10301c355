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

std::string UnableToWriteMessage(const std::string& settingsFile) {
    return "Unable to write to " + settingsFile;
}

} // namespace veltrane
