#include "platform/ProgramManager.h"

#include "platform/ProcessStarter.h"

#include "platform/SystemDirs.h"

#include <glib.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace veltrane::platform {
namespace {

constexpr const char* kPrefix = "tsetup-";

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

bool IsUtf8(const std::string& s) {
    return g_utf8_validate(s.data(), static_cast<gssize>(s.size()), nullptr);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && g_ascii_strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool StartsWith(const std::string& s, const std::string& head) {
    return s.compare(0, head.size(), head) == 0;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The argument text of "[Name(...)]", or nullopt when Command is not that command.
std::optional<std::string> CommandBody(std::string command, const std::string& name) {
    while (!command.empty() && (command.back() == '\n' || command.back() == '\r' ||
                                command.back() == '\0'))
        command.pop_back();
    const std::string head = "[" + name + "(";
    if (command.size() < head.size() + 2 || !EqualsIgnoringCase(command.substr(0, head.size()), head) ||
        !EndsWith(command, ")]"))
        return std::nullopt;
    return command.substr(head.size(), command.size() - head.size() - 2);
}

// A name the menu files can carry: not empty, UTF-8 (desktop entries hold nothing else).
bool UsableName(const std::string& name) {
    return !name.empty() && IsUtf8(name) && name.find('\0') == std::string::npos;
}

std::string DirectoryEntry(const std::string& group) {
    return "[Desktop Entry]\nType=Directory\nName=" + EscapeDesktopValue(group) +
           "\nIcon=folder\n";
}

// The merged menu of a group lists its items by file name: a category of our own would be no
// registered main category, and the items would show up in a catch-all menu as well.
std::string MenuEntry(const std::string& encoded, const std::vector<std::string>& itemFiles) {
    const std::string id = kPrefix + encoded;
    std::string text = "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
                       "<Menu>\n"
                       "  <Name>Applications</Name>\n"
                       "  <Menu>\n"
                       "    <Name>" + id + "</Name>\n"
                       "    <Directory>" + id + ".directory</Directory>\n"
                       "    <Include>\n";
    for (const std::string& file : itemFiles)
        text += "      <Filename>" + file + "</Filename>\n";
    return text + "    </Include>\n"
                  "  </Menu>\n"
                  "</Menu>\n";
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "Name=" of a desktop-entry text, unescaped.
std::optional<std::string> EntryName(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        if (StartsWith(line, "Name="))
            return UnescapeDesktopValue(line.substr(5));
        pos = end + 1;
    }
    return std::nullopt;
}

} // namespace

// --- Command strings ----------------------------------------------------------------------

std::string CreateGroupCommand(const std::string& Group) { return "[CreateGroup(" + Group + ")]"; }
std::string ShowGroupCommand(const std::string& Group) { return "[ShowGroup(" + Group + ", 7)]"; }
std::string DeleteItemCommand(const std::string& Item) { return "[DeleteItem(" + Item + ")]"; }
std::string DeleteGroupCommand(const std::string& Group) { return "[DeleteGroup(" + Group + ")]"; }

std::string AddItemCommand(const std::string& ProgramPath, const std::string& CommandLine,
                           const std::string& Name) {
    std::string quoted;
    for (char c : ProgramPath) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return "[AddItem(\"" + quoted + "\" " + CommandLine + "," + Name + ")]";
}

// --- Names and escapes --------------------------------------------------------------------

std::string EncodeMenuName(const std::string& Name) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : Name) {
        if (g_ascii_isalnum(c)) {
            out += g_ascii_tolower(static_cast<char>(c));
        } else {
            out += '_';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string QuoteExecArgument(const std::string& Argument) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    if (!Argument.empty() && Argument.find_first_of(reserved) == std::string::npos)
        return Argument;
    std::string out = "\"";
    for (char c : Argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string EscapeDesktopValue(const std::string& Value) {
    std::string out;
    for (std::size_t i = 0; i < Value.size(); ++i) {
        const char c = Value[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case ' ': out += i == 0 ? "\\s" : " "; break;
        default: out += c;
        }
    }
    return out;
}

std::string UnescapeDesktopValue(const std::string& Value) {
    std::string out;
    for (std::size_t i = 0; i < Value.size(); ++i) {
        if (Value[i] != '\\' || i + 1 == Value.size()) {
            out += Value[i];
            continue;
        }
        switch (Value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += '\\'; out += Value[i];
        }
    }
    return out;
}

std::vector<std::string> SplitCommandLine(const std::string& CommandLine) {
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false, have = false;
    for (char c : CommandLine) {
        if (c == '"') {
            inQuotes = !inQuotes;
            have = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (have)
                args.push_back(current);
            current.clear();
            have = false;
        } else {
            current += c;
            have = true;
        }
    }
    if (have)
        args.push_back(current);
    return args;
}

// --- The Linux file layer -----------------------------------------------------------------

int LinuxMenuFiles::MakeDirs(const std::string& Dir) {
    std::string path;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = Dir.find('/', pos + 1);
        path = Dir.substr(0, pos);
        if (path.empty() || path == "/")
            continue;
        if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat st {};
    if (::stat(Dir.c_str(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

int LinuxMenuFiles::WriteFile(const std::string& Path, const std::string& Bytes) {
    // A planted link must not redirect the write: the file is replaced, never followed.
    if (::unlink(Path.c_str()) != 0 && errno != ENOENT)
        return errno;
    const int fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t n = ::write(fd, Bytes.data() + done, Bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            ::unlink(Path.c_str());
            return err;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(Path.c_str());
        return err;
    }
    return 0;
}

int LinuxMenuFiles::RemoveFile(const std::string& Path) {
    return ::unlink(Path.c_str()) == 0 ? 0 : errno;
}

std::optional<std::string> LinuxMenuFiles::ReadFile(const std::string& Path) {
    const int fd = ::open(Path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        out.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    return out;
}

std::vector<std::string> LinuxMenuFiles::List(const std::string& Dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(Dir.c_str());
    if (!d)
        return names;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(d);
    return names;
}

bool LinuxMenuFiles::IsExecutable(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

// --- The backend --------------------------------------------------------------------------

FreedesktopProgramManager::FreedesktopProgramManager(std::string DataHome, std::string ConfigHome,
                                                     IMenuFiles* Files) {
    const std::string data = WithSlash(DataHome.empty() ? DataDirectory() : DataHome);
    const std::string config = WithSlash(ConfigHome.empty() ? ConfigDirectory() : ConfigHome);
    applications_ = data + "applications/";
    directories_ = data + "desktop-directories/";
    menus_ = config + "menus/applications-merged/";
    hicolor_ = data + "icons/hicolor/";
    icons_ = hicolor_ + "scalable/apps/";
    if (!Files) {
        ownFiles_ = std::make_unique<LinuxMenuFiles>();
        Files = ownFiles_.get();
    }
    files_ = Files;
}

FreedesktopProgramManager::~FreedesktopProgramManager() = default;

void FreedesktopProgramManager::MenusChanged() {
    // With no program entries left there is nothing to cache: the cache goes with them, so
    // a folder the install made can be removed.
    bool anyEntry = false;
    for (const std::string& name : files_->List(applications_))
        anyEntry = anyEntry || (name.size() > 8 && name.compare(name.size() - 8, 8, ".desktop") == 0);
    if (!anyEntry) {
        files_->RemoveFile(applications_ + "mimeinfo.cache");
        return;
    }
    const std::vector<std::string> argv{"update-desktop-database", "-q", applications_};
    if (RunTool) {
        RunTool(argv);
        return;
    }
    LinuxProcessStarter processes;
    const SpawnResult started = processes.Start(argv, false);
    if (started.ok())
        processes.Wait(started.pid, true);
}

std::vector<std::string> FreedesktopProgramManager::Folders() const {
    std::vector<std::string> folders{applications_, directories_, menus_, icons_};
    for (int size : kMenuIconSizes)
        folders.push_back(DirectoryOf(IconPngFile("x", "x", size)));
    return folders;
}

void FreedesktopProgramManager::RegisterProgram(const std::string& FileName,
                                                TMenuProgramTraits Traits) {
    traits_[FileName] = std::move(Traits);
}

std::string FreedesktopProgramManager::DirectoryFile(const std::string& Group) const {
    return directories_ + kPrefix + EncodeMenuName(Group) + ".directory";
}

std::string FreedesktopProgramManager::MenuFile(const std::string& Group) const {
    return menus_ + kPrefix + EncodeMenuName(Group) + ".menu";
}

std::string FreedesktopProgramManager::DesktopFile(const std::string& Group,
                                                   const std::string& Item) const {
    return applications_ + kPrefix + EncodeMenuName(Group) + "-" + EncodeMenuName(Item) +
           ".desktop";
}

std::string FreedesktopProgramManager::IconFile(const std::string& Group,
                                                const std::string& Item) const {
    return icons_ + kPrefix + EncodeMenuName(Group) + "-" + EncodeMenuName(Item) + ".svg";
}

std::string FreedesktopProgramManager::IconPngFile(const std::string& Group,
                                                   const std::string& Item, int Size) const {
    const std::string size = std::to_string(Size);
    return hicolor_ + size + "x" + size + "/apps/" + kPrefix + EncodeMenuName(Group) + "-" +
           EncodeMenuName(Item) + ".png";
}

std::optional<std::string> FreedesktopProgramManager::Request(const std::string& Item) {
    if (!EqualsIgnoringCase(Item, "Groups"))
        return std::nullopt;
    std::string out;
    for (const std::string& name : files_->List(directories_)) {
        if (!StartsWith(name, kPrefix) || !EndsWith(name, ".directory"))
            continue;
        if (auto text = files_->ReadFile(directories_ + name))
            if (auto group = EntryName(*text))
                out += *group + "\n";
    }
    return out;
}

bool FreedesktopProgramManager::Execute(const std::string& Command) {
    if (auto body = CommandBody(Command, "CreateGroup"))
        return CreateGroup(*body);
    if (auto body = CommandBody(Command, "ShowGroup")) {
        // "name, 7": the show state is the last comma's number; the name may hold commas.
        const auto comma = body->rfind(',');
        if (comma != std::string::npos) {
            std::string state = body->substr(comma + 1);
            while (!state.empty() && state.front() == ' ')
                state.erase(0, 1);
            if (!state.empty() && state.find_first_not_of("0123456789") == std::string::npos)
                body->erase(comma);
        }
        return ShowGroup(*body);
    }
    if (auto body = CommandBody(Command, "AddItem"))
        return AddItem(*body);
    if (auto body = CommandBody(Command, "DeleteItem"))
        return DeleteItem(*body);
    if (auto body = CommandBody(Command, "DeleteGroup"))
        return DeleteGroup(*body);
    return false;
}

// The group's name as the menu holds it, when the group exists (names match ignoring case).
std::optional<std::string> FreedesktopProgramManager::ExistingGroup(const std::string& Name) {
    auto text = files_->ReadFile(DirectoryFile(Name));
    if (!text)
        return std::nullopt;
    return EntryName(*text).value_or(Name);
}

int FreedesktopProgramManager::WriteMenu(const std::string& Group) {
    const std::string itemHead = kPrefix + EncodeMenuName(Group) + "-";
    std::vector<std::string> items;
    for (const std::string& file : files_->List(applications_))
        if (StartsWith(file, itemHead) && EndsWith(file, ".desktop"))
            items.push_back(file);
    std::sort(items.begin(), items.end());
    return files_->WriteFile(MenuFile(Group), MenuEntry(EncodeMenuName(Group), items));
}

bool FreedesktopProgramManager::CreateGroup(const std::string& Name) {
    if (!UsableName(Name))
        return false;
    if (auto existing = ExistingGroup(Name)) {
        current_ = *existing;
        return true;
    }
    if (files_->MakeDirs(DirectoryOf(DirectoryFile(Name))) != 0 ||
        files_->MakeDirs(DirectoryOf(MenuFile(Name))) != 0)
        return false;
    if (files_->WriteFile(DirectoryFile(Name), DirectoryEntry(Name)) != 0)
        return false;
    if (WriteMenu(Name) != 0) {
        files_->RemoveFile(DirectoryFile(Name));
        return false;
    }
    current_ = Name;
    return true;
}

bool FreedesktopProgramManager::ShowGroup(const std::string& Name) {
    auto existing = ExistingGroup(Name);
    if (!existing)
        return false;
    current_ = *existing;
    return true;
}

bool FreedesktopProgramManager::AddItem(const std::string& Body) {
    if (current_.empty() || Body.empty() || Body.front() != '"')
        return false;
    // The quoted path ("" stands for one quote), a blank, the command line up to the first
    // comma outside quotes, then the item's name.
    std::string path;
    std::size_t i = 1;
    for (;; ++i) {
        if (i >= Body.size())
            return false;
        if (Body[i] == '"') {
            if (i + 1 < Body.size() && Body[i + 1] == '"') {
                path += '"';
                ++i;
                continue;
            }
            ++i;
            break;
        }
        path += Body[i];
    }
    std::string commandLine;
    bool inQuotes = false;
    for (; i < Body.size(); ++i) {
        if (Body[i] == '"')
            inQuotes = !inQuotes;
        if (Body[i] == ',' && !inQuotes)
            break;
        commandLine += Body[i];
    }
    if (i >= Body.size())
        return false;
    const std::string name = Body.substr(i + 1);
    if (!UsableName(name) || path.empty() || path.front() != '/' || !IsUtf8(path) ||
        !IsUtf8(commandLine) || path.find('\0') != std::string::npos)
        return false;

    // A program path holding "=" cannot start an Exec line by the desktop-entry rules.
    const bool program = files_->IsExecutable(path);
    if (program && path.find('=') != std::string::npos)
        return false;
    const TMenuProgramTraits* traits = nullptr;
    if (auto t = traits_.find(FileNameOf(path)); program && t != traits_.end())
        traits = &t->second;
    std::string exec;
    if (program) {
        // GLib looks for the program before it undoes "%%": a path holding "%" goes through env.
        exec = (path.find('%') != std::string::npos ? "env " : "") + QuoteExecArgument(path);
        for (const std::string& arg : SplitCommandLine(commandLine))
            exec += " " + QuoteExecArgument(arg);
    } else {
        // A document opens in the desktop's default application for its type.
        exec = "xdg-open " + QuoteExecArgument(path);
    }
    // "%" starts a field code: a literal one is doubled; "%f" receives the file opened with it.
    std::string execEscaped;
    for (char c : exec) {
        execEscaped += c;
        if (c == '%')
            execEscaped += '%';
    }
    if (traits && !traits->MimeTypes.empty())
        execEscaped += " %f";

    std::string entry = "[Desktop Entry]\nType=Application\nName=" + EscapeDesktopValue(name) +
                        "\nExec=" + EscapeDesktopValue(execEscaped) +
                        "\nPath=" + EscapeDesktopValue(DirectoryOf(path)) +
                        "\nTerminal=false\n";
    const std::string iconFile = IconFile(current_, name);
    if (traits && !traits->IconSvg.empty()) {
        if (files_->MakeDirs(DirectoryOf(iconFile)) != 0 ||
            files_->WriteFile(iconFile, traits->IconSvg) != 0)
            return false;
        const std::string iconName = FileNameOf(iconFile);
        entry += "Icon=" + iconName.substr(0, iconName.size() - 4) + "\n";
    }
    // Small menus and docks draw the PNG of their size rather than scale the SVG down.
    bool pngsWritten = true;
    if (traits)
        for (const auto& [size, bytes] : traits->IconPngs) {
            const std::string png = IconPngFile(current_, name, size);
            if (std::find(std::begin(kMenuIconSizes), std::end(kMenuIconSizes), size) ==
                std::end(kMenuIconSizes))
                continue;
            if (files_->MakeDirs(DirectoryOf(png)) != 0 || files_->WriteFile(png, bytes) != 0)
                pngsWritten = false;
        }
    if (traits && !traits->MimeTypes.empty())
        entry += "MimeType=" + traits->MimeTypes + "\n";
    if (traits && !traits->Categories.empty())
        entry += "Categories=" + traits->Categories + "\n";
    if (traits && !traits->Comment.empty())
        entry += "Comment=" + EscapeDesktopValue(traits->Comment) + "\n";
    const std::string desktop = DesktopFile(current_, name);
    if (!pngsWritten || files_->MakeDirs(DirectoryOf(desktop)) != 0 ||
        files_->WriteFile(desktop, entry) != 0 || WriteMenu(current_) != 0) {
        files_->RemoveFile(desktop);
        if (traits && !traits->IconSvg.empty())
            files_->RemoveFile(iconFile);
        for (int size : kMenuIconSizes)
            files_->RemoveFile(IconPngFile(current_, name, size));
        return false;
    }
    return true;
}

bool FreedesktopProgramManager::DeleteItem(const std::string& Name) {
    if (current_.empty() || !UsableName(Name))
        return false;
    const int err = files_->RemoveFile(DesktopFile(current_, Name));
    files_->RemoveFile(IconFile(current_, Name));
    for (int size : kMenuIconSizes)
        files_->RemoveFile(IconPngFile(current_, Name, size));
    return err == 0 && WriteMenu(current_) == 0;
}

bool FreedesktopProgramManager::DeleteGroup(const std::string& Name) {
    if (!UsableName(Name) || !ExistingGroup(Name))
        return false;
    // Every item of the group carries its encoded name after the prefix; nothing else does.
    const std::string itemHead = kPrefix + EncodeMenuName(Name) + "-";
    for (const std::string& file : files_->List(applications_))
        if (StartsWith(file, itemHead) && EndsWith(file, ".desktop"))
            files_->RemoveFile(applications_ + file);
    for (const std::string& file : files_->List(icons_))
        if (StartsWith(file, itemHead) && EndsWith(file, ".svg"))
            files_->RemoveFile(icons_ + file);
    for (int size : kMenuIconSizes) {
        const std::string dir = DirectoryOf(IconPngFile(Name, "x", size));
        for (const std::string& file : files_->List(dir))
            if (StartsWith(file, itemHead) && EndsWith(file, ".png"))
                files_->RemoveFile(dir + "/" + file);
    }
    const int menuErr = files_->RemoveFile(MenuFile(Name));
    const int dirErr = files_->RemoveFile(DirectoryFile(Name));
    if (EqualsIgnoringCase(current_, Name))
        current_.clear();
    return dirErr == 0 && (menuErr == 0 || menuErr == ENOENT);
}

} // namespace veltrane::platform
