// The distribution folder: what the stored description says of each file is true of the file,
// and the real program installs unattended into a temporary home, keeping a changed user file.

#include "setup/FileDate.h"
#include "setup/SetupJson.h"
#include "setup/SetupStream.h"
#include "setup/StoredDescription.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace veltrane;

namespace {

const std::string Dist = VELTRANE_DIST_DIR "/";

struct TRun {
    int Status;
    std::string Output;
};

TRun RunProgram(const std::string& Command) {
    TRun R{-1, ""};
    FILE* P = ::popen(Command.c_str(), "r");
    if (!P)
        return R;
    std::array<char, 4096> Buf;
    while (std::size_t N = std::fread(Buf.data(), 1, Buf.size(), P))
        R.Output.append(Buf.data(), N);
    const int W = ::pclose(P);
    R.Status = WIFEXITED(W) ? WEXITSTATUS(W) : -1;
    return R;
}

std::string Quote(const std::string& S) { return "'" + S + "'"; }

} // namespace

TEST(InstallDist, StoredDescriptionMatchesTheFolder) {
    auto Bytes = ReadStoredDescription(Dist + "install");
    ASSERT_TRUE(Bytes);
    auto D = ReadSetupData(*Bytes);
    EXPECT_EQ(D->AppName, "Veltrane v2.0");
    ASSERT_EQ(D->Files.size(), 4u);
    for (const auto& F : D->Files) {
        struct stat St {};
        ASSERT_EQ(::stat((Dist + F->Name).c_str(), &St), 0) << F->Name;
        EXPECT_EQ(F->Size, St.st_size) << F->Name;
        EXPECT_EQ(DateTimeToFileDate(F->DateTime), DateTimeToFileDate(DateTimeFromUnix(St.st_mtime))) << F->Name;
    }
    EXPECT_EQ(D->FindDir("Install")->Dir(), "~/.local/opt/Veltrane/");
    EXPECT_EQ(D->WinItems[1]->CommandLine, "Uninstall");
    EXPECT_EQ(D->LogFileDir, D->FindDir("Install"));
}

TEST(InstallDist, DescribeAndWriteDescriptionRoundTrip) {
    test::TestDir Dir;
    const TRun Described = RunProgram(Quote(Dist + "install") + " --describe");
    ASSERT_EQ(Described.Status, 0);
    Dir.WriteFile("d.json", Described.Output);
    ASSERT_EQ(RunProgram(Quote(Dist + "install") + " --write-description " + Quote(Dir / "d.json") + " " + Quote(Dir / "d.setup")).Status, 0);
    const TRun Again = RunProgram(Quote(Dist + "install") + " --describe " + Quote(Dir / "d.setup"));
    EXPECT_EQ(Again.Status, 0);
    EXPECT_EQ(Again.Output, Described.Output);
    // A malformed file names the offset and fails with 1.
    Dir.WriteFile("bad.setup", std::string("\x01\x02\x05\x06\x09Truncated", 14));
    const TRun Bad = RunProgram(Quote(Dist + "install") + " --describe " + Quote(Dir / "bad.setup") + " 2>&1");
    EXPECT_EQ(Bad.Status, 1);
    EXPECT_NE(Bad.Output.find("offset"), std::string::npos) << Bad.Output;
    EXPECT_EQ(RunProgram(Quote(Dist + "install") + " --overwrite sometimes 2>/dev/null").Status, 2);
}

TEST(InstallDist, UnattendedInstallKeepsChangedUserFile) {
    test::TestDir Dir;
    const std::string Env = "env HOME=" + Quote(Dir / "home") + " XDG_CONFIG_HOME= XDG_RUNTIME_DIR=" + Quote(Dir.path().string()) + " ";
    const std::string Target = Dir / "opt/Veltrane";
    const std::string Command = Env + Quote(Dist + "install") + " --unattended --dir " + Quote(Target);
    const TRun First = RunProgram(Command);
    ASSERT_EQ(First.Status, 0) << First.Output;
    for (const char* Name : {"veltrane", "install", "readme.txt", "whatsnew.txt"}) {
        EXPECT_NE(First.Output.find("Copied " + Target + "/" + Name), std::string::npos) << First.Output;
        EXPECT_TRUE(std::filesystem::exists(Target + "/" + Name));
    }
    struct stat St {};
    ::stat((Target + "/veltrane").c_str(), &St);
    EXPECT_TRUE(St.st_mode & S_IXUSR);
    Dir.WriteFile("opt/Veltrane/readme.txt", "my notes");
    const TRun Second = RunProgram(Command);
    EXPECT_EQ(Second.Status, 0) << Second.Output;
    EXPECT_EQ(Dir.ReadFile("opt/Veltrane/readme.txt"), "my notes");
    EXPECT_NE(Second.Output.find("Kept " + Target + "/readme.txt"), std::string::npos) << Second.Output;
    // The installed copy knows its description too.
    EXPECT_EQ(RunProgram(Quote(Target + "/install") + " --describe >/dev/null").Status, 0);
}

