#pragma once
// The state rules of the LED control: its shapes, the name of the mask picture for a shape and
// border, the coupling of BorderStyle and Ctl3D, and the change counter.

#include <optional>
#include <string>

namespace veltrane {

enum TLedType {
    ltDiamond, ltEllipsHrz, ltEllipsVrt, ltMoonLeft, ltMoonRight, ltParallelBck, ltParallelFwd,
    ltPentagon, ltRound, ltRectangleHrz, ltRectangleVrt, ltSquare, ltTriangleDwn,
    ltTriangleLeft, ltTriangleRight, ltTriangleUp
};
constexpr int LedTypeCount = 16;

enum TLedBorderStyle { brDefault, brRaised, brLowered };

// The stem of a shape's pictures ("AMRNDLED" for ltRound).
const char* LedStem(TLedType Type);
// Stem, then "3DUP" (raised) or "3DDWN" (lowered), then "FLAT" without Ctl3D.
std::string LedBitmapName(TLedType Type, TLedBorderStyle Border, bool Ctl3D);

// What a picture name asks for; nullopt for a name that is none of the 64.
struct TLedPicture {
    TLedType Type;
    TLedBorderStyle Border;
    bool Ctl3D;
};
std::optional<TLedPicture> ParseLedBitmapName(const std::string& Name);

// The properties with their coupling. Each setter returns true when the picture changed.
struct TLedState {
    TLedType LedType = ltRound;
    TLedBorderStyle BorderStyle = brRaised;
    bool Ctl3D = true;
    bool LedOn = false;
    int ChangeCount = 0; // changes of LedOn so far

    bool SetBorderStyle(TLedBorderStyle Value);
    bool SetCtl3D(bool Value);
    bool SetLedType(TLedType Value);
    // A new state counts one change; the current state again changes nothing.
    bool SetLedOn(bool Value);
    std::string BitmapName() const { return LedBitmapName(LedType, BorderStyle, Ctl3D); }
};

} // namespace veltrane
