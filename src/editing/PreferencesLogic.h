#pragma once
// What the preferences window stores, and where: the main window's settings in memory and the
// settings file in the start directory.

#include "browser/Layout.h"
#include "browser/Settings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace veltrane {

// The main window's side of the preferences; the main window implements it, tests use
// TSettingsHost.
class IPreferencesHost {
  public:
    virtual ~IPreferencesHost() = default;
    virtual std::string SettingsFileName() const = 0;         // start directory + "/Veltrane.ini"
    virtual std::string BackImageFileName() const = 0;        // background picture, empty when none
    virtual TSettings CurrentSettings() const = 0;            // the settings now in effect
    virtual void SetDeleteToRecycleBin(bool Value) = 0;       // takes effect for the next delete
    virtual void SetDefaultDir(const std::string& Value) = 0; // used at the next start
    virtual void SetDblClickAction(std::uint8_t Value) = 0;   // takes effect at once
    // The two layout preferences (section "Layout"): keep the layout between runs, used at
    // the next close; stretch the list with the window, at once.
    virtual TLayoutPreferences LayoutPreferences() const = 0;
    virtual void SetLayoutPreferences(const TLayoutPreferences& Value) = 0;
    // The "More" page's switches as now in effect; the preview switches as the settings file
    // holds them (the previews themselves may change them).
    virtual TMorePreferences MorePreferences() const = 0;
    virtual void SetMorePreferences(const TMorePreferences& Value) = 0;
};

// A host that keeps the settings in a plain TSettings.
class TSettingsHost : public IPreferencesHost {
  public:
    TSettingsHost(std::string SettingsFile, TSettings Initial = {}, std::string BackImage = {})
        : file_(std::move(SettingsFile)), back_(std::move(BackImage)), settings_(Initial) {}
    std::string SettingsFileName() const override { return file_; }
    std::string BackImageFileName() const override { return back_; }
    TSettings CurrentSettings() const override { return settings_; }
    void SetDeleteToRecycleBin(bool Value) override { settings_.DeleteToRecycleBin = Value; }
    void SetDefaultDir(const std::string& Value) override { settings_.DefaultDir = Value; }
    void SetDblClickAction(std::uint8_t Value) override { settings_.DblClickAction = Value; }
    TLayoutPreferences LayoutPreferences() const override { return layout_; }
    void SetLayoutPreferences(const TLayoutPreferences& Value) override { layout_ = Value; }
    TMorePreferences MorePreferences() const override { return more_; }
    void SetMorePreferences(const TMorePreferences& Value) override { more_ = Value; }

  private:
    std::string file_;
    std::string back_;
    TSettings settings_;
    TLayoutPreferences layout_;
    TMorePreferences more_;
};

// Writes the three settings in turn, each followed by its update in the host. Stops at the
// first key that cannot be written and returns "Unable to write to <file>"; later keys and
// their updates are then left alone. Index -1 (nothing chosen) is stored as -1 and kept as 255.
std::optional<std::string> StorePreferences(IPreferencesHost& Host, bool DeleteToRecycleBin,
                                            const std::string& DefaultDir, int DblClickIndex);
// Writes the two layout preferences when they changed, then hands them to the host; on a
// failed write
// "Unable to write to <file>" and the host keeps what it had.
std::optional<std::string> StoreLayoutPreferences(IPreferencesHost& Host,
                                                  const TLayoutPreferences& Value);
// The same for the "More" page: writes only the keys that changed, then hands the values to
// the host; on a failed write "Unable to write to <file>" and the host keeps what it had.
std::optional<std::string> StoreMorePreferences(IPreferencesHost& Host,
                                                const TMorePreferences& Value);

} // namespace veltrane
