#include "platform/ProgramManager.h"
#include "support/TestDir.h"

#include <gio/gdesktopappinfo.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace veltrane::platform {
namespace {

namespace fs = std::filesystem;

// desktop-file-validate's verdict: empty when the file passes without a complaint.
std::string Validate(const std::string& file) {
    std::string out;
    const std::string cmd = "desktop-file-validate '" + file + "' 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    char buf[512];
    while (p && fgets(buf, sizeof buf, p))
        out += buf;
    const int status = p ? pclose(p) : -1;
    if (status != 0 && out.empty())
        out = "exit status " + std::to_string(status);
    return out;
}

std::vector<std::string> FilesUnder(const fs::path& root) {
    std::vector<std::string> files;
    for (auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file())
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

class MenuBackend : public ::testing::Test {
  protected:
    test::TestDir home;
    std::string data = home / "data";
    std::string config = home / "config";
    FreedesktopProgramManager menu{data, config};

    // An executable that writes its arguments, one per line, to RecordFile.
    std::string RecordFile() const { return home / "args.txt"; }
    std::string MakeRecorder(const std::string& relative) {
        const std::string path = home.WriteFile(
            relative, "#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                          RecordFile() + "'\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
};

TEST_F(MenuBackend, GroupWithProgramDocumentAndIconValidates) {
    menu.RegisterProgram("veltrane", {"<svg xmlns=\"http://www.w3.org/2000/svg\"/>", "audio/mpeg;", {}, "", ""});
    const std::string veltrane = MakeRecorder("opt/My \"Apps\" $1 50%/veltrane");
    const std::string install = MakeRecorder("opt/My \"Apps\" $1 50%/install");
    const std::string whatsnew = home.WriteFile("opt/My \"Apps\" $1 50%/whatsnew.txt", "new\n");

    ASSERT_TRUE(menu.Execute(CreateGroupCommand("Veltrane")));
    ASSERT_TRUE(menu.Execute(AddItemCommand(veltrane, "", "Veltrane")));
    ASSERT_TRUE(menu.Execute(AddItemCommand(install, "Uninstall", "Uninstall")));
    ASSERT_TRUE(menu.Execute(AddItemCommand(whatsnew, "", "What is new in this version")));
    ASSERT_TRUE(menu.Execute(ShowGroupCommand("Veltrane") + "\r\n"));

    const auto files = FilesUnder(home.path() / "data");
    ASSERT_EQ(files.size(), 5u); // directory entry, three items, one icon
    for (const auto& f : FilesUnder(home.path())) {
        if (f.ends_with(".desktop") || f.ends_with(".directory")) {
            EXPECT_EQ(Validate(f), "") << f;
        }
    }
    EXPECT_TRUE(fs::exists(menu.MenuFile("Veltrane")));
    EXPECT_TRUE(fs::exists(menu.IconFile("Veltrane", "Veltrane")));
    EXPECT_FALSE(fs::exists(menu.IconFile("Veltrane", "Uninstall")));

    // The entries read back the way a desktop reads them.
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(
        menu.DesktopFile("Veltrane", "Veltrane").c_str());
    ASSERT_NE(info, nullptr);
    auto entryValue = [&](const char* name) {
        gchar* value = g_desktop_app_info_get_string(info, name);
        std::string out = value ? value : "";
        g_free(value);
        return out;
    };
    EXPECT_EQ(entryValue("Path"), home / "opt/My \"Apps\" $1 50%");
    EXPECT_EQ(entryValue("MimeType"), "audio/mpeg;");
    EXPECT_EQ(entryValue("Icon"), "tsetup-veltrane-veltrane");
    g_object_unref(info);
    // The document opens through xdg-open (read as a key file: xdg-open need not be here).
    GKeyFile* key = g_key_file_new();
    ASSERT_TRUE(g_key_file_load_from_file(
        key, menu.DesktopFile("Veltrane", "What is new in this version").c_str(), G_KEY_FILE_NONE,
        nullptr));
    gchar* exec = g_key_file_get_string(key, "Desktop Entry", "Exec", nullptr);
    gchar** argv = nullptr;
    ASSERT_TRUE(g_shell_parse_argv(exec, nullptr, &argv, nullptr));
    ASSERT_EQ(g_strv_length(argv), 2u);
    EXPECT_STREQ(argv[0], "xdg-open");
    std::string expected = whatsnew; // "%%" is undone only at launch
    expected.replace(expected.find('%'), 1, "%%");
    EXPECT_EQ(std::string(argv[1]), expected);
    g_strfreev(argv);
    g_free(exec);
    g_key_file_free(key);

    // Started by the desktop, the uninstall entry runs the right program with its argument.
    info = g_desktop_app_info_new_from_filename(menu.DesktopFile("Veltrane", "Uninstall").c_str());
    ASSERT_NE(info, nullptr);
    GError* error = nullptr;
    ASSERT_TRUE(g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error));
    g_object_unref(info);
    std::string recorded;
    for (int i = 0; i < 100 && !recorded.ends_with("Uninstall\n"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (fs::exists(RecordFile()))
            recorded = home.ReadFile("args.txt");
    }
    EXPECT_EQ(recorded, install + "\nUninstall\n");
}

TEST_F(MenuBackend, GroupsListAndIgnoreCase) {
    EXPECT_EQ(menu.Request("Groups").value(), "");
    ASSERT_TRUE(menu.Execute("[CreateGroup(Tools)]"));
    ASSERT_TRUE(menu.Execute("[CreateGroup(tools)]")); // the existing group becomes current
    EXPECT_EQ(menu.CurrentGroup(), "Tools");
    ASSERT_TRUE(menu.Execute("[CreateGroup(Games, Old)]"));
    std::string groups = menu.Request("Groups").value();
    EXPECT_TRUE(groups == "Tools\nGames, Old\n" || groups == "Games, Old\nTools\n") << groups;
    EXPECT_TRUE(menu.Execute("[ShowGroup(Games, Old, 7)]"));
    EXPECT_EQ(menu.CurrentGroup(), "Games, Old");
    EXPECT_FALSE(menu.Execute("[ShowGroup(Nowhere, 7)]"));
    EXPECT_FALSE(menu.Request("Items").has_value());
}

TEST_F(MenuBackend, HostileNamesStayInsideTheMenuDirectories) {
    const std::string prog = MakeRecorder("bin/p");
    // Each name is written encoded; nothing lands outside data/ and config/.
    for (const std::string name : {"../../escape", "a/b", "quote\"d", "new\nline", "-lead", " sp"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(menu.Execute(CreateGroupCommand(name)));
        ASSERT_TRUE(menu.Execute(AddItemCommand(prog, "", name)));
    }
    for (const auto& f : FilesUnder(home.path())) {
        const bool inside = f.starts_with(data + "/applications/") ||
                            f.starts_with(data + "/desktop-directories/") ||
                            f.starts_with(config + "/menus/applications-merged/") ||
                            f.starts_with(home / "bin/");
        EXPECT_TRUE(inside) << f;
        if (f.ends_with(".desktop") || f.ends_with(".directory")) {
            EXPECT_EQ(Validate(f), "") << f;
        }
    }
    // Two names that differ only where the encoding could collide stay two groups.
    ASSERT_TRUE(menu.Execute(CreateGroupCommand("a-b")));
    ASSERT_TRUE(menu.Execute(CreateGroupCommand("a_2db")));
    EXPECT_NE(menu.DirectoryFile("a-b"), menu.DirectoryFile("a_2db"));
}

TEST_F(MenuBackend, RefusesWhatItCannotWrite) {
    const std::string prog = MakeRecorder("bin/p");
    EXPECT_FALSE(menu.Execute(AddItemCommand(prog, "", "no group yet")));
    EXPECT_FALSE(menu.Execute("[CreateGroup()]"));
    EXPECT_FALSE(menu.Execute("[CreateGroup(\xff\xfe)]")); // not UTF-8
    EXPECT_FALSE(menu.Execute("[Reboot()]"));
    EXPECT_FALSE(menu.Execute("CreateGroup(x)"));
    ASSERT_TRUE(menu.Execute("[CreateGroup(G)]"));
    EXPECT_FALSE(menu.Execute(AddItemCommand("relative/p", "", "x")));
    EXPECT_FALSE(menu.Execute(AddItemCommand("/opt/a=b/p", "", "x")) &&
                 fs::exists(home / "opt/a=b/p"));
    EXPECT_FALSE(menu.Execute("[AddItem(\"" + prog + ")]")); // unterminated quote
    EXPECT_FALSE(menu.Execute("[DeleteItem(missing)]"));
    EXPECT_FALSE(menu.Execute("[DeleteGroup(missing)]"));
}

TEST_F(MenuBackend, DeleteRemovesOnlyWhatItMade) {
    menu.RegisterProgram("veltrane", {"<svg xmlns=\"http://www.w3.org/2000/svg\"/>", "audio/mpeg;", {}, "", ""});
    const std::string prog = MakeRecorder("bin/veltrane");
    const std::string foreign = home.WriteFile("data/applications/other.desktop", "x");
    const std::string foreignIcon = home.WriteFile("data/icons/hicolor/scalable/apps/other.svg", "x");
    ASSERT_TRUE(menu.Execute("[CreateGroup(Veltrane)]"));
    ASSERT_TRUE(menu.Execute(AddItemCommand(prog, "", "Veltrane")));
    ASSERT_TRUE(menu.Execute(AddItemCommand(prog, "", "Second")));
    ASSERT_TRUE(menu.Execute("[CreateGroup(Veltrane Extra)]"));
    ASSERT_TRUE(menu.Execute(AddItemCommand(prog, "", "Veltrane")));

    ASSERT_TRUE(menu.Execute("[ShowGroup(Veltrane, 7)]"));
    ASSERT_TRUE(menu.Execute("[DeleteItem(Veltrane)]"));
    EXPECT_FALSE(fs::exists(menu.DesktopFile("Veltrane", "Veltrane")));
    EXPECT_FALSE(fs::exists(menu.IconFile("Veltrane", "Veltrane")));
    EXPECT_TRUE(fs::exists(menu.DesktopFile("Veltrane", "Second")));

    ASSERT_TRUE(menu.Execute("[DeleteGroup(Veltrane)]"));
    EXPECT_FALSE(fs::exists(menu.DesktopFile("Veltrane", "Second")));
    EXPECT_FALSE(fs::exists(menu.DirectoryFile("Veltrane")));
    EXPECT_FALSE(fs::exists(menu.MenuFile("Veltrane")));
    EXPECT_TRUE(fs::exists(menu.DesktopFile("Veltrane Extra", "Veltrane")));
    EXPECT_TRUE(fs::exists(menu.IconFile("Veltrane Extra", "Veltrane")));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_TRUE(fs::exists(foreignIcon));
}

TEST_F(MenuBackend, ProgramItemGetsPngIconsCategoriesAndComment) {
    menu.RegisterProgram("veltrane", {"<svg xmlns=\"http://www.w3.org/2000/svg\"/>", "audio/mpeg;",
                                      {{16, "png16"}, {256, "png256"}, {17, "odd size"}},
                                      "AudioVideo;Audio;", "Edit tags; quickly"});
    const std::string prog = MakeRecorder("bin/veltrane");
    ASSERT_TRUE(menu.Execute("[CreateGroup(Veltrane)]"));
    ASSERT_TRUE(menu.Execute(AddItemCommand(prog, "", "Veltrane")));
    const std::string desktop = menu.DesktopFile("Veltrane", "Veltrane");
    EXPECT_EQ(Validate(desktop), "");
    const std::string entry = home.ReadFile(fs::relative(desktop, home.path()).string());
    EXPECT_NE(entry.find("\nCategories=AudioVideo;Audio;\n"), std::string::npos);
    EXPECT_NE(entry.find("\nComment=Edit tags; quickly\n"), std::string::npos);
    const std::string png16 = menu.IconPngFile("Veltrane", "Veltrane", 16);
    EXPECT_EQ(png16, home / "data/icons/hicolor/16x16/apps/tsetup-veltrane-veltrane.png");
    EXPECT_EQ(home.ReadFile(fs::relative(png16, home.path()).string()), "png16");
    EXPECT_TRUE(fs::exists(menu.IconPngFile("Veltrane", "Veltrane", 256)));
    EXPECT_FALSE(fs::exists(menu.IconPngFile("Veltrane", "Veltrane", 17)));

    ASSERT_TRUE(menu.Execute("[DeleteItem(Veltrane)]"));
    EXPECT_FALSE(fs::exists(png16));
    ASSERT_TRUE(menu.Execute(AddItemCommand(prog, "", "Veltrane")));
    ASSERT_TRUE(fs::exists(png16));
    ASSERT_TRUE(menu.Execute("[DeleteGroup(Veltrane)]"));
    EXPECT_FALSE(fs::exists(png16));
    EXPECT_FALSE(fs::exists(menu.IconPngFile("Veltrane", "Veltrane", 256)));
}

// "Open with" finds the programs through the desktop's MIME cache: refreshed after menu
// changes, and dropped once no program entry is left.
TEST_F(MenuBackend, MenuChangesRefreshTheMimeCache) {
    std::vector<std::vector<std::string>> runs;
    menu.RunTool = [&](const std::vector<std::string>& argv) { runs.push_back(argv); };
    const std::string prog = MakeRecorder("bin/veltrane");
    ASSERT_TRUE(menu.Execute("[CreateGroup(Veltrane)]"));
    ASSERT_TRUE(menu.Execute(AddItemCommand(prog, "", "Veltrane")));
    menu.MenusChanged();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{"update-desktop-database", "-q", data + "/applications/"}));
    const std::string cache = home.WriteFile("data/applications/mimeinfo.cache", "[MIME Cache]\n");
    ASSERT_TRUE(menu.Execute("[DeleteGroup(Veltrane)]"));
    menu.MenusChanged();
    EXPECT_EQ(runs.size(), 1u);
    EXPECT_FALSE(fs::exists(cache));
    EXPECT_EQ(menu.Folders().front(), data + "/applications/");
}

// Root writes anywhere, so the file layer's failures are injected.
class FailingFiles : public LinuxMenuFiles {
  public:
    std::string failUnder; // writes below this text fail with EACCES
    int WriteFile(const std::string& Path, const std::string& Bytes) override {
        if (!failUnder.empty() && Path.find(failUnder) != std::string::npos)
            return EACCES;
        return LinuxMenuFiles::WriteFile(Path, Bytes);
    }
};

TEST(MenuBackendFailures, WriteFailuresAreReportedAndLeaveNothing) {
    test::TestDir home;
    FailingFiles files;
    FreedesktopProgramManager menu(home / "data", home / "config", &files);
    const std::string prog = home.WriteFile("bin/p", "#!/bin/sh\n");
    ::chmod(prog.c_str(), 0755);

    files.failUnder = "/menus/";
    EXPECT_FALSE(menu.Execute("[CreateGroup(G)]"));
    EXPECT_FALSE(fs::exists(menu.DirectoryFile("G")));
    EXPECT_EQ(menu.Request("Groups").value(), "");

    files.failUnder = "/applications/";
    ASSERT_TRUE(menu.Execute("[CreateGroup(G)]"));
    EXPECT_FALSE(menu.Execute(AddItemCommand(prog, "", "Item")));
    EXPECT_FALSE(fs::exists(menu.DesktopFile("G", "Item")));
}

TEST(MenuBackendText, QuotingAndCommandLines) {
    struct Case {
        std::string arg, quoted;
    } cases[] = {
        {"/usr/bin/veltrane", "/usr/bin/veltrane"},
        {"/a b/c", "\"/a b/c\""},
        {"/a\"b", "\"/a\\\"b\""},
        {"/a\\b", "\"/a\\\\b\""},
        {"/a$b`c", "\"/a\\$b\\`c\""},
        {"", "\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuoteExecArgument(c.arg), c.quoted) << c.arg;
    EXPECT_EQ(EscapeDesktopValue(" a\\b\n"), "\\sa\\\\b\\n");
    EXPECT_EQ(UnescapeDesktopValue(EscapeDesktopValue(" a\\b\n\t\r")), " a\\b\n\t\r");
    EXPECT_EQ(SplitCommandLine(" Uninstall  \"two words\" x"),
              (std::vector<std::string>{"Uninstall", "two words", "x"}));
    EXPECT_EQ(AddItemCommand("/a\"b", "Uninstall", "U"), "[AddItem(\"/a\"\"b\" Uninstall,U)]");
    EXPECT_EQ(EncodeMenuName("Ab-1 /"), "ab_2d1_20_2f");
}

} // namespace
} // namespace veltrane::platform
