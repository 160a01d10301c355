#pragma once
// Starting other programs with an argument vector, never through a shell.

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace veltrane::platform {

struct SpawnResult {
    pid_t pid = -1; // the new process, or -1
    int error = 0;  // errno when no process was started
    bool ok() const { return pid > 0; }
};

class IProcessStarter {
  public:
    virtual ~IProcessStarter() = default;
    // Starts argv[0] (searched in PATH when it holds no "/") with argv; idle runs it at nice 19.
    virtual SpawnResult Start(const std::vector<std::string>& argv, bool idle) = 0;
    // Sends SIGTERM and reaps the process; false when it had already ended or is unknown.
    virtual bool Terminate(pid_t pid) = 0;
    // Exit code once the process has ended (reaping it), nullopt while it runs. With block,
    // waits for the end. A process killed by a signal reports 128 + the signal number.
    virtual std::optional<int> Wait(pid_t pid, bool block) = 0;
    // Like Start, but the process leads a process group of its own, so that TerminateGroup
    // also ends what it starts in turn (a wrapper script's real player).
    virtual SpawnResult StartGroup(const std::vector<std::string>& argv, bool idle) {
        return Start(argv, idle);
    }
    // Ends the whole group led by a process from StartGroup and reaps the leader; false when
    // nothing of it was running any more.
    virtual bool TerminateGroup(pid_t pid) { return Terminate(pid); }
};

// posix_spawn on Linux. Each child is reaped as soon as it ends (a watcher thread waits for
// it), so a finished player never lingers as a zombie; its exit code is kept for Wait.
class LinuxProcessStarter : public IProcessStarter {
  public:
    LinuxProcessStarter();
    ~LinuxProcessStarter() override;
    SpawnResult Start(const std::vector<std::string>& argv, bool idle) override;
    bool Terminate(pid_t pid) override;
    std::optional<int> Wait(pid_t pid, bool block) override;
    SpawnResult StartGroup(const std::vector<std::string>& argv, bool idle) override;
    bool TerminateGroup(pid_t pid) override;

  private:
    struct TChildren; // shared with the watcher threads, which may outlive this object
    SpawnResult Spawn(const std::vector<std::string>& argv, bool idle, bool group);
    void Watch(pid_t pid);
    std::shared_ptr<TChildren> children_;
    std::vector<pid_t> groups_; // leaders of groups from StartGroup
};

} // namespace veltrane::platform
