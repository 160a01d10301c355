#pragma once
// TVumeter: the level of what the desktop plays, on the scale of the LED rows (0 to 182).
// Readings come from the sound server's peak detection, scaled to the mixer's 0..32767.

#include "platform/PeakMeter.h"

#include <cstdint>
#include <functional>
#include <string>

namespace veltrane {

class TVumeter {
  public:
    explicit TVumeter(platform::IPeakMeter& Meter) : meter_(Meter) {}
    ~TVumeter() { Close(); }
    TVumeter(const TVumeter&) = delete;
    TVumeter& operator=(const TVumeter&) = delete;

    std::int32_t LeftPeak = 0;
    std::int32_t RightPeak = 0;
    // Shows a problem to the user; empty: nothing is shown.
    std::function<void(const std::string& Message)> ShowMessage;

    // Starts the readings; without a sound server or default sink it says "No Wave Devices to
    // open" and leaves the meter still.
    void Open();
    // Takes a reading: true and new peaks, or false with the peaks unchanged.
    bool Update();
    void Close();

    bool IsOpen() const { return open_; }

  private:
    platform::IPeakMeter& meter_;
    bool open_ = false;
};

// A peak of 0.0 to 1.0 on the mixer's scale 0..32767 (nearest step, out-of-range values clamped).
std::int32_t MixerValue(float Peak);

} // namespace veltrane
