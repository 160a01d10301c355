// The LED's picture names for every shape and border, and the rules between its properties.

#include "components/AMAdvLed.h"

#include <gtest/gtest.h>

#include <set>

namespace veltrane {
namespace {

TEST(AMAdvLed, PictureNamesForEveryShapeAndBorder) {
    EXPECT_EQ(LedBitmapName(ltRound, brRaised, true), "AMRNDLED3DUP");
    EXPECT_EQ(LedBitmapName(ltRectangleHrz, brLowered, true), "AMRCTLEDHRZ3DDWN");
    EXPECT_EQ(LedBitmapName(ltParallelFwd, brDefault, true), "AMPRLLEDFWT");
    EXPECT_EQ(LedBitmapName(ltTriangleRight, brDefault, false), "AMTRILEDRIGHTFLAT");
    EXPECT_EQ(LedStem(ltDiamond), std::string("AMDMDLED"));
    EXPECT_EQ(LedStem(ltTriangleUp), std::string("AMTRILEDUP"));

    // Through the setters, each shape reaches exactly four names, and all 64 differ and are
    // read back as what they were made from.
    std::set<std::string> names;
    for (int t = 0; t < LedTypeCount; ++t) {
        TLedState s;
        s.SetLedType(static_cast<TLedType>(t));
        const std::string stem = LedStem(s.LedType);
        s.SetBorderStyle(brDefault);
        EXPECT_EQ(s.BitmapName(), stem);
        names.insert(s.BitmapName());
        s.SetBorderStyle(brRaised);
        EXPECT_EQ(s.BitmapName(), stem + "3DUP");
        names.insert(s.BitmapName());
        s.SetBorderStyle(brLowered);
        EXPECT_EQ(s.BitmapName(), stem + "3DDWN");
        names.insert(s.BitmapName());
        s.SetCtl3D(false);
        EXPECT_EQ(s.BitmapName(), stem + "FLAT");
        names.insert(s.BitmapName());
    }
    EXPECT_EQ(names.size(), 64u);
    for (const std::string& name : names) {
        auto p = ParseLedBitmapName(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(LedBitmapName(p->Type, p->Border, p->Ctl3D), name);
    }
    EXPECT_FALSE(ParseLedBitmapName("AMRNDLED3DUPFLAT"));
    EXPECT_FALSE(ParseLedBitmapName("amrndled"));
}

TEST(AMAdvLed, BorderAndCtl3DAreCoupled) {
    TLedState s;
    EXPECT_EQ(s.BorderStyle, brRaised);
    EXPECT_TRUE(s.Ctl3D);
    EXPECT_TRUE(s.SetCtl3D(false));
    EXPECT_EQ(s.BorderStyle, brDefault);
    EXPECT_TRUE(s.SetBorderStyle(brLowered));
    EXPECT_TRUE(s.Ctl3D);
    EXPECT_TRUE(s.SetBorderStyle(brDefault));
    EXPECT_TRUE(s.Ctl3D); // brDefault leaves Ctl3D as it is
    EXPECT_FALSE(s.SetBorderStyle(brDefault));
    EXPECT_FALSE(s.SetCtl3D(true));
}

TEST(AMAdvLed, OnlyRealChangesCount) {
    TLedState s;
    EXPECT_FALSE(s.SetLedOn(false));
    EXPECT_EQ(s.ChangeCount, 0);
    EXPECT_TRUE(s.SetLedOn(true));
    EXPECT_FALSE(s.SetLedOn(true));
    EXPECT_TRUE(s.SetLedOn(false));
    EXPECT_EQ(s.ChangeCount, 2);
}

} // namespace
} // namespace veltrane
