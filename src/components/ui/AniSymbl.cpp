#include "components/ui/AniSymbl.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace veltrane {

TAnimatedSymbol::TAnimatedSymbol(QWidget* parent) : QWidget(parent) {
    resize(32, 32);
    setAutoFillBackground(true);
    connect(&Timer_, &QTimer::timeout, this, &TAnimatedSymbol::NextFrame);
    Reopen();
}

void TAnimatedSymbol::SetAVIName(const std::string& Value) {
    AVIName_ = Value;
    Reopen();
}

void TAnimatedSymbol::SetState(TAnimatedState Value) {
    State_ = Value;
    Reopen();
}

void TAnimatedSymbol::SetCenter(bool Value) {
    if (Value == Center_)
        return;
    Center_ = Value;
    Reopen();
}

void TAnimatedSymbol::SetTransparent(bool Value) {
    if (Value == Transparent_)
        return;
    Transparent_ = Value;
    Reopen();
}

void TAnimatedSymbol::SetAutoPlay(bool Value) {
    if (Value == AutoPlay_)
        return;
    AutoPlay_ = Value;
    Reopen();
}

void TAnimatedSymbol::SetPlayFrom(std::int16_t Value) {
    PlayFrom_ = Value;
    Play();
}

void TAnimatedSymbol::SetPlayTo(std::int16_t Value) {
    PlayTo_ = Value;
    Play();
}

void TAnimatedSymbol::SetCycles(std::int16_t Value) {
    Cycles_ = Value;
    Play();
}

void TAnimatedSymbol::Reopen() {
    if (!AutoPlay_ && State_ == acmClosed) {
        CloseClip();
        return;
    }
    if (AVIName_.empty()) {
        CloseClip();
        return;
    }
    // Opening replaces the current clip, so a refused one leaves the control closed.
    CloseClip();
    Clip_ = OpenAvi(AVIName_);
    BuildImages();
    if (!Center_)
        resize(Clip_->Width, Clip_->Height);
    update();
    if (AutoPlay_)
        StartPlaying(0, -1, -1);
    Play();
}

void TAnimatedSymbol::Play() {
    if (State_ == acmPlaying && Clip_)
        StartPlaying(PlayFrom_, PlayTo_, Cycles_);
}

void TAnimatedSymbol::StartPlaying(int From, int To, int Cycles) {
    const int last = Clip_->FrameCount() - 1;
    if (To == -1 || To > last)
        To = last;
    // A range the clip does not have is not played, as the platform refused it.
    if (From < 0 || From > To)
        return;
    From_ = From;
    To_ = To;
    Frame_ = From;
    CyclesLeft_ = Cycles < 0 ? -1 : Cycles;
    update();
    if (CyclesLeft_ == 0 || (From_ == To_ && CyclesLeft_ != -1)) {
        Timer_.stop();
        return;
    }
    Timer_.start(int(Clip_->MicroSecPerFrame / 1000));
}

void TAnimatedSymbol::CloseClip() {
    Timer_.stop();
    Clip_.reset();
    Images_.clear();
    Frame_ = 0;
    update();
}

void TAnimatedSymbol::BuildImages() {
    Images_.clear();
    if (!Clip_)
        return;
    QList<QRgb> colours(Clip_->Palette.begin(), Clip_->Palette.end());
    // The clip's background is the colour of its first pixel; it takes the control's colour.
    if (Transparent_ && !Clip_->Frames.empty() && !Clip_->Frames[0].empty())
        colours[Clip_->Frames[0][0]] = palette().color(backgroundRole()).rgb();
    for (const std::vector<std::uint8_t>& f : Clip_->Frames) {
        QImage image(f.data(), Clip_->Width, Clip_->Height, Clip_->Width, QImage::Format_Indexed8);
        image.setColorTable(colours);
        Images_.push_back(image.copy()); // detach from the frame buffer
    }
}

void TAnimatedSymbol::NextFrame() {
    if (!Clip_) {
        Timer_.stop();
        return;
    }
    if (Frame_ < To_) {
        ++Frame_;
    } else if (CyclesLeft_ == -1 || --CyclesLeft_ > 0) {
        Frame_ = From_;
    } else {
        Timer_.stop();
        emit PlayFinished();
    }
    update();
}

void TAnimatedSymbol::paintEvent(QPaintEvent*) {
    if (Images_.isEmpty() || Frame_ < 0 || Frame_ >= Images_.size())
        return;
    const QImage& image = Images_[Frame_];
    QPoint at(0, 0);
    if (Center_)
        at = QPoint((width() - image.width()) / 2, (height() - image.height()) / 2);
    QPainter(this).drawImage(at, image);
}

void TAnimatedSymbol::changeEvent(QEvent* Event) {
    if (Event->type() == QEvent::PaletteChange && Clip_) {
        BuildImages();
        update();
    }
    QWidget::changeEvent(Event);
}

void TAnimatedSymbol::mousePressEvent(QMouseEvent* Event) {
    emit OnMouseDown(Event);
    QWidget::mousePressEvent(Event);
}

void TAnimatedSymbol::mouseMoveEvent(QMouseEvent* Event) {
    emit OnMouseMove(Event);
    QWidget::mouseMoveEvent(Event);
}

void TAnimatedSymbol::mouseReleaseEvent(QMouseEvent* Event) {
    emit OnMouseUp(Event);
    QWidget::mouseReleaseEvent(Event);
}

} // namespace veltrane
