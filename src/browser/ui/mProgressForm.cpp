#include "browser/ui/mProgressForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace veltrane {

namespace {

// Held once for the whole program: at most one progress window is open.
QPointer<TfrmProgress> gOpenWindow;
QPointer<QWidget> gOpenOwner;
// The owner's focused control: disabling the owner takes the focus, Close gives it back.
QPointer<QWidget> gOwnerFocus;
// Bar positions are ints; larger ranges are scaled down to this many steps.
std::int64_t gBarMin = 0;
std::int64_t gBarScale = 1;
// Moves smaller than this (a thousandth of the bar) wait for the next event pass: each move
// makes the bar work out whether to repaint, which costs more than reading a warm file.
int gBarStep = 1;

constexpr int kBarHeight = 15;
constexpr int kMargin = 20;
constexpr int kEventIntervalMs = 30;
// What a title bar takes beside its text: the window's icon, three buttons and padding.
constexpr int kTitleDecoration = 112;
constexpr int kMaxWidth = 640;

} // namespace

TfrmProgress::TfrmProgress(QWidget* Owner)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ProgressBar(new QProgressBar(this)), ButtonCancel(new QPushButton(tr("Cancel"), this)) {
    setObjectName(QStringLiteral("frmProgress"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    ProgressBar->setFixedHeight(kBarHeight);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->hide();
    QObject::connect(ButtonCancel, &QPushButton::clicked, this, [this] {
        CancelPressed = true;
        ButtonCancel->setEnabled(false);
    });
    // Owned by the owner's window, as a dialog of it, without being its child widget: a child
    // would be disabled together with the owner.
    if (Owner) {
        create();
        if (QWindow* ownerWindow = Owner->window()->windowHandle())
            windowHandle()->setTransientParent(ownerWindow);
    }
}

void TfrmProgress::closeEvent(QCloseEvent* Event) {
    Event->ignore();
}

void TfrmProgress::ShowCancel() {
    // Sized from the button's own hint, so a large font still shows it whole.
    const QSize button = ButtonCancel->sizeHint().expandedTo(QSize(80, 0));
    const int top = kMargin + kBarHeight + kMargin / 2;
    ButtonCancel->setGeometry((width() - button.width()) / 2, top, button.width(), button.height());
    ButtonCancel->show();
    const int height = std::max(kBarHeight + 2 * kMargin, top + button.height() + kMargin / 2);
    const int grow = height - this->height();
    setGeometry(x(), y() - grow / 2, width(), height);
    ButtonCancel->setFocus();
}

void TfrmProgress::FitTitle(const QString& Title) {
    QFont titleFont = font();
    titleFont.setBold(true); // as most window managers draw titles
    const int need = std::min(QFontMetrics(titleFont).horizontalAdvance(Title) + kTitleDecoration, kMaxWidth);
    if (need <= width())
        return;
    const int grow = need - width();
    setGeometry(x() - grow / 2, y(), need, height());
    ProgressBar->setGeometry(kMargin, kMargin, need - 2 * kMargin, kBarHeight);
    if (!ButtonCancel->isHidden())
        ButtonCancel->move((need - ButtonCancel->width()) / 2, ButtonCancel->y());
}

void TfrmProgress::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape && ButtonCancel->isVisible() && ButtonCancel->isEnabled()) {
        ButtonCancel->click();
        return;
    }
    QWidget::keyPressEvent(Event);
}

TmProgressWnd::TmProgressWnd(QWidget* Owner) : owner_(Owner) {
    lastEvents_.start();
}

TmProgressWnd::~TmProgressWnd() {
    if (gOpenWindow && gOpenOwner == owner_)
        Close();
}

bool TmProgressWnd::IsOpen() {
    return !gOpenWindow.isNull();
}

TfrmProgress* TmProgressWnd::OpenWindow() {
    return gOpenWindow.data();
}

void TmProgressWnd::SetCaption(const QString& Text) {
    if (gOpenWindow) {
        gOpenWindow->setWindowTitle(Text);
        gOpenWindow->FitTitle(Text);
        ProcessEvents(true);
    } else {
        caption_ = Text;
    }
}

