// The installer's windows driven by keys: Escape and the close button on every kind of message
// box, Escape at the overwrite question, Enter on every page kind, Escape as Cancel, and no Tab
// stop that shows nothing. With VELTRANE_SCREENSHOT_DIR set, each page is saved as a picture.

#include "support/platform/FakeProgramManager.h"
#include "setup/BDELogic.h"
#include "setup/ChoiceLogic.h"
#include "setup/LanguageLogic.h"
#include "setup/SetupGroupPages.h"
#include "setup/SetupPages.h"
#include "setup/ui/SetupMessageBox.h"
#include "setup/ui/SetupPagesForm.h"
#include "support/TestDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

using namespace veltrane;

namespace {

// Answers message boxes from a script ("<Esc>", "<Close>", "<Enter>" or a button caption) and
// hands each page, once per showing, to OnPage.
class TKeyDriver : public QObject {
  public:
    TQtSetupView View;
    TSetupInfo Info{View};
    std::deque<QString> Answers;
    std::vector<QString> Questions;
    std::vector<std::string> Visited;
    std::function<void(TSetupPage*)> OnPage;
    TKeyDriver() {
        View.Info = &Info;
        connect(&Timer_, &QTimer::timeout, this, [this] { Tick(); });
        Timer_.start(15);
    }
    static void Later(std::function<void()> F) { QTimer::singleShot(0, qApp, std::move(F)); }
    void Key(QWidget* W, Qt::Key K) {
        Later([W, K] { QTest::keyClick(W, K); });
    }
    void Shoot(const std::string& Name) {
        const QByteArray Dir = qgetenv("VELTRANE_SCREENSHOT_DIR");
        if (Dir.isEmpty() || !QApplication::primaryScreen())
            return;
        QApplication::processEvents();
        QApplication::primaryScreen()->grabWindow(0).save(QString(Dir) + "/" + QString::fromStdString(Name) + ".png");
    }

  private:
    void Tick() {
        QWidget* Modal = QApplication::activeModalWidget();
        if (Modal && Modal != View.Form) {
            if (Modal->property("answered").toBool())
                return; // not yet gone (or an ignored Escape)
            Modal->setProperty("answered", true);
            if (auto* Memo = Modal->findChild<QTextEdit*>("meMessage"))
                Questions.push_back(Memo->toPlainText().trimmed());
            const QString A = Answers.empty() ? "&OK" : Answers.front();
            if (!Answers.empty())
                Answers.pop_front();
            static int Boxes = 0;
            const std::string Shot = "box" + std::to_string(++Boxes);
            // With pictures wanted, the box is given time to be drawn first.
            QTimer::singleShot(qEnvironmentVariableIsSet("VELTRANE_SCREENSHOT_DIR") ? 300 : 0, Modal,
                               [this, Modal, A, Shot] {
                                   Shoot(Shot);
                                   if (A == "<Esc>")
                                       QTest::keyClick(Modal, Qt::Key_Escape);
                                   else if (A == "<Enter>")
                                       QTest::keyClick(Modal, Qt::Key_Return);
                                   else if (A == "<Close>")
                                       Modal->close();
                                   else
                                       for (auto* B : Modal->findChildren<QPushButton*>())
                                           if (B->text() == A) {
                                               B->click();
                                               break;
                                           }
                               });
            return;
        }
        TSetupPage* Page = Info.CurrentPage;
        if (!View.Form || !Page || Page->PageResult != prWaiting || !View.Form->isVisible() ||
            Handled_ == Shows)
            return;
        Handled_ = Shows;
        Visited.push_back(Page->Name);
        Shoot("page-" + std::to_string(Visited.size()) + "-" + Page->Name);
        if (OnPage)
            OnPage(Page);
    }
    QTimer Timer_;
    int Handled_ = 0;

  public:
    // Counts the showings of the watched pages: each is handed to OnPage once.
    int Shows = 0;
    void Watch(std::initializer_list<TSetupPage*> Pages) {
        for (TSetupPage* P : Pages)
            P->OnExecute = [this](TSetupComponent&) { ++Shows; };
    }
};

// Every Tab stop of the visible window shows something to act on.
QStringList EmptyTabStops(QWidget* Form) {
    QStringList Bad;
    for (QWidget* W : Form->findChildren<QWidget*>()) {
        if (!W->isVisibleTo(Form) || !W->isEnabled() || !(W->focusPolicy() & Qt::TabFocus))
            continue;
        auto* Memo = qobject_cast<QTextEdit*>(W);
        const bool Control = qobject_cast<QAbstractButton*>(W) || qobject_cast<QLineEdit*>(W) ||
                             qobject_cast<QComboBox*>(W) || qobject_cast<QAbstractItemView*>(W);
        if ((Memo && Memo->isReadOnly() && Memo->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOn) ||
            (!Memo && !Control))
            Bad << W->objectName() + ":" + W->metaObject()->className();
    }
    return Bad;
}

} // namespace

