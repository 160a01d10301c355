#include "platform/ProcessStarter.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace veltrane::platform {
namespace {

int ExitCodeOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

void SleepMs(long ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

} // namespace

LinuxProcessStarter::~LinuxProcessStarter() {
    ReapFinished();
}

void LinuxProcessStarter::ReapFinished() {
    std::erase_if(children_, [this](pid_t pid) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            Remember(pid, ExitCodeOf(status));
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

void LinuxProcessStarter::Remember(pid_t pid, int code) {
    finished_.emplace_back(pid, code);
    if (finished_.size() > 32)
        finished_.erase(finished_.begin());
}

SpawnResult LinuxProcessStarter::Start(const std::vector<std::string>& argv, bool idle) {
    ReapFinished();
    if (argv.empty() || argv[0].empty())
        return {-1, ENOENT};
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The started program inherits no descriptors beyond stdin, stdout and stderr.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    pid_t pid = -1;
    int err = ::posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (err != 0)
        return {-1, err};
    if (idle)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), 19);
    children_.push_back(pid);
    return {pid, 0};
}

bool LinuxProcessStarter::Terminate(pid_t pid) {
    if (pid <= 0 || std::find(children_.begin(), children_.end(), pid) == children_.end())
        return false;
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) != 0) {
        std::erase(children_, pid); // already ended (now reaped) or not ours
        return false;
    }
    if (::kill(pid, SIGTERM) != 0)
        return false;
    // A player that ignores SIGTERM gets a few seconds, then SIGKILL, so it is always reaped.
    for (int i = 0; i < 300; ++i) {
        if (::waitpid(pid, &status, WNOHANG) != 0) {
            std::erase(children_, pid);
            return true;
        }
        SleepMs(10);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    std::erase(children_, pid);
    return true;
}

std::optional<int> LinuxProcessStarter::Wait(pid_t pid, bool block) {
    if (pid <= 0)
        return std::nullopt;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return std::nullopt;
    if (r < 0) {
        // Reaped earlier by ReapFinished: report the code kept then.
        for (auto it = finished_.begin(); it != finished_.end(); ++it)
            if (it->first == pid) {
                int code = it->second;
                finished_.erase(it);
                return code;
            }
        return -1;
    }
    std::erase(children_, pid);
    return ExitCodeOf(status);
}

} // namespace veltrane::platform
