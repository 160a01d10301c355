#pragma once
// TFormHelp ("Help"): the topic and help text that the main window fills in while the pointer
// moves over its toolbar.

#include "browser/HelpTexts.h"
#include "editing/ui/EditingDialog.h"

#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace veltrane {

class TFormHelp : public TEditingDialog {
    Q_OBJECT
  public:
    explicit TFormHelp(QWidget* Parent = nullptr);

    QLabel* LabelTopic = nullptr;       // bold, italic, underlined
    QPlainTextEdit* MemoHelp = nullptr; // read-only, light blue, not a tab stop
    QPushButton* ButtonClose = nullptr; // "Close help"

    // Shows a help state: topic in LabelTopic, lines in MemoHelp.
    void ShowHelp(const THelpState& State);
    void SetTopic(const std::string& Topic);
    std::string Topic() const;
    void SetLines(const std::vector<std::string>& Lines);
    void ButtonCloseClick();

  signals:
    // FormShow / FormHide: the main window sets its help button's down state from this.
    void VisibilityChanged(bool Visible);

  protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;
};

} // namespace veltrane
