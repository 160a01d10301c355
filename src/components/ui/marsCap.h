#pragma once
// TMarsCaption: the window's own title bar, a colour gradient with the icon, the application
// name, the caption text and caption buttons of its own. The window becomes frameless; the
// caption moves it through the desktop's own system move and its edges resize it.

#include "components/marsCap.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <stdexcept>

namespace veltrane {

class TMarsCaptionSystemButton : public QAbstractButton {
    Q_OBJECT
  public:
    TMarsCaptionSystemButton(TCaptionButtonKind Kind, QWidget* Parent);
    TCaptionButtonKind Kind() const { return Kind_; }

  protected:
    void paintEvent(QPaintEvent* Event) override;

  private:
    TCaptionButtonKind Kind_;
};

class TMarsCaption : public QWidget {
    Q_OBJECT
  public:
    // Owner must be a window; otherwise throws std::invalid_argument with
    // "The MarsCaption's owner must be a Form!".
    explicit TMarsCaption(QWidget* Owner);
    ~TMarsCaption() override;

    // Colours are 0x00BBGGRR, red in the lowest byte. Every setter repaints.
    std::uint32_t ActiveBeginColor() const { return ActiveBeginColor_; }
    void SetActiveBeginColor(std::uint32_t Value) { Set(ActiveBeginColor_, Value); }
    std::uint32_t ActiveEndColor() const { return ActiveEndColor_; }
    void SetActiveEndColor(std::uint32_t Value) { Set(ActiveEndColor_, Value); }
    std::uint32_t InactiveBeginColor() const { return InactiveBeginColor_; }
    void SetInactiveBeginColor(std::uint32_t Value) { Set(InactiveBeginColor_, Value); }
    std::uint32_t InactiveEndColor() const { return InactiveEndColor_; }
    void SetInactiveEndColor(std::uint32_t Value) { Set(InactiveEndColor_, Value); }
    std::uint32_t ActiveFontColor() const { return ActiveFontColor_; }
    void SetActiveFontColor(std::uint32_t Value) { Set(ActiveFontColor_, Value); }
    std::uint32_t InactiveFontColor() const { return InactiveFontColor_; }
    void SetInactiveFontColor(std::uint32_t Value) { Set(InactiveFontColor_, Value); }
    int NumColors() const { return NumColors_; }
    void SetNumColors(int Value) { Set(NumColors_, Value); }
    bool AutoSize() const { return AutoSize_; }
    void SetAutoSize(bool Value) { Set(AutoSize_, Value); }
    QString ApplicationName() const { return ApplicationName_; }
    void SetApplicationName(const QString& Value) { Set(ApplicationName_, Value); }
    QFont ApplicationNameFont() const { return ApplicationNameFont_; }
    void SetApplicationNameFont(const QFont& Value) { Set(ApplicationNameFont_, Value); }
    QFont CaptionFont() const { return CaptionFont_; }
    void SetCaptionFont(const QFont& Value) { Set(CaptionFont_, Value); }
    // The text after the application name; empty: the window's title.
    QString Caption() const { return Caption_; }
    void SetCaption(const QString& Value) { Set(Caption_, Value); }

    // How the title bar is laid out; taken from the window's flags at creation.
    TFormBorderStyle BorderStyle() const { return BorderStyle_; }
    void SetBorderStyle(TFormBorderStyle Value);
    int BorderIcons() const { return BorderIcons_; }
    void SetBorderIcons(int Value);

    const TCaptionLayout& Layout() const { return Layout_; }
    TCaptionMetrics Metrics() const;
    TMarsCaptionSystemButton* Button(TCaptionButtonKind Kind) const {
        return Buttons_[static_cast<size_t>(Kind)];
    }
    bool Active() const;
    // The title bar as painted now.
    QImage Picture();
    // Set when the desktop refused a system move or resize and the pointer moves the window.
    bool PointerFallbackUsed() const { return FallbackUsed_; }

    // A family list that puts Comic Neue where the original font is missing.
    static QFont ComicFont(int PixelSize, bool Bold);

  protected:
    void paintEvent(QPaintEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;

  private:
    template <class T> void Set(T& Field, const T& Value) {
        Field = Value;
        update();
    }
    void Relayout();
    void ButtonClicked(TCaptionButtonKind Kind);
    void ShowSystemMenu(const QPoint& At);
    void PaintFrame(QPainter& P);
    bool FrameMouse(QEvent* Event);
    QRect IconRectLocal() const;

    QWidget* Owner_;
    std::uint32_t ActiveBeginColor_ = 8388608;    // navy
    std::uint32_t ActiveEndColor_ = 16711680;     // blue
    std::uint32_t InactiveBeginColor_ = 8421504;  // grey
    std::uint32_t InactiveEndColor_ = 12632256;   // silver
    std::uint32_t ActiveFontColor_ = 16777215;    // white
    std::uint32_t InactiveFontColor_ = 12632256;  // silver
    int NumColors_ = 64;
    bool AutoSize_ = false;
    QString ApplicationName_;
    QFont ApplicationNameFont_;
    QFont CaptionFont_;
    QString Caption_;
    TFormBorderStyle BorderStyle_ = bsSizeable;
    int BorderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TCaptionLayout Layout_;
    std::array<TMarsCaptionSystemButton*, 4> Buttons_{};
    QMargins OldMargins_;
    bool OldTracking_ = false;

    // Pointer-driven moving and resizing where the desktop cannot do it.
    enum class Drag { None, Pending, Move, Resize };
    Drag Drag_ = Drag::None;
    THitZone Zone_ = htNone;
    QPoint PressGlobal_;
    QRect PressGeometry_;
    bool FallbackUsed_ = false;
};

} // namespace veltrane
