// The level meter over a faked sound server: scaling, the LED thresholds, the one-channel rule
// and the message when there is no server.

#include "components/About.h"
#include "components/VUMeter.h"
#include "support/platform/FakePeakMeter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace veltrane {
namespace {

// Lit LEDs of a row for a peak, as the About window sets them.
int LitCount(std::int32_t peak) {
    int lit = 0;
    for (int k = 0; k < LedCount; ++k)
        lit += LedLit(peak, k) ? 1 : 0;
    return lit;
}

TEST(Vumeter, LedThresholds) {
    const struct {
        std::int32_t peak;
        int lit;
    } cases[] = {{0, 0}, {20, 0}, {21, 1}, {40, 1}, {41, 2}, {180, 8}, {181, 9}, {182, 9},
                 {200, 9}, {201, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(LitCount(c.peak), c.lit) << "peak " << c.peak;
    // Lights come on from the bottom: never a gap below a lit one.
    for (std::int32_t peak = 0; peak <= 182; ++peak)
        for (int k = 1; k < LedCount; ++k)
            EXPECT_FALSE(LedLit(peak, k) && !LedLit(peak, k - 1)) << peak << " " << k;
}

TEST(Vumeter, ScalesToMixerRangeAndDividesBy180) {
    const struct {
        float peak;
        std::int32_t mixer;
        std::int32_t led;
    } cases[] = {{0.0f, 0, 0},         {1.0f, 32767, 182}, {1.5f, 32767, 182},
                 {-0.2f, 0, 0},        {NAN, 0, 0},        {0.5f, 16384, 91},
                 {3779.0f / 32767, 3779, 20}, {3780.0f / 32767, 3780, 21}};
    for (const auto& c : cases) {
        EXPECT_EQ(MixerValue(c.peak), c.mixer) << c.peak;
        test::FakePeakMeter meter;
        meter.readings = {{c.peak, c.peak}};
        TVumeter vu(meter);
        vu.Open();
        ASSERT_TRUE(vu.Update());
        EXPECT_EQ(vu.LeftPeak, c.led) << c.peak;
        EXPECT_EQ(vu.RightPeak, c.led) << c.peak;
    }
}

TEST(Vumeter, OneChannelLeavesRightPeakAlone) {
    test::FakePeakMeter meter;
    meter.channels = 1;
    meter.readings = {{1.0f}, {0.25f, 1.0f}};
    TVumeter vu(meter);
    vu.RightPeak = 7;
    vu.Open();
    EXPECT_TRUE(vu.Update());
    EXPECT_EQ(vu.LeftPeak, 182);
    EXPECT_EQ(vu.RightPeak, 7);
    EXPECT_TRUE(vu.Update());
    EXPECT_EQ(vu.LeftPeak, 45);
    EXPECT_EQ(vu.RightPeak, 7);
}

TEST(Vumeter, FailedReadingKeepsPeaks) {
    test::FakePeakMeter meter;
    meter.readings = {{0.5f, 0.25f}};
    TVumeter vu(meter);
    EXPECT_FALSE(vu.Update()); // not open
    vu.Open();
    EXPECT_TRUE(vu.Update());
    EXPECT_FALSE(vu.Update()); // the server sent nothing more
    EXPECT_EQ(vu.LeftPeak, 91);
    EXPECT_EQ(vu.RightPeak, 45);
}

TEST(Vumeter, NoServerSaysSoOncePerOpening) {
    test::FakePeakMeter meter;
    meter.serverPresent = false;
    meter.readings = {{1.0f, 1.0f}};
    TVumeter vu(meter);
    std::vector<std::string> messages;
    vu.ShowMessage = [&](const std::string& m) { messages.push_back(m); };
    vu.Open();
    EXPECT_FALSE(vu.Update());
    EXPECT_EQ(messages, std::vector<std::string>{"No Wave Devices to open"});
    vu.Close();
    vu.Open();
    EXPECT_EQ(messages.size(), 2u);

    meter.serverPresent = true;
    vu.Open();
    EXPECT_EQ(messages.size(), 2u);
    vu.Close();
    vu.Close();
    EXPECT_EQ(meter.closes, 1); // only an open meter is closed
    EXPECT_FALSE(meter.open);
}

} // namespace
} // namespace veltrane
