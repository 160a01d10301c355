#include "setup/ui/SetupBackground.h"

#include "setup/ui/SetupPagesForm.h"

#include <QPainter>

namespace veltrane {

TSetupBackground::TSetupBackground(TSetupInfo* Info, const TBackgroundSettings& S, QWidget* Parent)
    : QWidget(Parent), Info_(Info) {
    setObjectName("SetupBackground");
    StartColor = QColor::fromRgb(S.StartColor);
    EndColor = QColor::fromRgb(S.EndColor);
    Gradations_ = std::max(1, S.Gradations);
    AppNameLabel = new QLabel(this);
    AppNameLabel->setObjectName("AppName");
    QFont F(ToQt(S.AppFont.Family));
    F.setPixelSize(S.AppFont.PixelSize);
    F.setBold(S.AppFont.Bold);
    F.setItalic(S.AppFont.Italic);
    AppNameLabel->setFont(F);
    AppNameLabel->setStyleSheet(QString("color: %1; background: transparent").arg(QColor::fromRgb(S.AppFont.Color).name()));
    AppNameLabel->setText(Info && Info->Data ? ToQt(Info->Data->AppName) : QString("(none)"));
    AppNameLabel->adjustSize();
    AppNameLabel->move(10, 10);
    AppNameLabel->setVisible(S.ShowAppName);
    Timer_ = new QTimer(this);
    Timer_->setInterval(100);
    connect(Timer_, &QTimer::timeout, this, [this] {
        if (!Painted_)
            return;
        Timer_->stop();
        Timer_->deleteLater();
        Timer_ = nullptr;
        const int Result = Info_ ? Info_->RunWizardChain(AutoSetup, AutoUnInstall) : 0;
        if (OnFinished)
            OnFinished(Result);
    });
    Timer_->start();
}

bool TSetupBackground::SetGradations(int Value) {
    if (Value < 1) {
        if (Info_)
            Info_->MessageBox("Gradations cannot be less than 1", mtWarning, mbOK);
        return false;
    }
    Gradations_ = Value;
    update();
    return true;
}

QColor TSetupBackground::BandColor(const QColor& Start, const QColor& End, int I, int Count) {
    auto Mix = [&](int A, int B) { return A + (B - A) * (I + 1) / Count; };
    return QColor(Mix(Start.red(), End.red()), Mix(Start.green(), End.green()), Mix(Start.blue(), End.blue()));
}

void TSetupBackground::paintEvent(QPaintEvent*) {
    QPainter P(this);
    const int H = height();
    for (int I = 0; I < Gradations_; ++I) {
        const int Top = BandTop(I, Gradations_, H);
        const int Bottom = BandTop(I + 1, Gradations_, H);
        P.fillRect(0, Top, width(), Bottom - Top, BandColor(StartColor, EndColor, I, Gradations_));
    }
    Painted_ = true;
}

} // namespace veltrane
