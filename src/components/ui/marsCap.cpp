#include "components/ui/marsCap.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWhatsThis>
#include <QWindow>

#include <algorithm>

namespace veltrane {

namespace {

QColor FromBgr(std::uint32_t C) {
    return QColor(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
}

QWidget* CheckedOwner(QWidget* Owner) {
    if (!Owner || !Owner->isWindow())
        throw std::invalid_argument("The MarsCaption's owner must be a Form!");
    return Owner;
}

QRect ToQ(const TCapRect& R, int Dx = 0, int Dy = 0) {
    return QRect(R.Left - Dx, R.Top - Dy, R.Width(), R.Height());
}

Qt::Edges EdgesOf(THitZone Zone) {
    switch (Zone) {
    case htLeft: return Qt::LeftEdge;
    case htRight: return Qt::RightEdge;
    case htTop: return Qt::TopEdge;
    case htBottom: return Qt::BottomEdge;
    case htTopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case htTopRight: return Qt::TopEdge | Qt::RightEdge;
    case htBottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case htBottomRight: return Qt::BottomEdge | Qt::RightEdge;
    case htNone: break;
    }
    return {};
}

Qt::CursorShape CursorOf(THitZone Zone) {
    switch (Zone) {
    case htLeft:
    case htRight: return Qt::SizeHorCursor;
    case htTop:
    case htBottom: return Qt::SizeVerCursor;
    case htTopLeft:
    case htBottomRight: return Qt::SizeFDiagCursor;
    case htTopRight:
    case htBottomLeft: return Qt::SizeBDiagCursor;
    case htNone: break;
    }
    return Qt::ArrowCursor;
}

constexpr int CornerReach = 16; // how far along an edge a corner grab reaches
constexpr int MinGrab = 4;      // the resize zone is never thinner than this

} // namespace

// --- Caption buttons ----------------------------------------------------------------------

TMarsCaptionSystemButton::TMarsCaptionSystemButton(TCaptionButtonKind Kind, QWidget* Parent)
    : QAbstractButton(Parent), Kind_(Kind) {
    setFocusPolicy(Qt::NoFocus);
    static const char* const names[] = {QT_TRANSLATE_NOOP("veltrane::TMarsCaption", "Close"),
                                        QT_TRANSLATE_NOOP("veltrane::TMarsCaption", "Maximize"),
                                        QT_TRANSLATE_NOOP("veltrane::TMarsCaption", "Minimize"),
                                        QT_TRANSLATE_NOOP("veltrane::TMarsCaption", "Help")};
    setObjectName(QString("MarsCaptionButton") + names[Kind]);
    setToolTip(TMarsCaption::tr(names[Kind]));
}

void TMarsCaptionSystemButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);
    const QWidget* w = window();
    QStyle::StandardPixmap glyph = QStyle::SP_TitleBarCloseButton;
    switch (Kind_) {
    case cbClose: glyph = QStyle::SP_TitleBarCloseButton; break;
    case cbMaximize:
        glyph = w->isMaximized() ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMaxButton;
        break;
    case cbMinimize:
        glyph = w->isMinimized() ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMinButton;
        break;
    case cbHelp: glyph = QStyle::SP_TitleBarContextHelpButton; break;
    }
    const int side = std::max(8, std::min(width(), height()) - 4);
    const QPixmap pix = style()->standardIcon(glyph, nullptr, this)
                            .pixmap(QSize(side, side), devicePixelRatioF(),
                                    isEnabled() ? QIcon::Normal : QIcon::Disabled);
    QRect target(0, 0, side, side);
    target.moveCenter(rect().center());
    if (isDown())
        target.translate(1, 1);
    p.drawPixmap(target, pix);
}

// --- The caption ----------------------------------------------------------------------------

QFont TMarsCaption::ComicFont(int PixelSize, bool Bold) {
    QFont f;
    f.setFamilies({"Comic Sans MS", "Comic Neue", "sans-serif"});
    f.setPixelSize(PixelSize);
    f.setBold(Bold);
    return f;
}

