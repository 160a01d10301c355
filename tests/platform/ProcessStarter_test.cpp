#include "platform/ProcessStarter.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

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

} // namespace
} // namespace veltrane::platform
