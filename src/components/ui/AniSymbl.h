#pragma once
// Plays a silent clip (8-bit frames, uncompressed or RLE8) in a small control, with the
// properties and open/play rules of the platform's animation control.

#include "components/AviReader.h"

#include <QImage>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

namespace veltrane {

enum TAnimatedState { acmOpen, acmClosed, acmPlaying };

class TAnimatedSymbol : public QWidget {
    Q_OBJECT
  public:
    explicit TAnimatedSymbol(QWidget* parent = nullptr);

    // The setters of AVIName and State re-open the clip; one that cannot be opened throws
    // EAviError with the text "Could not open AVI ..." and leaves the control closed.
    const std::string& AVIName() const { return AVIName_; }
    void SetAVIName(const std::string& Value);
    TAnimatedState State() const { return State_; }
    void SetState(TAnimatedState Value);

    // Changing these re-opens the clip, as re-creating the platform's window did.
    bool Center() const { return Center_; }
    void SetCenter(bool Value);
    bool Transparent() const { return Transparent_; }
    void SetTransparent(bool Value);
    bool AutoPlay() const { return AutoPlay_; }
    void SetAutoPlay(bool Value);

    // Setting these plays again (when State is acmPlaying).
    std::int16_t PlayFrom() const { return PlayFrom_; }
    void SetPlayFrom(std::int16_t Value);
    std::int16_t PlayTo() const { return PlayTo_; } // -1: the clip's last frame
    void SetPlayTo(std::int16_t Value);
    std::int16_t Cycles() const { return Cycles_; } // -1: forever
    void SetCycles(std::int16_t Value);

    bool IsOpen() const { return bool(Clip_); }
    bool IsPlaying() const { return Timer_.isActive(); }
    int FrameCount() const { return Clip_ ? Clip_->FrameCount() : 0; }
    int CurrentFrame() const { return Frame_; }

  signals:
    void OnMouseDown(QMouseEvent* Event);
    void OnMouseMove(QMouseEvent* Event);
    void OnMouseUp(QMouseEvent* Event);
    // Emitted when a play request with a finite Cycles has run out.
    void PlayFinished();

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

  private:
    void Reopen();
    void Play();
    void StartPlaying(int From, int To, int Cycles);
    void CloseClip();
    void BuildImages();
    void NextFrame();

    std::string AVIName_;
    bool Center_ = true;
    bool Transparent_ = true;
    bool AutoPlay_ = true;
    std::int16_t PlayFrom_ = 0;
    std::int16_t PlayTo_ = -1;
    std::int16_t Cycles_ = -1;
    TAnimatedState State_ = acmClosed;

    std::optional<TAviClip> Clip_;
    QVector<QImage> Images_;
    QTimer Timer_;
    int Frame_ = 0;
    int From_ = 0;
    int To_ = 0;
    int CyclesLeft_ = 0; // -1 forever
};

} // namespace veltrane
