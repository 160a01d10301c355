#pragma once
// Bytes to screen text. Valid UTF-8 shows as it is; a byte that is not part of valid UTF-8
// (an old Latin-1 file name, say) shows as the Latin-1 letter of that number instead of a
// replacement mark, so such names stay readable and tell apart.

#include <QString>

#include <string>
#include <string_view>

namespace veltrane {

QString DisplayText(std::string_view Bytes);

// A path for Qt's own file access (QPixmap, QFile), decoded the way Qt encodes it back. Qt 6
// takes file names as UTF-8, so only our own files (temporary pictures) go this way; the
// user's files are always opened through their bytes. Not for display.
QString QtFilePath(const std::string& Path);

} // namespace veltrane
