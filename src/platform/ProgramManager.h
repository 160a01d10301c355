#pragma once
// The program manager's stand-in: a freedesktop menu backend that answers the bracketed command
// strings of the program-manager conversation. A group is a submenu (a ".directory" file and a
// merged ".menu" file), an item a ".desktop" file in the user's applications directory.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrane::platform {

class IProgramManager {
  public:
    virtual ~IProgramManager() = default;
    // A request: "Groups" gives the names of the groups present, one per line. Unknown items
    // give nullopt.
    virtual std::optional<std::string> Request(const std::string& Item) = 0;
    // One command string ("[CreateGroup(Tools)]"); false when it failed or was not understood.
    virtual bool Execute(const std::string& Command) = 0;
    // After menu files were written or removed: lets the desktop refresh what it caches.
    virtual void MenusChanged() {}
    // The folders the menu files go into (an uninstall may remove them when they are empty).
    virtual std::vector<std::string> Folders() const { return {}; }
};

// The command strings, filled in. An embedded '"' in the program path is doubled so that the
// quoted path stays one token whatever it holds.
std::string CreateGroupCommand(const std::string& Group);
std::string AddItemCommand(const std::string& ProgramPath, const std::string& CommandLine,
                           const std::string& Name);
std::string ShowGroupCommand(const std::string& Group);
std::string DeleteItemCommand(const std::string& Item);
std::string DeleteGroupCommand(const std::string& Group);

// The file writes of the menu backend, so a test can make them fail (root ignores permissions).
class IMenuFiles {
  public:
    virtual ~IMenuFiles() = default;
    // Creates the directory and its missing parents; errno value or 0.
    virtual int MakeDirs(const std::string& Dir) = 0;
    // Writes the whole file, replacing an older one; errno value or 0.
    virtual int WriteFile(const std::string& Path, const std::string& Bytes) = 0;
    // Removes a file (never follows a link); errno value or 0.
    virtual int RemoveFile(const std::string& Path) = 0;
    virtual std::optional<std::string> ReadFile(const std::string& Path) = 0;
    // Names of the entries of a directory; empty when it cannot be read.
    virtual std::vector<std::string> List(const std::string& Dir) = 0;
    virtual bool IsExecutable(const std::string& Path) = 0;
};

class LinuxMenuFiles : public IMenuFiles {
  public:
    int MakeDirs(const std::string& Dir) override;
    int WriteFile(const std::string& Path, const std::string& Bytes) override;
    int RemoveFile(const std::string& Path) override;
    std::optional<std::string> ReadFile(const std::string& Path) override;
    std::vector<std::string> List(const std::string& Dir) override;
    bool IsExecutable(const std::string& Path) override;
};

// What an item of one program gets beyond Exec and Name: an icon written under the hicolor
// theme with the item, and the MIME types it opens (its Exec line then ends in "%f").
struct TMenuProgramTraits {
    std::string IconSvg;
    std::string MimeTypes; // "audio/mpeg;"
    // The same icon as PNGs: size in pixels (one of kMenuIconSizes) and the file's bytes.
    std::vector<std::pair<int, std::string>> IconPngs;
    std::string Categories; // "AudioVideo;Audio;"
    std::string Comment;
};

// The hicolor sizes an item's PNG icons may have; removing an item looks in each.
inline constexpr int kMenuIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

class FreedesktopProgramManager : public IProgramManager {
  public:
    // DataHome and ConfigHome default to $XDG_DATA_HOME and $XDG_CONFIG_HOME; Files defaults to
    // the Linux file system.
    FreedesktopProgramManager(std::string DataHome = {}, std::string ConfigHome = {},
                              IMenuFiles* Files = nullptr);
    ~FreedesktopProgramManager() override;

    // Traits for the items whose program file is called FileName ("veltrane").
    void RegisterProgram(const std::string& FileName, TMenuProgramTraits Traits);

    std::optional<std::string> Request(const std::string& Item) override;
    bool Execute(const std::string& Command) override;
    // Runs "update-desktop-database" on the applications folder when that program exists
    // (silently nothing otherwise), so "Open with" finds the programs' MIME types.
    void MenusChanged() override;
    std::vector<std::string> Folders() const override;
    // Runs a tool (argv, searched in PATH, no shell) and waits for it; replaceable in tests.
    std::function<void(const std::vector<std::string>&)> RunTool;

    // Where the files of a group and an item go (the names are encoded, so nothing escapes
    // these directories).
    std::string DirectoryFile(const std::string& Group) const;
    std::string MenuFile(const std::string& Group) const;
    std::string DesktopFile(const std::string& Group, const std::string& Item) const;
    std::string IconFile(const std::string& Group, const std::string& Item) const;
    std::string IconPngFile(const std::string& Group, const std::string& Item, int Size) const;
    const std::string& CurrentGroup() const { return current_; }

  private:
    bool CreateGroup(const std::string& Name);
    bool ShowGroup(const std::string& Name);
    bool AddItem(const std::string& Body);
    bool DeleteItem(const std::string& Name);
    bool DeleteGroup(const std::string& Name);
    std::optional<std::string> ExistingGroup(const std::string& Name);
    // Rewrites the group's merged menu from the items present; errno value or 0.
    int WriteMenu(const std::string& Group);

    std::string applications_, directories_, menus_, icons_, hicolor_;
    std::unique_ptr<LinuxMenuFiles> ownFiles_;
    IMenuFiles* files_;
    std::map<std::string, TMenuProgramTraits> traits_;
    std::string current_;
};

// The file-name form of a group or item name: ASCII letters (lower-cased) and digits stay, every
// other byte becomes "_" and two hex digits. Never empty for a non-empty name.
std::string EncodeMenuName(const std::string& Name);
// An Exec-line argument quoted by the desktop-entry rules (before the key-file escapes).
std::string QuoteExecArgument(const std::string& Argument);
// The key-file escapes of a string value: "\\", "\s" for a leading blank, "\n", "\t", "\r".
std::string EscapeDesktopValue(const std::string& Value);
std::string UnescapeDesktopValue(const std::string& Value);
// Splits an item's command line into arguments: blanks separate, double quotes group.
std::vector<std::string> SplitCommandLine(const std::string& CommandLine);

} // namespace veltrane::platform
