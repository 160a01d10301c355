#pragma once
// The runtime's input/output error: a code and its text ("File not found", ...).

#include <stdexcept>
#include <string>
#include <utility>

namespace veltrane {

// 2 "File not found", 3 "Invalid filename", 4 "Too many open files", 5 "File access denied",
// 100 "Read beyond end of file", 101 "Disk full", 106 "Invalid numeric input",
// any other code "I/O error %d".
std::string IoErrorText(int code);
// The same in the user's language, for the windows.
std::string ShownIoErrorText(int code);
// Maps an errno value to the runtime's code (ENOENT -> 2, EACCES -> 5, ENOSPC -> 101, ...).
int IoErrorCodeFromErrno(int err);

class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int code) : std::runtime_error(IoErrorText(code)), code_(code) {}
    // A code with a text of its own, for a failure the runtime's texts do not describe.
    EInOutError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
    static EInOutError FromErrno(int err) { return EInOutError(IoErrorCodeFromErrno(err)); }
    int ErrorCode() const { return code_; }
    // The file the error is about, where the caller knows it; the text stays the plain one.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string FileName) { fileName_ = std::move(FileName); }

private:
    int code_;
    std::string fileName_;
};

} // namespace veltrane
