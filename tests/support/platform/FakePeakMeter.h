#pragma once
// A sound server played by the test: present or not, its channel count and the next readings.

#include "platform/PeakMeter.h"

#include <deque>
#include <vector>

namespace veltrane::test {

class FakePeakMeter : public platform::IPeakMeter {
  public:
    bool serverPresent = true;
    int channels = 2;
    std::deque<std::vector<float>> readings; // handed out one per Read; empty: Read fails
    int opens = 0;
    int closes = 0;
    bool open = false;

    bool Open() override {
        ++opens;
        open = serverPresent;
        return open;
    }
    int Channels() const override { return open ? channels : 0; }
    bool Read(std::vector<float>& peaks) override {
        if (!open || readings.empty())
            return false;
        peaks = readings.front();
        readings.pop_front();
        return true;
    }
    void Close() override {
        ++closes;
        open = false;
    }
};

} // namespace veltrane::test
