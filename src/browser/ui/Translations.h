#pragma once
// The program's catalogue in the desktop's language (LANGUAGE, LC_MESSAGES, LANG), with Qt's
// own for the standard buttons and menus; the logic's texts are looked up through it too.

#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>

class QTranslator;

namespace veltrane {

// Folders that may hold "veltrane_<language>.qm": the installed one beside the program
// (../share/veltrane/translations), then, for a program in a build tree, the build's own
// (../../translations).
QStringList TranslationDirs(const QString& ProgramDir);

// Installed translators; destroying it returns the program to English.
class TTranslations {
  public:
    TTranslations();
    ~TTranslations();
    TTranslations(const TTranslations&) = delete;
    TTranslations& operator=(const TTranslations&) = delete;

    // Loads the catalogue for Locale's languages from Dirs; true when one was found. English,
    // the language the texts are written in, needs none.
    bool Load(const QLocale& Locale, const QStringList& Dirs);
    // The catalogue's file, empty when none is loaded.
    QString FileName() const;

  private:
    std::unique_ptr<QTranslator> own_;
    std::unique_ptr<QTranslator> qt_;
    bool installed_ = false;
};

// What the windows show for a text the logic handed them.
QString UiTr(const char* Context, const std::string& Text);

} // namespace veltrane
