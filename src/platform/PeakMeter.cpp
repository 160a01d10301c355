#include "platform/PeakMeter.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace veltrane::platform {

struct PulsePeakMeter::State {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    int channels = 0;
    std::vector<float> peaks; // highest peaks since the last Read, per channel
    std::string defaultSink;
    std::string monitor;
    int sinkChannels = 0;
    bool answered = false;

    void Signal() { pa_threaded_mainloop_signal(loop, 0); }

    // Waits (holding the loop's lock) until the operation has run its callback.
    void Finish(pa_operation* op) {
        if (!op)
            return;
        while (pa_operation_get_state(op) == PA_OPERATION_RUNNING)
            pa_threaded_mainloop_wait(loop);
        pa_operation_unref(op);
    }
};

namespace {

using State = PulsePeakMeter::State;

void ContextChanged(pa_context*, void* data) {
    static_cast<State*>(data)->Signal();
}

void StreamChanged(pa_stream*, void* data) {
    static_cast<State*>(data)->Signal();
}

void ServerInfo(pa_context*, const pa_server_info* info, void* data) {
    auto* s = static_cast<State*>(data);
    if (info && info->default_sink_name)
        s->defaultSink = info->default_sink_name;
    s->Signal();
}

void SinkInfo(pa_context*, const pa_sink_info* info, int eol, void* data) {
    auto* s = static_cast<State*>(data);
    if (info && eol == 0 && info->monitor_source_name) {
        s->monitor = info->monitor_source_name;
        s->sinkChannels = info->channel_map.channels;
    }
    s->Signal();
}

void StreamRead(pa_stream* stream, size_t, void* data) {
    auto* s = static_cast<State*>(data);
    const void* bytes = nullptr;
    size_t length = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &bytes, &length) < 0)
            return;
        if (length == 0)
            return;
        // A hole (no bytes) carries no peaks; it is dropped like data.
        if (bytes && s->channels > 0) {
            const auto* values = static_cast<const float*>(bytes);
            const size_t count = length / sizeof(float);
            for (size_t i = 0; i < count; ++i) {
                float& peak = s->peaks[i % static_cast<size_t>(s->channels)];
                peak = std::max(peak, std::min(1.0f, std::fabs(values[i])));
            }
        }
        pa_stream_drop(stream);
    }
}

bool ContextGood(pa_context* c) {
    return c && PA_CONTEXT_IS_GOOD(pa_context_get_state(c));
}

} // namespace

PulsePeakMeter::PulsePeakMeter() : state_(std::make_unique<State>()) {}

PulsePeakMeter::~PulsePeakMeter() {
    Close();
}

int PulsePeakMeter::Channels() const {
    return state_->stream ? state_->channels : 0;
}

bool PulsePeakMeter::Open() {
    Close();
    State& s = *state_;
    s.loop = pa_threaded_mainloop_new();
    if (!s.loop)
        return false;
    s.context = pa_context_new(pa_threaded_mainloop_get_api(s.loop), "Veltrane");
    if (!s.context) {
        Close();
        return false;
    }
    pa_context_set_state_callback(s.context, &ContextChanged, &s);
    // No autospawn: a desktop without a sound server simply has no meter.
    if (pa_context_connect(s.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(s.loop) < 0) {
        Close();
        return false;
    }
    pa_threaded_mainloop_lock(s.loop);
    bool ok = false;
    for (;;) {
        pa_context_state_t st = pa_context_get_state(s.context);
        if (st == PA_CONTEXT_READY) {
            ok = true;
            break;
        }
        if (!PA_CONTEXT_IS_GOOD(st))
            break;
        pa_threaded_mainloop_wait(s.loop);
    }
    if (ok) {
        s.defaultSink.clear();
        s.monitor.clear();
        s.Finish(pa_context_get_server_info(s.context, &ServerInfo, &s));
        if (!s.defaultSink.empty())
            s.Finish(pa_context_get_sink_info_by_name(s.context, s.defaultSink.c_str(), &SinkInfo,
                                                      &s));
        ok = !s.monitor.empty();
    }
    if (ok) {
        s.channels = s.sinkChannels >= 2 ? 2 : 1;
        s.peaks.assign(static_cast<size_t>(s.channels), 0.0f);
        pa_sample_spec spec{};
        spec.format = PA_SAMPLE_FLOAT32NE;
        spec.rate = 100; // one peak per 10 ms per channel
        spec.channels = static_cast<uint8_t>(s.channels);
        pa_channel_map map;
        if (s.channels == 2)
            pa_channel_map_init_stereo(&map);
        else
            pa_channel_map_init_mono(&map);
        s.stream = pa_stream_new(s.context, "Peak meter", &spec, &map);
        ok = s.stream != nullptr;
        if (ok) {
            pa_stream_set_state_callback(s.stream, &StreamChanged, &s);
            pa_stream_set_read_callback(s.stream, &StreamRead, &s);
            pa_buffer_attr attr{};
            attr.maxlength = static_cast<uint32_t>(-1);
            attr.fragsize = static_cast<uint32_t>(sizeof(float) * s.channels);
            const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_PEAK_DETECT |
                                                              PA_STREAM_ADJUST_LATENCY);
            ok = pa_stream_connect_record(s.stream, s.monitor.c_str(), &attr, flags) == 0;
            while (ok) {
                pa_stream_state_t st = pa_stream_get_state(s.stream);
                if (st == PA_STREAM_READY)
                    break;
                if (!PA_STREAM_IS_GOOD(st))
                    ok = false;
                else
                    pa_threaded_mainloop_wait(s.loop);
            }
        }
    }
    pa_threaded_mainloop_unlock(s.loop);
    if (!ok)
        Close();
    return ok;
}

bool PulsePeakMeter::Read(std::vector<float>& Peaks) {
    State& s = *state_;
    if (!s.loop || !s.stream)
        return false;
    pa_threaded_mainloop_lock(s.loop);
    const bool good = ContextGood(s.context) && PA_STREAM_IS_GOOD(pa_stream_get_state(s.stream));
    if (good) {
        Peaks = s.peaks;
        std::fill(s.peaks.begin(), s.peaks.end(), 0.0f);
    }
    pa_threaded_mainloop_unlock(s.loop);
    return good;
}

void PulsePeakMeter::Close() {
    State& s = *state_;
    if (!s.loop)
        return;
    pa_threaded_mainloop_lock(s.loop);
    if (s.stream) {
        pa_stream_set_read_callback(s.stream, nullptr, nullptr);
        pa_stream_set_state_callback(s.stream, nullptr, nullptr);
        pa_stream_disconnect(s.stream);
        pa_stream_unref(s.stream);
        s.stream = nullptr;
    }
    if (s.context) {
        pa_context_set_state_callback(s.context, nullptr, nullptr);
        pa_context_disconnect(s.context);
        pa_context_unref(s.context);
        s.context = nullptr;
    }
    pa_threaded_mainloop_unlock(s.loop);
    pa_threaded_mainloop_stop(s.loop);
    pa_threaded_mainloop_free(s.loop);
    s.loop = nullptr;
    s.channels = 0;
}

} // namespace veltrane::platform
