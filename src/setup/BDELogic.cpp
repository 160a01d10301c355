#include "setup/BDELogic.h"

#include "platform/Profile.h"
#include "setup/SetupData.h"
#include "setup/SetupPaths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

std::string FileNameOf(const std::string& Path) {
    const auto cut = Path.find_last_of("/\\");
    return cut == std::string::npos ? Path : Path.substr(cut + 1);
}

bool StartsWithIgnoringCase(const std::string& S, const std::string& Head) {
    return S.size() >= Head.size() && SameTextIgnoringCase(S.substr(0, Head.size()), Head);
}

// Deletes the listed files (regular files only, no link followed) from Dir, then Dir when empty.
void DeleteEngineFiles(const std::string& Dir, const std::vector<TSetupFile*>& Files,
                       const std::function<void(const std::string&)>& Removed) {
    if (Dir.empty() || Dir.front() != '/')
        return;
    const int fd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    for (const TSetupFile* f : Files) {
        if (f->Name.empty() || f->Name.find('/') != std::string::npos || f->Name == "." || f->Name == "..")
            continue;
        struct stat st {};
        if (::fstatat(fd, f->Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            ::unlinkat(fd, f->Name.c_str(), 0) == 0 && Removed)
            Removed("Deleted " + AddBackslash(Dir) + f->Name);
    }
    ::close(fd);
    if (::rmdir(Dir.c_str()) == 0 && Removed)
        Removed("Removed directory " + AddBackslash(Dir));
}

} // namespace

TBDEStore BDEStoreIn(const std::string& WindowsDir) {
    return {AddBackslash(WindowsDir) + "WIN.INI", AddBackslash(WindowsDir) + "registry.ini"};
}

bool ValidBDEDefaultDir(const std::string& Value) {
    const auto cut = Value.rfind('/');
    return cut != std::string::npos && AddBackslash(Value.substr(0, cut + 1)) == Value;
}

std::string BDEEngineDir(int Type, const std::string& ResolvedBDEDir, const std::string& DefaultDir,
                         const std::string& Fallback,
                         const std::function<bool(const std::string&)>& IsRemovable) {
    std::string dir = AddBackslash(ResolvedBDEDir);
    if (Type == kBDE16 || Type == kBDE32) {
        if (dir.empty() || dir == "/")
            dir = DefaultDir;
        if (IsRemovable && IsRemovable(dir))
            dir = AddBackslash(Fallback);
    }
    return dir;
}

bool BDEPresent(int Type, const TBDEStore& Store) {
    if (Type == kBDESetupProgram || Type == kBDE16)
        return !platform::GetPrivateProfileString("IDAPI", "DLLPATH", "", Store.WinIni).empty() &&
               !platform::GetPrivateProfileString("IDAPI", "CONFIGFILE01", "", Store.WinIni).empty();
    if (Type == kBDE32)
        return !platform::GetPrivateProfileString(kBDERegistryKey, "DLLPath", "", Store.RegistryIni)
                    .empty();
    return false;
}

bool BDEInstallIntegrated(int Type, const std::string& EngineDir,
                          const std::vector<std::string>& ExtraData, TSetupData& Data,
                          TSetupFileGroup& WorkGroup,
                          const std::function<void(TSetupDir*)>& SelectDir, const TBDEStore& Store) {
    TSetupDir* engine = Data.AddDir("$$$BDE$$$", EngineDir, nullptr);
    engine->SetDir(EngineDir);
    TSetupDir* langDrv = Data.AddDir("$$$BDELD$$$", "LANGDRV/", engine);
    if (SelectDir) {
        SelectDir(engine);
        SelectDir(langDrv);
    }
    for (TSetupFile* f : Data.BDEFiles.Files)
        WorkGroup.AddFile(f, engine, true);
    for (TSetupFile* f : Data.BDELDFiles.Files)
        WorkGroup.AddFile(f, langDrv, true);
    if (TSetupDir* system = Data.FindDir("Windows System"))
        for (TSetupFile* f : Data.BDEWSFiles.Files)
            WorkGroup.AddFile(f, system, true);

    const std::string bare = RemoveBackslash(EngineDir);
    bool ok = true;
    auto write = [&](const std::string& Section, const std::string& Key, const std::string& Value,
                     const std::string& File) {
        ok = platform::WritePrivateProfileString(Section, Key, Value, File).ok() && ok;
    };
    if (Type == kBDE16) {
        write("IDAPI", "DLLPATH", bare, Store.WinIni);
        write("IDAPI", "CONFIGFILE01", AddBackslash(EngineDir) + "IDAPI.CFG", Store.WinIni);
        write(kBDELangDriverSection, "LDPath", AddBackslash(EngineDir) + "LANGDRV", Store.WinIni);
    } else if (Type == kBDE32) {
        for (const std::string& entry : ExtraData) {
            const auto a = entry.find(":~:");
            const auto b = a == std::string::npos ? a : entry.find(":~:", a + 3);
            if (b == std::string::npos)
                continue;
            const std::string key = entry.substr(0, a), name = entry.substr(a + 3, b - a - 3);
            std::string value = entry.substr(b + 3);
            if (SameTextIgnoringCase(name, "BLAPIPATH") || SameTextIgnoringCase(name, "DLLPATH"))
                value = bare;
            else if (StartsWithIgnoringCase(name, "LOCALE_LIB") || StartsWithIgnoringCase(name, "CONFIGFILE"))
                value = AddBackslash(EngineDir) + FileNameOf(value);
            write(key, name, value, Store.RegistryIni);
        }
    }
    return ok;
}

void BDEUnInstall(int RecordedType, const TSetupData& Data, const TBDEStore& Store,
                  const std::function<void(const std::string&)>& Removed) {
    if (RecordedType == kBDE16) {
        const std::string dll = platform::GetPrivateProfileString("IDAPI", "DLLPATH", "", Store.WinIni);
        const std::string ld =
            platform::GetPrivateProfileString(kBDELangDriverSection, "LDPath", "", Store.WinIni);
        platform::EraseProfileSection("IDAPI", Store.WinIni);
        platform::EraseProfileSection(kBDELangDriverSection, Store.WinIni);
        DeleteEngineFiles(ld, Data.BDELDFiles.Files, Removed);
        DeleteEngineFiles(dll, Data.BDEFiles.Files, Removed);
    } else if (RecordedType == kBDE32) {
        const std::string dll =
            platform::GetPrivateProfileString(kBDERegistryKey, "DLLPATH", "", Store.RegistryIni);
        DeleteEngineFiles(dll, Data.BDEFiles.Files, Removed);
        for (const std::string& section : platform::ProfileSections(Store.RegistryIni))
            if (SameTextIgnoringCase(section, kBDERegistryKey) ||
                StartsWithIgnoringCase(section, std::string(kBDERegistryKey) + "\\"))
                platform::EraseProfileSection(section, Store.RegistryIni);
    }
}

} // namespace veltrane
