#pragma once
// The "Undo" and "Redo" entries of the main window's pop-up menu, also on Ctrl+Z and
// Ctrl+Shift+Z.

#include <QAction>

#include <functional>
#include <string>

class QMenu;

namespace veltrane {

struct TRedoTag {};

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

    // Shows what was taken back ("Undone: set album of 10 files"); the window's status bar.
    std::function<void(const std::string&)> ShowDone;

    // Caption and enabled state from the journal; the menu calls it as it opens.
    void UpdateState();
    void Run();

  protected:
    // The Redo entry shares everything but the step it takes back.
    TUndoAction(QWidget* Window, QMenu* Menu, std::function<void(const std::string&)> ShowError,
                std::function<void()> Undone, TRedoTag);

  private:
    void Attach(QWidget* Window, QMenu* Menu);
    std::function<void(const std::string&)> showError_;
    std::function<void()> undone_;
    bool redo_ = false;
    bool ownsConsent_ = false;
};

// "Redo: <the last undo>": takes the last undo back, as a step of its own.
class TRedoAction : public TUndoAction {
    Q_OBJECT
  public:
    TRedoAction(QWidget* Window, QMenu* Menu, std::function<void(const std::string&)> ShowError,
                std::function<void()> Undone);
};

} // namespace veltrane
