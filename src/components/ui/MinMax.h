#pragma once
// Size limiter for a top-level window: applies tracking limits and, when resizing is not
// allowed, pins the window to its present size.

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <cstdint>

namespace veltrane {

struct TMinMaxPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

enum TMinMaxOption : unsigned {
    opAllowResize = 1u << 0,
    opMaxPosition = 1u << 1,
    opMaxSize = 1u << 2,
    opMaxTrackSize = 1u << 3,
    opMinTrackSize = 1u << 4,
};
using TMinMaxOptions = unsigned;
inline constexpr TMinMaxOptions kAllMinMaxOptions =
    opAllowResize | opMaxPosition | opMaxSize | opMaxTrackSize | opMinTrackSize;

// The answer to the window system's size-limits question, before it is applied.
struct TMinMaxInfo {
    QSize MinTrack;          // smallest size; empty when unlimited
    QSize MaxTrack;          // largest size; QWIDGETSIZE_MAX when unlimited
    bool HasMaxSize = false; // maximized size and position chosen by us
    QSize MaxSize;
    bool HasMaxPosition = false;
    QPoint MaxPosition;
    bool Resizable = true;
};

class TMinMax : public QObject {
    Q_OBJECT
  public:
    explicit TMinMax(QWidget* parentWindow = nullptr);
    ~TMinMax() override;

    TMinMaxPoint MaxSize;
    TMinMaxPoint MaxPosition;
    TMinMaxPoint MinTrackSize;
    TMinMaxPoint MaxTrackSize;

    TMinMaxOptions Options() const { return options_; }
    void SetOptions(TMinMaxOptions options);

    // Attaches to another window: the old one gets its own limits back first.
    void SetParentWindow(QWidget* window);
    QWidget* ParentWindow() const { return window_; }

    // Re-applies the limits, e.g. after the points were changed.
    void Apply();

    // What the limits are for a window of the given present size.
    static TMinMaxInfo Compute(TMinMaxOptions options, const TMinMaxPoint& maxSize,
                               const TMinMaxPoint& maxPosition, const TMinMaxPoint& minTrack,
                               const TMinMaxPoint& maxTrack, QSize present);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Attach(QWidget* window);
    void Detach();

    QWidget* window_ = nullptr;
    TMinMaxOptions options_ = kAllMinMaxOptions;
    // The window's own limits and flags, given back on detach.
    QSize savedMin_;
    QSize savedMax_;
    bool applying_ = false;
};

} // namespace veltrane
