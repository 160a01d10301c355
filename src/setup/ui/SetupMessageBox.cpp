#include "setup/ui/SetupMessageBox.h"

#include "setup/SetupInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>

#include <algorithm>

namespace veltrane {

std::vector<TMessageButton> MessageBoxButtons(unsigned Buttons) {
    static const TMessageButton Order[] = {
        {mbYes, 15, mrYes},       {mbNo, 16, mrNo},     {mbOK, 17, mrOk},
        {mbCancel, 11, mrCancel}, {mbAbort, 18, mrAbort}, {mbRetry, 12, mrRetry},
        {mbAll, 14, mrAll},       {mbIgnore, 13, mrIgnore}, {mbHelp, 19, 0},
    };
    if (Buttons == 0)
        Buttons = mbOK;
    std::vector<TMessageButton> Out;
    for (const TMessageButton& B : Order)
        if (Buttons & B.Flag)
            Out.push_back(B);
    return Out;
}

int EscapeResult(unsigned Buttons) {
    if (Buttons == 0)
        Buttons = mbOK;
    if (Buttons & mbCancel)
        return mrCancel;
    if (Buttons & mbNo)
        return mrNo;
    if ((Buttons & mbYes) && (Buttons & mbAbort) && !(Buttons & mbIgnore))
        return mrYes;
    if (Buttons & mbAbort)
        return mrAbort;
    if (Buttons == mbOK)
        return mrOk;
    return mrNone;
}

namespace {

// Escape and the close button give the harmless answer, or nothing at all.
class TMessageDialog : public QDialog {
  public:
    TMessageDialog(QWidget* Parent, int Escape)
        : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
          Escape_(Escape) {}

  protected:
    void reject() override {
        if (Escape_ != mrNone)
            done(Escape_);
    }
    void closeEvent(QCloseEvent* Event) override {
        Event->ignore();
        reject();
    }

  private:
    int Escape_;
};

} // namespace

int SetupMessageBox(const TSetupInfo& Info, const QString& Text, int Type, unsigned Buttons, QWidget* Parent) {
    static const int Captions[] = {21, 22, 24, 23};
    static const QStyle::StandardPixmap Icons[] = {QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical,
                                                   QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxQuestion};
    const int T = std::clamp(Type, 0, 3);
    TMessageDialog Box(Parent, EscapeResult(Buttons));
    Box.setWindowTitle(QString::fromStdString(Info.Text(Captions[T])));
    QFont Font("Arial");
    Font.setPointSize(9);
    Font.setBold(true);
    Box.setFont(Font);
    const QFontMetrics M(Font);
    const QStringList Lines = ("\n" + Text + "\n").split('\n');
    int TextWidth = 0;
    for (const QString& L : Lines)
        TextWidth = std::max(TextWidth, M.horizontalAdvance(L) + 12);
    const auto List = MessageBoxButtons(Buttons);
    const int RowWidth = static_cast<int>(List.size()) * 98 - 8;
    const QRect Screen = QApplication::primaryScreen() ? QApplication::primaryScreen()->availableGeometry()
                                                       : QRect(0, 0, 1024, 768);
    const int BoxWidth = std::min(std::max(TextWidth, RowWidth), Screen.width() * 8 / 10);
    const int BoxHeight = std::min(static_cast<int>(Lines.size()) * M.height() + 8, Screen.height() * 8 / 10);

    auto* Icon = new QLabel(&Box);
    Icon->setPixmap(Box.style()->standardIcon(Icons[T]).pixmap(32, 32));
    Icon->setGeometry(10, 10, 32, 32);
    auto* Memo = new QTextEdit(&Box);
    Memo->setObjectName("meMessage");
    Memo->setReadOnly(true);
    Memo->setFrameStyle(0);
    Memo->setPlainText("\n" + Text + "\n");
    Memo->setGeometry(52, 0, BoxWidth, BoxHeight);
    Memo->setStyleSheet("background: transparent");
    Memo->setFocusPolicy(Qt::NoFocus);
    const int Width = 52 + BoxWidth + 8;
    int X = (Width - RowWidth) / 2;
    for (const TMessageButton& B : List) {
        auto* Button = new QPushButton(QString::fromStdString(Info.Text(B.TextIndex)), &Box);
        Button->setGeometry(X, BoxHeight + 6, 90, 25);
        QObject::connect(Button, &QPushButton::clicked, &Box, [&Box, R = B.Result] { Box.done(R); });
        X += 98;
    }
    Box.setFixedSize(Width, BoxHeight + 38);
    Box.move(Screen.center() - QPoint(Width / 2, (BoxHeight + 38) / 2));
    return Box.exec();
}

} // namespace veltrane
