#pragma once
// TmProgressWnd shows a caption and a bar centred over its owner while a long loop runs on the
// user-interface thread, with the owner disabled. One progress window is open at a time in the
// whole program. TfrmProgress is that window, created on Open and destroyed on Close.

#include "browser/Progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QProgressBar;
class QPushButton;

namespace veltrane {

class TfrmProgress : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmProgress(QWidget* Owner);
    QProgressBar* ProgressBar;
    // "Cancel", below the bar while the loop offers it; Esc presses it too.
    QPushButton* ButtonCancel;
    bool CancelPressed = false;

    // Shows the Cancel button and makes the window as high as its controls need.
    void ShowCancel();
    // Widens the window (about its centre) so that the title bar can show Title whole: "Reading
    // 1,000,000 files..." does not fit the usual width.
    void FitTitle(const QString& Title);

  protected:
    // The user cannot close it; only its TmProgressWnd does.
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
};

class TmProgressWnd : public QObject, public IProgress {
    Q_OBJECT
  public:
    explicit TmProgressWnd(QWidget* Owner);
    ~TmProgressWnd() override;

    std::int64_t Min = 0;
    std::int64_t Max = 100;
    int Width = 256;
    // May move the window (left, top) before it is shown.
    std::function<void(int& Left, int& Top)> OnPositionWindow;

    QString Caption() const { return caption_; }
    // While open: changes the shown caption only; while closed: stored for the next Open.
    void SetCaption(const QString& Text);

    // Shows the window and disables the owner; nothing when a progress window is open.
    void Open();
    // Moves the bar while open; lets pending events run so the window repaints.
    void SetPosition(std::uint64_t Position) override;
    // Enables the owner again and destroys the window; nothing when closed.
    void Close();
    // True while the program's progress window is open.
    static bool IsOpen();
    // The open window, for tests; nullptr when closed.
    static TfrmProgress* OpenWindow();

    // IProgress: Caption, Min 0 and Max, then Open; Finish closes.
    void Start(const std::string& Caption, std::uint64_t Max) override;
    void Finish() override;
    // A Cancel button on the open window; Cancelled is true once it was pressed.
    void OfferCancel() override;
    bool Cancelled() const override;

  private:
    void ProcessEvents(bool Always);
    bool EventsDue() const;

    QPointer<QWidget> owner_;
    QString caption_ = QStringLiteral("Progress");
    QElapsedTimer lastEvents_;
};

} // namespace veltrane
