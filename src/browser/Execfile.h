#pragma once
// TExecFile: starts another program with a command line, optionally waits for it, and can end
// the process it started last. Programs get an argument vector, never a shell.

#include "platform/Associations.h"
#include "platform/ProcessStarter.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace veltrane {

enum TWaitStyle { wRegular, wSuspend };
enum TWindowStyle { wsNorm, wsMinimize, wsMaximize, wsHide, wsMinNoActivate, wsShowNoActivate };
enum TPriorityClass { pcNormal, pcIdle, pcHigh, pcRealTime };

// Splits a command line into arguments: blanks separate, a double-quoted text is one argument
// whatever it holds, and three double quotes in a row give one literal double quote.
std::vector<std::string> SplitCommand(const std::string& command);

class TExecFile {
  public:
    TExecFile(platform::IProcessStarter& starter, platform::IAssociations& associations)
        : starter_(starter), associations_(associations) {}
    ~TExecFile() = default;
    TExecFile(const TExecFile&) = delete;
    TExecFile& operator=(const TExecFile&) = delete;

    std::string CommandLine; // program and its own options (or, with Associate, a document)
    std::string Parameters;  // further arguments, split like CommandLine
    std::vector<std::string> ParameterList; // arguments passed as they stand, after Parameters
    bool Associate = false; // on a failed start, open CommandLine with its default application
    bool Wait = false;      // wait for the started process to end
    TWaitStyle WaitStyle = wRegular;    // wRegular processes events while waiting, wSuspend blocks
    TWindowStyle WindowStyle = wsNorm;  // kept for callers; Linux has no show state to pass
    TPriorityClass Priority = pcNormal; // pcIdle runs at nice 19, the others normally
    // The process leads a process group of its own and Terminate ends the whole group, so a
    // player behind a wrapper script is never left behind.
    bool OwnProcessGroup = false;
    std::function<void(TExecFile&)> OnFail; // called when starting fails
    std::function<void()> ProcessMessages; // lets the window handle its events while wRegular waits

    // Starts the program; true when a process was started. An empty or blank CommandLine is
    // refused (ENOENT) and starts nothing.
    bool Execute();
    // Ends the process started last (SIGTERM, then reaped); false when none runs any more.
    bool Terminate();
    // The argument vector Execute starts: CommandLine, Parameters, then ParameterList.
    std::vector<std::string> Arguments() const;

    int ErrorCode() const { return errorCode_; } // errno of the last failed start
    int ExitCode() const { return exitCode_; }   // exit code after a wait (128 + signal if killed)
    bool Busy() const { return busy_; }          // true while Execute waits
    pid_t ProcessId() const { return pid_; }     // process started last, -1 when none

  private:
    bool Fail(int error);
    void WaitForEnd();

    platform::IProcessStarter& starter_;
    platform::IAssociations& associations_;
    pid_t pid_ = -1;
    bool groupLeader_ = false; // pid_ was started with OwnProcessGroup
    int errorCode_ = 0;
    int exitCode_ = 0;
    bool busy_ = false;
    bool stop_ = false;
};

} // namespace veltrane