TMarsCaption::TMarsCaption(QWidget* Owner) : QWidget(CheckedOwner(Owner)), Owner_(Owner) {
    setObjectName("MarsCaption");
    const Qt::WindowFlags flags = Owner->windowFlags();
    const Qt::WindowType type = Owner->windowType();
    const bool fixed = Owner->minimumSize() == Owner->maximumSize();
    if (type == Qt::Tool)
        BorderStyle_ = fixed ? bsToolWindow : bsSizeToolWin;
    else if (type == Qt::Dialog)
        BorderStyle_ = bsDialog;
    else
        BorderStyle_ = fixed ? bsSingle : bsSizeable;
    BorderIcons_ = (flags & Qt::WindowSystemMenuHint ? biSystemMenu : 0) |
                   (flags & Qt::WindowMinimizeButtonHint ? biMinimize : 0) |
                   (flags & Qt::WindowMaximizeButtonHint ? biMaximize : 0) |
                   (flags & Qt::WindowContextHelpButtonHint ? biHelp : 0);

    const bool visible = Owner->isVisible();
    Owner->setWindowFlags(flags | Qt::FramelessWindowHint);
    if (visible)
        Owner->show();
    OldMargins_ = Owner->contentsMargins();
    OldTracking_ = Owner->hasMouseTracking();
    Owner->setMouseTracking(true);
    Owner->installEventFilter(this);

    for (int k = 0; k < 4; ++k) {
        auto kind = static_cast<TCaptionButtonKind>(k);
        auto* b = new TMarsCaptionSystemButton(kind, this);
        connect(b, &QAbstractButton::clicked, this, [this, kind] { ButtonClicked(kind); });
        Buttons_[static_cast<size_t>(k)] = b;
    }
    Relayout();
    show();
}

TMarsCaption::~TMarsCaption() {
    Owner_->removeEventFilter(this);
}

void TMarsCaption::SetBorderStyle(TFormBorderStyle Value) {
    BorderStyle_ = Value;
    Relayout();
}

void TMarsCaption::SetBorderIcons(int Value) {
    BorderIcons_ = Value;
    Relayout();
}

TCaptionMetrics TMarsCaption::Metrics() const {
    const QStyle* s = Owner_->style();
    TCaptionMetrics m;
    const int frame = std::max(1, s->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, Owner_)) + 1;
    m.FixedFrameWidth = m.FixedFrameHeight = frame;
    m.SizeFrameWidth = m.SizeFrameHeight = frame + 1;
    const int title = s->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, Owner_);
    m.CaptionHeight = std::max(title, 20);
    m.SmallCaptionHeight = std::max(m.CaptionHeight - 4, 16);
    m.CaptionButtonWidth = m.CaptionButtonHeight = m.CaptionHeight - 1;
    m.SmallCaptionButtonWidth = m.SmallCaptionHeight - 1;
    return m;
}

bool TMarsCaption::Active() const {
    return Owner_->isActiveWindow();
}

void TMarsCaption::Relayout() {
    Layout_ = CaptionLayout(Owner_->width(), BorderStyle_, BorderIcons_, Owner_->isMinimized(),
                            Metrics());
    const TCaptionLayout& L = Layout_;
    const QMargins margins = L.HasCaption ? QMargins(L.FrameWidth, L.FrameHeight + L.CaptionHeight,
                                                     L.FrameWidth, L.FrameHeight)
                                          : OldMargins_;
    if (Owner_->contentsMargins() != margins)
        Owner_->setContentsMargins(margins);
    setVisible(L.HasCaption);
    setGeometry(ToQ(L.CaptionRect));
    for (const TCaptionButton& b : L.Buttons) {
        TMarsCaptionSystemButton* button = Buttons_[static_cast<size_t>(b.Kind)];
        button->setGeometry(ToQ(b.Rect, L.CaptionRect.Left, L.CaptionRect.Top));
        button->setVisible(b.Shown);
        button->setEnabled(b.Enabled);
    }
    raise();
    update();
}

QRect TMarsCaption::IconRectLocal() const {
    return ToQ(Layout_.IconRect, Layout_.CaptionRect.Left, Layout_.CaptionRect.Top);
}

QImage TMarsCaption::Picture() {
    QImage image(size(), QImage::Format_RGB32);
    render(&image);
    return image;
}

