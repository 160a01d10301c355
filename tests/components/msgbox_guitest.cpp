#include "components/ui/msgbox.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace veltrane;

class MsgBoxTest : public QObject {
    Q_OBJECT
  private:
    // Runs the box for real and, once it is up, does Act to it.
    static int Run(TMsgBox& box, std::function<void(QWidget*)> Act) {
        QTimer::singleShot(0, [Act] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            Act(dialog);
        });
        return box.Execute();
    }
    static void Key(QWidget* dialog, Qt::Key key) {
        QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClick(target, key);
    }
    static void Click(QWidget* dialog, int number) {
        auto* b = dialog->findChild<QPushButton*>(QString("Button%1").arg(number));
        QVERIFY(b);
        b->click();
    }

  private slots:
    void customButtonsAnswerTheirNumbersAndEscCancels() {
        TMsgBox box;
        box.ButtonStyles = btsCustom;
        box.MsgBoxType = mbWarn;
        box.ButtonTexts = {"Append", "Overwrite", "Cancel"};
        box.CancelButton = 3;
        box.Lines = {"The file specified already exists."};
        for (int n : {1, 2, 3})
            QCOMPARE(Run(box, [n](QWidget* d) { Click(d, n); }), n);
        QCOMPARE(Run(box, [](QWidget* d) { Key(d, Qt::Key_Escape); }), 3);
        QCOMPARE(box.LastResult(), 3);
        // The standard picture replaced the custom one.
        QCOMPARE(box.CustomImage.size(), QSize(32, 32));
    }

    void okTakesEnterAndEscYesNoIgnoresEsc() {
        TMsgBox box;
        box.Lines = {"Hi"};
        QCOMPARE(Run(box, [](QWidget* d) { Key(d, Qt::Key_Return); }), 1);
        QCOMPARE(Run(box, [](QWidget* d) {
                     // A short message with one button: the least width; the app's title.
                     QCOMPARE(d->width(), 250);
                     QCOMPARE(d->windowTitle(), QApplication::applicationName());
                     Key(d, Qt::Key_Escape);
                 }),
                 1);
        box.ButtonStyles = btsYesNo;
        box.Caption = "Question";
        QCOMPARE(Run(box, [](QWidget* d) {
                     Key(d, Qt::Key_Escape);
                     QVERIFY(d->isVisible());
                     QCOMPARE(d->windowTitle(), QString("Question"));
                     Click(d, 2);
                 }),
                 2);
    }

    // From an always-on-top window the box comes up above it, owned by it, with the focus,
    // and gives the focus back; that window is never hidden or shown again meanwhile.
    void boxStandsAboveItsOnTopWindowAndChangesNothing() {
        QDialog tool(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
        auto* edit = new QLineEdit(&tool);
        tool.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tool));
        tool.activateWindow();
        edit->setFocus();
        QTRY_VERIFY(tool.isActiveWindow());
        QTest::keyClicks(edit, "typed");
        struct Counter : QObject {
            int events = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                events += e->type() == QEvent::Show || e->type() == QEvent::Hide;
                return false;
            }
        } counter;
        tool.installEventFilter(&counter);
        TMsgBox box;
        box.Lines = {"A name collision"};
        QCOMPARE(Run(box,
                     [&](QWidget* d) {
                         QVERIFY(d->windowFlags() & Qt::WindowStaysOnTopHint);
                         QCOMPARE(d->windowHandle()->transientParent(), tool.windowHandle());
                         QTRY_VERIFY(d->isActiveWindow());
                         Click(d, 1);
                     }),
                 1);
        QCOMPARE(counter.events, 0);
        QVERIFY(tool.windowFlags() & Qt::WindowStaysOnTopHint);
        QTRY_VERIFY(tool.isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->text(), QString("typed"));
    }

    void clipsThatCannotOpenAreReported() {
        std::vector<std::string> shown;
        TAS::ShowError() = [&shown](const std::string& Text) { shown.push_back(Text); };
        TAS clip;
        clip.SetAVIName("/no/such.avi");
        clip.OpenResource(7);
        TAS::ShowError() = nullptr;
        QCOMPARE(shown.size(), size_t(2));
        QCOMPARE(shown[0], std::string("Could not open AVI /no/such.avi\n\nIt must be a silent "
                                       "AVI file/resource."));
        QCOMPARE(shown[1], std::string("Could not open AVI #7\n\n It must be a silent AVI "
                                       "file/resource."));
        QVERIFY(!clip.IsOpen());
    }
};

QTEST_MAIN(MsgBoxTest)
#include "msgbox_guitest.moc"
