#include "platform/ProcessStarter.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane::platform {
namespace {

// A script that writes its arguments, one per line with a NUL after each, and its niceness.
std::string Recorder(const test::TestDir& dir) {
    std::string script =
        dir.WriteFile("rec.sh", "#!/bin/sh\nout=\"$(dirname \"$0\")/args\"\n: > \"$out\"\n"
                                "for a in \"$@\"; do printf '%s\\0' \"$a\" >> \"$out\"; done\n"
                                "nice > \"$(dirname \"$0\")/nice\"\n");
    ::chmod(script.c_str(), 0755);
    return script;
}

TEST(ProcessStarter, ArgumentsArriveUnchanged) {
    test::TestDir dir;
    std::string script = Recorder(dir);
    LinuxProcessStarter starter;
    std::vector<std::string> args = {"/m/a;b \"c\" $(x) `y` *.mp3", "-x", "", "\xE9\n"};
    std::vector<std::string> argv = {script};
    argv.insert(argv.end(), args.begin(), args.end());
    SpawnResult r = starter.Start(argv, false);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(starter.Wait(r.pid, true), 0);
    std::string recorded = dir.ReadFile("args");
    std::string expected;
    for (const auto& a : args)
        expected += a + '\0';
    EXPECT_EQ(recorded, expected);
    EXPECT_EQ(dir.ReadFile("nice"), std::to_string(::getpriority(PRIO_PROCESS, 0)) + "\n");
}

TEST(ProcessStarter, IdleRunsAtNice19) {
    test::TestDir dir;
    std::string sleeper =
        dir.WriteFile("s.sh", "#!/bin/sh\nsleep 0.3\nnice > \"$(dirname \"$0\")/nice\"\n");
    ::chmod(sleeper.c_str(), 0755);
    LinuxProcessStarter starter;
    SpawnResult r = starter.Start({sleeper}, true);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(starter.Wait(r.pid, true), 0);
    EXPECT_EQ(dir.ReadFile("nice"), "19\n");
}

TEST(ProcessStarter, MissingProgramReportsErrno) {
    LinuxProcessStarter starter;
    SpawnResult r = starter.Start({"/nonexistent/player"}, false);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, ENOENT);
    EXPECT_FALSE(starter.Start({}, false).ok());
}

TEST(ProcessStarter, TerminateEndsAndReapsRunningProcess) {
    LinuxProcessStarter starter;
    SpawnResult r = starter.Start({"sleep", "30"}, false);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(starter.Wait(r.pid, false), std::nullopt);
    EXPECT_TRUE(starter.Terminate(r.pid));
    EXPECT_FALSE(starter.Terminate(r.pid)); // already gone
    EXPECT_FALSE(starter.Terminate(-1));

    SpawnResult quick = starter.Start({"true"}, false);
    ASSERT_TRUE(quick.ok());
    EXPECT_EQ(starter.Wait(quick.pid, true), 0);
    EXPECT_FALSE(starter.Terminate(quick.pid));
}

TEST(ProcessStarter, ExitCodeAndSignal) {
    LinuxProcessStarter starter;
    SpawnResult r = starter.Start({"sh", "-c", "exit 3"}, false);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(starter.Wait(r.pid, true), 3);
    r = starter.Start({"sh", "-c", "kill -9 $$"}, false);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(starter.Wait(r.pid, true), 128 + 9);
}

// Running, not merely waiting to be reaped.
bool Runs(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z' &&
           stat[close + 2] != 'X';
}

TEST(ProcessStarter, TerminateGroupEndsWhatAWrapperStarted) {
    test::TestDir dir;
    const std::string pidFile = dir / "player.pid";
    const std::string wrapper = dir.WriteFile(
        "wrapper.sh", "#!/bin/sh\nsleep 30 &\necho $! > '" + pidFile + ".part'\nmv '" + pidFile +
                          ".part' '" + pidFile + "'\nwait\n");
    ::chmod(wrapper.c_str(), 0755);
    LinuxProcessStarter starter;
    SpawnResult r = starter.StartGroup({wrapper}, false);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(::getpgid(r.pid), r.pid);
    std::string text;
    for (int i = 0; i < 500 && (text = dir.ReadFile("player.pid")).empty(); ++i)
        ::usleep(10000);
    const pid_t player = std::stoi(text);
    ASSERT_TRUE(Runs(player));

    EXPECT_FALSE(starter.TerminateGroup(player)); // not a group it started
    EXPECT_TRUE(starter.TerminateGroup(r.pid));
    EXPECT_FALSE(Runs(player));
    EXPECT_FALSE(Runs(r.pid));
    EXPECT_FALSE(starter.TerminateGroup(r.pid));
}

// A player that ends by itself is reaped at once: no zombie is left for the next start.
TEST(ProcessStarter, AFinishedPlayerLeavesNoZombieAndKeepsItsExitCode) {
    LinuxProcessStarter starter;
    const SpawnResult playing = starter.Start({"sleep", "30"}, false);
    ASSERT_TRUE(playing.ok());
    const std::vector<std::pair<std::vector<std::string>, int>> players = {
        {{"sh", "-c", "exit 5"}, 5}, {{"true"}, 0}, {{"sh", "-c", "kill -9 $$"}, 128 + 9}};
    std::vector<pid_t> pids;
    for (const auto& [argv, code] : players) {
        const SpawnResult r = starter.Start(argv, false);
        ASSERT_TRUE(r.ok());
        pids.push_back(r.pid);
    }
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const std::string proc = "/proc/" + std::to_string(pids[i]);
        for (int k = 0; k < 500 && ::access(proc.c_str(), F_OK) == 0; ++k)
            ::usleep(10000);
        EXPECT_NE(::access(proc.c_str(), F_OK), 0) << "a zombie is left: " << pids[i];
        EXPECT_EQ(starter.Wait(pids[i], false), players[i].second);
    }
    EXPECT_TRUE(Runs(playing.pid)); // a player still playing is left alone
    EXPECT_TRUE(starter.Terminate(playing.pid));
}

} // namespace
} // namespace veltrane::platform
