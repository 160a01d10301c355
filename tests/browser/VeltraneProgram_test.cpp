// The veltrane program as a user starts it: --version and --help without a display, a start
// without one, and the end by a signal, after which no temporary file of the run is left.

#include "components/RunFiles.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace veltrane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct TRun {
    pid_t Pid = -1;
    std::string Out, Err;
};

// Starts the program with Env (name=value, added to a cleaned environment); stdout and stderr
// go to files in Dir.
pid_t Spawn(const test::TestDir& Dir, const std::vector<std::string>& Args,
            const std::vector<std::string>& Env) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("DISPLAY=", 0) != 0 && v.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            v.rfind("QT_QPA_PLATFORM=", 0) != 0 && v.rfind("TMPDIR=", 0) != 0 &&
            v.rfind("XDG_", 0) != 0 && v.rfind("HOME=", 0) != 0)
            env.push_back(v);
    }
    env.insert(env.end(), Env.begin(), Env.end());
    std::vector<std::string> argv{VELTRANE_PROGRAM};
    argv.insert(argv.end(), Args.begin(), Args.end());
    std::vector<char*> a, e;
    for (std::string& s : argv)
        a.push_back(s.data());
    a.push_back(nullptr);
    for (std::string& s : env)
        e.push_back(s.data());
    e.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = Dir / "out", err = Dir / "err";
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, (Dir / "start").c_str());
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, a[0], &actions, nullptr, a.data(), e.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Waits up to 30 seconds; -1 (and the process killed) when it does not end.
int WaitStatus(pid_t Pid) {
    int status = 0;
    for (int i = 0; i < 3000; ++i) {
        if (::waitpid(Pid, &status, WNOHANG) == Pid)
            return status;
        std::this_thread::sleep_for(10ms);
    }
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, &status, 0);
    return -1;
}

std::vector<std::string> Names(const std::string& Dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Files named in a list: entries "device:inode:changed:/path", each closed by a NUL.
int Entries(const std::string& List) {
    int n = 0;
    for (std::size_t at = 0; (at = List.find(":/", at)) != std::string::npos; ++at)
        ++n;
    return n;
}

// Inode and change time of a file, empty when it does not exist.
std::string Identity(const std::string& Path) {
    struct stat st {};
    if (::lstat(Path.c_str(), &st) != 0)
        return {};
    return std::to_string(st.st_ino) + "." + std::to_string(st.st_ctim.tv_sec) + "." +
           std::to_string(st.st_ctim.tv_nsec);
}

class VeltraneProgram : public ::testing::Test {
  protected:
    test::TestDir dir_;
    std::string tmp_ = dir_.MakeDir("tmp"), run_ = dir_.MakeDir("run");

    void SetUp() override {
        dir_.MakeDir("start");
        dir_.MakeDir("home");
        ::chmod(run_.c_str(), 0700);
    }
    std::vector<std::string> WindowEnv() const {
        return {"QT_QPA_PLATFORM=offscreen",
                "TMPDIR=" + tmp_,
                "XDG_RUNTIME_DIR=" + run_,
                "HOME=" + (dir_ / "home"),
                "XDG_CONFIG_HOME=" + (dir_ / "home/config"),
                "XDG_DATA_HOME=" + (dir_ / "home/data"),
                "XDG_STATE_HOME=" + (dir_ / "home/state"),
                "XDG_CACHE_HOME=" + (dir_ / "home/cache")};
    }
    // Starts the window and waits until its three media files are written and listed.
    pid_t StartWindow() {
        const pid_t pid = Spawn(dir_, {dir_ / "start"}, WindowEnv());
        const std::string list = run_ + "/" + RunListName(pid);
        for (int i = 0; pid > 0 && i < 3000; ++i) {
            std::error_code ec;
            if (fs::exists(list, ec) && Entries(dir_.ReadFile("run/" + RunListName(pid))) == 3)
                return pid;
            std::this_thread::sleep_for(10ms);
        }
        ADD_FAILURE() << "the window did not list its files: " << dir_.ReadFile("err");
        return pid;
    }
};

TEST_F(VeltraneProgram, VersionAndHelpNeedNoDisplay) {
    const struct {
        const char* arg;
        const char* expected;
    } cases[] = {{"--version", "veltrane 2.0\n"}, {"--help", "Usage: veltrane [FOLDER | FILE.mp3...]\n"}};
    for (const auto& c : cases) {
        const int status = WaitStatus(Spawn(dir_, {c.arg}, {}));
        ASSERT_TRUE(WIFEXITED(status)) << c.arg;
        EXPECT_EQ(WEXITSTATUS(status), 0) << c.arg;
        EXPECT_EQ(dir_.ReadFile("out").substr(0, std::string(c.expected).size()), c.expected);
        EXPECT_EQ(dir_.ReadFile("err"), "");
    }
    EXPECT_NE(dir_.ReadFile("out").find("--version"), std::string::npos);
}

TEST_F(VeltraneProgram, WithoutDisplaySaysSoInOneLine) {
    const int status = WaitStatus(Spawn(dir_, {}, {"TMPDIR=" + tmp_, "XDG_RUNTIME_DIR=" + run_}));
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 2);
    const std::string err = dir_.ReadFile("err");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("no display"), std::string::npos) << err;
    EXPECT_NE(err.find("veltrane-cli"), std::string::npos) << err;
    EXPECT_TRUE(Names(tmp_).empty());
}

// A logout (SIGTERM), Ctrl+C (SIGINT) or a closed terminal (SIGHUP) ends the run cleanly: its
// media files and its list are gone, and the signal is still its end.
TEST_F(VeltraneProgram, EndSignalsLeaveNoTemporaryFiles) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const pid_t pid = StartWindow();
        ASSERT_GT(pid, 0);
        EXPECT_EQ(Names(tmp_).size(), 3u);
        ::kill(pid, signal);
        const int status = WaitStatus(pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal << ": " << dir_.ReadFile("err");
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(Names(tmp_), std::vector<std::string>{}) << signal;
        EXPECT_EQ(Names(run_), std::vector<std::string>{}) << signal;
    }
}

// After SIGKILL the files stay; the next run removes exactly those, nothing else of the
// naming scheme.
TEST_F(VeltraneProgram, NextRunRemovesWhatAKilledRunLeft) {
    const pid_t killed = StartWindow();
    ASSERT_GT(killed, 0);
    ::kill(killed, SIGKILL);
    WaitStatus(killed);
    const std::vector<std::string> left = Names(tmp_);
    ASSERT_EQ(left.size(), 3u);
    std::vector<std::string> ids;
    for (const std::string& name : left)
        ids.push_back(Identity(tmp_ + "/" + name));
    dir_.WriteFile("tmp/~fs99.bmp", "not listed");
    const pid_t next = StartWindow();
    ASSERT_GT(next, 0);
    // Started in the same second, the new run may take the same names: for files of its own.
    for (std::size_t i = 0; i < left.size(); ++i)
        EXPECT_NE(Identity(tmp_ + "/" + left[i]), ids[i]) << left[i];
    EXPECT_TRUE(fs::exists(tmp_ + "/~fs99.bmp"));
    EXPECT_EQ(Names(run_), std::vector<std::string>{RunListName(next)});
    ::kill(next, SIGTERM);
    WaitStatus(next);
    EXPECT_EQ(Names(tmp_), std::vector<std::string>{"~fs99.bmp"});
    EXPECT_EQ(Names(run_), std::vector<std::string>{});
}

} // namespace
} // namespace veltrane
