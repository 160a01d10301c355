#include "components/ui/MultiLst.h"

#include "components/ui/DisplayText.h"

#include "components/MultiLstRow.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>

#include <algorithm>
#include <functional>

namespace veltrane {

QString ResolveFontFamily(const QString& Family) {
    static const QStringList installed = QFontDatabase::families();
    if (installed.contains(Family, Qt::CaseInsensitive))
        return Family;
    if (Family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0 ||
        Family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    if (Family.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Mono");
    return Family;
}

namespace {

// Longest start of Text that fits with Dots after it (surrogate pairs kept whole).
QString CutEnd(const QString& Text, const QString& Dots,
               const std::function<bool(const QString&)>& Fits) {
    qsizetype low = 0, high = Text.size() - 1;
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (Fits(Text.left(mid) + Dots))
            low = mid;
        else
            high = mid - 1;
    }
    if (low > 0 && Text[low - 1].isHighSurrogate())
        --low;
    return Text.left(low) + Dots;
}

} // namespace

QString ElideColumnText(const QString& Text, const QFontMetrics& Metrics, int Flags, int Width,
                        bool AsPath) {
    const auto fits = [&](const QString& s) { return Metrics.size(Flags, s).width() <= Width; };
    if (fits(Text))
        return Text;
    const QString dots = QStringLiteral("...");
    const qsizetype slash = AsPath ? Text.lastIndexOf(QLatin1Char('/')) : -1;
    if (slash <= 0)
        return CutEnd(Text, dots, fits);
    // Folder head, "...", folder tail and the name: as much of the folder as fits, taken
    // from both ends.
    const QString folder = Text.left(slash);
    const QString name = Text.mid(slash);
    const auto middle = [&](qsizetype kept) {
        qsizetype head = kept - kept / 2, tail = kept / 2;
        if (head > 0 && folder[head - 1].isHighSurrogate())
            --head;
        if (tail > 0 && folder[folder.size() - tail].isLowSurrogate())
            --tail;
        return folder.left(head) + dots + folder.right(tail) + name;
    };
    if (!fits(middle(0)))
        return CutEnd(dots + name, dots, fits);
    qsizetype low = 0, high = folder.size() - 1;
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(middle(mid)))
            low = mid;
        else
            high = mid - 1;
    }
    return middle(low);
}

// ---------------------------------------------------------------------------------------------
// TMultiListHeader

TMultiListHeader::TMultiListHeader(QWidget* Parent)
    : QHeaderView(Qt::Horizontal, Parent), model_(new QStandardItemModel(0, 0, this)) {
    setObjectName(QStringLiteral("ListHeader"));
    setModel(model_);
    setSectionResizeMode(QHeaderView::Interactive);
    setStretchLastSection(true);
    setSectionsMovable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setMinimumSectionSize(0);
    connect(this, &QHeaderView::sectionResized, this, [this] {
        if (pressed_)
            resizing_ = true;
    });
}

void TMultiListHeader::SetSections(const QStringList& Captions) {
    if (model_->columnCount() != Captions.size())
        model_->setColumnCount(static_cast<int>(Captions.size()));
    for (int i = 0; i < Captions.size(); ++i) {
        if (model_->headerData(i, Qt::Horizontal).toString() != Captions[i])
            model_->setHeaderData(i, Qt::Horizontal, Captions[i]);
    }
}

int TMultiListHeader::SectionCount() const {
    return model_->columnCount();
}

int TMultiListHeader::SectionAtX(int X) const {
    int right = 0;
    for (int i = 0; i < SectionCount(); ++i) {
        right += sectionSize(i);
        if (X < right)
            return i;
    }
    return 0;
}

void TMultiListHeader::mousePressEvent(QMouseEvent* Event) {
    pressed_ = Event->button() == Qt::LeftButton;
    resizing_ = false;
    QHeaderView::mousePressEvent(Event);
}

