// The wizard's logic without windows: selection, overwrite rules, space check, the atomic copy,
// the copy page over a real directory, and the start-up stages.

#include "FakeSetupView.h"
#include "setup/SetupPages.h"
#include "setup/SetupPaths.h"
#include "setup/SetupStartup.h"
#include "support/TestDir.h"
#include "support/platform/FakeProcessStarter.h"
#include "platform/Profile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

using namespace veltrane;
using veltrane::test::FakeSetupView;
using veltrane::test::TestDir;

namespace {

struct Fixture {
    FakeSetupView View;
    TSetupInfo Info{View};
    Fixture() { View.Info = &Info; }
};

std::time_t MTime(const std::string& Path) {
    struct stat St {};
    ::stat(Path.c_str(), &St);
    return St.st_mtime;
}

void SetMTime(const std::string& Path, std::time_t T) {
    const struct utimbuf Times{T, T};
    ::utime(Path.c_str(), &Times);
}

} // namespace

TEST(Selection, SelectTakesChildrenAndFilesDeselectDropsChildren) {
    Fixture F;
    TSetupData& D = *F.Info.Data;
    TSetupDir* Install = D.FindDir("Install");
    TSetupDir* Sub = D.AddDir("Sub", "sub", Install);
    TSetupFile* A = D.AddFile("a");
    TSetupFile* B = D.AddFile("b");
    Install->Add(A);
    Sub->Add(B);
    F.Info.SelectDir(Install, true);
    EXPECT_TRUE(F.Info.IsSelected(Sub));
    EXPECT_TRUE(F.Info.WorkGroup->Contains(A, Install));
    EXPECT_TRUE(F.Info.WorkGroup->Contains(B, Sub));
    F.Info.SelectDir(Install, true); // twice changes nothing
    EXPECT_EQ(F.Info.SelectedDirs.size(), 2u);
    F.Info.DeselectDir(Install);
    EXPECT_TRUE(F.Info.SelectedDirs.empty());
    F.Info.SelectDir(Sub, false);
    F.Info.DeselectDir(Install); // not selected: nothing happens
    EXPECT_TRUE(F.Info.IsSelected(Sub));
}