// The real program, as a user and as an attacker would run it.
TEST(InstallDist, HostileRunsAreRefusedAndChangeNothing) {
    test::TestDir Dir;
    const std::string Env = "env HOME=" + Quote(Dir / "home") + " XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_RUNTIME_DIR=" +
                            Quote(Dir.path().string()) + " ";
    const std::string Install = Env + Quote(Dist + "install");
    ASSERT_EQ(RunProgram(Install + " --unattended --dir " + Quote(Dir / "A")).Status, 0);
    const std::string Diary = Dir.WriteFile("notes/diary.txt", "dear diary");
    const std::string HandOver = Dir / "home/.config/TSETUP.INI";
    Dir.WriteFile("out.setup", "old description");
    Dir.WriteFile("a-file", "x");
    ::mkfifo((Dir / "fifo").c_str(), 0600);
    const TRun Described = RunProgram(Quote(Dist + "install") + " --describe");
    std::string Hostile = Described.Output;
    Hostile.replace(Hostile.find("\"readme.txt\""), 12, "\"../escaped.txt\"");
    Dir.WriteFile("hostile.json", Hostile);
    std::string Late = Described.Output;
    const auto Date = Late.find("\"DateTime\": \"") + 13;
    Late.replace(Date, 19, "2150-06-01T12:00:00");
    Dir.WriteFile("late.json", Late);
    struct Case {
        const char* What;
        std::string HandOverText; // planted before the run, when not empty
        std::string Command;
        int Status;
        std::string Says;
    } Cases[] = {
        {"a planted uninstall section", "[UnInstall]\nLog File=" + (Dir / "A/INSTALL.LOG") + "\n",
         Install + " --unattended --dir " + Quote(Dir / "B"), 0, "Setup completed successfully."},
        {"a planted section naming a diary", "[UnInstall]\nLog File=" + Diary + "\n",
         Install + " --unattended --dir " + Quote(Dir / "B"), 0, "Setup completed successfully."},
        {"an uninstall without a log, in any letter case", "", Install + " --unattended uNiNsTaLl", 1,
         "No install log was found"},
        {"a FIFO to describe", "", "timeout 10 " + Install + " --describe " + Quote(Dir / "fifo"), 1,
         "not a regular file"},
        {"a name that climbs out", "",
         Install + " --write-description " + Quote(Dir / "hostile.json") + " " + Quote(Dir / "out.setup"), 1,
         "\"../escaped.txt\" holds \"/\""},
        {"a date after 2099", "",
         Install + " --write-description " + Quote(Dir / "late.json") + " " + Quote(Dir / "out.setup"), 1,
         "lies after 2099"},
        {"--dir onto a file", "", Install + " --unattended --dir " + Quote(Dir / "a-file"), 1,
         "is a file, not a folder"},
        {"a folder the log cannot hold", "", Install + " --unattended --dir " + Quote(Dir / "a=b"), 1,
         "it holds \"=\""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        if (!C.HandOverText.empty())
            Dir.WriteFile("home/.config/TSETUP.INI", C.HandOverText);
        const TRun R = RunProgram(C.Command + " 2>&1");
        EXPECT_EQ(R.Status, C.Status) << R.Output;
        EXPECT_NE(R.Output.find(C.Says), std::string::npos) << R.Output;
        for (const char* Name : {"install", "readme.txt", "veltrane", "whatsnew.txt", "INSTALL.LOG"})
            EXPECT_TRUE(std::filesystem::exists(Dir / ("A/" + std::string(Name)))) << Name;
        EXPECT_EQ(Dir.ReadFile("notes/diary.txt"), "dear diary");
        EXPECT_EQ(Dir.ReadFile("out.setup"), "old description");
        EXPECT_FALSE(std::filesystem::exists(Dir / "escaped.txt"));
        EXPECT_FALSE(std::filesystem::exists(Dir / "a=b"));
        std::filesystem::remove(HandOver);
    }
}

TEST(InstallDist, UninstallLeavesNothingOfItsOwn) {
    test::TestDir Dir;
    const std::string Env = "env HOME=" + Quote(Dir / "home") + " XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_RUNTIME_DIR=" +
                            Quote(Dir / "run") + " ";
    std::filesystem::create_directories(Dir / "run");
    std::filesystem::create_directories(Dir / "home");
    ASSERT_EQ(RunProgram(Env + Quote(Dist + "install") + " --unattended").Status, 0);
    const TRun Removed = RunProgram(Env + Quote(Dir / "home/.local/opt/Veltrane/install") + " --unattended Uninstall");
    EXPECT_EQ(Removed.Status, 0) << Removed.Output;
    EXPECT_EQ(Removed.Output.find("Warning"), std::string::npos) << Removed.Output;
    for (const char* Left : {"home", "run"})
        EXPECT_TRUE(std::filesystem::is_empty(Dir / Left)) << Left << " keeps something";
}