void TMultiListHeader::mouseReleaseEvent(QMouseEvent* Event) {
    QHeaderView::mouseReleaseEvent(Event);
    if (Event->button() != Qt::LeftButton)
        return;
    const bool endedResize = resizing_;
    pressed_ = false;
    resizing_ = false;
    if (endedResize)
        emit ResizeFinished();
    else if (SectionCount() > 0)
        emit OnClickEx(SectionAtX(static_cast<int>(Event->position().x())));
}

void TMultiListHeader::mouseDoubleClickEvent(QMouseEvent* Event) {
    // No auto-fit of a section on a double click at its edge: the click is reported instead.
    if (Event->button() == Qt::LeftButton && SectionCount() > 0)
        emit OnDblClickEx(SectionAtX(static_cast<int>(Event->position().x())));
    pressed_ = Event->button() == Qt::LeftButton;
    resizing_ = false;
}

// ---------------------------------------------------------------------------------------------
// TMultiList

TMultiList::TMultiList(QWidget* Parent)
    : QAbstractScrollArea(Parent), strings_(std::make_unique<TMultiListStrings>()),
      items_(strings_.get()), header_(new TMultiListHeader(viewport())) {
    alignments_.fill(taLeftJustify);
    highlightColor_ = palette().color(QPalette::Highlight);
    highlightText_ = palette().color(QPalette::HighlightedText);
    childHighlightText_ = palette().color(QPalette::Highlight);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(8);

    QFont headerFont(ResolveFontFamily(QStringLiteral("MS Sans Serif")));
    headerFont.setPixelSize(12);
    SetHeaderFont(headerFont, Qt::black);

    connect(header_, &TMultiListHeader::OnClickEx, this, &TMultiList::OnListHeaderClick);
    connect(header_, &TMultiListHeader::OnDblClickEx, this, &TMultiList::OnListHeaderDblClick);
    connect(header_, &QHeaderView::sectionResized, this, [this] {
        if (!header_->Pressed())
            return; // our own upkeep or a stretch, not the user
        pendingResize_ = true;
        if (smoothScroll_)
            SectionResized();
    });
    connect(header_, &TMultiListHeader::ResizeFinished, this, [this] {
        if (pendingResize_)
            SectionResized();
    });
    strings_->SetOnChange([this](std::size_t Row) { ItemsChanged(Row); });
    UpdateHeader();
}

TMultiList::~TMultiList() {
    if (items_ != strings_.get())
        items_->SetOnChange(nullptr);
}

void TMultiList::SetItems(TMultiListItems* Items) {
    if (items_ != strings_.get())
        items_->SetOnChange(nullptr);
    items_ = Items ? Items : strings_.get();
    items_->SetOnChange([this](std::size_t Row) { ItemsChanged(Row); });
    ItemsChanged(TMultiListItems::npos);
}

void TMultiList::ItemsChanged(std::size_t Row) {
    const std::size_t count = items_->Count();
    if (Row != TMultiListItems::npos) {
        if (Row < count && Row >= TopIndex()) {
            const int y = static_cast<int>(Row - TopIndex()) * itemHeight_;
            viewport()->update(0, y, viewport()->width(), itemHeight_);
        }
        return;
    }
    if (items_->ItemIndex() < 0 && count > 1 && items_->ItemText(0) == kMultiListPlaceholder)
        items_->SetItemIndex(defaultItemSelected_ ? 1 : 0);
    anchor_ = std::min<std::size_t>(std::max<std::size_t>(anchor_, 1), count > 1 ? count - 1 : 1);
    UpdateScrollBars();
    viewport()->update();
}

void TMultiList::SetColumnSeperator(std::string_view Text) {
    if (Text.empty())
        return;
    separator_ = Text.front();
    viewport()->update();
}

void TMultiList::SetHeaderSections(QStringList Sections) {
    if (Sections.size() > kMultiListSections)
        Sections.erase(Sections.begin() + kMultiListSections, Sections.end());
    sections_ = std::move(Sections);
    UpdateHeader();
    viewport()->update();
}

void TMultiList::SetSectionWidth(int Section, int Width) {
    sectionWidths_.at(Section) = Width;
    UpdateHeader(); // the header shows the new width at once, not at the next scroll
    viewport()->update();
}

