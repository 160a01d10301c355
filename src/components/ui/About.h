#pragma once
// TFormAbout: the About window. A star field, the About text scrolling upwards and, while the
// restored tune plays in the user's module player, two LED rows driven by the sound level.

#include "browser/Execfile.h"
#include "components/VUMeter.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

namespace veltrane {

class TAMAdvLed;
class TBanner;
class TLightSpeed;

class TFormAbout : public QDialog {
    Q_OBJECT
  public:
    // PlayFile is the main window's program starter; Meter the sound server's peak meter.
    TFormAbout(TExecFile& PlayFile, platform::IPeakMeter& Meter, QWidget* Parent = nullptr);
    ~TFormAbout() override;

    // What the main window found at start-up.
    std::string ModPlayerCommand;
    std::string BrowserCommand;
    std::string SoundFileName; // the restored tune
    // Shows a message (the meter's "No Wave Devices to open"); empty: a message box.
    std::function<void(const std::string& Text)> ShowMessage;

    TLightSpeed* LightSpeed = nullptr;
    TBanner* Banner = nullptr;
    std::array<TAMAdvLed*, 10> LedLeft{};
    std::array<TAMAdvLed*, 10> LedRight{};
    TBanner* BannerNoModPlayer = nullptr;
    TVumeter Vumeter;

    void FormShow();
    void FormClose();
    void BannerScroll();
    void BannerNoModPlayerClick();

    // The process of the tune while it plays, else -1.
    pid_t TuneProcess() const { return tunePid_; }

  protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;

  private:
    TExecFile& PlayFile_;
    pid_t tunePid_ = -1;
    bool shown_ = false;
};

} // namespace veltrane