void TmProgressWnd::Open() {
    if (gOpenWindow)
        return;
    auto* window = new TfrmProgress(owner_);
    window->resize(Width, kBarHeight + 2 * kMargin);
    window->ProgressBar->setGeometry(kMargin, kMargin, window->width() - 2 * kMargin, kBarHeight);

    const std::int64_t range = Max > Min ? Max - Min : 0;
    gBarMin = Min;
    gBarScale = range > INT_MAX ? range / INT_MAX + 1 : 1;
    window->ProgressBar->setRange(0, static_cast<int>(range / gBarScale));
    gBarStep = std::max(1, static_cast<int>(range / gBarScale / 1000));
    window->ProgressBar->setValue(0);
    window->setWindowTitle(caption_);
    window->FitTitle(caption_);

    int left = 0, top = 0;
    if (owner_) {
        const QRect owner = owner_->window()->frameGeometry();
        left = owner.left() + owner.width() / 2 - window->width() / 2;
        top = owner.top() + owner.height() / 2 - window->height() / 2;
    }
    if (OnPositionWindow)
        OnPositionWindow(left, top);
    window->move(left, top);
    window->show();
    if (owner_) {
        gOwnerFocus = owner_->window()->focusWidget();
        owner_->window()->setEnabled(false);
    }
    gOpenWindow = window;
    gOpenOwner = owner_;
    ProcessEvents(true);
}

void TmProgressWnd::SetPosition(std::uint64_t Position) {
    if (!gOpenWindow)
        return;
    const std::int64_t value = static_cast<std::int64_t>(Position) - gBarMin;
    const int bar = static_cast<int>(std::max<std::int64_t>(value, 0) / gBarScale);
    QProgressBar* progressBar = gOpenWindow->ProgressBar;
    if (std::abs(bar - progressBar->value()) >= gBarStep || bar == progressBar->maximum() ||
        EventsDue())
        progressBar->setValue(bar);
    ProcessEvents(false);
}

void TmProgressWnd::Close() {
    if (!gOpenWindow)
        return;
    // The window in front goes, and the owner is the one to take the keyboard back.
    const bool active = gOpenWindow->isActiveWindow() || !QApplication::activeWindow();
    QWidget* owner = gOpenOwner ? gOpenOwner->window() : nullptr;
    if (owner)
        owner->setEnabled(true);
    delete gOpenWindow.data();
    gOpenWindow = nullptr;
    gOpenOwner = nullptr;
    if (owner && active && owner->isVisible())
        owner->activateWindow();
    if (gOwnerFocus && gOwnerFocus->isVisible() && gOwnerFocus->isEnabled())
        gOwnerFocus->setFocus(Qt::ActiveWindowFocusReason);
    gOwnerFocus = nullptr;
}

void TmProgressWnd::Start(const std::string& Text, std::uint64_t Maximum) {
    SetCaption(QString::fromStdString(Text));
    Min = 0;
    Max = static_cast<std::int64_t>(std::min<std::uint64_t>(Maximum, INT64_MAX));
    Open();
}

void TmProgressWnd::Finish() {
    Close();
}

void TmProgressWnd::OfferCancel() {
    if (!gOpenWindow || gOpenOwner != owner_ || gOpenWindow->ButtonCancel->isVisible())
        return;
    gOpenWindow->ShowCancel();
    ProcessEvents(true);
}

bool TmProgressWnd::Cancelled() const {
    return gOpenWindow && gOpenOwner == owner_ && gOpenWindow->CancelPressed;
}

bool TmProgressWnd::EventsDue() const {
    return lastEvents_.elapsed() >= kEventIntervalMs;
}

void TmProgressWnd::ProcessEvents(bool Always) {
    // A loop over 100,000 files must not spend its time repainting: events run at most every
    // few milliseconds, which still keeps the window current.
    if (!Always && !EventsDue())
        return;
    QCoreApplication::processEvents();
    lastEvents_.restart();
}

} // namespace veltrane
