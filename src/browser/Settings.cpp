#include "browser/Settings.h"

#include "platform/Profile.h"

namespace veltrane {

std::string SettingsFilePath(const std::string& startDir) {
    if (startDir.empty())
        return kSettingsFileName;
    return startDir + (startDir.back() == '/' ? "" : "/") + kSettingsFileName;
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