void TMultiList::SetAlignment(int Column, TAlignment Value) {
    alignments_.at(Column) = Value;
    viewport()->update();
}

void TMultiList::SetHeaderHeight(int Height) {
    headerHeight_ = Height;
    UpdateHeader();
    viewport()->update();
}

void TMultiList::SetItemHeight(int Height) {
    itemHeight_ = std::max(1, Height);
    UpdateScrollBars();
    viewport()->update();
}

QFont TMultiList::HeaderFont() const {
    return header_->font();
}

void TMultiList::SetHeaderFont(const QFont& Font, const QColor& Color) {
    header_->setFont(Font);
    QPalette pal = header_->palette();
    pal.setColor(QPalette::ButtonText, Color);
    pal.setColor(QPalette::WindowText, Color);
    pal.setColor(QPalette::Text, Color);
    header_->setPalette(pal);
}

void TMultiList::SetListBitmap(int Index, const QPixmap& Picture) {
    bitmaps_.at(Index) = Picture;
    masked_.at(Index) = Picture;
    if (!Picture.isNull())
        masked_[Index].setMask(Picture.createMaskFromColor(maskColor_, Qt::MaskInColor));
    viewport()->update();
}

void TMultiList::SetBitmapMaskColor(const QColor& C) {
    maskColor_ = C;
    for (int i = 0; i < kMultiListBitmaps; ++i)
        if (!bitmaps_[i].isNull())
            SetListBitmap(i, bitmaps_[i]);
}

void TMultiList::SetLockDisplay(bool On) {
    lockDisplay_ = On;
    if (!On)
        viewport()->update();
}

void TMultiList::SetSetHorizontalScroll(bool On) {
    horizontalScroll_ = On;
    UpdateScrollBars();
    viewport()->update();
}

void TMultiList::SetScrollWidth(int Width) {
    scrollWidth_ = Width;
    UpdateScrollBars();
    viewport()->update();
}

void TMultiList::SetColors(const QColor& Background, const QColor& Text) {
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Background);
    pal.setColor(QPalette::Text, Text);
    viewport()->setPalette(pal);
    viewport()->update();
}

void TMultiList::SetItemIndex(std::ptrdiff_t Index) {
    items_->SetItemIndex(Index);
    if (Index > 0)
        anchor_ = static_cast<std::size_t>(Index);
    viewport()->update();
}

void TMultiList::SelectAll(bool On) {
    items_->SetAllSelected(On);
    viewport()->update();
    emit SelectionChanged();
}

std::size_t TMultiList::TopIndex() const {
    return static_cast<std::size_t>(std::max(0, verticalScrollBar()->value()));
}

void TMultiList::SetTopIndex(std::size_t Index) {
    verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(Index, INT_MAX)));
}

int TMultiList::RowsPerPage() const {
    return std::max(1, viewport()->height() / itemHeight_);
}

void TMultiList::MakeVisible(std::size_t Index) {
    const std::size_t underHeader =
        static_cast<std::size_t>((headerHeight_ + itemHeight_ - 1) / itemHeight_);
    const std::size_t top = TopIndex();
    const std::size_t page = static_cast<std::size_t>(RowsPerPage());
    if (Index < top + underHeader)
        SetTopIndex(Index >= underHeader ? Index - underHeader : 0);
    else if (Index + 1 > top + page)
        SetTopIndex(Index + 1 - page);
}

std::ptrdiff_t TMultiList::ItemAtPos(const QPoint& Pos) const {
    if (Pos.y() < 0)
        return -1;
    const std::size_t index = TopIndex() + static_cast<std::size_t>(Pos.y() / itemHeight_);
    return index < items_->Count() ? static_cast<std::ptrdiff_t>(index) : -1;
}

int TMultiList::ColumnEdge(int Column) const {
    int edge = 0;
    const int count = std::min(Column + 1, header_->SectionCount());
    for (int i = 0; i < count; ++i)
        edge += header_->sectionSize(i);
    return edge;
}

