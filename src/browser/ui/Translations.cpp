#include "browser/ui/Translations.h"

#include "tagcore/UiText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace veltrane {

namespace {

std::string LookUp(const char* Context, const char* Text) {
    return QCoreApplication::translate(Context, Text).toStdString();
}

} // namespace

QStringList TranslationDirs(const QString& ProgramDir) {
    QStringList dirs{QDir::cleanPath(ProgramDir + "/../share/veltrane/translations")};
    // Only a build tree's program looks two levels up, where the build keeps its catalogues.
    if (QFileInfo::exists(ProgramDir + "/../../CMakeCache.txt"))
        dirs << QDir::cleanPath(ProgramDir + "/../../translations");
    return dirs;
}

TTranslations::TTranslations() = default;

TTranslations::~TTranslations() {
    if (!installed_)
        return;
    SetTextLookup(nullptr);
    if (own_)
        QCoreApplication::removeTranslator(own_.get());
    if (qt_)
        QCoreApplication::removeTranslator(qt_.get());
}

bool TTranslations::Load(const QLocale& Locale, const QStringList& Dirs) {
    auto own = std::make_unique<QTranslator>();
    bool found = false;
    for (const QString& dir : Dirs) {
        // The first of the user's languages with a catalogue wins; "en" has none to find.
        if (QFileInfo(dir).isDir() && own->load(Locale, "veltrane", "_", dir)) {
            found = true;
            break;
        }
    }
    if (!found)
        return false;
    // Qt's own texts (Yes, No, Cancel, the edit menus) in the same language, when installed.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(Locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        qt->load("qtbase_" + own->language(), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt.get());
    else
        qt.reset();
    QCoreApplication::installTranslator(own.get());
    own_ = std::move(own);
    qt_ = std::move(qt);
    installed_ = true;
    SetTextLookup(&LookUp);
    return true;
}

QString TTranslations::FileName() const {
    return own_ ? own_->filePath() : QString();
}

QString UiTr(const char* Context, const std::string& Text) {
    return QCoreApplication::translate(Context, Text.c_str());
}

} // namespace veltrane