class SetupKeysTest : public QObject {
    Q_OBJECT
  private slots:
    void escapeAndCloseAnswerEveryBox() {
        struct Case {
            unsigned Buttons;
            int Result; // mrNone: ignored, then the first button is clicked
        };
        const Case Cases[] = {
            {mbYes | mbNo | mbAbort | mbAll, mrNo}, {mbYes | mbAbort | mbRetry, mrYes},
            {mbAbort | mbRetry | mbIgnore, mrAbort}, {mbYes | mbNo, mrNo},
            {mbOK | mbCancel, mrCancel},             {mbOK, mrOk},
            {mbRetry | mbIgnore, mrNone},
        };
        TKeyDriver D;
        for (const Case& C : Cases)
            for (const char* How : {"<Esc>", "<Close>"}) {
                D.Answers = {How};
                bool Ignored = false;
                if (C.Result == mrNone)
                    QTimer::singleShot(300, qApp, [&Ignored] {
                        // Still open after the key or the close: press its first button.
                        if (QWidget* Box = QApplication::activeModalWidget()) {
                            Ignored = true;
                            Box->findChildren<QPushButton*>().first()->click();
                        }
                    });
                const int R = SetupMessageBox(D.Info, "Question", mtConfirmation, C.Buttons);
                QCOMPARE(R, C.Result == mrNone ? mrRetry : C.Result);
                QCOMPARE(Ignored, C.Result == mrNone);
            }
    }

    void escapeAtTheOverwriteQuestionKeepsEachFile() {
        test::TestDir Src, Dst;
        TKeyDriver D;
        D.Info.ProgramPath = Src / "install";
        TSetupDir* Install = D.Info.Data->FindDir("Install");
        Install->SetDir(Dst.path().string());
        for (const char* Name : {"a", "b", "readme.txt"}) {
            Src.WriteFile(Name, "new");
            Dst.WriteFile(Name, "changed by the user");
            TSetupFile* F = D.Info.Data->AddFile(Name);
            D.Info.Data->GetDisk(1)->Add(F);
            Install->Add(F);
        }
        D.Info.SelectDir(Install, true);
        TSetupFileCopy Copy("SetupFileCopy");
        TSetupMessage Closing("SetupMessage");
        Copy.SetupInfo = Closing.SetupInfo = &D.Info;
        Copy.NextPage = &Closing;
        Closing.Buttons = btFinish;
        D.Watch({&Copy, &Closing});
        D.Answers = {"<Esc>", "<Close>", "<Esc>"};
        D.OnPage = [&](TSetupPage* Page) {
            if (Page == &Closing)
                D.Key(D.View.Form, Qt::Key_Return);
        };
        QCOMPARE(Copy.Execute(), 1);
        for (const char* Name : {"a", "b", "readme.txt"})
            QCOMPARE(Dst.ReadFile(Name), std::string("changed by the user"));
        QCOMPARE(D.Questions.size(), std::size_t(3)); // every file was asked about
    }