void TMultiList::SetSortArrow(int Section, bool Ascending) {
    // Qt's header draws ascending as an arrow down; lists on most desktops point it up.
    header_->setSortIndicatorShown(Section >= 0);
    header_->setSortIndicator(Section, Ascending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

int TMultiList::ContentWidth() const {
    const int width = viewport()->width();
    return horizontalScroll_ && ScrollWidth() > width ? ScrollWidth() : width;
}

void TMultiList::UpdateHeader() {
    header_->SetSections(sections_);
    const int last = header_->SectionCount() - 1;
    for (int i = 0; i < last; ++i)
        if (sectionWidths_[static_cast<std::size_t>(i)] > 0 &&
            header_->sectionSize(i) != sectionWidths_[static_cast<std::size_t>(i)])
            header_->resizeSection(i, sectionWidths_[static_cast<std::size_t>(i)]);
    header_->setGeometry(-horizontalScrollBar()->value(), 0, ContentWidth(), headerHeight_);
    header_->setVisible(header_->SectionCount() > 0);
}

void TMultiList::UpdateScrollBars() {
    const std::size_t count = items_->Count();
    const int page = RowsPerPage();
    const std::size_t maxTop = count > static_cast<std::size_t>(page) ? count - page : 0;
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<std::size_t>(maxTop, INT_MAX)));
    verticalScrollBar()->setPageStep(std::max(1, page - 1));
    const int width = viewport()->width();
    horizontalScrollBar()->setRange(0, std::max(0, ContentWidth() - width));
    horizontalScrollBar()->setPageStep(std::max(1, width));
    UpdateHeader();
}

void TMultiList::SectionResized() {
    pendingResize_ = false;
    for (int i = 0; i < std::min(header_->SectionCount(), kMultiListSections); ++i)
        sectionWidths_[static_cast<std::size_t>(i)] = header_->sectionSize(i);
    if (updateAlways_)
        viewport()->repaint();
    else
        viewport()->update();
}

void TMultiList::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    UpdateScrollBars();
}

void TMultiList::scrollContentsBy(int, int) {
    UpdateHeader();
    viewport()->update();
}

void TMultiList::focusInEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusInEvent(Event);
    viewport()->update();
}

void TMultiList::focusOutEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusOutEvent(Event);
    viewport()->update();
}

void TMultiList::paintEvent(QPaintEvent*) {
    if (lockDisplay_)
        return;
    UpdateHeader();
    QPainter painter(viewport());
    const std::size_t count = items_->Count();
    if (count == 0)
        return;
    const int left = -horizontalScrollBar()->value();
    const int width = ContentWidth();
    const int height = viewport()->height();
    const std::ptrdiff_t focused = items_->ItemIndex();
    for (std::size_t i = TopIndex(); i < count; ++i) {
        const int top = static_cast<int>(i - TopIndex()) * itemHeight_;
        if (top >= height)
            break;
        DrawItem(painter, i, QRect(left, top, width, itemHeight_), items_->Selected(i),
                 static_cast<std::ptrdiff_t>(i) == focused);
    }
    // Each drawn row draws the column lines down to the bottom, below the last row too.
    if (showColumnLines_) {
        painter.setPen(columnLineColor_);
        for (int k = 0; k < kMultiListSections; ++k)
            if (sectionWidths_[static_cast<std::size_t>(k)] > 0)
                painter.drawLine(left + ColumnEdge(k), headerHeight_, left + ColumnEdge(k), height);
    }
}

void TMultiList::DrawText(QPainter& Painter, std::string_view Text, const QRect& Rect, int Column) {
    if (Text.empty() || Rect.width() <= 0)
        return;
    QString text = DisplayText(Text);
    if (text.contains(QLatin1Char('\t'))) {
        QString expanded;
        for (QChar c : text) {
            if (c == QLatin1Char('\t'))
                expanded.append(QString(3 - expanded.size() % 3, QLatin1Char(' ')));
            else
                expanded.append(c);
        }
        text = expanded;
    }
    int flags = Qt::TextSingleLine | Qt::AlignTop;
    flags |= !allowAmpersand_ ? Qt::TextShowMnemonic : 0;
    switch (alignments_[static_cast<std::size_t>(Column)]) {
    case taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case taCenter:
        flags |= Qt::AlignHCenter;
        break;
    default:
        flags |= Qt::AlignLeft;
        break;
    }
    text = ElideColumnText(text, Painter.fontMetrics(), flags, Rect.width(), Column == pathColumn_);
    Painter.drawText(Rect, flags, text);
}

