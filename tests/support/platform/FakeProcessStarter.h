#pragma once
// A process starter that records argument vectors and plays running/ended processes.

#include "platform/ProcessStarter.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace veltrane::test {

class FakeProcessStarter : public platform::IProcessStarter {
  public:
    struct Started {
        std::vector<std::string> argv;
        bool idle;
    };
    std::vector<Started> started;
    std::vector<pid_t> terminated;
    std::set<std::string> missingPrograms; // argv[0] values that fail with ENOENT
    std::set<pid_t> running;
    std::map<pid_t, int> exitCodes; // code reported once a process is ended
    std::set<pid_t> groupLeaders;   // started by StartGroup
    std::vector<pid_t> terminatedGroups;
    int pollsUntilEnd = 0;          // non-blocking Wait calls before a process ends

    platform::SpawnResult Start(const std::vector<std::string>& argv, bool idle) override {
        if (argv.empty() || missingPrograms.count(argv[0]))
            return {-1, 2 /* ENOENT */};
        started.push_back({argv, idle});
        pid_t pid = nextPid_++;
        running.insert(pid);
        return {pid, 0};
    }
    bool Terminate(pid_t pid) override {
        if (!running.erase(pid))
            return false;
        terminated.push_back(pid);
        exitCodes[pid] = 128 + 15;
        return true;
    }
    platform::SpawnResult StartGroup(const std::vector<std::string>& argv, bool idle) override {
        platform::SpawnResult r = Start(argv, idle);
        if (r.ok())
            groupLeaders.insert(r.pid);
        return r;
    }
    bool TerminateGroup(pid_t pid) override {
        if (!groupLeaders.count(pid))
            return false;
        terminatedGroups.push_back(pid);
        return Terminate(pid);
    }
    std::optional<int> Wait(pid_t pid, bool block) override {
        if (running.count(pid)) {
            if (!block && polls_++ < pollsUntilEnd)
                return std::nullopt;
            running.erase(pid);
        }
        auto it = exitCodes.find(pid);
        return it == exitCodes.end() ? 0 : it->second;
    }

  private:
    pid_t nextPid_ = 1000;
    int polls_ = 0;
};

} // namespace veltrane::test
