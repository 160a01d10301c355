#include "editing/ui/help.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace veltrane;

class HelpTest : public QObject {
    Q_OBJECT

  private slots:
    void showsStateAndClosesOnButton() {
        TFormHelp form;
        QCOMPARE(form.windowTitle(), QString("Help"));
        QVERIFY(form.MemoHelp->isReadOnly());
        QCOMPARE(form.MemoHelp->focusPolicy(), Qt::NoFocus);
        QVERIFY(form.LabelTopic->font().bold() && form.LabelTopic->font().italic() &&
                form.LabelTopic->font().underline());

        THelpState state;
        DisplayHint(state, "");
        form.ShowHelp(state);
        QCOMPARE(form.LabelTopic->text(), QString("Help on help"));
        QCOMPARE(form.MemoHelp->toPlainText(),
                 QString("\nMove your mouse over the button you'd like to know more about."));
        ControlMouseMove(state, TToolbarControl::Refresh);
        DisplayHint(state, ControlHint(TToolbarControl::Refresh));
        form.ShowHelp(state);
        QCOMPARE(QString::fromStdString(form.Topic()), QString("Refresh (F5)"));

        QSignalSpy visible(&form, &TFormHelp::VisibilityChanged);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(visible.last().at(0).toBool(), true);
        QTest::mouseClick(form.ButtonClose, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(visible.last().at(0).toBool(), false);
    }
};

QTEST_MAIN(HelpTest)
#include "help_guitest.moc"
