#include "components/ui/MinMax.h"

#include <QEvent>
#include <QWindowStateChangeEvent>

namespace veltrane {

TMinMax::TMinMax(QWidget* parentWindow) : QObject(parentWindow) {
    if (parentWindow)
        Attach(parentWindow);
}

TMinMax::~TMinMax() {
    Detach();
}

void TMinMax::SetOptions(TMinMaxOptions options) {
    options_ = options;
    Apply();
}

void TMinMax::SetParentWindow(QWidget* window) {
    if (window == window_)
        return;
    Detach();
    if (window)
        Attach(window);
}

void TMinMax::Attach(QWidget* window) {
    window_ = window;
    savedMin_ = window->minimumSize();
    savedMax_ = window->maximumSize();
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this] { window_ = nullptr; });
    Apply();
}

void TMinMax::Detach() {
    if (!window_)
        return;
    window_->removeEventFilter(this);
    disconnect(window_, nullptr, this, nullptr);
    window_->setMinimumSize(savedMin_);
    window_->setMaximumSize(savedMax_);
    window_ = nullptr;
}

TMinMaxInfo TMinMax::Compute(TMinMaxOptions options, const TMinMaxPoint& maxSize,
                             const TMinMaxPoint& maxPosition, const TMinMaxPoint& minTrack,
                             const TMinMaxPoint& maxTrack, QSize present) {
    TMinMaxInfo info;
    info.MinTrack = QSize(0, 0);
    info.MaxTrack = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (options & opMaxSize) {
        info.HasMaxSize = true;
        info.MaxSize = QSize(maxSize.X, maxSize.Y);
    }
    if (options & opMaxPosition) {
        info.HasMaxPosition = true;
        info.MaxPosition = QPoint(maxPosition.X, maxPosition.Y);
    }
    if (options & opAllowResize) {
        if (options & opMinTrackSize)
            info.MinTrack = QSize(minTrack.X, minTrack.Y);
        if (options & opMaxTrackSize)
            info.MaxTrack = QSize(maxTrack.X, maxTrack.Y);
    } else {
        info.MinTrack = present;
        info.MaxTrack = present;
        info.Resizable = false;
    }
    return info;
}

void TMinMax::Apply() {
    if (!window_ || applying_)
        return;
    applying_ = true;
    const TMinMaxInfo info =
        Compute(options_, MaxSize, MaxPosition, MinTrackSize, MaxTrackSize, window_->size());
    window_->setMinimumSize(info.MinTrack.expandedTo(savedMin_));
    window_->setMaximumSize(info.MaxTrack.boundedTo(savedMax_));
    applying_ = false;
}

bool TMinMax::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_)
        return false;
    if (event->type() == QEvent::WindowStateChange && window_->isMaximized()) {
        const TMinMaxInfo info =
            Compute(options_, MaxSize, MaxPosition, MinTrackSize, MaxTrackSize, window_->size());
        // A zero point leaves the maximized size or position to the window system.
        if (info.HasMaxSize && !info.MaxSize.isEmpty())
            window_->resize(info.MaxSize);
        if (info.HasMaxPosition && !info.MaxPosition.isNull())
            window_->move(info.MaxPosition);
    }
    return false;
}

} // namespace veltrane