void TMarsCaption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool active = Active();
    const std::uint32_t begin = active ? ActiveBeginColor_ : InactiveBeginColor_;
    const std::uint32_t end = active ? ActiveEndColor_ : InactiveEndColor_;
    for (const TGradientBand& band : GradientBands(begin, end, NumColors_, 0, width()))
        if (band.Right > band.Left)
            p.fillRect(QRect(band.Left, 0, band.Right - band.Left, height()), FromBgr(band.Color));

    const QRect icon = IconRectLocal();
    if (!icon.isEmpty()) {
        QIcon source = Owner_->windowIcon();
        if (source.isNull())
            source = QApplication::windowIcon();
        if (source.isNull())
            source = QIcon::fromTheme("application-x-executable");
        if (source.isNull())
            source = style()->standardIcon(QStyle::SP_TitleBarMenuButton, nullptr, this);
        const QRect target = icon.adjusted(2, 1, 0, -1);
        p.drawPixmap(target, source.pixmap(target.size(), devicePixelRatioF()));
    }

    QRect text = ToQ(Layout_.TextRect, Layout_.CaptionRect.Left, Layout_.CaptionRect.Top);
    p.setPen(FromBgr(active ? ActiveFontColor_ : InactiveFontColor_));
    auto draw = [&](const QString& Text, QFont Font) {
        if (AutoSize_)
            Font.setPixelSize(std::max(1, text.height() - 5));
        p.setFont(Font);
        const QFontMetrics fm(Font);
        const QString shown = fm.elidedText(Text, Qt::ElideRight, std::max(0, text.width()));
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        return fm.horizontalAdvance(shown);
    };
    if (!ApplicationName_.isEmpty())
        text.setLeft(text.left() + draw(ApplicationName_, ApplicationNameFont_));
    draw(Caption_.isEmpty() ? Owner_->windowTitle() : Caption_, CaptionFont_);
}

void TMarsCaption::PaintFrame(QPainter& P) {
    const QRect r = Owner_->rect();
    const QPalette& pal = Owner_->palette();
    P.setPen(pal.color(QPalette::Midlight));
    P.drawLine(r.topLeft(), r.topRight());
    P.drawLine(r.topLeft(), r.bottomLeft());
    P.setPen(pal.color(QPalette::Light));
    P.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
    P.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -1));
    P.setPen(pal.color(QPalette::Shadow));
    P.drawLine(r.bottomLeft(), r.bottomRight());
    P.drawLine(r.topRight(), r.bottomRight());
    P.setPen(pal.color(QPalette::Dark));
    P.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
    P.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
}

bool TMarsCaption::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched != Owner_)
        return false;
    switch (Event->type()) {
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::StyleChange:
        Relayout();
        break;
    case QEvent::ActivationChange:
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
        update();
        for (auto* b : Buttons_)
            b->update();
        break;
    case QEvent::Paint:
        if (Layout_.HasCaption) {
            QPainter p(Owner_);
            PaintFrame(p);
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return FrameMouse(Event);
    case QEvent::Leave:
        if (Drag_ == Drag::None)
            Owner_->unsetCursor();
        break;
    default:
        break;
    }
    return false;
}

// The window's edges and corners resize it: the desktop's own resize where it offers one,
// else the pointer's motion.
bool TMarsCaption::FrameMouse(QEvent* Event) {
    auto* e = static_cast<QMouseEvent*>(Event);
    const bool sizeable = (BorderStyle_ == bsSizeable || BorderStyle_ == bsSizeToolWin) &&
                          !Owner_->isMaximized() && !Owner_->isMinimized();
    if (Drag_ == Drag::Resize) {
        if (Event->type() == QEvent::MouseMove) {
            const QPoint d = e->globalPosition().toPoint() - PressGlobal_;
            QRect g = PressGeometry_;
            const QSize min = Owner_->minimumSize().expandedTo(QSize(120, Layout_.CaptionHeight + 20));
            const Qt::Edges edges = EdgesOf(Zone_);
            if (edges & Qt::LeftEdge)
                g.setLeft(std::min(g.left() + d.x(), g.right() - min.width() + 1));
            if (edges & Qt::RightEdge)
                g.setRight(std::max(g.right() + d.x(), g.left() + min.width() - 1));
            if (edges & Qt::TopEdge)
                g.setTop(std::min(g.top() + d.y(), g.bottom() - min.height() + 1));
            if (edges & Qt::BottomEdge)
                g.setBottom(std::max(g.bottom() + d.y(), g.top() + min.height() - 1));
            Owner_->setGeometry(g);
        } else if (Event->type() == QEvent::MouseButtonRelease) {
            Drag_ = Drag::None;
        }
        return true;
    }
    if (!sizeable || !Layout_.HasCaption)
        return false;
    const QPoint pos = e->position().toPoint();
    const int grab = std::max(MinGrab, Layout_.FrameWidth);
    const THitZone zone =
        FrameHitTest(pos.x(), pos.y(), Owner_->width(), Owner_->height(), grab, CornerReach);
    if (Event->type() == QEvent::MouseMove && e->buttons() == Qt::NoButton) {
        if (zone == htNone)
            Owner_->unsetCursor();
        else
            Owner_->setCursor(CursorOf(zone));
        return false;
    }
    if (Event->type() == QEvent::MouseButtonPress && e->button() == Qt::LeftButton &&
        zone != htNone) {
        QWindow* handle = Owner_->windowHandle();
        if (handle && handle->startSystemResize(EdgesOf(zone)))
            return true;
        FallbackUsed_ = true;
        Drag_ = Drag::Resize;
        Zone_ = zone;
        PressGlobal_ = e->globalPosition().toPoint();
        PressGeometry_ = Owner_->geometry();
        return true;
    }
    return false;
}

