#include "browser/ErrorText.h"

#include "tagcore/UiText.h"

#include <utility>

#include <system_error>

namespace veltrane {

namespace {

// The errno behind a runtime code that has no name of its own, 0 for the named codes.
int ErrnoOfCode(int Code) {
    if (IoErrorText(Code).rfind("I/O error ", 0) != 0)
        return 0;
    // Numbers that would pose as named codes were moved up by 1000.
    return Code > 1000 ? Code - 1000 : Code;
}

// The error's text in the user's language: the runtime's own texts by their code, a text of
// its own as written.
std::string ShownText(const EInOutError& Error) {
    if (Error.what() == IoErrorText(Error.ErrorCode()))
        return ShownIoErrorText(Error.ErrorCode());
    return UiText("InOutError", Error.what());
}

} // namespace

std::string SystemErrorText(int Errno) {
    return std::generic_category().message(Errno);
}

namespace {

constexpr const char* kSystemErrors[] = {
    VT_TRANSLATE_NOOP("SystemErrors", "Operation not permitted"),
    VT_TRANSLATE_NOOP("SystemErrors", "No such file or directory"),
    VT_TRANSLATE_NOOP("SystemErrors", "Input/output error"),
    VT_TRANSLATE_NOOP("SystemErrors", "Permission denied"),
    VT_TRANSLATE_NOOP("SystemErrors", "Device or resource busy"),
    VT_TRANSLATE_NOOP("SystemErrors", "File exists"),
    VT_TRANSLATE_NOOP("SystemErrors", "Invalid cross-device link"),
    VT_TRANSLATE_NOOP("SystemErrors", "Not a directory"),
    VT_TRANSLATE_NOOP("SystemErrors", "Is a directory"),
    VT_TRANSLATE_NOOP("SystemErrors", "Invalid argument"),
    VT_TRANSLATE_NOOP("SystemErrors", "Too many open files"),
    VT_TRANSLATE_NOOP("SystemErrors", "No space left on device"),
    VT_TRANSLATE_NOOP("SystemErrors", "Read-only file system"),
    VT_TRANSLATE_NOOP("SystemErrors", "Too many links"),
    VT_TRANSLATE_NOOP("SystemErrors", "File name too long"),
    VT_TRANSLATE_NOOP("SystemErrors", "Directory not empty"),
    VT_TRANSLATE_NOOP("SystemErrors", "Too many levels of symbolic links"),
    VT_TRANSLATE_NOOP("SystemErrors", "Disk quota exceeded"),
    VT_TRANSLATE_NOOP("SystemErrors", "Stale file handle"),
    VT_TRANSLATE_NOOP("SystemErrors", "Text file busy"),
    VT_TRANSLATE_NOOP("SystemErrors", "File too large"),
};

} // namespace

std::string ShownSystemErrors(std::string_view Text) {
    std::string out(Text);
    for (const char* english : kSystemErrors) {
        const std::string shown = UiText("SystemErrors", english);
        if (shown == english)
            continue;
        const std::string_view from(english);
        for (std::size_t at = out.find(from); at != std::string::npos;
             at = out.find(from, at + shown.size()))
            out.replace(at, from.size(), shown);
    }
    return out;
}

std::string WithFileError(std::string_view Message, std::string_view File, int Errno) {
    std::string text(Message);
    text += '\n';
    text += File;
    text += ": ";
    text += SystemErrorText(Errno);
    return text;
}

std::string InOutErrorText(const EInOutError& Error) {
    const int err = ErrnoOfCode(Error.ErrorCode());
    return err > 0 ? ShownText(Error) + " (" + SystemErrorText(err) + ")" : ShownText(Error);
}

std::string InOutErrorMessage(const EInOutError& Error, std::string_view File) {
    const std::string_view file = File.empty() ? std::string_view(Error.FileName()) : File;
    const int err = ErrnoOfCode(Error.ErrorCode());
    if (file.empty())
        return InOutErrorText(Error);
    if (err > 0)
        return WithFileError(ShownText(Error), file, err);
    return ShownText(Error) + '\n' + std::string(file);
}

std::string ListedLinesMessage(std::string Intro, const std::vector<std::string>& Lines,
                               std::size_t MaxLines) {
    std::string text = std::move(Intro);
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (i == MaxLines) {
            text += '\n' + FillText(UiText("ErrorText", "... and %1 more"),
                                    {std::to_string(Lines.size() - i)});
            break;
        }
        text += '\n';
        text += Lines[i];
    }
    return text;
}

} // namespace veltrane
