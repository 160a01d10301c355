#pragma once
// Starting other programs with an argument vector, never through a shell.

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
};

// posix_spawn on Linux. Children that are never waited for are reaped on later calls, so
// finished players do not linger as zombies.
class LinuxProcessStarter : public IProcessStarter {
  public:
    ~LinuxProcessStarter() override;
    SpawnResult Start(const std::vector<std::string>& argv, bool idle) override;
    bool Terminate(pid_t pid) override;
    std::optional<int> Wait(pid_t pid, bool block) override;

  private:
    void ReapFinished();
    void Remember(pid_t pid, int code);
    std::vector<pid_t> children_;
    std::vector<std::pair<pid_t, int>> finished_; // exit codes of children reaped unasked
};

} // namespace veltrane::platform