void TMarsCaption::mousePressEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::RightButton) {
        ShowSystemMenu(Event->globalPosition().toPoint());
        return;
    }
    if (Event->button() != Qt::LeftButton)
        return;
    if (IconRectLocal().contains(Event->position().toPoint())) {
        ShowSystemMenu(mapToGlobal(IconRectLocal().bottomLeft()));
        return;
    }
    Owner_->activateWindow();
    // The move starts once the pointer moves, so a double-click stays a double-click.
    Drag_ = Drag::Pending;
    PressGlobal_ = Event->globalPosition().toPoint();
    PressGeometry_ = Owner_->geometry();
}

void TMarsCaption::mouseMoveEvent(QMouseEvent* Event) {
    if (!(Event->buttons() & Qt::LeftButton))
        return;
    const QPoint global = Event->globalPosition().toPoint();
    if (Drag_ == Drag::Pending) {
        if ((global - PressGlobal_).manhattanLength() < QApplication::startDragDistance())
            return;
        QWindow* handle = Owner_->windowHandle();
        if (!Owner_->isMaximized() && handle && handle->startSystemMove()) {
            Drag_ = Drag::None;
            return;
        }
        // The desktop cannot move the window itself: follow the pointer.
        FallbackUsed_ = true;
        Drag_ = Drag::Move;
    }
    if (Drag_ == Drag::Move && !Owner_->isMaximized())
        Owner_->move(PressGeometry_.topLeft() + (global - PressGlobal_));
}

void TMarsCaption::mouseReleaseEvent(QMouseEvent*) {
    Drag_ = Drag::None;
}

void TMarsCaption::mouseDoubleClickEvent(QMouseEvent* Event) {
    Drag_ = Drag::None;
    if (Event->button() != Qt::LeftButton)
        return;
    if (IconRectLocal().contains(Event->position().toPoint())) {
        Owner_->close();
        return;
    }
    if (Layout_.Buttons[cbMaximize].Enabled)
        ButtonClicked(cbMaximize);
}

void TMarsCaption::ButtonClicked(TCaptionButtonKind Kind) {
    switch (Kind) {
    case cbClose: Owner_->close(); break;
    case cbMinimize: Owner_->showMinimized(); break;
    case cbMaximize:
        if (Owner_->isMaximized())
            Owner_->showNormal();
        else
            Owner_->showMaximized();
        break;
    case cbHelp: QWhatsThis::enterWhatsThisMode(); break;
    }
}

void TMarsCaption::ShowSystemMenu(const QPoint& At) {
    QMenu menu(this);
    menu.setObjectName("MarsCaptionSystemMenu");
    const bool changed = Owner_->isMaximized() || Owner_->isMinimized();
    QAction* restore = menu.addAction(tr("Restore"), Owner_, &QWidget::showNormal);
    restore->setEnabled(changed);
    QAction* minimize = menu.addAction(tr("Minimize"), Owner_, &QWidget::showMinimized);
    minimize->setEnabled(Layout_.Buttons[cbMinimize].Enabled);
    QAction* maximize = menu.addAction(tr("Maximize"), Owner_, &QWidget::showMaximized);
    maximize->setEnabled(Layout_.Buttons[cbMaximize].Enabled && !Owner_->isMaximized());
    menu.addSeparator();
    QAction* close = menu.addAction(tr("Close"), Owner_, &QWidget::close);
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    menu.exec(At);
}

} // namespace veltrane
