#pragma once
// The "Undo" entry of the main window's pop-up menu, also on Ctrl+Z.

#include <QAction>

#include <functional>
#include <string>

class QMenu;

namespace veltrane {

class TUndoAction : public QAction {
    Q_OBJECT
  public:
    // Adds itself to Menu and, for the key, to Window. ShowError shows a text; Undone runs
    // after every undo (the window refreshes its list). While it lives, a change the journal
    // cannot record asks Ask (empty: a Yes/No box over the active window) whether to make it
    // without undo; a Yes holds for the rest of the run.
    TUndoAction(QWidget* Window, QMenu* Menu, std::function<void(const std::string&)> ShowError,
                std::function<void()> Undone,
                std::function<bool(const std::string& Question)> Ask = {});
    ~TUndoAction() override;

    // Caption and enabled state from the journal; the menu calls it as it opens.
    void UpdateState();
    void Run();

  private:
    std::function<void(const std::string&)> showError_;
    std::function<void()> undone_;
};

} // namespace veltrane
