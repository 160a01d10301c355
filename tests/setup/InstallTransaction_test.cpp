// The install as a transaction: a cancelled or failed run leaves the target byte for byte as
// it was, a run that ends well leaves no backup and has its log before the closing page, and
// two runs into one folder exclude each other.

#include "FakeSetupView.h"
#include "platform/ProgramManager.h"
#include "platform/SystemDirs.h"
#include "setup/SetupPages.h"
#include "setup/SetupPaths.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace veltrane;
using veltrane::test::FakeSetupView;
using veltrane::test::TestDir;
namespace fs = std::filesystem;

namespace {

// Every entry below Root (hidden ones too) with its contents; directories as "<dir>".
std::map<std::string, std::string> Snapshot(const std::string& Root) {
    std::map<std::string, std::string> Out;
    if (!fs::exists(Root))
        return Out;
    for (const auto& E : fs::recursive_directory_iterator(Root)) {
        const std::string Rel = fs::relative(E.path(), Root).string();
        if (E.is_directory() && !E.is_symlink()) {
            Out[Rel] = "<dir>";
        } else {
            std::ifstream In(E.path(), std::ios::binary);
            Out[Rel].assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
        }
    }
    return Out;
}

// The copy page, then a page that keeps the install (as the groups page does), then the
// closing page, which notes whether the log was there when it was shown.
struct TRun {
    FakeSetupView View;
    TSetupInfo Info{View};
    TestDir Src;
    TSetupFileCopy Copy{"SetupFileCopy"};
    TSetupMessage Keep{"Keep"}, Closing{"Closing"};
    bool LogAtClosing = false;

    explicit TRun(const std::string& Target, std::vector<std::pair<std::string, std::size_t>> Files = {
                                                 {"a", 3}, {"b", 3}, {"c", 3}}) {
        View.Info = &Info;
        Info.ProgramPath = Src / "install";
        Info.FreeSpace = [](const std::string&) { return TSpaceInfo{1, 1LL << 40}; };
        TSetupData& D = *Info.Data;
        TSetupDir* Install = D.FindDir("Install");
        Install->SetDir(AddBackslash(Target));
        D.LogFileDir = Install;
        for (const auto& [Name, Size] : Files) {
            Src.WriteFile(Name, std::string(Size, Name[0]));
            TSetupFile* F = D.AddFile(Name);
            F->Size = static_cast<std::int64_t>(Size);
            D.GetDisk(1)->Add(F);
            Install->Add(F);
        }
        Info.SelectDir(Install, true);
        for (TSetupPage* P : {static_cast<TSetupPage*>(&Copy), static_cast<TSetupPage*>(&Keep),
                              static_cast<TSetupPage*>(&Closing)})
            P->SetupInfo = &Info;
        Copy.OverWrite = swAlways;
        Copy.NextPage = &Keep;
        Keep.NextPage = &Closing;
        Closing.Buttons = btFinish;
        Keep.OnNextPage = [this](TSetupPage& P) {
            if (!Copy.Commit())
                P.PageResult = prCancelled;
        };
        Closing.OnExecute = [this, Target](TSetupComponent&) {
            LogAtClosing = fs::exists(AddBackslash(Target) + "INSTALL.LOG");
        };
    }
    int Go() { return Info.RunWizardChain(&Copy, nullptr); }
};

bool Root() { return ::geteuid() == 0; }

} // namespace

