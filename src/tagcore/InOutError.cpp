#include "tagcore/InOutError.h"

#include "tagcore/UiText.h"

#include <cerrno>

namespace veltrane {

namespace {

const char* NamedIoErrorText(int code) {
    switch (code) {
    case 2:
        return VT_TRANSLATE_NOOP("InOutError", "File not found");
    case 3:
        return VT_TRANSLATE_NOOP("InOutError", "Invalid filename");
    case 4:
        return VT_TRANSLATE_NOOP("InOutError", "Too many open files");
    case 5:
        return VT_TRANSLATE_NOOP("InOutError", "File access denied");
    case 100:
        return VT_TRANSLATE_NOOP("InOutError", "Read beyond end of file");
    case 101:
        return VT_TRANSLATE_NOOP("InOutError", "Disk full");
    case 106:
        return VT_TRANSLATE_NOOP("InOutError", "Invalid numeric input");
    default:
        return nullptr;
    }
}

} // namespace

std::string IoErrorText(int code) {
    if (const char* text = NamedIoErrorText(code))
        return text;
    return "I/O error " + std::to_string(code);
}

std::string ShownIoErrorText(int code) {
    if (const char* text = NamedIoErrorText(code))
        return UiText("InOutError", text);
    return FillText(UiText("InOutError", "I/O error %1"), {std::to_string(code)});
}

int IoErrorCodeFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
    case EBUSY:
        return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 101;
    default:
        break;
    }
    // Keep the errno number visible, but never let it pose as one of the named codes above
    // (EIO is 5, ENETUNREACH 101 on Linux).
    switch (err) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 100:
    case 101:
    case 106:
        return 1000 + err;
    default:
        return err;
    }
}

} // namespace veltrane
