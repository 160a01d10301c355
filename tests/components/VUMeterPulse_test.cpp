// TVumeter over a real PulseAudio server started for the test: a full-scale tone in the
// default sink lights the meter to the top; without a server it says so.

#include "components/VUMeter.h"
#include "platform/PeakMeter.h"
#include "support/PulseServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace veltrane {
namespace {

TEST(VumeterPulse, NoServerSaysNoWaveDevices) {
    test::PulseServer env; // an empty runtime directory: no server to reach
    platform::PulsePeakMeter meter;
    TVumeter vu(meter);
    std::vector<std::string> messages;
    vu.ShowMessage = [&](const std::string& m) { messages.push_back(m); };
    vu.Open();
    EXPECT_EQ(messages, std::vector<std::string>{"No Wave Devices to open"});
    EXPECT_FALSE(vu.Update());
    EXPECT_EQ(meter.Channels(), 0);
}

TEST(VumeterPulse, FullScaleToneOnTheDefaultSink) {
    if (test::PulseServer::Find("pulseaudio").empty() || test::PulseServer::Find("paplay").empty())
        GTEST_SKIP() << "pulseaudio and paplay (packages pulseaudio, pulseaudio-utils) are needed";
    test::PulseServer server;
    ASSERT_TRUE(server.Start()) << server.Dir().ReadFile("server.log");

    platform::PulsePeakMeter meter;
    TVumeter vu(meter);
    std::vector<std::string> messages;
    vu.ShowMessage = [&](const std::string& m) { messages.push_back(m); };
    vu.Open();
    ASSERT_TRUE(vu.IsOpen());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(meter.Channels(), 2);
    ASSERT_TRUE(vu.Update());
    EXPECT_EQ(vu.LeftPeak, 0); // nothing plays yet

    ASSERT_TRUE(server.PlayTone(4.0));
    std::int32_t left = 0, right = 0;
    for (int i = 0; i < 100 && (left <= 170 || right <= 170); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(vu.Update());
        left = std::max(left, vu.LeftPeak);
        right = std::max(right, vu.RightPeak);
    }
    EXPECT_GT(left, 170);
    EXPECT_GT(right, 170);
    EXPECT_LE(left, 182);

    // Closed, the meter reads nothing; it opens again afterwards.
    vu.Close();
    EXPECT_FALSE(vu.Update());
    EXPECT_EQ(meter.Channels(), 0);
    vu.Open();
    EXPECT_TRUE(vu.IsOpen());
    vu.Close();
}

} // namespace
} // namespace veltrane
