#include "editing/ui/UndoAction.h"

#include "components/ui/DisplayText.h"
#include "editing/JournaledSteps.h"
#include "editing/Undo.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>

namespace veltrane {

TUndoAction::TUndoAction(QWidget* Window, QMenu* Menu,
                         std::function<void(const std::string&)> ShowError,
                         std::function<void()> Undone,
                         std::function<bool(const std::string& Question)> Ask)
    : QAction(tr("Undo"), Window), showError_(std::move(ShowError)), undone_(std::move(Undone)),
      ownsConsent_(true) {
    // The edits of every window go through the journal this entry undoes: it also holds the
    // one question for when the journal cannot record them.
    SetNoUndoConsent([window = QPointer<QWidget>(Window), ask = std::move(Ask),
                      yes = false](const std::string& Reason) mutable {
        if (yes)
            return true;
        const std::string question = NoUndoQuestion(Reason);
        if (ask) {
            yes = ask(question);
        } else {
            QWidget* parent = QApplication::activeWindow();
            if (!parent)
                parent = window.data();
            yes = QMessageBox::question(parent, QApplication::applicationName(),
                                        DisplayText(question), QMessageBox::Yes | QMessageBox::No,
                                        QMessageBox::No) == QMessageBox::Yes;
        }
        return yes;
    });
    setObjectName("Undo");
    setShortcut(QKeySequence::Undo);
    Attach(Window, Menu);
}

TUndoAction::TUndoAction(QWidget* Window, QMenu* Menu,
                         std::function<void(const std::string&)> ShowError,
                         std::function<void()> Undone, TRedoTag)
    : QAction(tr("Redo"), Window), showError_(std::move(ShowError)), undone_(std::move(Undone)),
      redo_(true) {
    setObjectName("Redo");
    // Ctrl+Shift+Z on every desktop (Ctrl+Y is not Redo everywhere).
    setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    Attach(Window, Menu);
}

void TUndoAction::Attach(QWidget* Window, QMenu* Menu) {
    setShortcutContext(Qt::WindowShortcut);
    Menu->addAction(this);
    Window->addAction(this);
    connect(Menu, &QMenu::aboutToShow, this, &TUndoAction::UpdateState);
    // The key stays live between menus: the command line may have made a step meanwhile,
    // so Run looks at the journal afresh.
    connect(Menu, &QMenu::aboutToHide, this, [this] { setEnabled(true); });
    connect(this, &QAction::triggered, this, &TUndoAction::Run);
}

TUndoAction::~TUndoAction() {
    if (ownsConsent_)
        SetNoUndoConsent({});
}

void TUndoAction::UpdateState() {
    const TUndoEntryState state = redo_ ? RedoEntryState() : UndoEntryState();
    setText(DisplayText(state.Caption));
    setEnabled(state.Enabled);
}

void TUndoAction::Run() {
    if (!(redo_ ? RedoEntryState() : UndoEntryState()).Enabled) {
        QApplication::beep();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TUndoWindowText text = redo_ ? RedoLastForWindow() : UndoLastForWindow();
    QApplication::restoreOverrideCursor();
    if (undone_)
        undone_();
    if (!text.Done.empty() && ShowDone)
        ShowDone(text.Done);
    if (!text.Problems.empty() && showError_)
        showError_(text.Problems);
}

TRedoAction::TRedoAction(QWidget* Window, QMenu* Menu,
                         std::function<void(const std::string&)> ShowError,
                         std::function<void()> Undone)
    : TUndoAction(Window, Menu, std::move(ShowError), std::move(Undone), TRedoTag{}) {}

} // namespace veltrane
