#pragma once
// The runtime's input/output error: a code and its text ("File not found", ...).

#include <stdexcept>
#include <string>

namespace veltrane {

// 2 "File not found", 3 "Invalid filename", 4 "Too many open files", 5 "File access denied",
// 100 "Read beyond end of file", 101 "Disk full", 106 "Invalid numeric input",
// any other code "I/O error %d".
std::string IoErrorText(int code);
// Maps an errno value to the runtime's code (ENOENT -> 2, EACCES -> 5, ENOSPC -> 101, ...).
int IoErrorCodeFromErrno(int err);

class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int code) : std::runtime_error(IoErrorText(code)), code_(code) {}
    static EInOutError FromErrno(int err) { return EInOutError(IoErrorCodeFromErrno(err)); }
    int ErrorCode() const { return code_; }

private:
    int code_;
};

} // namespace veltrane