void TMultiList::DrawItem(QPainter& Painter, std::size_t Index, const QRect& Rect, bool Selected,
                          bool Focused) {
    const std::string item = items_->ItemText(Index);
    const QPalette& pal = viewport()->palette();
    QColor brush = Selected ? highlightColor_ : pal.color(QPalette::Base);
    QColor textColor = Selected ? highlightText_ : pal.color(QPalette::Text);
    Painter.setFont(font());
    Painter.setPen(textColor);
    const int left = Rect.left(), top = Rect.top(), bottom = Rect.bottom() + 1;

    if (header_->SectionCount() == 0) {
        Painter.fillRect(Rect, brush);
        Painter.drawText(QPoint(left, top + 1 + Painter.fontMetrics().ascent()),
                         DisplayText(item));
        return;
    }
    auto edge = [&](int k) { return left + ColumnEdge(k); };
    const TMultiListRow row = SplitMultiListItem(item, separator_);

    // Column 0, with the row picture.
    if (top >= headerHeight_)
        Painter.fillRect(QRect(left, top, edge(0) - left, bottom - top), brush);
    int textLeft = left + 1;
    const bool pictureMarker = !item.empty() && MultiListMarker(item.front()) >= 0;
    if (pictureMarker) {
        const QPixmap& picture = masked_[static_cast<std::size_t>(row.Bitmap)];
        if (!picture.isNull())
            Painter.drawPixmap(left + 6, top, picture);
        textLeft = left + picture.width() + 10;
    }
    if (!row.Columns.empty())
        DrawText(Painter, row.Columns[0],
                 QRect(textLeft, top + 1, edge(0) - textLeft, bottom - top - 1), 0);

    if (Selected && showParentHighlight_) {
        brush = pal.color(QPalette::Base);
        Painter.setPen(childHighlightText_);
    }
    for (int k = 0; k + 1 < static_cast<int>(kMultiListMaxColumns); ++k) {
        // The last section may reach past the list's right edge: its text keeps to the part
        // in view, so right-aligned text is seen.
        const int x0 = edge(k), x1 = std::min(edge(k + 1), Rect.right() + 1);
        if (x1 > x0)
            Painter.fillRect(QRect(x0, top, x1 - x0, bottom - top), brush);
        if (static_cast<std::size_t>(k + 1) < row.Columns.size())
            DrawText(Painter, row.Columns[static_cast<std::size_t>(k + 1)],
                     QRect(x0 + 6, top + 1, x1 - x0 - 6, bottom - top - 1), k + 1);
    }

    if (showColumnLines_) {
        Painter.setPen(columnLineColor_);
        for (int k = 0; k < kMultiListSections; ++k)
            if (sectionWidths_[static_cast<std::size_t>(k)] > 0)
                Painter.drawLine(edge(k), std::max(top, headerHeight_), edge(k), bottom - 1);
    }

    if (Focused) {
        // Drawn by hand: styles draw their focus frame only after keyboard use, and the
        // commands on the focused row need it visible at all times. A dotted line in the
        // row's own text colour shows on both the plain and the highlighted background.
        const QRect frame = showParentHighlight_
                                ? QRect(left, top, edge(0) + 1 - left, bottom - top)
                                : QRect(left, top, Rect.width(), bottom - top);
        Painter.save();
        Painter.setPen(QPen(textColor, 1, Qt::DotLine));
        Painter.setBrush(Qt::NoBrush);
        Painter.drawRect(frame.adjusted(0, 0, -1, -1));
        Painter.restore();
    }
}

// ---------------------------------------------------------------------------------------------
// Selection

void TMultiList::SelectRange(std::size_t From, std::size_t To) {
    if (From > To)
        std::swap(From, To);
    for (std::size_t i = std::max<std::size_t>(From, 1); i <= To && i < items_->Count(); ++i)
        items_->SetSelected(i, true);
}

