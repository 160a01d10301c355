#include "setup/GroupsLogic.h"
#include "setup/InstallLog.h"
#include "setup/SetupData.h"
#include "setup/UnInstallRemoval.h"
#include "support/TestDir.h"
#include "support/platform/FakeProgramManager.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace veltrane {
namespace {

namespace fs = std::filesystem;

// The product's description in Linux terms, installed below a test directory.
struct Product {
    test::TestDir home;
    TSetupData data;
    std::string install = home / "opt/Veltrane/";
    TSetupDir* installDir = nullptr;

    Product() {
        fs::create_directories(home / "config");
        fs::create_directories(home / "lib");
        installDir = data.FindDir("Install");
        installDir->SetDir(install);
        data.FindDir("Windows")->SetDir(home / "config");
        TSetupDir* system = data.FindDir("Windows System");
        system->Parent = nullptr;
        system->SetDir(home / "lib");
        data.LogFileDir = installDir;
        for (const char* name : {"veltrane", "install", "readme.txt", "whatsnew.txt"})
            installDir->Add(data.AddFile(std::string("/build/") + name));
        const char* items[][3] = {{"Veltrane", "", "veltrane"},
                                  {"Uninstall", "Uninstall", "install"},
                                  {"What is new in this version", "", "whatsnew.txt"}};
        TSetupWinGroups* group = data.AddWinGroup("SetupGroups");
        group->Title = "Veltrane";
        for (auto& it : items) {
            TSetupWinItem* item = data.AddWinItem(it[0]);
            item->CommandLine = it[1];
            item->Dir = installDir;
            item->ItemFile = data.FindFile(it[2]);
            group->AddItem(item);
        }
    }

