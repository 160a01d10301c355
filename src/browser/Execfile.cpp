#include "browser/Execfile.h"

#include <cerrno>
#include <time.h>

namespace veltrane {

std::vector<std::string> SplitCommand(const std::string& command) {
    // The quoting rules of QProcess::splitCommand, so window and logic agree.
    std::vector<std::string> args;
    std::string current;
    bool inQuote = false;
    bool started = false; // a quoted empty text still makes an argument
    int quoteCount = 0;
    for (char c : command) {
        if (c == '"') {
            ++quoteCount;
            if (quoteCount == 3) {
                quoteCount = 0;
                current += c;
            }
            started = true;
            continue;
        }
        if (quoteCount) {
            if (quoteCount == 1)
                inQuote = !inQuote;
            quoteCount = 0;
        }
        if (!inQuote && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (started || !current.empty())
                args.push_back(current);
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started || !current.empty())
        args.push_back(current);
    return args;
}

std::vector<std::string> TExecFile::Arguments() const {
    std::vector<std::string> argv = SplitCommand(CommandLine);
    for (std::string& p : SplitCommand(Parameters))
        argv.push_back(std::move(p));
    argv.insert(argv.end(), ParameterList.begin(), ParameterList.end());
    return argv;
}

bool TExecFile::Fail(int error) {
    errorCode_ = error;
    if (OnFail)
        OnFail(*this);
    return false;
}

bool TExecFile::Execute() {
    // Without a program of its own nothing starts: a parameter (a song, a playlist) never
    // moves up to become the program, whatever its mode.
    const std::vector<std::string> program = SplitCommand(CommandLine);
    if (program.empty() || program.front().empty())
        return Fail(ENOENT);
    const bool idle = Priority == pcIdle;
    const bool group = OwnProcessGroup;
    auto start = [&](const std::vector<std::string>& argv) {
        return group ? starter_.StartGroup(argv, idle) : starter_.Start(argv, idle);
    };
    platform::SpawnResult started = start(Arguments());
    if (!started.ok() && Associate) {
        // CommandLine is a document: open it with its default application.
        std::string program = associations_.CommandForDocument(CommandLine);
        if (program.empty())
            return Fail(started.error ? started.error : ENOENT);
        std::vector<std::string> argv = SplitCommand(program);
        argv.push_back(CommandLine);
        for (std::string& p : SplitCommand(Parameters))
            argv.push_back(std::move(p));
        argv.insert(argv.end(), ParameterList.begin(), ParameterList.end());
        started = start(argv);
    }
    if (!started.ok())
        return Fail(started.error);
    pid_ = started.pid;
    groupLeader_ = group;
    errorCode_ = 0;
    if (Wait)
        WaitForEnd();
    return true;
}

void TExecFile::WaitForEnd() {
    busy_ = true;
    stop_ = false;
    if (WaitStyle == wSuspend) {
        exitCode_ = starter_.Wait(pid_, true).value_or(-1);
    } else {
        while (!stop_) {
            if (ProcessMessages)
                ProcessMessages();
            if (auto code = starter_.Wait(pid_, false)) {
                exitCode_ = *code;
                stop_ = true;
                if (ProcessMessages)
                    ProcessMessages();
                break;
            }
            timespec ts{0, 10 * 1000000L};
            ::nanosleep(&ts, nullptr);
        }
    }
    busy_ = false;
}

bool TExecFile::Terminate() {
    if (pid_ <= 0)
        return false;
    return groupLeader_ ? starter_.TerminateGroup(pid_) : starter_.Terminate(pid_);
}

} // namespace veltrane
