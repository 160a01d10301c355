#pragma once
// TAMAdvLed: a small lamp of one of sixteen shapes, painted from a mask picture in the colour
// of its state.

#include "components/AMAdvLed.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>
#include <string>

namespace veltrane {

// The mask picture of a name (one of the 64 LedBitmapName gives) at a size: silver
// (12632256) marks what takes the lamp's colour, the bevel is drawn around it; a null image
// for an unknown name.
QImage LedMaskPicture(const std::string& Name, QSize Size);

class TAMAdvLed : public QWidget {
    Q_OBJECT
  public:
    explicit TAMAdvLed(QWidget* Parent = nullptr);

    TLedBorderStyle BorderStyle() const { return State_.BorderStyle; }
    void SetBorderStyle(TLedBorderStyle Value);
    bool Ctl3D() const { return State_.Ctl3D; }
    void SetCtl3D(bool Value);
    TLedType LedType() const { return State_.LedType; }
    void SetLedType(TLedType Value);
    bool LedOn() const { return State_.LedOn; }
    void SetLedOn(bool Value);
    QColor ColorOn() const { return ColorOn_; }
    void SetColorOn(const QColor& Value);
    QColor ColorOff() const { return ColorOff_; }
    void SetColorOff(const QColor& Value);

    int ChangeCount() const { return State_.ChangeCount; }
    std::string BitmapName() const { return State_.BitmapName(); }
    // The picture as painted now (mask coloured by state).
    QImage Picture() const;

    QSize sizeHint() const override { return {20, 20}; }

  signals:
    void OnLedStateChanged(QObject* Sender, bool NewState, int ChangeCount);
    void OnClick();
    void OnMouseDown(QMouseEvent* Event);
    void OnMouseUp(QMouseEvent* Event);

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

  private:
    TLedState State_;
    QColor ColorOn_{0, 255, 0};  // lime
    QColor ColorOff_{0, 128, 0}; // green
};

} // namespace veltrane