TEST(Transaction, CancelOrFailureLeavesTheTargetAsItWas) {
    struct Case {
        const char* What;
        std::function<void(const std::string& Target)> Arrange;
        std::deque<TWizardButton> Presses;
        std::deque<int> Answers;
        std::string Outcome; // start of the text shown at the end
        std::string Names;   // what it must name
    } Cases[] = {
        {"cancel after the copy", {}, {wbCancel}, {}, InstallCancelledText, ""},
        {"a file cannot be copied",
         [](const std::string& T) { fs::create_directories(T + "/c/x"); },
         {}, {}, "Setup failed.", "Unable to copy " },
        {"the log cannot be written",
         [](const std::string& T) {
             fs::remove(T + "/INSTALL.LOG");
             fs::create_directories(T + "/INSTALL.LOG/x");
         },
         {}, {}, "Setup failed.", "install log"},
        {"Abort at a failed file",
         [](const std::string& T) { fs::create_directories(T + "/a/x"); },
         {}, {mrAbort, mrYes}, "Setup failed.", "/a: "},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TestDir Home;
        const std::string Target = Home / "app";
        Home.WriteFile("app/b", "the user's own b");
        Home.WriteFile("app/INSTALL.LOG", "[Files]\n" + (Home / "app/old") + "=\n");
        if (C.Arrange)
            C.Arrange(Target);
        const auto Before = Snapshot(Home.path().string());
        TRun R(Target);
        R.View.Presses = C.Presses;
        R.View.Answers = C.Answers;
        EXPECT_EQ(R.Go(), prCancelled);
        EXPECT_EQ(Snapshot(Home.path().string()), Before);
        EXPECT_EQ(R.Info.OutcomeText.rfind(C.Outcome, 0), 0u) << R.Info.OutcomeText;
        EXPECT_NE(R.Info.OutcomeText.find(C.Names), std::string::npos) << R.Info.OutcomeText;
        EXPECT_EQ(R.View.Asked.back(), R.Info.OutcomeText) << "said once, at the end";
        EXPECT_TRUE(R.Info.InstalledFiles.empty());
    }
}

TEST(Transaction, DestinationThatCannotBeCreatedFails) {
    for (int Answer : {mrNo, mrYes}) {
        TestDir Home;
        Home.WriteFile("file", "a file where a folder should be");
        TRun R(Home / "file/app");
        R.View.Answers = {Answer};
        EXPECT_EQ(R.Go(), prCancelled);
        EXPECT_EQ(R.View.Asked.front(), "Unable to create directory " + (Home / "file/app/") + ". Abort file copy?");
        EXPECT_EQ(R.Info.OutcomeText.rfind("Setup failed.\nUnable to create directory", 0), 0u);
        EXPECT_EQ(Home.ReadFile("file"), "a file where a folder should be");
    }
}

TEST(Transaction, SuccessKeepsNoBackupAndLogsBeforeTheClosingPage) {
    TestDir Home;
    const std::string Target = Home / "app";
    Home.WriteFile("app/b", "the user's own b");
    TRun R(Target);
    EXPECT_EQ(R.Go(), prDone);
    EXPECT_TRUE(R.LogAtClosing);
    EXPECT_EQ(R.View.Asked.back(), "Setup completed successfully.");
    EXPECT_EQ(Home.ReadFile("app/b"), "bbb");
    for (const auto& E : fs::directory_iterator(Target))
        EXPECT_NE(E.path().filename().string()[0], '.') << E.path() << " was left behind";
}

TEST(Transaction, SpaceWarningThenPreviousChoosesAnotherFolder) {
    TestDir Home;
    FakeSetupView View;
    TSetupInfo Info{View};
    View.Info = &Info;
    Info.ProgramPath = Home.WriteFile("src/install", "");
    Home.WriteFile("src/a", "aaa");
    TSetupData& D = *Info.Data;
    TSetupDir* Install = D.FindDir("Install");
    Install->SetDir(Home / "small/");
    TSetupFile* A = D.AddFile("a");
    A->Size = 3;
    D.GetDisk(1)->Add(A);
    Install->Add(A);
    Info.SelectDir(Install, true);
    int Asked = 0;
    Info.FreeSpace = [&](const std::string&) { return TSpaceInfo{1, ++Asked == 1 ? 2 : 1000}; };
    TSetupDirChoice Dir("SetupDirChoice");
    TSetupFileCopy Copy("SetupFileCopy");
    Dir.SetupInfo = Copy.SetupInfo = &Info;
    Dir.InstallDir = "Install";
    Dir.NextPage = &Copy;
    View.Presses = {wbNext, wbPrev};
    EXPECT_EQ(Info.RunWizardChain(&Dir, nullptr), prDone);
    EXPECT_EQ(std::count(View.Shown.begin(), View.Shown.end(), "Choose Destination Directory"), 2);
    EXPECT_EQ(Home.ReadFile("small/a"), "aaa");
}

