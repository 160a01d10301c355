// The wizard in its real window, offscreen: nested pages, Previous, Cancel answered No and Yes,
// and the copy page answering the overwrite question with No, Yes and All.

#include "setup/SetupPages.h"
#include "setup/ui/SetupPagesForm.h"
#include "support/TestDir.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace veltrane;

namespace {

// Polls the event loop: answers message boxes from a script and clicks wizard buttons for
// whichever page is showing.
class TDriver : public QObject {
  public:
    TQtSetupView View;
    TSetupInfo Info{View};
    std::vector<QString> Answers; // button captions, in order
    std::vector<QString> Questions;
    std::function<void(TSetupPage*)> OnPage;
    TDriver() {
        View.Info = &Info;
        connect(&Timer_, &QTimer::timeout, this, [this] { Tick(); });
        Timer_.start(15);
    }
    void Click(const char* Name) {
        if (View.Form)
            if (auto* B = View.Form->findChild<QPushButton*>(Name); B && B->isEnabled())
                QTimer::singleShot(0, B, &QPushButton::click); // a question it opens must not block the ticks
    }

  private:
    void Tick() {
        QWidget* Modal = QApplication::activeModalWidget();
        if (Modal && Modal != View.Form) {
            if (auto* Memo = Modal->findChild<QTextEdit*>("meMessage"))
                Questions.push_back(Memo->toPlainText().trimmed());
            const QString Answer = Answers.empty() ? "&OK" : Answers.front();
            if (!Answers.empty())
                Answers.erase(Answers.begin());
            for (auto* B : Modal->findChildren<QPushButton*>())
                if (B->text() == Answer || (Answer == "&OK" && B->text() == "&Yes")) {
                    QTimer::singleShot(0, B, &QPushButton::click);
                    return;
                }
            return;
        }
        if (View.Form && Info.CurrentPage && Info.CurrentPage->PageResult == prWaiting && OnPage)
            OnPage(Info.CurrentPage);
    }
    QTimer Timer_;
};

} // namespace

class SetupWizardTest : public QObject {
    Q_OBJECT
  private slots:
    void previousRebuildsAndCancelUnwindsTheChain() {
        TDriver D;
        TSetupMessage P1("One"), P2("Two"), P3("Three");
        for (TSetupMessage* P : {&P1, &P2, &P3})
            P->SetupInfo = &D.Info;
        P1.NextPage = &P2;
        P2.NextPage = &P3;
        int Shows2 = 0;
        P2.OnExecute = [&](TSetupComponent&) { ++Shows2; };
        D.Answers = {"&No", "&Yes"};
        D.OnPage = [&](TSetupPage* Page) {
            if (Page == &P1 || (Page == &P2 && Shows2 == 1)) {
                D.Click("btnNext");
            } else if (Page == &P3) {
                QVERIFY(D.View.Form->btnPrev->isEnabled());
                D.Click("btnPrev");
            } else if (Page == &P2) {
                D.Click("btnCancel"); // first answered No, then Yes
            }
        };
        QCOMPARE(P1.Execute(), 2);
        QCOMPARE(Shows2, 2);
        QCOMPARE(P2.PageResult, 2);
        QCOMPARE(P1.PageResult, 2);
        QCOMPARE(D.Questions, (std::vector<QString>{"Cancel Setup?", "Cancel Setup?"}));
        QVERIFY(D.Info.PageHistory.empty());
    }

    void copyPageAnswersNoYesAndAll() {
        struct Case {
            std::vector<QString> Answers;
            std::string A, B, C;
        };
        const Case Cases[] = {
            {{"&No", "&No", "&No"}, "old", "old", "old"},
            {{"&Yes", "&No", "&Yes"}, "new a", "old", "new c"},
            {{"&No", "&All"}, "old", "new b", "new c"},
        };
        for (const Case& C : Cases) {
            test::TestDir Src, Dst;
            TDriver D;
            D.Info.ProgramPath = Src / "install";
            TSetupDir* Install = D.Info.Data->FindDir("Install");
            Install->SetDir(Dst.path().string());
            for (const char* Name : {"a", "b", "c"}) {
                Src.WriteFile(Name, std::string("new ") + Name);
                Dst.WriteFile(Name, "old");
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
            D.Answers = C.Answers;
            D.OnPage = [&](TSetupPage* Page) {
                if (Page == &Closing) {
                    QVERIFY(!D.View.Form->btnPrev->isEnabled()); // no way back past the copy
                    D.Click("btnNext");
                }
            };
            QCOMPARE(Copy.Execute(), 1);
            QCOMPARE(Dst.ReadFile("a"), C.A);
            QCOMPARE(Dst.ReadFile("b"), C.B);
            QCOMPARE(Dst.ReadFile("c"), C.C);
            QVERIFY(D.Questions.front().startsWith("Overwrite file a"));
        }
    }
};

QTEST_MAIN(SetupWizardTest)
#include "SetupWizard_guitest.moc"
