#pragma once
// Error messages that say what went wrong: the described text first, then on the next line the
// file it is about and, where the described text carries only a number, the system's own
// description of that number ("File exists", "Invalid argument").

#include "tagcore/InOutError.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// The system's description of an errno value ("File exists").
std::string SystemErrorText(int Errno);

// Text with each of the system's common error descriptions in it ("Permission denied", as
// the C library words them without a translation of its own) in the user's language; for
// what the window shows, while logs and the command line keep the system's words.
std::string ShownSystemErrors(std::string_view Text);

// Message, then "File: description of Errno" on the next line.
std::string WithFileError(std::string_view Message, std::string_view File, int Errno);

// The error's text; an "I/O error N" text gets the system's description of N in brackets.
std::string InOutErrorText(const EInOutError& Error);

// The error's text, then the file it names (File when given, else the error's own); an
// "I/O error N" text also gets the system's description of N.
std::string InOutErrorMessage(const EInOutError& Error, std::string_view File = {});

// Intro, then one line per item; past MaxLines the rest is counted: "... and N more".
std::string ListedLinesMessage(std::string Intro, const std::vector<std::string>& Lines,
                               std::size_t MaxLines);

} // namespace veltrane
