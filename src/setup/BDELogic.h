#pragma once
// The database-engine page beneath its window. WIN.INI and the registry stand-in
// "registry.ini" (one section per key path below HKEY_LOCAL_MACHINE) lie in the
// Windows-directory stand-in. This product installs no engine; the page is kept working.

#include "setup/SetupInfo.h"

#include <functional>
#include <string>
#include <vector>

namespace veltrane {

namespace platform {
class IProcessStarter;
}
class TSetupData;
class TSetupDir;
class TSetupFileGroup;

// BDEType: 0 none, 1 the engine's own setup program, 2 integrated 16-bit, 3 integrated 32-bit.
inline constexpr int kBDENone = 0, kBDESetupProgram = 1, kBDE16 = 2, kBDE32 = 3;
inline constexpr const char* kBDERegistryKey = "SOFTWARE\\IDAPI";
inline constexpr const char* kBDELangDriverSection = "IDAPI Language Drivers";

struct TBDEStore {
    std::string WinIni;      // WindowsDir + "WIN.INI"
    std::string RegistryIni; // WindowsDir + "registry.ini"
};
TBDEStore BDEStoreIn(const std::string& WindowsDir);

// A default directory is taken only when it equals its own directory part with trailing "/".
bool ValidBDEDefaultDir(const std::string& Value);
// The engine directory: the resolved BDEDir; for kinds 2 and 3 DefaultDir when that gives
// nothing, and Fallback instead when the result lies on a removable medium.
std::string BDEEngineDir(int Type, const std::string& ResolvedBDEDir, const std::string& DefaultDir,
                         const std::string& Fallback,
                         const std::function<bool(const std::string&)>& IsRemovable);
bool BDEPresent(int Type, const TBDEStore& Store);

// Kinds 2 and 3: dirs "$$$BDE$$$" and "$$$BDELD$$$" join the description and the selection,
// the engine's files join WorkGroup, and the engine's settings are written. Returns false when
// a setting could not be written.
bool BDEInstallIntegrated(int Type, const std::string& EngineDir,
                          const std::vector<std::string>& ExtraData, TSetupData& Data,
                          TSetupFileGroup& WorkGroup,
                          const std::function<void(TSetupDir*)>& SelectDir, const TBDEStore& Store);

// Undoes an integrated engine install of the recorded type: its settings are erased, and the
// engine's own files (those the description lists) deleted from the directories the settings
// name, which are then removed when empty. Nothing else in those directories is touched.
void BDEUnInstall(int RecordedType, const TSetupData& Data, const TBDEStore& Store,
                  const std::function<void(const std::string&)>& Removed);

// The engine's own setup program: a plain file name (no "/", not "." or "..") naming a regular
// executable file in EngineDir, which must be absolute. "" when it may be started, else why not.
std::string BDESetupProgramProblem(const std::string& EngineDir, const std::string& InstallProgram);

// The database-engine page: installs the engine the description names, once per machine.
class TSetupBDEInstall : public TSetupPage {
  public:
    using TSetupPage::TSetupPage;
    bool AllowUnInstall = false;
    std::string BDEDir = "(none)";
    int BDEType = kBDENone;
    std::string InstallProgram = "setup";
    std::vector<std::string> Text;
    std::vector<std::string> ExtraData; // "key path:~:value name:~:value"
    // Starts the engine's setup program (a Linux starter when null).
    platform::IProcessStarter* Processes = nullptr;

    const std::string& DefaultDir() const { return DefaultDir_; }
    // Refused with "This is not a valid directory string." unless it is its own directory part.
    bool SetDefaultDir(const std::string& Value);
    // Where the engine goes, with trailing "/".
    std::string EngineDir() const;
    TBDEStore Store() const;
    bool Present() const;
    // The uninstall's share: undoes the recorded engine when AllowUnInstall is set.
    void UnInstall(int RecordedType);

    int Execute() override;
    void ShowPage() override;
    void GoNext() override;
    void ButtonClick(int Sender) override;
    TPageKind Kind() const override { return TPageKind::BDEInstall; }
    void SetupUnlinked() override { BDEType = kBDENone; }

  private:
    bool Install();
    bool RunSetupProgram();
    std::string DefaultDir_ = "~/.local/opt/IDAPI/";
    bool Reinstall_ = false;
};

} // namespace veltrane
