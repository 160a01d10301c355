#pragma once
// TMultiList: an owner-drawn multi-column list whose item texts pack their columns with a
// separator, under a header of resizable sections (TMultiListHeader). Rows come from a
// TMultiListItems model; only the visible rows are painted, so large lists stay cheap.

#include "components/MultiLstItems.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QPixmap>
#include <QStringList>

#include <array>
#include <memory>

class QStandardItemModel;

namespace veltrane {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

inline constexpr int kMultiListSections = 15;
inline constexpr int kMultiListBitmaps = 16;

// "Arial" falls back to Liberation Sans, "Courier New" to Liberation Mono when not installed.
QString ResolveFontFamily(const QString& Family);

// Text cut to Width pixels (drawn with Flags) with "..." at its end. A path ("Live/Song.mp3",
// AsPath) keeps its file name: the folder part loses its middle first, then the name its end.
QString ElideColumnText(const QString& Text, const QFontMetrics& Metrics, int Flags, int Width,
                        bool AsPath);

// Header of named sections; the last one always reaches the right edge. Reports clicks and
// double-clicks by section number, laid out from x = 0 (right of all sections counts as 0).
class TMultiListHeader : public QHeaderView {
    Q_OBJECT
  public:
    explicit TMultiListHeader(QWidget* Parent = nullptr);

    void SetSections(const QStringList& Captions);
    int SectionCount() const;
    // Section under x (header coordinates), 0 right of all sections.
    int SectionAtX(int X) const;
    // The left button is down on the header (a click or a resize drag is under way).
    bool Pressed() const { return pressed_; }

  signals:
    void OnClickEx(int ASection);
    void OnDblClickEx(int ASection);
    // A resize drag ended.
    void ResizeFinished();

  protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

  private:
    QStandardItemModel* model_;
    bool resizing_ = false;
    bool pressed_ = false;
};

class TMultiList : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit TMultiList(QWidget* Parent = nullptr);
    ~TMultiList() override;

    // Rows shown; nullptr returns to the control's own Strings(). Not owned.
    void SetItems(TMultiListItems* Items);
    TMultiListItems& Items() const { return *items_; }
    // The control's own string list (used when no model was set).
    TMultiListStrings& Strings() { return *strings_; }