    // What the copy page records for a first install into an absent directory.
    TInstallRecord FirstInstall() {
        TInstallRecord r;
        fs::create_directories(install);
        r.AddCreatedDir(install);
        for (const char* name : {"install", "readme.txt", "veltrane", "whatsnew.txt"})
            r.AddInstalledFile(home.WriteFile(std::string("opt/Veltrane/") + name, "x"));
        return r;
    }
};

TEST(InstallLog, WorkedExampleAndMergeOnSecondInstall) {
    Product p;
    TInstallRecord record = p.FirstInstall();
    for (const char* item : {"", "Veltrane", "Uninstall", "What is new in this version"})
        record.AddGroupItem("Veltrane", item);
    std::string logFile;
    WriteInstallLog(p.install, "INSTALL.LOG", record, p.data, "English", logFile);
    EXPECT_EQ(logFile, p.install + "INSTALL.LOG");
    const std::string i = p.install;
    const std::string expected = "[Directories]\nWindows System=" + (p.home / "lib/") +
                                 "\nWindows=" + (p.home / "config/") + "\nInstall=" + i +
                                 "\n[Created Dirs]\n" + i + "=\n[Files]\n" + i + "install=\n" + i +
                                 "readme.txt=\n" + i + "veltrane=\n" + i + "whatsnew.txt=\n"
                                 "[Program Groups]\n0=Veltrane:~:\n1=Veltrane:~:Veltrane\n"
                                 "2=Veltrane:~:Uninstall\n3=Veltrane:~:What is new in this version\n"
                                 "[Language]\nLanguage=English\n";
    EXPECT_EQ(p.home.ReadFile("opt/Veltrane/INSTALL.LOG"), expected);

    // A second install into the same place keeps the first one's record and adds its own once.
    TInstallRecord second;
    second.AddInstalledFile(p.home.WriteFile("opt/Veltrane/extra.txt", "x"));
    second.AddGroupItem("VELTRANE", "veltrane");
    second.AddGroupItem("Tools", "Veltrane");
    second.BDEType = 3;
    WriteInstallLog(p.install, "INSTALL.LOG", second, p.data, "English", logFile);
    TInstallRecord back;
    p.installDir->SetDir("/elsewhere/");
    std::string language;
    ReadInstallLog(logFile, false, back, &p.data, &language);
    EXPECT_EQ(p.installDir->Dir(), i); // the dirs point where the install put them
    EXPECT_EQ(back.CreatedDirs, std::vector<std::string>{i});
    // This run's record first, then what the older log adds.
    EXPECT_EQ(back.InstalledFiles.size(), 5u);
    EXPECT_EQ(back.InstalledFiles.front(), i + "extra.txt");
    EXPECT_EQ(back.LoggedGroups, (std::vector<std::string>{"VELTRANE", "Tools", "Veltrane",
                                                           "Veltrane", "Veltrane"}));
    EXPECT_EQ(back.LoggedItems, (std::vector<std::string>{"veltrane", "Veltrane", "", "Uninstall",
                                                          "What is new in this version"}));
    EXPECT_EQ(back.BDEType, 3);
    EXPECT_EQ(language, "English");

    fs::remove_all(p.install);
    try {
        WriteInstallLog(p.install, "INSTALL.LOG", second, p.data, "English", logFile);
        ADD_FAILURE() << "no error";
    } catch (const ESetupError& e) {
        EXPECT_STREQ(e.what(), "NO LOG DIR");
    }
}

TEST(InstallLog, RecordIsUniqueIgnoringCase) {
    TInstallRecord r;
    EXPECT_TRUE(r.AddInstalledFile("/a/B.txt"));
    EXPECT_FALSE(r.AddInstalledFile("/A/b.TXT"));
    EXPECT_TRUE(r.AddCreatedDir("/a/"));
    EXPECT_FALSE(r.AddCreatedDir("/A/"));
    EXPECT_TRUE(r.AddGroupItem("G", ""));
    EXPECT_TRUE(r.AddGroupItem("G", "x"));
    EXPECT_FALSE(r.AddGroupItem("g", "X"));
    EXPECT_TRUE(r.AddGroupItem("x", "G")); // unique as a pair, not per side
    EXPECT_EQ(r.LoggedGroups.size(), 3u);
}

// The menu commands of the removal: ShowGroup at each change of group, empty items skipped,
// and only groups the install created deleted at the end.
TEST(UnInstall, MenuCommandsFollowTheRecord) {
    test::TestDir dir;
    const std::string log = dir.WriteFile("INSTALL.LOG", "[Program Groups]\n0=Tools:~:\n1=A:~:x\n"
                                                         "2=B:~:y\n3=A:~:z\n4=Solo\n5=:~:lost\n");
    TInstallRecord r;
    ReadInstallLog(log, false, r, nullptr, nullptr);
    test::FakeProgramManager menu;
    RunUnInstallRemoval(r, log, &menu, {});
    EXPECT_EQ(menu.commands,
              (std::vector<std::string>{"[ShowGroup(A, 7)]", "[DeleteItem(x)]", "[ShowGroup(B, 7)]",
                                        "[DeleteItem(y)]", "[ShowGroup(A, 7)]", "[DeleteItem(z)]",
                                        "[ShowGroup(Solo, 7)]", "[DeleteItem(Solo)]",
                                        "[DeleteGroup(Tools)]"}));
    EXPECT_FALSE(fs::exists(log));
}

TEST(UnInstall, RemovesOnlyWhatTheLogMayName) {
    test::TestDir home;
    const std::string root = home / "opt/Veltrane";
    const std::string outside = home.WriteFile("mine/keep.txt", "user");
    const std::string before = home.WriteFile("opt/Veltrane/existed-before.txt", "old");
    TInstallRecord r;
    r.AddCreatedDir(root + "/docs/");
    r.AddCreatedDir(home / "opt/"); // ancestors are recorded nearest first, before the dir
    r.AddCreatedDir(root + "/");
    r.AddCreatedDir(home / "mine/");               // outside: refused
    r.AddInstalledFile(home.WriteFile("opt/Veltrane/veltrane", "x"));
    r.AddInstalledFile(home.WriteFile("opt/Veltrane/docs/readme.txt", "x"));
    r.AddInstalledFile(outside);                   // outside: refused
    r.AddInstalledFile(root + "/../../mine/keep.txt");
    r.AddInstalledFile(root + "/gone.txt");        // already removed: nothing said
    fs::create_directories(root + "/sub");
    fs::create_symlink(home / "mine", root + "/link");
    r.AddInstalledFile(root + "/link/keep.txt");   // through a link: refused
    const std::string user = home.WriteFile("opt/Veltrane/docs/notes.txt", "user's");
    const std::string log = home.WriteFile("opt/Veltrane/INSTALL.LOG", "[Files]\n");

    std::vector<std::string> removed, warnings;
    const int problems = RunUnInstallRemoval(
        r, log, nullptr,
        {[&](const std::string& s) { removed.push_back(s); },
         [&](const std::string& s) { warnings.push_back(s); }, {}});

    EXPECT_FALSE(fs::exists(root + "/veltrane"));
    EXPECT_FALSE(fs::exists(root + "/docs/readme.txt"));
    // Files named by the log remain (refused), so the log stays for another attempt.
    EXPECT_TRUE(fs::exists(log));
    EXPECT_EQ(home.ReadFile("mine/keep.txt"), "user");
    EXPECT_EQ(home.ReadFile("opt/Veltrane/docs/notes.txt"), "user's");
    EXPECT_TRUE(fs::exists(before));
    EXPECT_TRUE(fs::is_symlink(root + "/link"));
    EXPECT_TRUE(fs::exists(home / "mine"));
    // A link inside the install folder leads outside it: refused like any outside path. The
    // ancestor the install made (opt/) is not warned about.
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "Refused to delete " + outside + ": it lies outside " + root + ".",
                            "Refused to delete " + root + "/../../mine/keep.txt: it lies outside " +
                                root + ".",
                            "Refused to delete " + root + "/link/keep.txt: it lies outside " + root + ".",
                            "The install log " + log + " is kept: 3 recorded files remain.",
                            "Unable to delete directory " + root + "/docs.",
                            "Unable to delete directory " + root + ".",
                            "Refused to delete " + (home / "mine") + ": it lies outside " + root + "."}));
    EXPECT_EQ(problems, 7);
    EXPECT_EQ(removed.size(), 2u);

    // With the user's files gone, a second run removes the directories, deepest first.
    fs::remove(user);
    fs::remove(before);
    fs::remove(root + "/link");
    fs::remove(root + "/sub");
    r.InstalledFiles.resize(2); // the refused lines taken out of the log
    removed.clear();
    warnings.clear();
    RunUnInstallRemoval(r, log, nullptr, {[&](const std::string& s) { removed.push_back(s); },
                                          [&](const std::string& s) { warnings.push_back(s); }, {}});
    EXPECT_FALSE(fs::exists(home / "opt"));
    EXPECT_EQ(removed, (std::vector<std::string>{"Deleted " + log, "Removed directory " + root + "/docs/",
                                                 "Removed directory " + root + "/",
                                                 "Removed directory " + (home / "opt/")}));
}