    void enterMovesOnFromEveryPageKindAndEscapeMeansCancel() {
        test::TestDir Target, Config;
        TKeyDriver D;
        TSetupForm Form;
        Form.Insert(D.Info);
        D.Info.WindowsDir = Config.path().string() + "/";
        TSetupDir* Install = D.Info.Data->FindDir("Install");
        Install->SetDir(Target.path().string() + "/");
        Target.WriteFile("veltrane", "#!/bin/sh\n");
        TSetupFile* Program = D.Info.Data->AddFile("/src/veltrane");
        Install->Add(Program);
        D.Info.SelectDir(Install, true);

        TSetupMessage Welcome("SetupMessage1"), Closing("SetupMessage");
        TSetupDirChoice Dir("SetupDirChoice");
        TSetupChoice Choice("SetupChoice");
        TSetupLanguage Language("SetupLanguage");
        TSetupBDEInstall Engine("SetupBDEInstall");
        TSetupGroups Groups("SetupGroups");
        test::FakeProgramManager Menu;
        for (TSetupComponent* P : std::initializer_list<TSetupComponent*>{&Welcome, &Dir, &Choice, &Language,
                                                                           &Engine, &Groups, &Closing})
            Form.Insert(*P);
        Welcome.Caption = "Welcome";
        Welcome.Lines = {"", "This program will install", "Veltrane v2.0 for you."};
        Welcome.Alignment = taCenter;
        Welcome.Buttons = btNext | btCancel;
        Welcome.NextPage = &Dir;
        Dir.InstallDir = "Install";
        Dir.NextPage = &Choice;
        TSetupChoiceItem* Docs = D.Info.Data->AddChoiceItem("Docs");
        Docs->Title = "Documentation";
        Docs->Description = {"The manual and the change list."};
        TSetupChoiceItem* Samples = D.Info.Data->AddChoiceItem("Samples");
        Samples->Title = "Sample playlists";
        Samples->Description = {"Two playlists to start from."};
        Choice.ChoiceData()->AddItem(Docs);
        Choice.ChoiceData()->AddItem(Samples);
        Choice.NextPage = &Language;
        Language.NextPage = &Engine;
        Engine.BDEType = kBDE16;
        QVERIFY(Engine.SetDefaultDir(Target.path().string() + "/idapi/"));
        Engine.NextPage = &Groups;
        TSetupWinItem* Item = D.Info.Data->AddWinItem("Veltrane");
        Item->Dir = Install;
        Item->ItemFile = Program;
        Groups.Definition()->Title = "Veltrane";
        Groups.Definition()->AddItem(Item);
        Groups.ProgramManager = &Menu;
        Groups.NextPage = &Closing;
        Closing.Caption = "Please read this!!";
        Closing.Lines = {"", "Veltrane v2.0"};
        Closing.Buttons = btFinish;

        D.Watch({&Welcome, &Dir, &Choice, &Language, &Engine, &Groups, &Closing});
        int GroupsShown = 0;
        D.Answers = {"<Esc>", "<Esc>"};
        D.OnPage = [&](TSetupPage* Page) {
            QCOMPARE(EmptyTabStops(D.View.Form), QStringList());
            QVERIFY(D.View.Form->btnNext->isDefault());
            if (Page == &Welcome) {
                // Escape asks the cancel question; Escape there is No and the page stays.
                D.Key(D.View.Form, Qt::Key_Escape);
                QTimer::singleShot(400, qApp, [&D] { D.Key(D.View.Form, Qt::Key_Return); });
            } else if (Page == &Groups && ++GroupsShown == 1) {
                // From inside the name box; a name the log cannot hold is refused there.
                D.View.Form->cbCWGGroups->setEditText(" Spaced ");
                D.View.Form->cbCWGGroups->setFocus();
                D.Key(D.View.Form->cbCWGGroups->lineEdit(), Qt::Key_Return);
            } else if (Page == &Groups) {
                QCOMPARE(D.View.Form->cbCWGGroups->currentText(), QString(" Spaced ")); // kept to be corrected
                D.View.Form->cbCWGGroups->setEditText("Veltrane");
                D.Key(D.View.Form, Qt::Key_Return);
            } else if (Page == &Language) {
                QVERIFY(!D.View.Form->LanguageButtons.empty());
                D.View.Form->LanguageButtons.front()->setFocus();
                D.Key(D.View.Form->LanguageButtons.front(), Qt::Key_Return);
            } else if (Page == &Choice) {
                // Equal rows inside the page, each title above its description.
                const int Height = D.View.Form->nbPage->height();
                for (std::size_t I = 0; I < D.View.Form->ChoiceRows.size(); ++I) {
                    const auto& Row = D.View.Form->ChoiceRows[I];
                    QCOMPARE(Row.Title->y(), static_cast<int>(I) * Height / 2);
                    QCOMPARE(Row.Description->y(), Row.Title->y() + Row.Title->height());
                    QVERIFY(Row.Description->geometry().bottom() <= Height + 2);
                }
                D.View.Form->ChoiceRows.front().Title->click();
                D.Key(D.View.Form, Qt::Key_Return);
            } else {
                D.Key(QApplication::focusWidget() ? QApplication::focusWidget() : D.View.Form, Qt::Key_Return);
            }
        };
        QCOMPARE(Welcome.Execute(), 1);
        QCOMPARE(D.Visited, (std::vector<std::string>{"SetupMessage1", "SetupDirChoice", "SetupChoice",
                                                      "SetupLanguage", "SetupBDEInstall", "SetupGroups",
                                                      "SetupGroups", "SetupMessage"}));
        QCOMPARE(D.Questions, (std::vector<QString>{"Cancel Setup?", "The group name cannot start or end with a blank."}));
        QVERIFY(Choice.Selected(1));
        QVERIFY(Engine.Present());
        QVERIFY(!Menu.commands.empty());
    }
};

QTEST_MAIN(SetupKeysTest)
#include "SetupKeys_guitest.moc"
