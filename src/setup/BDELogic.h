#pragma once
// The database-engine page beneath its window. WIN.INI and the registry stand-in
// "registry.ini" (one section per key path below HKEY_LOCAL_MACHINE) lie in the
// Windows-directory stand-in. This product installs no engine; the page is kept working.

#include <functional>
#include <string>
#include <vector>

namespace veltrane {

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

} // namespace veltrane
