#include "components/ui/DisplayText.h"

#include "tagcore/Utf8.h"

#include <QFile>

namespace veltrane {

QString DisplayText(std::string_view Bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(Bytes.size()));
    std::size_t runStart = 0;
    const auto flush = [&](std::size_t end) {
        if (end > runStart)
            text += QString::fromUtf8(Bytes.data() + runStart,
                                      static_cast<qsizetype>(end - runStart));
    };
    for (std::size_t i = 0; i < Bytes.size();) {
        char32_t cp;
        const std::size_t len = NextCodePoint(Bytes, i, cp);
        if (len > 0) {
            i += len;
            continue;
        }
        flush(i);
        text += QChar(static_cast<unsigned char>(Bytes[i]));
        runStart = ++i;
    }
    flush(Bytes.size());
    return text;
}

QString QtFilePath(const std::string& Path) {
    return QFile::decodeName(QByteArray::fromStdString(Path));
}

} // namespace veltrane