    char ColumnSeperator() const { return separator_; }
    // Keeps only the first character of Text.
    void SetColumnSeperator(std::string_view Text);
    const QStringList& HeaderSections() const { return sections_; }
    // At most 15 sections; the rest of Sections is dropped.
    void SetHeaderSections(QStringList Sections);
    int SectionWidth(int Section) const { return sectionWidths_.at(Section); }
    // 0 leaves the header's own width.
    void SetSectionWidth(int Section, int Width);
    TAlignment Alignment(int Column) const { return alignments_.at(Column); }
    void SetAlignment(int Column, TAlignment Value);
    int HeaderHeight() const { return headerHeight_; }
    void SetHeaderHeight(int Height);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int Height);
    QFont HeaderFont() const;
    void SetHeaderFont(const QFont& Font, const QColor& Color = Qt::black);
    QColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(const QColor& C) {
        highlightColor_ = C;
        viewport()->update();
    }
    QColor HighlightText() const { return highlightText_; }
    void SetHighlightText(const QColor& C) {
        highlightText_ = C;
        viewport()->update();
    }
    bool ShowParentHighlight() const { return showParentHighlight_; }
    void SetShowParentHighlight(bool On) {
        showParentHighlight_ = On;
        viewport()->update();
    }
    QColor ChildHighlightTextColor() const { return childHighlightText_; }
    void SetChildHighlightTextColor(const QColor& C) {
        childHighlightText_ = C;
        viewport()->update();
    }
    bool ShowColumnLines() const { return showColumnLines_; }
    void SetShowColumnLines(bool On) {
        showColumnLines_ = On;
        viewport()->update();
    }
    QColor ColumnLineColor() const { return columnLineColor_; }
    void SetColumnLineColor(const QColor& C) {
        columnLineColor_ = C;
        viewport()->update();
    }
    const QPixmap& ListBitmap(int Index) const { return bitmaps_.at(Index); }
    void SetListBitmap(int Index, const QPixmap& Picture);
    QColor BitmapMaskColor() const { return maskColor_; }
    void SetBitmapMaskColor(const QColor& C);
    bool AllowAmpersand() const { return allowAmpersand_; }
    void SetAllowAmpersand(bool On) {
        allowAmpersand_ = On;
        viewport()->update();
    }
    bool LockDisplay() const { return lockDisplay_; }
    // While on, rows are not drawn; switching it off repaints.
    void SetLockDisplay(bool On);
    bool SetHorizontalScroll() const { return horizontalScroll_; }
    void SetSetHorizontalScroll(bool On);
    int ScrollWidth() const { return scrollWidth_ < 0 ? width() : scrollWidth_; }
    void SetScrollWidth(int Width);
    bool SmoothScroll() const { return smoothScroll_; }
    void SetSmoothScroll(bool On) { smoothScroll_ = On; }
    int ScrollSpeed() const { return scrollSpeed_; }
    void SetScrollSpeed(int Step) { scrollSpeed_ = Step; }
    bool UpdateAlways() const { return updateAlways_; }
    void SetUpdateAlways(bool On) { updateAlways_ = On; }
    bool DefaultItemSelected() const { return defaultItemSelected_; }
    void SetDefaultItemSelected(bool On) { defaultItemSelected_ = On; }
    // Background and text colour of unselected rows.
    void SetColors(const QColor& Background, const QColor& Text);
    // The column whose texts are relative paths (-1 none): see ElideColumnText.
    int PathColumn() const { return pathColumn_; }
    void SetPathColumn(int Column) {
        pathColumn_ = Column;
        viewport()->update();
    }
    // The header's sort arrow on Section (-1: none): up for ascending, down for descending.
    void SetSortArrow(int Section, bool Ascending);

    TMultiListHeader* ListHeader() const { return header_; }

    // Focused row (-1 none) and selection, through the model.
    std::ptrdiff_t ItemIndex() const { return items_->ItemIndex(); }
    void SetItemIndex(std::ptrdiff_t Index);
    void SelectAll(bool On = true);
    std::size_t SelCount() const { return items_->SelCount(); }
    // First item drawn at the top of the client area.
    std::size_t TopIndex() const;
    void SetTopIndex(std::size_t Index);
    // Scrolls so that row Index lies fully below the header.
    void MakeVisible(std::size_t Index);
    // Row at a client-area point, -1 for none.
    std::ptrdiff_t ItemAtPos(const QPoint& Pos) const;
    // Right edge E(k) of column k, in content coordinates.
    int ColumnEdge(int Column) const;

  signals:
    void OnListHeaderClick(int ASection);
    void OnListHeaderDblClick(int ASection);
    void Click();
    void DblClick();
    // Before the list handles a key; set Key to 0 to swallow it.
    void KeyDown(int& Key, Qt::KeyboardModifiers Modifiers);
    void SelectionChanged();

  protected:
    // Draws one row in viewport coordinates; overridable like an owner-draw handler.
    virtual void DrawItem(QPainter& Painter, std::size_t Index, const QRect& Rect, bool Selected,
                          bool Focused);

    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

  private:
    void ItemsChanged(std::size_t Row);
    void UpdateHeader();
    void UpdateScrollBars();
    int ContentWidth() const;
    int RowsPerPage() const;
    void SelectRange(std::size_t From, std::size_t To);
    void MoveFocus(std::ptrdiff_t To, Qt::KeyboardModifiers Modifiers);
    void DrawText(QPainter& Painter, std::string_view Text, const QRect& Rect, int Column);
    void SectionResized();

    std::unique_ptr<TMultiListStrings> strings_;
    TMultiListItems* items_;
    TMultiListHeader* header_;
    char separator_ = '|';
    QStringList sections_;
    std::array<int, kMultiListSections> sectionWidths_{};
    std::array<TAlignment, kMultiListSections + 2> alignments_{};
    int headerHeight_ = 18;
    int itemHeight_ = 18;
    QColor highlightColor_;
    QColor highlightText_;
    bool showParentHighlight_ = false;
    QColor childHighlightText_;
    bool showColumnLines_ = false;
    QColor columnLineColor_{128, 128, 128};
    std::array<QPixmap, kMultiListBitmaps> bitmaps_;
    std::array<QPixmap, kMultiListBitmaps> masked_;
    QColor maskColor_{128, 0, 128};
    bool allowAmpersand_ = false;
    bool lockDisplay_ = false;
    bool horizontalScroll_ = false;
    int scrollWidth_ = -1;
    bool smoothScroll_ = false;
    int scrollSpeed_ = 5;
    bool updateAlways_ = true;
    bool defaultItemSelected_ = true;
    int pathColumn_ = -1;
    std::size_t anchor_ = 1;
    bool pendingResize_ = false;
};

// Sets up the main window's file list: sections, widths, fonts, colours, scrolling.
void ConfigureMainFileList(TMultiList& List);
// Adds the main file list's "Length" and "Bitrate" columns after Track (right-aligned, with
// their own widths), or takes them away again.
void ShowMainFileListAudio(TMultiList& List, bool On);

} // namespace veltrane