TEST(Transaction, FullFileSystemAtTheCopyAndAtTheLog) {
    if (!Root())
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    // 16 pages: two files of 8 pages fill it, so the log finds no room; 8 and 9 pages stop at
    // the second file.
    for (std::size_t Second : {8u * 4096, 9u * 4096}) {
        TestDir Home;
        const std::string Mount = Home / "fs";
        fs::create_directories(Mount);
        if (::mount("tmpfs", Mount.c_str(), "tmpfs", 0, "size=65536") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        {
            TRun R(Mount + "/app", {{"a", 8 * 4096}, {"b", Second}});
            EXPECT_EQ(R.Go(), prCancelled);
            EXPECT_NE(R.Info.OutcomeText.find("No space left on device"), std::string::npos) << R.Info.OutcomeText;
            EXPECT_NE(R.Info.OutcomeText.find(Second == 8 * 4096 ? "install log" : "/app/b"), std::string::npos);
            EXPECT_TRUE(Snapshot(Mount).empty());
        }
        ::umount2(Mount.c_str(), MNT_DETACH);
    }
}

TEST(Transaction, OneRunPerTargetFolder) {
    TestDir Home;
    fs::create_directories(Home / "real");
    fs::create_directory_symlink(Home / "real", Home / "link");
    // The lock files go to a runtime directory of this test's own.
    const std::string Runtime = Home.MakeDir("run");
    const char* Old = std::getenv("XDG_RUNTIME_DIR");
    const std::string Saved = Old ? Old : "";
    ::setenv("XDG_RUNTIME_DIR", Runtime.c_str(), 1);
    {
        TInstallTransaction First, Second, Third;
        EXPECT_EQ(First.LockTarget(Home / "real/app"), "");
        EXPECT_EQ(Second.LockTarget(Home / "link/app/"),
                  "Another installation into " + (Home / "real/app/") + " is running.");
        EXPECT_EQ(Third.LockTarget(Home / "real/other"), "");
    }
    EXPECT_TRUE(fs::is_empty(Runtime)) << "lock files are removed at the end";
    if (Old)
        ::setenv("XDG_RUNTIME_DIR", Saved.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

TEST(Transaction, FileTheUserSkippedIsNamedAndTheRunSucceeds) {
    TestDir Home;
    const std::string Target = Home / "app";
    fs::create_directories(Target + "/c/x");
    TRun R(Target);
    R.View.Answers = {mrIgnore};
    EXPECT_EQ(R.Go(), prDone);
    EXPECT_EQ(R.Copy.Skipped(), std::vector<std::string>{Target + "/c"});
    EXPECT_TRUE(R.Copy.Failures().empty());
}

// The menu entries a run wrote go with its rollback; an entry it replaced comes back.
TEST(Transaction, MenuFilesAreRolledBack) {
    TestDir Home;
    const std::string Foreign = Home.WriteFile("data/applications/tsetup-tools-run.desktop", "the user's entry");
    const auto Before = Snapshot(Home.path().string());
    TInstallTransaction T;
    platform::LinuxMenuFiles Files;
    TRecordingMenuFiles Recorded(Files, T);
    platform::FreedesktopProgramManager Menu(Home / "data", Home / "config", &Recorded);
    int Refreshed = 0;
    Menu.RunTool = [&](const std::vector<std::string>&) { ++Refreshed; };
    T.OnMenusChanged = [&] { Menu.MenusChanged(); };
    T.Begin();
    const std::string Prog = Home.WriteFile("bin/run", "#!/bin/sh\n");
    ::chmod(Prog.c_str(), 0755);
    ASSERT_TRUE(Menu.Execute("[CreateGroup(Tools)]"));
    ASSERT_TRUE(Menu.Execute(platform::AddItemCommand(Prog, "", "Run")));
    ASSERT_TRUE(Menu.Execute(platform::AddItemCommand(Prog, "", "Other")));
    EXPECT_NE(Home.ReadFile("data/applications/tsetup-tools-run.desktop"), "the user's entry");
    EXPECT_FALSE(T.MenuDirs().empty());
    EXPECT_TRUE(T.RollBack().empty());
    fs::remove(Prog);
    fs::remove(Home / "bin");
    EXPECT_EQ(Snapshot(Home.path().string()), Before);
    EXPECT_EQ(Refreshed, 1);
}