TEST(FileCopy, OverwriteDecisionTable) {
    struct Case {
        bool Exists;
        TOverWrite Mode;
        std::time_t Target, Source;
        TOverwriteAction Want;
    };
    const Case Cases[] = {
        {false, swNever, 0, 0, TOverwriteAction::Copy},   {true, swAlways, 5, 1, TOverwriteAction::Copy},
        {true, swNever, 1, 5, TOverwriteAction::Skip},    {true, swOlder, 5, 5, TOverwriteAction::Skip},
        {true, swOlder, 6, 5, TOverwriteAction::Skip},    {true, swOlder, 4, 5, TOverwriteAction::Copy},
        {true, swAsk, 1, 1, TOverwriteAction::Ask},       {false, swAsk, 1, 1, TOverwriteAction::Copy},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(DecideOverwrite(C.Exists, C.Mode, C.Target, C.Source), C.Want)
            << C.Exists << " " << C.Mode << " " << C.Target << " " << C.Source;
}

TEST(FileCopy, SpaceCheckIsSixtyFourBitAndPerFileSystem) {
    Fixture F;
    TestDir Dir;
    TSetupData& D = *F.Info.Data;
    TSetupDir* Install = D.FindDir("Install");
    Install->SetDir(Dir / "a/b/c");
    TSetupDir* Other = D.AddDir("Other", "/elsewhere/x", nullptr);
    TSetupFile* Big = D.AddFile("big");
    Big->Size = 3LL << 30;
    TSetupFile* Big2 = D.AddFile("big2");
    Big2->Size = 2LL << 30;
    Install->Add(Big);
    Install->Add(Big2);
    Other->Add(Big);
    F.Info.SelectDir(Install, true);
    F.Info.SelectDir(Other, true);
    std::vector<std::string> AskedAt;
    F.Info.FreeSpace = [&](const std::string& Path) -> std::optional<TSpaceInfo> {
        AskedAt.push_back(Path);
        if (Path == Dir.path().string())
            return TSpaceInfo{1, (5LL << 30) - 1}; // one byte short of 5 GiB
        return TSpaceInfo{2, 4LL << 30};
    };
    TSetupFileCopy Copy("SetupFileCopy");
    Copy.SetupInfo = &F.Info;
    auto Short = Copy.CheckSpace();
    ASSERT_EQ(Short.size(), 1u);
    EXPECT_EQ(Short[0].Where, Dir.path().string()); // the nearest existing ancestor
    EXPECT_EQ(Short[0].Required, 5LL << 30);
    EXPECT_EQ(Short[0].Available, (5LL << 30) - 1);
    EXPECT_EQ(AskedAt.back(), "/");
    F.Info.DeselectDir(Install); // an unselected dir needs nothing
    EXPECT_TRUE(Copy.CheckSpace().empty());
}

TEST(FileCopy, BlocksTimesModesAndNoPartialFiles) {
    TestDir Dir;
    for (auto [Size, Passes] : {std::pair{2048, 2}, {2047, 1}, {0, 1}, {4097, 3}}) {
        const std::string Src = Dir.WriteFile("src" + std::to_string(Size), std::string(static_cast<std::size_t>(Size), 'x'));
        ::chmod(Src.c_str(), 0750);
        SetMTime(Src, 1000000000);
        const std::string Dst = Dir / ("dst" + std::to_string(Size));
        std::vector<std::int64_t> Blocks;
        EXPECT_EQ(CopyFileAtomic(Src, Dst, false, [&](std::int64_t N) { Blocks.push_back(N); }), "");
        EXPECT_EQ(static_cast<int>(Blocks.size()), Passes) << Size;
        EXPECT_EQ(Dir.ReadFile("dst" + std::to_string(Size)).size(), static_cast<std::size_t>(Size));
        EXPECT_EQ(MTime(Dst), 1000000000);
        struct stat St {};
        ::stat(Dst.c_str(), &St);
        EXPECT_EQ(St.st_mode & 0777, 0750u);
    }
    // Without Replace an existing target is refused and kept; a missing source leaves nothing.
    Dir.WriteFile("old", "mine");
    EXPECT_NE(CopyFileAtomic(Dir / "src2048", Dir / "old", false, {}), "");
    EXPECT_EQ(Dir.ReadFile("old"), "mine");
    EXPECT_EQ(CopyFileAtomic(Dir / "missing", Dir / "new", false, {}), "Source file doesn't exist.");
    EXPECT_EQ(CopyFileAtomic(Dir / "src2048", Dir / "old", true, {}), "");
    EXPECT_EQ(Dir.ReadFile("old").size(), 2048u);
    std::size_t Count = 0;
    for (auto& E : std::filesystem::directory_iterator(Dir.path()))
        Count += E.path().filename().string()[0] == '.';
    EXPECT_EQ(Count, 0u) << "a temporary file was left behind";
}

TEST(FileCopy, PageCreatesDirsCopiesSortedAndRecords) {
    Fixture F;
    TestDir Src, Dst;
    TSetupData& D = *F.Info.Data;
    F.Info.ProgramPath = Src / "install";
    for (int Disk = 2; Disk <= 12; ++Disk)
        D.AddDisk("Disk " + std::to_string(Disk));
    TSetupDir* Install = D.FindDir("Install");
    Install->SetDir(Dst / "new/deeper");
    TSetupDir* Empty = D.AddDir("Empty", "empty", Install);
    (void)Empty;
    for (auto [Name, Disk] : {std::pair<const char*, int>{"two", 2}, {"ten", 10}, {"one", 1}}) {
        Src.WriteFile(Name, Name);
        TSetupFile* File = D.AddFile(Name);
        File->Size = static_cast<std::int64_t>(std::string(Name).size());
        D.GetDisk(Disk)->Add(File);
        Install->Add(File);
    }
    Src.WriteFile("kept", "source");
    TSetupFile* Kept = D.AddFile("kept");
    Kept->Size = 6;
    D.GetDisk(1)->Add(Kept);
    Install->Add(Kept);
    D.AddFile("nowhere"); // on no disk: never copied
    Install->Add(D.FindFile("nowhere"));
    F.Info.SelectDir(Install, true);
    std::filesystem::create_directories(Dst / "new/deeper");
    Dst.WriteFile("new/deeper/kept", "user's");
    std::filesystem::remove_all(Dst / "new");
    // The target path does not exist: it and its missing parent get created.
    TSetupFileCopy Copy("SetupFileCopy");
    Copy.SetupInfo = &F.Info;
    Copy.OverWrite = swNever;
    F.Info.CurrentPage = &Copy;
    Copy.StartPage();
    EXPECT_EQ(Copy.PageResult, prDone);
    EXPECT_EQ(F.Info.CreatedDirs, (std::vector<std::string>{Dst / "new/", Dst / "new/deeper/"}));
    EXPECT_FALSE(std::filesystem::exists(Dst / "new/deeper/empty")) << "an empty dir is made only when asked";
    // Sorted as text: disk 1, then 10, then 2; each disk change asks for the disk.
    std::vector<std::string> Copied;
    for (const std::string& R : F.View.Reports)
        if (R.rfind("Copied ", 0) == 0)
            Copied.push_back(R.substr(R.rfind('/') + 1));
    EXPECT_EQ(Copied, (std::vector<std::string>{"kept", "one", "ten", "two"}));
    ASSERT_EQ(F.View.Asked.size(), 2u);
    EXPECT_EQ(F.View.Asked[0], "Please insert disk 10 labeled Disk 10.");
    EXPECT_EQ(F.View.TotalProgress, 3 + 3 + 3 + 6);
    EXPECT_EQ(F.Info.InstalledFiles.size(), 4u);
}

TEST(FileCopy, ExistingFileWithAskNoYesAllAndAbort) {
    TestDir Src, Dst;
    for (const char* Name : {"a", "b", "c"}) {
        Src.WriteFile(Name, std::string("new ") + Name);
        Dst.WriteFile(Name, "old");
    }
    struct Case {
        std::vector<int> Answers;
        std::string A, B, C;
        std::size_t Questions;
    };
    const Case Cases[] = {
        {{mrNo, mrNo, mrNo}, "old", "old", "old", 3},
        {{mrYes, mrNo, mrYes}, "new a", "old", "new c", 3},
        {{mrNo, mrAll}, "old", "new b", "new c", 2},
        {{mrAbort, mrYes}, "old", "old", "old", 2}, // abort, then "Abort file copy?" Yes
    };
    for (const Case& C : Cases) {
        for (const char* Name : {"a", "b", "c"})
            Dst.WriteFile(Name, "old");
        Fixture F;
        TSetupData& D = *F.Info.Data;
        F.Info.ProgramPath = Src / "install";
        TSetupDir* Install = D.FindDir("Install");
        Install->SetDir(Dst.path().string());
        for (const char* Name : {"a", "b", "c"}) {
            TSetupFile* File = D.AddFile(Name);
            D.GetDisk(1)->Add(File);
            Install->Add(File);
        }
        F.Info.SelectDir(Install, true);
        F.View.Answers.assign(C.Answers.begin(), C.Answers.end());
        TSetupFileCopy Copy("SetupFileCopy");
        Copy.SetupInfo = &F.Info;
        F.Info.CurrentPage = &Copy;
        Copy.StartPage();
        EXPECT_EQ(Dst.ReadFile("a"), C.A);
        EXPECT_EQ(Dst.ReadFile("b"), C.B);
        EXPECT_EQ(Dst.ReadFile("c"), C.C);
        EXPECT_EQ(F.View.Asked.size(), C.Questions);
        EXPECT_TRUE(F.Info.InstalledFiles.empty()) << "a replaced file is not the install's own";
    }
}

TEST(DirChoice, TargetRulesAndFloppyRefusal) {
    Fixture F;
    TSetupDirChoice Page("SetupDirChoice");
    Page.SetupInfo = &F.Info;
    Page.InstallDir = "Install";
    EXPECT_FALSE(Page.SetTargetDir("relative/dir"));
    EXPECT_FALSE(Page.SetTargetDir("/a//b"));
    EXPECT_TRUE(Page.SetTargetDir("/opt/x"));
    EXPECT_EQ(Page.TargetDir(), "/opt/x/");
    F.Info.IsRemovable = [](const std::string& P) { return P.rfind("/media/", 0) == 0; };
    EXPECT_TRUE(Page.SetTargetDir("/media/stick/app"));
    F.Info.CurrentPage = &Page;
    F.Info.SetButton(wbNext, true, true, "");
    Page.PageResult = prDone;
    Page.GoNext();
    EXPECT_EQ(Page.PageResult, prWaiting);
    EXPECT_EQ(F.View.Asked, std::vector<std::string>{"Not allowed to install to a floppy drive."});
    // A folder the log could not name, or a file where the folder should be: the page stays.
    TestDir Plain;
    F.Info.Data->LogFileDir = F.Info.Data->FindDir("Install");
    for (const std::string& Target : {std::string("/opt/a=b"), Plain.WriteFile("a-file", "x")}) {
        EXPECT_TRUE(Page.SetTargetDir(Target));
        Page.PageResult = prDone;
        Page.GoNext();
        EXPECT_EQ(Page.PageResult, prWaiting);
    }
    EXPECT_EQ(F.View.Asked[1], "The folder \"/opt/a=b/\" cannot be kept in the install log: it holds \"=\".");
    EXPECT_EQ(F.View.Asked[2], Plain / "a-file" + " is a file, not a folder.");
    EXPECT_EQ(BrowsePath("/data/Apps", "/home/u/.local/opt/Veltrane/", 1), "/data/Apps/Veltrane/");
    EXPECT_EQ(BrowsePath("/data/Apps/", "/home/u/opt/Veltrane/", 0), "/data/Apps/");
}

TEST(Startup, InstanceHandOverAndFirstUninstallStage) {
    {
        Fixture F;
        TStartupOptions O;
        O.IsFirstInstance = false;
        EXPECT_THROW(RunStartup(F.Info, O), ESetupError);
        F.Info.MultiException = false;
        EXPECT_EQ(RunStartup(F.Info, O).Kind, TStartupKind::Refused);
    }
    TestDir Win, Prog;
    {
        Fixture F;
        F.Info.WindowsDir = AddBackslash(Win.path().string());
        F.Info.WindowsDir = AddBackslash(Win / "fresh/.config"); // made when missing
        F.Info.ProgramPath = Prog.WriteFile("install", "program");
        Prog.WriteFile("extra.txt", "x");
        Prog.WriteFile("INSTALL.LOG", "[Files]\n");
        F.Info.Data->LogFileDir = F.Info.Data->FindDir("Install");
        F.Info.Data->UnInstallFiles = {"extra.txt", "INSTALL"};
        veltrane::test::FakeProcessStarter Processes;
        TStartupOptions O;
        O.Args = {"uninstall"};
        O.HandOn = {"--unattended", "--overwrite", "always"};
        O.Unattended = true;
        O.Processes = &Processes;
        Processes.exitCodes[1000] = 0;
        const TStartupResult R = RunStartup(F.Info, O);
        EXPECT_EQ(R.Kind, TStartupKind::Restarted);
        ASSERT_EQ(Processes.started.size(), 1u);
        const std::vector<std::string>& Argv = Processes.started[0].argv;
        EXPECT_EQ(Argv, (std::vector<std::string>{Argv[0], "--unattended", "--overwrite", "always"}));
        const std::string Temp = Argv[0].substr(0, Argv[0].rfind('/') + 1);
        EXPECT_NE(Temp, AddBackslash(Prog.path().string()));
        EXPECT_TRUE(std::filesystem::exists(Temp + "extra.txt"));
        const std::string HandOver = HandOverFile(F.Info);
        EXPECT_EQ(platform::GetPrivateProfileString("UnInstall", "Log File", "", HandOver),
                  AddBackslash(Prog.path().string()) + "INSTALL.LOG");
        EXPECT_EQ(platform::GetPrivateProfileString("UnInstall", "0", "", HandOver), "extra.txt");
        EXPECT_EQ(platform::GetPrivateProfileString("UnInstall", "Token", "", HandOver).size(), 32u);
        std::filesystem::remove_all(Temp);
    }
    {
        // Nothing to uninstall without a log: said, and nothing is started.
        Fixture F;
        F.Info.WindowsDir = AddBackslash(Win / "none");
        TestDir Empty;
        F.Info.ProgramPath = Empty.WriteFile("install", "program");
        F.Info.Data->LogFileDir = F.Info.Data->FindDir("Install");
        veltrane::test::FakeProcessStarter Processes;
        TStartupOptions O;
        O.Args = {"Uninstall"};
        O.Processes = &Processes;
        const TStartupResult R = RunStartup(F.Info, O);
        EXPECT_EQ(R.Kind, TStartupKind::Restarted);
        EXPECT_EQ(R.ExitCode, 1);
        EXPECT_TRUE(Processes.started.empty());
        EXPECT_FALSE(std::filesystem::exists(HandOverFile(F.Info)));
    }
}

// The second stage acts on the hand-over only with the token its first stage gave it, and
// only on a file called like the log that reads as one.
TEST(Startup, HandOverActsOnlyWithItsToken) {
    const std::string Token(32, 'a');
    struct Case {
        const char* What;
        const char* Env;      // token in the environment, or null
        const char* LogName;  // what "Log File" names in Prog
        TStartupKind Kind;
        bool SectionStays, LogStays;
    } Cases[] = {
        {"planted, an install is there", nullptr, "INSTALL.LOG", TStartupKind::Install, true, true},
        {"planted, names a diary", nullptr, "diary.txt", TStartupKind::Install, false, true},
        {"a wrong token", "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", "INSTALL.LOG", TStartupKind::Install, true, true},
        {"the first stage's copy", Token.c_str(), "INSTALL.LOG", TStartupKind::UnInstall, false, true},
        {"the copy, handed a diary", Token.c_str(), "diary.txt", TStartupKind::Refused, false, true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TestDir Win, Prog;
        Fixture F;
        F.Info.WindowsDir = AddBackslash(Win.path().string());
        Prog.WriteFile("INSTALL.LOG", "[Files]\n/x/y=\n;/etc/passwd=\n");
        Prog.WriteFile("diary.txt", "dear diary");
        const std::string Log = Prog / C.LogName;
        const std::string HandOver = HandOverFile(F.Info);
        platform::WritePrivateProfileString("UnInstall", "Log File", Log, HandOver);
        platform::WritePrivateProfileString("UnInstall", "Token", Token, HandOver);
        // Keys "0" and "2" without "1": one file taken along.
        platform::WritePrivateProfileString("UnInstall", "0", "readme.txt", HandOver);
        platform::WritePrivateProfileString("UnInstall", "2", "other", HandOver);
        if (C.Env)
            ::setenv(HandOverTokenVariable, C.Env, 1);
        else
            ::unsetenv(HandOverTokenVariable);
        const TStartupResult R = RunStartup(F.Info, {});
        EXPECT_EQ(R.Kind, C.Kind);
        EXPECT_EQ(getenv(HandOverTokenVariable), nullptr);
        EXPECT_EQ(!platform::ProfileKeys("UnInstall", HandOver).empty(), C.SectionStays);
        // The last section gone, the hand-over file goes too.
        EXPECT_EQ(std::filesystem::exists(HandOver), C.SectionStays);
        EXPECT_EQ(std::filesystem::exists(Log), C.LogStays);
        EXPECT_EQ(Prog.ReadFile("diary.txt"), "dear diary");
        if (C.Kind == TStartupKind::UnInstall) {
            EXPECT_EQ(F.Info.Data->UnInstallFiles, std::vector<std::string>{"README.TXT"});
            // The comment line is no key of the log.
            EXPECT_EQ(F.Info.InstalledFiles, std::vector<std::string>{"/x/y"});
        } else {
            EXPECT_TRUE(F.Info.InstalledFiles.empty());
        }
    }
}

// A second stage that refuses its log removes the copy its first stage made, as a finished
// uninstall's copy does; a program outside such a private folder, or one the hand-over was
// not meant for, keeps its files.
TEST(Startup, ARefusedSecondStageRemovesItsOwnCopy) {
    const std::string Token(32, 'a');
    struct Case {
        const char* What;
        const char* LogName;
        const char* LogBytes; // null: a folder of that name
        bool InPrivateDir;
        const char* Env;
        TStartupKind Kind;
        bool CopyGone;
    } Cases[] = {
        {"handed a diary", "diary.txt", "dear diary", true, Token.c_str(), TStartupKind::Refused, true},
        {"a log that cannot be read", "INSTALL.LOG", nullptr, true, Token.c_str(), TStartupKind::Refused, true},
        {"not an install log", "INSTALL.LOG", "[Other]\nx=1\n", true, Token.c_str(), TStartupKind::Refused, true},
        {"started from an ordinary folder", "diary.txt", "dear diary", false, Token.c_str(), TStartupKind::Refused, false},
        {"a wrong token", "diary.txt", "dear diary", true, nullptr, TStartupKind::Install, false},
    };
    const char* OldTmp = std::getenv("TMPDIR");
    const std::string SavedTmp = OldTmp ? OldTmp : "";
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TestDir Win, Prog, Tmp;
        ::setenv("TMPDIR", Tmp.path().c_str(), 1);
        const std::string Dir = C.InPrivateDir ? MakePrivateTempDir() : AddBackslash(Tmp / "plain");
        std::filesystem::create_directories(Dir);
        Fixture F;
        F.Info.WindowsDir = AddBackslash(Win.path().string());
        F.Info.ProgramPath = Dir + "install";
        const std::vector<std::string> Copy = {Dir + "install", Dir + "readme.txt", Dir + "Lang.dll"};
        for (const std::string& Path : Copy)
            std::ofstream(Path) << "x";
        const std::string Log = Prog / C.LogName;
        if (C.LogBytes)
            Prog.WriteFile(C.LogName, C.LogBytes);
        else
            Prog.MakeDir(C.LogName);
        const std::string HandOver = HandOverFile(F.Info);
        platform::WritePrivateProfileString("UnInstall", "Log File", Log, HandOver);
        platform::WritePrivateProfileString("UnInstall", "Token", Token, HandOver);
        platform::WritePrivateProfileString("UnInstall", "0", "readme.txt", HandOver);
        platform::WritePrivateProfileString("UnInstall", "1", "Lang.dll", HandOver);
        platform::WritePrivateProfileString("UnInstall", "2", "../outside", HandOver);
        const std::string Outside = Tmp.WriteFile("outside", "keep");
        if (C.Env)
            ::setenv(HandOverTokenVariable, C.Env, 1);
        else
            ::unsetenv(HandOverTokenVariable);
        EXPECT_EQ(RunStartup(F.Info, {}).Kind, C.Kind);
        for (const std::string& Path : Copy)
            EXPECT_EQ(std::filesystem::exists(Path), !C.CopyGone) << Path;
        EXPECT_EQ(std::filesystem::exists(Dir), !C.CopyGone);
        EXPECT_TRUE(std::filesystem::exists(Outside));
        EXPECT_TRUE(std::filesystem::exists(Log));
        // Back before the next test folders are made.
        if (OldTmp)
            ::setenv("TMPDIR", SavedTmp.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
}

TEST(Startup, SystemDirOutsideWindowsDirLosesItsParent) {
    Fixture F;
    F.Info.WindowsDir = "/home/u/.config/";
    F.Info.SystemDir = "/home/u/.local/lib/";
    F.Info.PrepareDirs();
    TSetupDir* System = F.Info.Data->FindDir("Windows System");
    EXPECT_EQ(System->Parent, nullptr);
    EXPECT_EQ(DirFullPath(System), "/home/u/.local/lib/");
    F.Info.SystemDir = "/home/u/.config/sys/";
    F.Info.PrepareDirs();
    EXPECT_EQ(System->Parent, F.Info.Data->FindDir("Windows"));
    EXPECT_EQ(System->Dir(), "sys/");
}