void TMultiList::MoveFocus(std::ptrdiff_t To, Qt::KeyboardModifiers Modifiers) {
    const std::size_t count = items_->Count();
    if (count < 2)
        return;
    const std::size_t row = static_cast<std::size_t>(
        std::clamp<std::ptrdiff_t>(To, 1, static_cast<std::ptrdiff_t>(count) - 1));
    if (Modifiers & Qt::ShiftModifier) {
        if (!(Modifiers & Qt::ControlModifier))
            items_->SetAllSelected(false);
        SelectRange(anchor_, row);
    } else if (!(Modifiers & Qt::ControlModifier)) {
        items_->SetAllSelected(false);
        items_->SetSelected(row, true);
        anchor_ = row;
    }
    items_->SetItemIndex(static_cast<std::ptrdiff_t>(row));
    MakeVisible(row);
    viewport()->update();
    emit SelectionChanged();
    emit Click();
}

void TMultiList::mousePressEvent(QMouseEvent* Event) {
    setFocus(Qt::MouseFocusReason);
    const std::ptrdiff_t index = ItemAtPos(Event->position().toPoint());
    if (Event->button() == Qt::RightButton && index >= 1) {
        // The pop-up menu acts on the row under the pointer: a row outside the selection
        // becomes the selection; one inside it takes the focus and the selection stays.
        if (items_->Selected(static_cast<std::size_t>(index))) {
            items_->SetItemIndex(index);
            viewport()->update();
        } else {
            MoveFocus(index, Qt::NoModifier);
        }
        return;
    }
    if (Event->button() != Qt::LeftButton || index < 1)
        return;
    const auto row = static_cast<std::size_t>(index);
    const Qt::KeyboardModifiers mods = Event->modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::ShiftModifier)) {
        items_->SetSelected(row, !items_->Selected(row));
        anchor_ = row;
        items_->SetItemIndex(index);
        viewport()->update();
        emit SelectionChanged();
        emit Click();
        return;
    }
    MoveFocus(index, mods);
}

void TMultiList::mouseMoveEvent(QMouseEvent* Event) {
    if (!(Event->buttons() & Qt::LeftButton))
        return;
    const std::ptrdiff_t index = ItemAtPos(Event->position().toPoint());
    if (index < 1 || index == items_->ItemIndex())
        return;
    items_->SetAllSelected(false);
    SelectRange(anchor_, static_cast<std::size_t>(index));
    items_->SetItemIndex(index);
    MakeVisible(static_cast<std::size_t>(index));
    viewport()->update();
    emit SelectionChanged();
}

void TMultiList::mouseReleaseEvent(QMouseEvent* Event) {
    Event->accept();
}

void TMultiList::mouseDoubleClickEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton && ItemAtPos(Event->position().toPoint()) >= 1)
        emit DblClick();
}

void TMultiList::keyPressEvent(QKeyEvent* Event) {
    int key = Event->key();
    emit KeyDown(key, Event->modifiers());
    if (key == 0)
        return;
    const std::ptrdiff_t current = std::max<std::ptrdiff_t>(items_->ItemIndex(), 0);
    const std::ptrdiff_t page = std::max(1, RowsPerPage() - 1);
    const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(items_->Count()) - 1;
    switch (key) {
    case Qt::Key_Up:
        MoveFocus(current - 1, Event->modifiers());
        break;
    case Qt::Key_Down:
        MoveFocus(current + 1, Event->modifiers());
        break;
    case Qt::Key_PageUp:
        MoveFocus(current - page, Event->modifiers());
        break;
    case Qt::Key_PageDown:
        MoveFocus(current + page, Event->modifiers());
        break;
    case Qt::Key_Home:
        MoveFocus(1, Event->modifiers());
        break;
    case Qt::Key_End:
        MoveFocus(last, Event->modifiers());
        break;
    case Qt::Key_Space:
        if (current >= 1) {
            const auto row = static_cast<std::size_t>(current);
            items_->SetSelected(row, !(Event->modifiers() & Qt::ControlModifier) ||
                                         !items_->Selected(row));
            viewport()->update();
            emit SelectionChanged();
            emit Click();
        }
        break;
    default:
        QAbstractScrollArea::keyPressEvent(Event);
        break;
    }
}