TEST(Groups, CreatesRecordsAndReports) {
    Product p;
    TSetupFileGroup work(&p.data);
    for (const char* name : {"veltrane", "install"}) // whatsnew.txt was not selected
        work.AddFile(p.data.FindFile(name), p.installDir, true);
    auto exists = [](const std::string&) { return true; };
    const TSetupWinGroups& def = *p.data.FindWinGroup("SetupGroups");
    test::FakeProgramManager menu;
    TInstallRecord record;

    auto blank = CreateProgramGroup("", {}, def, work, menu, record, exists);
    EXPECT_TRUE(blank.ShowAgain);
    EXPECT_EQ(blank.Errors, std::vector<std::string>{"Group name cannot be blank."});
    EXPECT_TRUE(menu.commands.empty());

    menu.failing.insert("[AddItem(\"" + p.install + "veltrane\" ,Veltrane)]");
    auto run = CreateProgramGroup("Veltrane", {"Games", "veltrane"}, def, work, menu, record, exists);
    EXPECT_FALSE(run.Cancelled);
    EXPECT_EQ(run.Errors, std::vector<std::string>{"Unable to create program group item: Veltrane."});
    EXPECT_EQ(menu.commands,
              (std::vector<std::string>{"[CreateGroup(Veltrane)]",
                                        "[AddItem(\"" + p.install + "veltrane\" ,Veltrane)]",
                                        "[AddItem(\"" + p.install + "install\" Uninstall,Uninstall)]",
                                        "[ShowGroup(Veltrane, 7)]"}));
    // The group existed already: not recorded as created, only its items.
    EXPECT_EQ(record.LoggedItems, (std::vector<std::string>{"Veltrane", "Uninstall"}));

    CreateProgramGroup("New", {}, def, work, menu, record, exists);
    CreateProgramGroup("NEW", {}, def, work, menu, record, exists);
    EXPECT_EQ(record.LoggedGroups.size(), 5u); // New:~:, New:~:Veltrane, New:~:Uninstall once

    menu.answers = false;
    EXPECT_TRUE(RequestGroups(menu).empty());
    auto failed = CreateProgramGroup("Other", {}, def, work, menu, record, exists);
    EXPECT_TRUE(failed.Cancelled);
    EXPECT_EQ(failed.Errors, std::vector<std::string>{"Unable to create program group: Other."});

    EXPECT_EQ(InstalledItemCount(def, [](const std::string&) { return false; }), 0);
    EXPECT_EQ(InstalledItemCount(def, [&](const std::string& s) { return s == p.install + "install"; }), 1);
    menu.answers = true;
    menu.groups = {"A", "", "B"};
    EXPECT_EQ(RequestGroups(menu), (std::vector<std::string>{"A", "B"}));
}


