#pragma once
// Peak levels of what the desktop is playing: peak detection on the default sink's monitor
// source of the sound server (PulseAudio, or PipeWire's PulseAudio service).

#include <memory>
#include <vector>

namespace veltrane::platform {

class IPeakMeter {
  public:
    virtual ~IPeakMeter() = default;
    // Connects and starts peak detection; false when there is no server or no default sink.
    virtual bool Open() = 0;
    // Channels of the opened stream (1 or 2); 0 while closed.
    virtual int Channels() const = 0;
    // The highest peak per channel (0.0 to 1.0) since the last call; silence (zeros) when the
    // server sent nothing in between. False when closed or the connection has failed.
    virtual bool Read(std::vector<float>& Peaks) = 0;
    // Ends the stream and the connection; harmless when closed.
    virtual void Close() = 0;
};

// The libpulse implementation; its threaded main loop lives from Open to Close.
class PulsePeakMeter : public IPeakMeter {
  public:
    PulsePeakMeter();
    ~PulsePeakMeter() override;
    PulsePeakMeter(const PulsePeakMeter&) = delete;
    PulsePeakMeter& operator=(const PulsePeakMeter&) = delete;

    bool Open() override;
    int Channels() const override;
    bool Read(std::vector<float>& Peaks) override;
    void Close() override;

    struct State;

  private:
    std::unique_ptr<State> state_;
};

} // namespace veltrane::platform
