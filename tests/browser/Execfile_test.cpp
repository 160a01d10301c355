#include "browser/Execfile.h"
#include "browser/MainCommands.h"
#include "platform/ProcessStarter.h"
#include "support/TestDir.h"
#include "support/platform/FakeAssociations.h"
#include "support/platform/FakeProcessStarter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace veltrane {
namespace {

using Args = std::vector<std::string>;

TEST(Execfile, SplitCommandQuoting) {
    EXPECT_EQ(SplitCommand("player  -a\t-b"), (Args{"player", "-a", "-b"}));
    EXPECT_EQ(SplitCommand("\"/opt/My Player/play\" --x"), (Args{"/opt/My Player/play", "--x"}));
    EXPECT_EQ(SplitCommand("a\"b c\"d"), (Args{"ab cd"}));
    EXPECT_EQ(SplitCommand("say \"\"\"hi\"\"\""), (Args{"say", "\"hi\""}));
    EXPECT_EQ(SplitCommand("\"a;b $x `y`\""), (Args{"a;b $x `y`"}));
    EXPECT_EQ(SplitCommand("x \"\" y"), (Args{"x", "", "y"}));
    EXPECT_TRUE(SplitCommand("   ").empty());
}

TEST(Execfile, ArgumentsAndPriority) {
    test::FakeProcessStarter starter;
    test::FakeAssociations assoc;
    TExecFile exec(starter, assoc);
    exec.CommandLine = "\"/opt/p q/player\" --enqueue";
    exec.Parameters = "\"a b\" c";
    exec.ParameterList = {"/m/\"odd\" name.mp3"};
    exec.Priority = pcIdle;
    ASSERT_TRUE(exec.Execute());
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(starter.started[0].argv,
              (Args{"/opt/p q/player", "--enqueue", "a b", "c", "/m/\"odd\" name.mp3"}));
    EXPECT_TRUE(starter.started[0].idle);
}

TEST(Execfile, FailedStartIsSilentUnlessOnFail) {
    test::FakeProcessStarter starter;
    test::FakeAssociations assoc;
    starter.missingPrograms = {"missing"};
    TExecFile exec(starter, assoc);
    exec.CommandLine = "missing";
    EXPECT_FALSE(exec.Execute());
    EXPECT_EQ(exec.ErrorCode(), ENOENT);
    int failures = 0;
    exec.OnFail = [&](TExecFile&) { ++failures; };
    exec.CommandLine = "";
    EXPECT_FALSE(exec.Execute());
    EXPECT_EQ(failures, 1);
}

TEST(Execfile, AssociateOpensDocumentWithDefaultApplication) {
    test::FakeProcessStarter starter;
    test::FakeAssociations assoc;
    starter.missingPrograms = {"/m/song.mp3"};
    assoc.byDocument["/m/song.mp3"] = "player --new";
    TExecFile exec(starter, assoc);
    exec.CommandLine = "/m/song.mp3";
    exec.Associate = true;
    ASSERT_TRUE(exec.Execute());
    EXPECT_EQ(starter.started.back().argv, (Args{"player", "--new", "/m/song.mp3"}));
}

TEST(Execfile, TerminateEndsTheProcessStartedLast) {
    test::FakeProcessStarter starter;
    test::FakeAssociations assoc;
    TExecFile exec(starter, assoc);
    EXPECT_FALSE(exec.Terminate()); // nothing started yet
    ASSERT_TRUE(PlayPath(exec, "player", "/m/a.mp3"));
    pid_t first = exec.ProcessId();
    ASSERT_TRUE(PlayPath(exec, "player", "/m/b.mp3"));
    EXPECT_EQ(starter.terminated, (std::vector<pid_t>{first}));
    EXPECT_EQ(starter.started[1].argv, (Args{"player", "/m/b.mp3"}));
}

TEST(Execfile, RegularWaitProcessesMessages) {
    test::FakeProcessStarter starter;
    test::FakeAssociations assoc;
    starter.pollsUntilEnd = 3;
    TExecFile exec(starter, assoc);
    exec.CommandLine = "tool";
    exec.Wait = true;
    int pumps = 0;
    bool busyInside = false;
    exec.ProcessMessages = [&] {
        ++pumps;
        busyInside = exec.Busy();
    };
    ASSERT_TRUE(exec.Execute());
    EXPECT_GE(pumps, 4);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(exec.Busy());
}

// A song that is a program (as files on FAT sticks are) never runs in place of a player.
TEST(Execfile, NoCommandStartsNothing) {
    test::TestDir dir;
    const std::string song = dir.WriteFile("evil.mp3", "#!/bin/sh\ntouch \"$0.ran\"\n");
    ::chmod(song.c_str(), 0755);
    platform::LinuxProcessStarter starter;
    test::FakeAssociations assoc;
    TExecFile exec(starter, assoc);
    for (const char* command : {"", "  ", "\"\"", "\"\" \"\""}) {
        exec.ParameterList = {song};
        exec.Parameters = song;
        exec.CommandLine = command;
        exec.Wait = true;
        exec.WaitStyle = wSuspend;
        EXPECT_FALSE(exec.Execute()) << '[' << command << ']';
        EXPECT_EQ(exec.ErrorCode(), ENOENT);
        EXPECT_EQ(exec.ProcessId(), -1);
        EXPECT_FALSE(PlayPath(exec, command, song));
    }
    EXPECT_FALSE(std::filesystem::exists(song + ".ran"));
}

TEST(Execfile, PlayerGetsLongOddPathAsOneArgument) {
    test::TestDir dir;
    std::string script = dir.WriteFile("player.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' "
                                                    "\"$a\"; done > \"$(dirname \"$0\")/args\"\n");
    ::chmod(script.c_str(), 0755);
    std::string path = "/music/" + std::string(300, 'x') + "/a \"b\" ;c $d.mp3";
    platform::LinuxProcessStarter starter;
    test::FakeAssociations assoc;
    TExecFile exec(starter, assoc);
    exec.WaitStyle = wSuspend;
    PreparePlay(exec, "\"" + script + "\"", path);
    exec.Wait = true;
    ASSERT_TRUE(exec.Execute());
    EXPECT_EQ(exec.ExitCode(), 0);
    EXPECT_EQ(dir.ReadFile("args"), path + '\0');
}

} // namespace
} // namespace veltrane
