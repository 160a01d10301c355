#pragma once
// TMsgBox: a message box with its own button captions, configured once and run with Execute,
// which builds a small modal dialog from the settings and returns the 1-based number of the
// pressed button (0 when closed without one). TAS: the silent-clip player it can show in
// place of the picture.

#include "components/MsgBoxLayout.h"
#include "components/ui/AniSymbl.h"

#include <QColor>
#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace veltrane {

enum TAS_State { tacmOpen, tacmClosed, tacmPlaying };

// Plays a silent AVI clip; a clip it cannot open is reported through ShowError and leaves it
// closed, without stopping the caller.
class TAS : public TAnimatedSymbol {
    Q_OBJECT
  public:
    explicit TAS(QWidget* Parent = nullptr);

    void SetAVIName(const std::string& Value);
    void SetState(TAS_State Value);
    TAS_State State() const;
    // Opens a clip of the program's own, by number; see Resources.
    void OpenResource(int Id);
    void OpenResource(const std::string& Name);

    // The program's clips by number and by name: files it has stored its media to.
    static std::map<int, std::string>& Resources();
    static std::map<std::string, std::string>& NamedResources();
    // The application's error display; empty: a message box.
    static std::function<void(const std::string& Text)>& ShowError();

  private:
    void OpenFile(const std::string& File, const std::string& ErrorText);
};

class TMsgBox : public QObject {
    Q_OBJECT
  public:
    explicit TMsgBox(QObject* Owner = nullptr);

    MsgButtonStyles ButtonStyles = btsOk;
    Appearences Appearence = apScreenCenter;
    MsgBoxTypes MsgBoxType = mbAsk;
    std::vector<std::string> Lines;       // UTF-8
    std::vector<std::string> ButtonTexts; // for btsCustom, at most 9 used
    std::string Caption;                  // empty: the application's title
    QImage CustomImage;
    int FormLeft = 20;
    int FormTop = 20;
    int DefButton = 0;
    int CancelButton = 0;
    int AVIResourceID = -1;
    std::string AVIResourceName;
    std::string AVIFile;
    std::optional<QColor> TransparentColor; // none: the picture's top-left pixel
    int LastResult() const { return lastResult_; }

    // Builds the box, shows it modally and returns the pressed button's number.
    int Execute(QWidget* Parent = nullptr);

    // Tests answer in place of the user: called instead of showing the box, with the box
    // already built (ShownDialog), and its result returned.
    std::function<int(TMsgBox& Box)> Answer;
    // The dialog while Execute runs, else nullptr.
    QWidget* ShownDialog() const { return dialog_; }

  private:
    int lastResult_ = 0;
    QWidget* dialog_ = nullptr;
};

// Runs Box modally above every window of the program, our always-on-top ones included: it
// belongs to the window the user works in (the active one, else Owner's), stays on top
// itself and takes the focus; afterwards that window and its focused control get the focus
// back. No other window is hidden, shown or changed. Returns Box's exec() result.
int ExecAboveAll(QDialog& Box, QWidget* Owner = nullptr);
// A standard box with one OK button, and a Yes/No question (true for Yes), shown that way.
void ShowMessageBox(QWidget* Owner, QMessageBox::Icon Icon, const QString& Title,
                    const QString& Text);
bool AskYesNo(QWidget* Owner, QMessageBox::Icon Icon, const QString& Title, const QString& Text,
              bool DefaultYes);

// The standard pictures, 32 x 32, drawn by the program.
QImage StandardMsgBoxPicture(MsgBoxTypes Type);

} // namespace veltrane
