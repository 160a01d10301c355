// Enter and Esc in every editing window: Enter presses the window's default button whichever
// control has the focus, Esc its cancel button, and no other button answers either key.

#include "EditingFixture.h"
#include "FakeEditingHost.h"
#include "editing/PreferencesLogic.h"
#include "editing/ui/DeriveFormat.h"
#include "editing/ui/EditMP3Tag.h"
#include "editing/ui/EditMore.h"
#include "editing/ui/GetTagFromFileName.h"
#include "editing/ui/Preferences.h"
#include "editing/ui/Rename.h"
#include "editing/ui/deSelect.h"
#include "editing/ui/help.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <map>
#include <memory>
#include <vector>

using namespace veltrane;

namespace {

struct Window {
    std::unique_ptr<TEditingDialog> Dialog;
    QPushButton* Default = nullptr; // nullptr: Enter presses nothing
    QPushButton* Cancel = nullptr;  // nullptr: Esc presses nothing and the window stays
};

// Counts the clicks of every button; the windows' own handlers are cut off so that a press
// changes nothing on disk and the window stays open for the next key.
class ButtonClicks {
  public:
    explicit ButtonClicks(QWidget& Window) {
        for (QPushButton* button : Window.findChildren<QPushButton*>()) {
            QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr);
            QObject::connect(button, &QPushButton::clicked, [this, button] { ++count_[button]; });
        }
    }
    // The buttons clicked since the last call, by object name.
    QStringList Take() {
        QStringList names;
        for (const auto& [button, n] : count_)
            for (int i = 0; i < n; ++i)
                names << button->objectName();
        count_.clear();
        return names;
    }

  private:
    std::map<QPushButton*, int> count_;
};

} // namespace

class DefaultButtonsTest : public QObject {
    Q_OBJECT

  private slots:
    void enterAndEscPressOnlyTheDescribedButtons() {
        test::EditingFolder folder;
        const std::string a = folder.Add("a.mp3", test::Tagged("Song", "Band"));
        const std::string b = folder.Add("b.mp3", test::Tagged("Other", "Band"));
        TFileList& list = folder.List();
        folder.Select({a, b}); // Rename shows its several-files state
        list.SetItemIndex(static_cast<std::ptrdiff_t>(folder.RowOf(a)));
        test::FakeEditingHost host(list, folder.Dir().path().string());
        TSettingsHost settings(folder / "Veltrane.ini");

        struct Case {
            const char* name;
            std::function<Window()> make;
        };
        const Case cases[] = {
            {"rename",
             [&] {
                 auto* w = new TFormRename(host);
                 return Window{std::unique_ptr<TEditingDialog>(w), w->BitBtnOK, w->BitBtnCancel};
             }},
            {"single-file editor",
             [&] {
                 auto* w = new TFormEditMP3Tag(host);
                 w->Record = GetMP3Tag(a);
                 return Window{std::unique_ptr<TEditingDialog>(w), w->BitBtnSave, w->BitBtnCancel};
             }},
            {"multi-file editor",
             [&] {
                 auto* w = new TFormEditMore(host);
                 return Window{std::unique_ptr<TEditingDialog>(w), w->BitBtnSave, w->BitBtnCancel};
             }},
            {"select",
             [&] {
                 auto* w = new TFormDeSelect(host);
                 return Window{std::unique_ptr<TEditingDialog>(w), w->BitBtnOK, w->BitBtnCancel};
             }},
            {"tags from names",
             [&] {
                 auto* w = new TFormGetTagFromFilename(host);
                 return Window{std::unique_ptr<TEditingDialog>(w), w->BitBtnOK, w->BitBtnCancel};
             }},
            {"derive format",
             [&] {
                 auto* w = new TFormDeriveFormat(host);
                 return Window{std::unique_ptr<TEditingDialog>(w), w->BitBtnOK, w->BitBtnCancel};
             }},
            {"preferences",
             [&] {
                 auto* w = new TFormPreferences(settings);
                 return Window{std::unique_ptr<TEditingDialog>(w), w->BitBtnOK, w->BitBtnCancel};
             }},
            {"help",
             [&] {
                 auto* w = new TFormHelp();
                 return Window{std::unique_ptr<TEditingDialog>(w), nullptr, nullptr};
             }},
        };
        for (const Case& c : cases) {
            Window w = c.make();
            TEditingDialog& dialog = *w.Dialog;
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            ButtonClicks clicks(dialog);
            const QStringList onEnter =
                w.Default ? QStringList{w.Default->objectName()} : QStringList{};
            int tried = 0;
            for (QWidget* control : dialog.findChildren<QWidget*>()) {
                if (!control->isVisible() || !control->isEnabled() ||
                    !(control->focusPolicy() & Qt::TabFocus) || control->focusProxy())
                    continue;
                control->setFocus();
                QTest::keyClick(control, Qt::Key_Return);
                QVERIFY2(clicks.Take() == onEnter,
                         qPrintable(QString("%1, Enter in %2").arg(c.name, control->objectName())));
                ++tried;
            }
            QVERIFY2(tried >= 1, c.name);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            const QStringList onEsc =
                w.Cancel ? QStringList{w.Cancel->objectName()} : QStringList{};
            QVERIFY2(clicks.Take() == onEsc, c.name);
            QVERIFY2(dialog.isVisible(), c.name);
        }
    }
};

QTEST_MAIN(DefaultButtonsTest)
#include "DefaultButtons_guitest.moc"
