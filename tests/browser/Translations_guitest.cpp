// The windows in the desktop's language: with LANGUAGE=de the German catalogue loads from the
// build tree and the main window, its editors and the logic's messages speak German; without
// a catalogue (English, or the translators removed) every text is the English one.

#include "browser/ErrorText.h"
#include "browser/HelpTexts.h"
#include "browser/MainCommands.h"
#include "browser/ui/Translations.h"
#include "browser/ui/main.h"
#include "components/ui/MultiLst.h"
#include "editing/StepNames.h"
#include "editing/ui/DeriveFormat.h"
#include "editing/ui/EditMP3Tag.h"
#include "editing/ui/Preferences.h"
#include "editing/ui/help.h"
#include "platform/Associations.h"
#include "platform/FileOperations.h"
#include "platform/ProcessStarter.h"
#include "support/platform/FakeVolumes.h"
#include "tagcore/InOutError.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace veltrane;

namespace {

// What the window last gave its error box.
QString& LastError() {
    static QString text;
    return text;
}

QString ActionText(TMainForm& Form, const char* Name) {
    auto* action = Form.PopupMenuMultiListMP3->findChild<QAction*>(Name);
    return action ? action->text() : QString("<no %1>").arg(Name);
}

struct TShownText {
    const char* What;
    std::function<QString(TMainForm&)> Get;
    const char* English;
    const char* German;
};

// Texts of the main window, an editor, the preferences and the logic's messages.
const std::vector<TShownText>& ShownTexts() {
    static const std::vector<TShownText> texts = {
        {"menu Refresh", [](TMainForm& f) { return ActionText(f, "Refresh"); }, "Refresh",
         "Aktualisieren"},
        {"menu Select files", [](TMainForm& f) { return ActionText(f, "Selectfiles"); },
         "Select files", "Dateien auswählen"},
        {"menu Edit selected", [](TMainForm& f) { return ActionText(f, "EditselectedMP3s"); },
         "Edit selected MP3's", "Ausgewählte MP3s bearbeiten"},
        {"menu Delete", [](TMainForm& f) { return ActionText(f, "Deleteselectedfiles"); },
         "Delete selected files", "Ausgewählte Dateien löschen"},
        {"menu Number tracks", [](TMainForm& f) { return ActionText(f, "Numbertracks"); },
         "Number tracks...", "Tracks nummerieren..."},
        {"hint Refresh", [](TMainForm& f) { return f.ToolbarButton97Refresh->statusTip(); },
         "Refresh (F5)", "Aktualisieren (F5)"},
        {"hint Play", [](TMainForm& f) { return f.ToolbarButton97Play->statusTip(); },
         "Play selected MP3 (Ctrl-Enter)", "Ausgewählte MP3 abspielen (Strg-Eingabe)"},
        {"balloon Playlist Editor",
         [](TMainForm& f) { return f.ToolbarButton97PlayListEditor->toolTip(); }, "Playlist Editor",
         "Playlist-Editor"},
        {"column FileName", [](TMainForm& f) { return f.MultiListMP3->HeaderSections().value(0); },
         "FileName", "Dateiname"},
        {"column Artist", [](TMainForm& f) { return f.MultiListMP3->HeaderSections().value(2); },
         "Artist", "Interpret"},
        {"help topic", [](TMainForm& f) { return f.FormHelp->LabelTopic->text(); }, "Help on help",
         "Hilfe zur Hilfe"},
        {"editor caption", [](TMainForm& f) { return f.FormEditMP3Tag->windowTitle(); }, "Edit tag",
         "Tag bearbeiten"},
        {"editor Song", [](TMainForm& f) { return f.FormEditMP3Tag->LabelType->text(); }, "Song",
         "Titel"},
        {"editor Save", [](TMainForm& f) { return f.FormEditMP3Tag->BitBtnSave->text(); }, "Save",
         "Speichern"},
        {"preferences caption", [](TMainForm& f) { return f.FormPreferences->windowTitle(); },
         "Preferences", "Einstellungen"},
        {"preferences Play file",
         [](TMainForm& f) { return f.FormPreferences->ComboBoxDblClickAction->itemText(1); },
         "Play file", "Datei abspielen"},
        {"footer", [](TMainForm&) { return QString::fromStdString(FooterTexts(3, 0, '.').Count); },
         "3 files selected", "3 Dateien ausgewählt"},
        {"delete question", [](TMainForm&) { return QString::fromStdString(DeleteQuestion(2)); },
         "Are you sure you want to delete 2 file(s)?", "Möchten Sie 2 Datei(en) wirklich löschen?"},
        {"error text",
         [](TMainForm&) {
             return QString::fromStdString(InOutErrorMessage(EInOutError(2), "/m/a.mp3"));
         },
         "File not found\n/m/a.mp3", "Datei nicht gefunden\n/m/a.mp3"},
        {"system error in a message",
         [](TMainForm&) {
             return QString::fromStdString(ShownSystemErrors("/m/a.mp3: Permission denied"));
         },
         "/m/a.mp3: Permission denied", "/m/a.mp3: Keine Berechtigung"},
        {"error box",
         [](TMainForm& f) {
             f.ReportError("/m/a.mp3: Permission denied");
             return LastError();
         },
         "/m/a.mp3: Permission denied", "/m/a.mp3: Keine Berechtigung"},
        {"undo step name",
         [](TMainForm&) {
             return QString::fromStdString(ShownStepName("set title and artist of 3 files"));
         },
         "set title and artist of 3 files", "Titel und Interpret von 3 Dateien setzen"},
        // Data stays as it is in every language.
        {"genre entry",
         [](TMainForm& f) {
             QComboBox* box = f.FormEditMP3Tag->ComboBoxStyle;
             return box->itemText(box->findText("Rock ", Qt::MatchExactly));
         },
         "Rock ", "Rock "},
        {"derive item",
         [](TMainForm& f) {
             QListWidget* a = f.FormDeriveFormat->ListBoxDeriveOptions;
             QListWidget* b = f.FormDeriveFormat->ListBoxDeriveHowTo;
             QStringList items;
             for (QListWidget* list : {a, b})
                 for (int i = 0; i < list->count(); ++i)
                     items << list->item(i)->text();
             items.sort();
             return items.value(0);
         },
         "1. Songname", "1. Songname"},
    };
    return texts;
}

} // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

    platform::GioAssociations associations_;
    platform::LinuxFileOperations fileOps_;
    platform::LinuxProcessStarter processes_;
    test::FakeVolumes volumes_;

    std::unique_ptr<TMainForm> Make() {
        TMainServices services;
        services.Associations = &associations_;
        services.FileOperations = &fileOps_;
        services.Processes = &processes_;
        services.Volumes = &volumes_;
        services.StartDirectory = QDir::currentPath().toStdString();
        services.ShowError = [](const std::string& t) { LastError() = QString::fromStdString(t); };
        auto form = std::make_unique<TMainForm>(services);
        form->CreateWindows();
        return form;
    }

    void Compare(bool German) {
        auto form = Make();
        for (const TShownText& t : ShownTexts())
            QVERIFY2(t.Get(*form) == QString::fromUtf8(German ? t.German : t.English),
                     qPrintable(QString("%1: \"%2\"").arg(t.What, t.Get(*form))));
    }

  private slots:
    // Before any catalogue: exactly the English texts.
    void englishWithoutCatalogue() { Compare(false); }

    // English is the texts' own language: no catalogue to find, nothing changes.
    void englishFindsNoCatalogue() {
        TTranslations translations;
        QVERIFY(!translations.Load(QLocale(QLocale::English, QLocale::UnitedStates),
                                   TranslationDirs(QCoreApplication::applicationDirPath())));
        QVERIFY(translations.FileName().isEmpty());
        Compare(false);
    }

    void germanFromTheDesktopLanguage() {
        QVERIFY(QLocale::system().uiLanguages().join(',').startsWith("de"));
        {
            TTranslations translations;
            QVERIFY(translations.Load(QLocale::system(),
                                      TranslationDirs(QCoreApplication::applicationDirPath())));
            QVERIFY(translations.FileName().endsWith("/veltrane_de.qm"));
            Compare(true);
        }
        // Removed again: the logic's lookup is gone too.
        QCOMPARE(QString::fromStdString(ControlHint(TToolbarControl::Refresh)),
                 QString("Refresh (F5)"));
        Compare(false);
    }

    // Installed beside the program; the build tree's folder only for a program in a build tree.
    void folders() {
        QTemporaryDir root;
        QDir().mkpath(root.path() + "/build/app/veltrane");
        QDir().mkpath(root.path() + "/usr/bin");
        QFile(root.path() + "/build/CMakeCache.txt").open(QIODevice::WriteOnly);
        const struct {
            const char* Program;
            QStringList Expected;
        } cases[] = {
            {"/usr/bin", {"/usr/share/veltrane/translations"}},
            {"/build/app/veltrane",
             {"/build/app/share/veltrane/translations", "/build/translations"}},
        };
        for (const auto& c : cases) {
            QStringList expected;
            for (const QString& dir : c.Expected)
                expected << root.path() + dir;
            QCOMPARE(TranslationDirs(root.path() + c.Program), expected);
        }
    }

    // A folder without the catalogue is passed over for the next one.
    void missingFolderSkipped() {
        QTemporaryDir empty;
        TTranslations translations;
        QVERIFY(translations.Load(QLocale(QLocale::German, QLocale::Germany),
                                  QStringList{empty.path() + "/none", empty.path()} +
                                      TranslationDirs(QCoreApplication::applicationDirPath())));
        QVERIFY(!translations.FileName().startsWith(empty.path()));
    }

    // Russian ships beside German: a Russian desktop gets its own catalogue, not the German one.
    void russianCatalogue() {
        TTranslations translations;
        QVERIFY(translations.Load(QLocale(QLocale::Russian, QLocale::Russia),
                                  TranslationDirs(QCoreApplication::applicationDirPath())));
        QVERIFY(translations.FileName().endsWith("/veltrane_ru.qm"));
        QCOMPARE(QCoreApplication::translate("MainFileList", "Artist"),
                 QString::fromUtf8("Исполнитель"));
    }
};

int main(int argc, char** argv) {
    // The desktop's language as a German session sets it, before Qt reads it.
    qputenv("LANGUAGE", "de");
    qputenv("LANG", "de_DE.UTF-8");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    QTemporaryDir root;
    for (const char* sub : {"home", "config", "start"})
        QDir().mkpath(root.path() + "/" + sub);
    qputenv("HOME", (root.path() + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + "/config").toUtf8());
    QDir::setCurrent(root.path() + "/start");
    QApplication app(argc, argv);
    TranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "Translations_guitest.moc"
