#include "editing/PreferencesLogic.h"

#include "editing/ChangePreview.h"

#include <string_view>

namespace veltrane {

// The page's preview switches are the previews' own keys.
static_assert(std::string_view(kMorePreviewSection) == kPreviewSection);
static_assert(std::string_view(kMoreKeyPreviewTagsFromNames) == kKeyPreviewTagsFromNames);
static_assert(std::string_view(kMoreKeyPreviewRenameFromTags) == kKeyPreviewRenameFromTags);
static_assert(std::string_view(kMoreKeyPreviewImportTags) == kKeyPreviewImportTags);

std::optional<std::string> StorePreferences(IPreferencesHost& Host, bool DeleteToRecycleBin,
                                            const std::string& DefaultDir, int DblClickIndex) {
    const std::string file = Host.SettingsFileName();
    if (!WriteDeleteToRecycleBin(file, DeleteToRecycleBin))
        return UnableToWriteMessage(file);
    Host.SetDeleteToRecycleBin(DeleteToRecycleBin);
    if (!WriteDefaultDir(file, DefaultDir))
        return UnableToWriteMessage(file);
    Host.SetDefaultDir(DefaultDir);
    if (!WriteDblClickActionIndex(file, DblClickIndex))
        return UnableToWriteMessage(file);
    Host.SetDblClickAction(static_cast<std::uint8_t>(DblClickIndex));
    return std::nullopt;
}

std::optional<std::string> StoreLayoutPreferences(IPreferencesHost& Host,
                                                  const TLayoutPreferences& Value) {
    // Unchanged, the file is left as it is: without a "Layout" section until one is wanted.
    const TLayoutPreferences now = Host.LayoutPreferences();
    if (now.KeepLayout == Value.KeepLayout && now.StretchList == Value.StretchList)
        return std::nullopt;
    const std::string file = Host.SettingsFileName();
    if (!WriteLayoutPreferences(file, Value.KeepLayout, Value.StretchList))
        return UnableToWriteMessage(file);
    Host.SetLayoutPreferences(Value);
    return std::nullopt;
}

std::optional<std::string> StoreMorePreferences(IPreferencesHost& Host,
                                                const TMorePreferences& Value) {
    const std::string file = Host.SettingsFileName();
    if (!WriteMorePreferences(file, Host.MorePreferences(), Value))
        return UnableToWriteMessage(file);
    Host.SetMorePreferences(Value);
    return std::nullopt;
}

} // namespace veltrane
