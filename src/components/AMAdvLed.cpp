#include "components/AMAdvLed.h"

namespace veltrane {

namespace {

const char* const Stems[LedTypeCount] = {
    "AMDMDLED",    "AMLPSLEDHRZ", "AMLPSLEDVRT", "AMMONLEDLEFT",  "AMMONLEDRIGHT", "AMPRLLEDBCK",
    "AMPRLLEDFWT", "AMPNTLED",    "AMRNDLED",    "AMRCTLEDHRZ",   "AMRCTLEDVRT",   "AMSQRLED",
    "AMTRILEDDWN", "AMTRILEDLEFT", "AMTRILEDRIGHT", "AMTRILEDUP"};

} // namespace

const char* LedStem(TLedType Type) {
    const int i = static_cast<int>(Type);
    return i >= 0 && i < LedTypeCount ? Stems[i] : Stems[ltRound];
}

std::string LedBitmapName(TLedType Type, TLedBorderStyle Border, bool Ctl3D) {
    std::string name = LedStem(Type);
    if (Border == brRaised)
        name += "3DUP";
    else if (Border == brLowered)
        name += "3DDWN";
    if (!Ctl3D)
        name += "FLAT";
    return name;
}

std::optional<TLedPicture> ParseLedBitmapName(const std::string& Name) {
    // Every combination the setters can reach, so a stem that is a prefix of another cannot
    // mislead; a bevel without Ctl3D is not one of them.
    for (int t = 0; t < LedTypeCount; ++t)
        for (TLedBorderStyle b : {brDefault, brRaised, brLowered})
            for (bool ctl3d : {true, false}) {
                if (b != brDefault && !ctl3d)
                    continue;
                const auto type = static_cast<TLedType>(t);
                if (LedBitmapName(type, b, ctl3d) == Name)
                    return TLedPicture{type, b, ctl3d};
            }
    return std::nullopt;
}

bool TLedState::SetBorderStyle(TLedBorderStyle Value) {
    const std::string before = BitmapName();
    BorderStyle = Value;
    if (Value != brDefault)
        Ctl3D = true;
    return BitmapName() != before;
}

bool TLedState::SetCtl3D(bool Value) {
    const std::string before = BitmapName();
    Ctl3D = Value;
    if (!Value)
        BorderStyle = brDefault;
    return BitmapName() != before;
}

bool TLedState::SetLedType(TLedType Value) {
    if (Value == LedType)
        return false;
    LedType = Value;
    return true;
}

bool TLedState::SetLedOn(bool Value) {
    if (Value == LedOn)
        return false;
    LedOn = Value;
    ++ChangeCount;
    return true;
}

} // namespace veltrane
