#include "platform/ProcessStarter.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <mutex>
#include <system_error>
#include <thread>
#include <string>
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

// True while a process of the group runs. Members already ended but not yet reaped (zombies,
// which an init that never reaps can keep) do not count.
bool GroupRuns(pid_t group) {
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return ::kill(-group, 0) == 0;
    bool runs = false;
    while (dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        const std::string path = std::string("/proc/") + entry->d_name + "/stat";
        FILE* f = std::fopen(path.c_str(), "re");
        if (!f)
            continue;
        char buffer[512];
        const size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
        std::fclose(f);
        buffer[n] = '\0';
        // After the command name in parentheses: state, parent, group.
        const char* close = std::strrchr(buffer, ')');
        char state = 0;
        long parent = 0, pgrp = 0;
        if (close && std::sscanf(close + 1, " %c %ld %ld", &state, &parent, &pgrp) == 3 &&
            pgrp == group && state != 'Z' && state != 'X') {
            runs = true;
            break;
        }
    }
    ::closedir(proc);
    return runs;
}

} // namespace

// The children not yet reaped, and the exit codes of those reaped before anyone asked.
struct LinuxProcessStarter::TChildren {
    std::mutex Mutex;
    std::vector<pid_t> Running;
    std::vector<std::pair<pid_t, int>> Finished;

    bool Has(pid_t pid) const {
        return std::find(Running.begin(), Running.end(), pid) != Running.end();
    }
    // Reaps pid when it has ended; the caller holds Mutex.
    void ReapIfEnded(pid_t pid) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            Finished.emplace_back(pid, ExitCodeOf(status));
            if (Finished.size() > 32)
                Finished.erase(Finished.begin());
        }
        if (r == pid || (r < 0 && errno == ECHILD))
            std::erase(Running, pid);
    }
    std::optional<int> TakeFinished(pid_t pid) {
        for (auto it = Finished.begin(); it != Finished.end(); ++it)
            if (it->first == pid) {
                const int code = it->second;
                Finished.erase(it);
                return code;
            }
        return std::nullopt;
    }
};

LinuxProcessStarter::LinuxProcessStarter() : children_(std::make_shared<TChildren>()) {}

LinuxProcessStarter::~LinuxProcessStarter() = default;

void LinuxProcessStarter::Watch(pid_t pid) {
    // Waits without reaping, then reaps under the lock: a pid is never killed or waited for
    // by this object after another process may have been given it.
    auto watch = [children = children_, pid] {
        siginfo_t info{};
        int r;
        do {
            r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
        } while (r != 0 && errno == EINTR);
        const std::lock_guard lock(children->Mutex);
        if (children->Has(pid))
            children->ReapIfEnded(pid);
    };
    try {
        std::thread(std::move(watch)).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the child is reaped by the next start or wait instead.
    }
}

SpawnResult LinuxProcessStarter::Start(const std::vector<std::string>& argv, bool idle) {
    return Spawn(argv, idle, false);
}

SpawnResult LinuxProcessStarter::StartGroup(const std::vector<std::string>& argv, bool idle) {
    return Spawn(argv, idle, true);
}

SpawnResult LinuxProcessStarter::Spawn(const std::vector<std::string>& argv, bool idle,
                                       bool group) {
    const std::lock_guard lock(children_->Mutex);
    for (const pid_t child : std::vector<pid_t>(children_->Running))
        children_->ReapIfEnded(child);
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
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (group) {
        posix_spawnattr_setpgroup(&attr, 0); // a new group, led by the child
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&attr, flags);

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
    children_->Running.push_back(pid);
    if (group)
        groups_.push_back(pid);
    Watch(pid);
    return {pid, 0};
}

bool LinuxProcessStarter::TerminateGroup(pid_t pid) {
    if (pid <= 0 || std::find(groups_.begin(), groups_.end(), pid) == groups_.end())
        return false;
    std::erase(groups_, pid);
    // The leader may have ended already while members it started still play; while any
    // member lives, its group id cannot be handed to another process.
    bool any = ::kill(-pid, SIGTERM) == 0;
    std::unique_lock lock(children_->Mutex);
    if (children_->Has(pid)) {
        int status = 0;
        for (int i = 0; i < 300 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
            SleepMs(10);
        if (::waitpid(pid, &status, WNOHANG) == 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        std::erase(children_->Running, pid);
    }
    lock.unlock();
    // Members that outlive the leader get the same grace, then SIGKILL.
    for (int i = 0; i < 300 && GroupRuns(pid); ++i)
        SleepMs(10);
    if (GroupRuns(pid))
        ::kill(-pid, SIGKILL);
    return any;
}

bool LinuxProcessStarter::Terminate(pid_t pid) {
    const std::lock_guard lock(children_->Mutex);
    if (pid <= 0 || !children_->Has(pid))
        return false;
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) != 0) {
        std::erase(children_->Running, pid); // already ended (now reaped) or not ours
        return false;
    }
    if (::kill(pid, SIGTERM) != 0)
        return false;
    // A player that ignores SIGTERM gets a few seconds, then SIGKILL, so it is always reaped.
    for (int i = 0; i < 300; ++i) {
        if (::waitpid(pid, &status, WNOHANG) != 0) {
            std::erase(children_->Running, pid);
            return true;
        }
        SleepMs(10);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    std::erase(children_->Running, pid);
    return true;
}

std::optional<int> LinuxProcessStarter::Wait(pid_t pid, bool block) {
    if (pid <= 0)
        return std::nullopt;
    if (block) {
        // The end is awaited without the lock, so the watchers of other children go on.
        siginfo_t info{};
        int r;
        do {
            r = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
        } while (r != 0 && errno == EINTR);
    }
    const std::lock_guard lock(children_->Mutex);
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return std::nullopt;
    if (r < 0) // reaped earlier, when it ended: report the code kept then
        return children_->TakeFinished(pid).value_or(-1);
    std::erase(children_->Running, pid);
    return ExitCodeOf(status);
}

} // namespace veltrane::platform
