#include "components/VUMeter.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace veltrane {

std::int32_t MixerValue(float Peak) {
    if (!(Peak > 0.0f)) // also NaN
        return 0;
    if (Peak >= 1.0f)
        return 32767;
    return static_cast<std::int32_t>(std::lround(Peak * 32767.0f));
}

void TVumeter::Open() {
    Close();
    open_ = meter_.Open();
    if (!open_ && ShowMessage)
        ShowMessage("No Wave Devices to open");
}

bool TVumeter::Update() {
    if (!open_)
        return false;
    std::vector<float> peaks;
    if (!meter_.Read(peaks) || peaks.empty())
        return false;
    LeftPeak = std::abs(MixerValue(peaks[0])) / 180;
    // A one-channel line leaves the right peak as it was.
    if (meter_.Channels() == 2 && peaks.size() >= 2)
        RightPeak = std::abs(MixerValue(peaks[1])) / 180;
    return true;
}

void TVumeter::Close() {
    if (open_)
        meter_.Close();
    open_ = false;
}

} // namespace veltrane