namespace {
// A menu whose folders are known, as the desktop's are.
struct FoldersMenu : platform::IProgramManager {
    std::vector<std::string> folders;
    std::optional<std::string> Request(const std::string&) override { return std::nullopt; }
    bool Execute(const std::string&) override { return true; }
    std::vector<std::string> Folders() const override { return folders; }
};
} // namespace

// An edited log names folders it did not make: only folders at or below the install folder,
// its ancestors and the menu folders are ever removed (empty only); the others are refused.
TEST(UnInstall, EditedLogCannotRemoveForeignFolders) {
    test::TestDir home;
    const std::string root = home / "opt/Veltrane";
    fs::create_directories(root);
    fs::create_directories(home / "apps");                   // existed before, empty
    fs::create_directories(home / "data/applications");      // a menu folder the install made
    fs::create_directories(home / "elsewhere/deep");
    const std::string log = home.WriteFile("opt/Veltrane/INSTALL.LOG", "[Files]\n");
    TInstallRecord r;
    for (const std::string& d : {home / "apps/", home / "data/applications/", home / "elsewhere/deep/",
                                 root + "/", home / "opt/"})
        r.AddCreatedDir(d);
    FoldersMenu menu;
    menu.folders = {home / "data/applications/"};
    std::vector<std::string> warnings;
    RunUnInstallRemoval(r, log, &menu, {{}, [&](const std::string& s) { warnings.push_back(s); }, {}});
    EXPECT_TRUE(fs::exists(home / "apps"));
    EXPECT_TRUE(fs::exists(home / "elsewhere/deep"));
    EXPECT_FALSE(fs::exists(home / "data/applications"));
    EXPECT_FALSE(fs::exists(home / "opt"));
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "Refused to delete " + (home / "elsewhere/deep") + ": it lies outside " + root + ".",
                            "Refused to delete " + (home / "apps") + ": it lies outside " + root + "."}));
}

TEST(InstallLog, UnreadableLogIsReported) {
    test::TestDir dir;
    TInstallRecord r;
    r.AddInstalledFile("/kept");
    EXPECT_EQ(ReadInstallLog(dir / "missing.log", false, r, nullptr, nullptr), ENOENT);
    fs::create_directories(dir / "dir.log");
    EXPECT_EQ(ReadInstallLog(dir / "dir.log", false, r, nullptr, nullptr), EINVAL);
    EXPECT_EQ(r.InstalledFiles, std::vector<std::string>{"/kept"}) << "nothing changes";
    EXPECT_FALSE(IsInstallLog(dir.WriteFile("diary.txt", "dear diary")));
    EXPECT_TRUE(IsInstallLog(dir.WriteFile("INSTALL.LOG", "[Language]\nLanguage=English\n")));
}

} // namespace
} // namespace veltrane
