#include "editing/ui/UndoAction.h"

#include "components/ui/DisplayText.h"
#include "editing/Undo.h"

#include <QApplication>
#include <QMenu>

namespace veltrane {

TUndoAction::TUndoAction(QWidget* Window, QMenu* Menu,
                         std::function<void(const std::string&)> ShowError,
                         std::function<void()> Undone)
    : QAction("Undo", Window), showError_(std::move(ShowError)), undone_(std::move(Undone)) {
    setObjectName("Undo");
    setShortcut(QKeySequence::Undo);
    setShortcutContext(Qt::WindowShortcut);
    Menu->addAction(this);
    Window->addAction(this);
    connect(Menu, &QMenu::aboutToShow, this, &TUndoAction::UpdateState);
    // The key stays live between menus: the command line may have made a step meanwhile,
    // so Run looks at the journal afresh.
    connect(Menu, &QMenu::aboutToHide, this, [this] { setEnabled(true); });
    connect(this, &QAction::triggered, this, &TUndoAction::Run);
}

void TUndoAction::UpdateState() {
    const TUndoEntryState state = UndoEntryState();
    setText(DisplayText(state.Caption));
    setEnabled(state.Enabled);
}

void TUndoAction::Run() {
    if (!UndoEntryState().Enabled) {
        QApplication::beep();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string text = UndoLastForWindow();
    QApplication::restoreOverrideCursor();
    if (undone_)
        undone_();
    if (!text.empty() && showError_)
        showError_(text);
}

} // namespace veltrane
