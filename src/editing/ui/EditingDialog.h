#pragma once
// Common frame of the editing windows: a tool window that stays on top, centred on the screen,
// with a fixed client area and the shared background picture stretched over it.

#include <QDialog>
#include <QLabel>

#include "editing/CodePageCheck.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QFrame;
class QPushButton;

namespace veltrane {

// A label that reports clicks (the "leave as it is" and check-box captions).
class TClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TClickLabel(const QString& Text, QWidget* Parent = nullptr) : QLabel(Text, Parent) {}

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* Event) override;
};

class TEditingDialog : public QDialog {
    Q_OBJECT
  public:
    // Shown and hidden; never destroyed until the program ends.
    TEditingDialog(const QString& Caption, int ClientWidth, int ClientHeight, bool CloseBox,
                   QWidget* Parent);

    QLabel* BackImage = nullptr;
    // Asks Yes/No before typed characters are saved as "?"; empty: a message box. Tests
    // answer it themselves.
    std::function<bool(const std::string& Question)> ConfirmLossySave;
    // Loads a picture file into BackImage; a missing file keeps the present look.
    void SetBackImage(const QString& FileName);

  protected:
    void showEvent(QShowEvent* Event) override;

    QLabel* AddLabel(const QString& Text, int X, int Y, int W = -1, int H = -1);
    // A caption for the control at (X, Y): as high as that control and centred on it, so the
    // two stay in line whatever the font.
    QLabel* AddRowLabel(const QString& Text, int X, int Y, int W, int H = 21);
    TClickLabel* AddClickLabel(const QString& Text, int X, int Y, int W = -1, int H = -1);
    QFrame* AddBevel(int X, int Y, int W, int H);
    QPushButton* AddButton(const QString& Caption, const char* Name, int X, int Y, int W, int H);
    // Tab order along the list, first to last.
    void SetTabChain(std::initializer_list<QWidget*> Widgets);
    // Enter presses Default whichever control has the focus, Esc presses Cancel; no other
    // button answers either key. Without a Cancel button Esc does nothing.
    void SetDefaultButtons(QPushButton* Default, QPushButton* Cancel);
    void keyPressEvent(QKeyEvent* Event) override;
    // Fills a genre box with the 116 genre table entries in sorted order: the empty entry first.
    static void FillStyles(QComboBox* Box);
    // True when nothing typed is lost to the code page, or the user wants it saved anyway.
    bool AcceptLossySave(const std::vector<TNamedText>& Fields);
    // The code pages a save writes in (the default's when empty): AcceptLossySave and the
    // field hints go by them.
    std::vector<const TagCodec*> WriteCodecs;
    // Shows Text (not empty) in a line of its own where Buttons are, which move a line down
    // with the window's bottom; an empty Text puts them back and hides the line.
    void ShowExtraLine(QLabel* Line, const QString& Text, std::initializer_list<QWidget*> Buttons);

  private:
    QPushButton* cancelButton_ = nullptr;
    int extraLine_ = 0; // the height ShowExtraLine added
};

// Gives Form the background picture the other editing windows of Parent were given (a window
// made after them).
void TakeSharedBackground(TEditingDialog& Form, QWidget& Parent);

// Opens the tool window TForm named Name among Parent's children, made by Make() the first
// time; an open one is filled afresh and brought to the front.
template <class TForm, class Make>
void OpenToolWindow(QWidget& Parent, const char* Name, Make&& MakeForm) {
    auto* form = Parent.findChild<TForm*>(Name);
    if (!form) {
        form = MakeForm();
        TakeSharedBackground(*form, Parent);
    }
    if (form->isVisible())
        form->FormShow();
    else
        form->show();
    form->raise();
    form->activateWindow();
}

// Genre table entry <-> box text. Entries are UTF-8 with their trailing blank.
QString ToQ(const std::string& Utf8);
std::string FromQ(const QString& Text);
// Path bytes to display text.
QString PathToQ(const std::string& Path);

} // namespace veltrane
