#include "components/ui/About.h"

#include "browser/MainCommands.h"
#include "components/About.h"
#include "components/ui/AMAdvLed.h"
#include "components/ui/Banner.h"
#include "components/ui/LightSpd.h"
#include "components/ui/msgbox.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace veltrane {

namespace {

constexpr int FieldWidth = 220;
constexpr int FieldHeight = 170;
constexpr int TextWidth = 230;
constexpr int LedWidth = 20;
constexpr int LedHeight = 10;
constexpr int LedRowTop = FieldHeight + 8;

// The lines in the user's language; a line without a translation stays as written.
QStringList ToQt(const std::vector<std::string>& Lines) {
    QStringList out;
    for (const std::string& l : Lines)
        out << (l.empty() ? QString() : QCoreApplication::translate("About", l.c_str()));
    return out;
}

} // namespace

TFormAbout::TFormAbout(TExecFile& PlayFile, platform::IPeakMeter& Meter, QWidget* Parent)
    : QDialog(Parent), Vumeter(Meter), PlayFile_(PlayFile) {
    setObjectName("FormAbout");
    setWindowTitle(tr("About"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setWindowModality(Qt::ApplicationModal);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setFixedSize(FieldWidth + TextWidth, LedRowTop + 2 * LedHeight + 14);

    LightSpeed = new TLightSpeed(this);
    LightSpeed->setObjectName("LightSpeed");
    LightSpeed->setGeometry(0, 0, FieldWidth, FieldHeight);
    LightSpeed->Speed = lsFaster;
    LightSpeed->Options = loColored | loMultiplay;
    LightSpeed->SetInterval(100);
    LightSpeed->CenterX = 100;
    LightSpeed->CenterY = 80;
    // Switched on by FormShow, off again when the window closes.
    LightSpeed->SetActive(false);

    Banner = new TBanner(this);
    Banner->setObjectName("Banner");
    Banner->setGeometry(FieldWidth, 0, TextWidth, FieldHeight);
    QFont textFont = Banner->font();
    textFont.setPixelSize(12);
    Banner->setFont(textFont);
    Banner->SetLines(ToQt(AboutLines()));
    Banner->AutoEnable = false;
    Banner->NoGap = true;
    Banner->ScrollDirection = sdBottomToTop;
    Banner->SetScrollInterval(50);
    Banner->ScrollPixels = 1;
    connect(Banner, &TBanner::OnScroll, this, &TFormAbout::BannerScroll);

    const int ledsLeft = (width() - 10 * (LedWidth + 2)) / 2;
    for (int k = 0; k < 10; ++k) {
        for (int row = 0; row < 2; ++row) {
            auto* led = new TAMAdvLed(this);
            led->setObjectName(QString(row == 0 ? "LedLeft%1" : "LedRight%1").arg(k));
            led->SetLedType(ltRectangleHrz);
            led->setGeometry(ledsLeft + k * (LedWidth + 2), LedRowTop + row * (LedHeight + 4),
                             LedWidth, LedHeight + 2);
            if (k >= 7) {
                led->SetColorOn(QColor(255, 0, 0));
                led->SetColorOff(QColor(128, 64, 64)); // 4210816
            }
            (row == 0 ? LedLeft : LedRight)[static_cast<size_t>(k)] = led;
        }
    }

    BannerNoModPlayer = new TBanner(this);
    BannerNoModPlayer->setObjectName("BannerNoModPlayer");
    BannerNoModPlayer->setGeometry(0, LedRowTop - 2, width(), 2 * LedHeight + 10);
    BannerNoModPlayer->SetLines({QCoreApplication::translate("About", NoModPlayerText)});
    BannerNoModPlayer->AutoEnable = false;
    BannerNoModPlayer->NoGap = true;
    BannerNoModPlayer->ScrollDirection = sdRightToLeft;
    BannerNoModPlayer->SetScrollInterval(30);
    BannerNoModPlayer->TextColor = QColor(120, 200, 255);
    BannerNoModPlayer->setCursor(Qt::PointingHandCursor);
    BannerNoModPlayer->hide();
    connect(BannerNoModPlayer, &TBanner::OnClick, this, &TFormAbout::BannerNoModPlayerClick);

    Vumeter.ShowMessage = [this](const std::string& Text) {
        if (ShowMessage)
            ShowMessage(Text);
        else // once the window is up, so that the box stands above it
            QTimer::singleShot(0, this, [this, Text] {
                ShowMessageBox(this, QMessageBox::Warning, QApplication::applicationName(),
                               QString::fromStdString(Text));
            });
    };
}

// Closing the program with the window open still ends the tune and the meter.
TFormAbout::~TFormAbout() {
    if (shown_)
        FormClose();
}

void TFormAbout::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (!shown_)
        FormShow();
}

void TFormAbout::hideEvent(QHideEvent* Event) {
    QDialog::hideEvent(Event);
    if (shown_ && !isVisible())
        FormClose();
}

void TFormAbout::FormShow() {
    shown_ = true;
    PlayFile_.Terminate();
    PlayFile_.WindowStyle = wsHide;
    PreparePlay(PlayFile_, ModPlayerCommand, SoundFileName);
    // The tune's player and whatever it starts form one group, ended together at close.
    PlayFile_.OwnProcessGroup = true;
    const bool started = !ModPlayerCommand.empty() && !SoundFileName.empty() && PlayFile_.Execute();
    PlayFile_.OwnProcessGroup = false;
    tunePid_ = started ? PlayFile_.ProcessId() : -1;

    for (TAMAdvLed* led : LedLeft)
        led->setVisible(started);
    for (TAMAdvLed* led : LedRight)
        led->setVisible(started);
    BannerNoModPlayer->setVisible(!started);
    BannerNoModPlayer->setEnabled(!started);
    if (!started)
        BannerNoModPlayer->SetEnabled(true);

    Banner->SetEnabled(true);
    LightSpeed->SetActive(true);
    Vumeter.LeftPeak = 0;
    Vumeter.RightPeak = 0;
    Vumeter.Open();
}

void TFormAbout::BannerScroll() {
    Vumeter.Update();
    for (int k = 0; k < LedCount; ++k) {
        LedLeft[static_cast<size_t>(k)]->SetLedOn(LedLit(Vumeter.LeftPeak, k));
        LedRight[static_cast<size_t>(k)]->SetLedOn(LedLit(Vumeter.RightPeak, k));
    }
}

void TFormAbout::FormClose() {
    shown_ = false;
    // Only the tune is ended: a browser opened from the invitation is the user's.
    if (tunePid_ > 0 && PlayFile_.ProcessId() == tunePid_)
        PlayFile_.Terminate();
    tunePid_ = -1;
    PlayFile_.WindowStyle = wsNorm;
    BannerNoModPlayer->SetEnabled(false);
    BannerNoModPlayer->setEnabled(false);
    Banner->SetEnabled(false);
    LightSpeed->SetActive(false);
    Vumeter.Close();
}

void TFormAbout::BannerNoModPlayerClick() {
    // A click that does nothing looks like a broken link: without a browser the page is named.
    bool opened = false;
    if (!BrowserCommand.empty()) {
        PreparePlay(PlayFile_, BrowserCommand, ModPlayerPage);
        opened = PlayFile_.Execute();
    }
    if (!opened)
        Vumeter.ShowMessage(NoBrowserMessage(!BrowserCommand.empty()));
}

} // namespace veltrane