// ---------------------------------------------------------------------------------------------

namespace {
QStringList MainFileListHeaders(bool Audio) {
    QStringList headers;
    for (const char* text :
         {QT_TRANSLATE_NOOP("MainFileList", "FileName"), QT_TRANSLATE_NOOP("MainFileList", "Song"),
          QT_TRANSLATE_NOOP("MainFileList", "Artist"), QT_TRANSLATE_NOOP("MainFileList", "Album"),
          QT_TRANSLATE_NOOP("MainFileList", "Year"), QT_TRANSLATE_NOOP("MainFileList", "Genre"),
          QT_TRANSLATE_NOOP("MainFileList", "Comment"),
          // The track column gets what is left beside the scroll bar: a header that fits it.
          QT_TRANSLATE_NOOP("MainFileList", "#")})
        headers << QCoreApplication::translate("MainFileList", text);
    if (Audio)
        for (const char* text :
             {QT_TRANSLATE_NOOP("MainFileList", "Length"), QT_TRANSLATE_NOOP("MainFileList", "Bitrate")})
            headers << QCoreApplication::translate("MainFileList", text);
    return headers;
}
} // namespace

void ShowMainFileListAudio(TMultiList& List, bool On) {
    const QStringList headers = MainFileListHeaders(On);
    List.SetHeaderSections(headers);
    // Wide enough for the longest cell ("0:05 truncated") and the header, each whole.
    const QFontMetrics cells(List.font()), header(List.HeaderFont());
    const auto fit = [&](int Section, const QString& Longest) {
        return std::max(cells.horizontalAdvance(Longest),
                        header.horizontalAdvance(headers.value(Section))) + 12;
    };
    List.SetSectionWidth(8, On ? fit(8, QStringLiteral("0:00 truncated")) : 0);
    List.SetSectionWidth(9, On ? fit(9, QStringLiteral("~320")) : 0);
    List.SetAlignment(8, taRightJustify);
    List.SetAlignment(9, taRightJustify);
}

void ConfigureMainFileList(TMultiList& List) {
    List.setGeometry(8, 40, 745, 481);
    List.SetHeaderSections(MainFileListHeaders(false));
    const int widths[] = {100, 150, 150, 100, 40, 60, 100, 40};
    for (int i = 0; i < kMultiListSections; ++i)
        List.SetSectionWidth(i, i < 8 ? widths[i] : 0);
    List.SetAlignment(7, taRightJustify); // the track numbers
    List.SetPathColumn(0);                // subdir mode names "Live/Song.mp3"
    List.SetColumnSeperator("\t");
    List.SetHeaderHeight(18);
    List.SetItemHeight(18);
    QFont headerFont(ResolveFontFamily(QStringLiteral("Courier New")));
    headerFont.setPointSize(10);
    headerFont.setBold(true);
    List.SetHeaderFont(headerFont, QColor(0, 0, 128));
    QFont font(ResolveFontFamily(QStringLiteral("Arial")));
    font.setPointSize(8);
    font.setBold(true);
    List.setFont(font);
    List.SetColors(QColor(183, 183, 255), QColor(128, 0, 128));
    List.SetHighlightColor(QColor(171, 1, 141));
    List.SetHighlightText(List.palette().color(QPalette::HighlightedText));
    List.SetChildHighlightTextColor(List.palette().color(QPalette::Highlight));
    List.SetShowColumnLines(true);
    List.SetColumnLineColor(QColor(128, 128, 128));
    List.SetAllowAmpersand(true);
    List.SetSetHorizontalScroll(true);
    List.SetScrollWidth(121);
    List.SetSmoothScroll(false);
    List.SetScrollSpeed(5);
    List.SetUpdateAlways(true);
    List.SetShowParentHighlight(false);
    List.SetDefaultItemSelected(true);
    List.SetLockDisplay(false);
}

} // namespace veltrane
