#pragma once
// Common frame of the editing windows: a tool window that stays on top, centred on the screen,
// with a fixed client area and the shared background picture stretched over it.

#include <QDialog>
#include <QLabel>

#include <initializer_list>

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
    // Loads a picture file into BackImage; a missing file keeps the present look.
    void SetBackImage(const QString& FileName);

  protected:
    void showEvent(QShowEvent* Event) override;

    QLabel* AddLabel(const QString& Text, int X, int Y, int W = -1, int H = -1);
    TClickLabel* AddClickLabel(const QString& Text, int X, int Y, int W = -1, int H = -1);
    QFrame* AddBevel(int X, int Y, int W, int H);
    QPushButton* AddButton(const QString& Caption, const char* Name, int X, int Y, int W, int H);
    // Tab order along the list, first to last.
    void SetTabChain(std::initializer_list<QWidget*> Widgets);
    // Fills a genre box with the 116 genre table entries in sorted order: the empty entry first.
    static void FillStyles(QComboBox* Box);
};

// Genre table entry <-> box text. Entries are UTF-8 with their trailing blank.
QString ToQ(const std::string& Utf8);
std::string FromQ(const QString& Text);
// Path bytes to display text.
QString PathToQ(const std::string& Path);

} // namespace veltrane
