#pragma once
// TBanner: lines of text (or a picture) that scroll through the control step by step.

#include <QColor>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <stdexcept>
#include <vector>

namespace veltrane {

enum TScrollDirection { sdBottomToTop, sdTopToBottom, sdLeftToRight, sdRightToLeft };

class EBannerError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Where copies of the content (Content pixels long) start in a view View pixels long after
// Offset pixels of scrolling, counted from the edge the content moves towards (the top when
// scrolling from bottom to top); the first copy enters at View. With NoGap a copy
// follows right behind the end of the one before; without, the content enters again only
// when it has left the view. Offset is taken modulo one period.
std::vector<int> BannerPositions(int View, int Content, long long Offset, bool NoGap);

class TBanner : public QWidget {
    Q_OBJECT
  public:
    explicit TBanner(QWidget* Parent = nullptr);

    QStringList Lines;
    QPixmap Bitmap;
    bool AutoEnable = true; // enable on first showing
    bool NoGap = false;
    TScrollDirection ScrollDirection = sdBottomToTop;
    int ScrollPixels = 1;
    QColor TextColor{255, 255, 0};

    int ScrollInterval() const { return Timer_.interval(); }
    void SetScrollInterval(int Ms) { Timer_.setInterval(Ms); }
    // Starts or stops scrolling; starting without text or picture throws EBannerError.
    void SetEnabled(bool Value);
    bool Enabled() const { return Timer_.isActive(); }
    // One step, as the timer does it.
    void Step();
    long long Offset() const { return Offset_; }
    void SetLines(const QStringList& Value);

  signals:
    void OnScroll();
    void OnClick();

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

  private:
    bool Vertical() const {
        return ScrollDirection == sdBottomToTop || ScrollDirection == sdTopToBottom;
    }
    int ContentLength() const;

    QTimer Timer_;
    long long Offset_ = 0;
};

} // namespace veltrane
