#include "setup/FileDate.h"

#include <cmath>
#include <cstdio>

namespace veltrane {
namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long Y, unsigned M, unsigned D) {
    Y -= M <= 2;
    const long long Era = (Y >= 0 ? Y : Y - 399) / 400;
    const unsigned Yoe = static_cast<unsigned>(Y - Era * 400);
    const unsigned Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
    const unsigned Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
    return Era * 146097 + static_cast<long long>(Doe) - 719468;
}

void CivilFromDays(long long Z, int& Y, int& M, int& D) {
    Z += 719468;
    const long long Era = (Z >= 0 ? Z : Z - 146096) / 146097;
    const unsigned Doe = static_cast<unsigned>(Z - Era * 146097);
    const unsigned Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
    const unsigned Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
    const unsigned Mp = (5 * Doy + 2) / 153;
    D = static_cast<int>(Doy - (153 * Mp + 2) / 5 + 1);
    M = static_cast<int>(Mp < 10 ? Mp + 3 : Mp - 9);
    Y = static_cast<int>(static_cast<long long>(Yoe) + Era * 400 + (M <= 2));
}

constexpr long long DaysTo1970 = 25569; // 1899-12-30 .. 1970-01-01

bool ValidDate(int Year, int Month, int Day) {
    if (Month < 1 || Month > 12 || Day < 1)
        return false;
    static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool Leap = (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
    return Day <= Days[Month - 1] + (Month == 2 && Leap ? 1 : 0);
}

} // namespace

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second) {
    const long long Days = DaysFromCivil(Year, static_cast<unsigned>(Month),
                                         static_cast<unsigned>(Day)) + DaysTo1970;
    return static_cast<double>(Days) + (Hour * 3600 + Minute * 60 + Second) / 86400.0;
}

TDateParts DecodeDateTime(TDateTime Value) {
    // Whole milliseconds first, so 16:20:02 stored as 16:20:01.99999 still reads 02.
    const double Ms = std::round(Value * 86400000.0);
    long long Total = static_cast<long long>(Ms);
    long long Days = Total / 86400000;
    long long InDay = Total % 86400000;
    if (InDay < 0) {
        InDay += 86400000;
        --Days;
    }
    TDateParts P{};
    CivilFromDays(Days - DaysTo1970, P.Year, P.Month, P.Day);
    const long long Seconds = InDay / 1000;
    P.Hour = static_cast<int>(Seconds / 3600);
    P.Minute = static_cast<int>(Seconds / 60 % 60);
    P.Second = static_cast<int>(Seconds % 60);
    return P;
}

std::int32_t DateTimeToFileDate(TDateTime Value) {
    if (!std::isfinite(Value) || std::fabs(Value) > 3e6)
        return 0;
    const TDateParts P = DecodeDateTime(Value);
    if (P.Year < 1980 || P.Year > 2099)
        return 0;
    const std::uint32_t Bits = static_cast<std::uint32_t>(P.Year - 1980) << 25 |
                               static_cast<std::uint32_t>(P.Month) << 21 |
                               static_cast<std::uint32_t>(P.Day) << 16 |
                               static_cast<std::uint32_t>(P.Hour) << 11 |
                               static_cast<std::uint32_t>(P.Minute) << 5 |
                               static_cast<std::uint32_t>(P.Second / 2);
    return static_cast<std::int32_t>(Bits);
}

TDateTime FileDateToDateTime(std::int32_t FileDate) {
    const std::uint32_t Bits = static_cast<std::uint32_t>(FileDate);
    const int Year = static_cast<int>(Bits >> 25) + 1980;
    const int Month = static_cast<int>(Bits >> 21 & 15);
    const int Day = static_cast<int>(Bits >> 16 & 31);
    const int Hour = static_cast<int>(Bits >> 11 & 31);
    const int Minute = static_cast<int>(Bits >> 5 & 63);
    const int Second = static_cast<int>(Bits & 31) * 2;
    if (!ValidDate(Year, Month, Day) || Hour > 23 || Minute > 59 || Second > 59)
        return 0;
    return EncodeDateTime(Year, Month, Day, Hour, Minute, Second);
}

TDateTime DateTimeFromUnix(std::time_t Time) {
    std::tm Tm{};
    localtime_r(&Time, &Tm);
    return EncodeDateTime(Tm.tm_year + 1900, Tm.tm_mon + 1, Tm.tm_mday, Tm.tm_hour, Tm.tm_min,
                          Tm.tm_sec);
}

std::time_t UnixFromDateTime(TDateTime Value) {
    const TDateParts P = DecodeDateTime(Value);
    std::tm Tm{};
    Tm.tm_year = P.Year - 1900;
    Tm.tm_mon = P.Month - 1;
    Tm.tm_mday = P.Day;
    Tm.tm_hour = P.Hour;
    Tm.tm_min = P.Minute;
    Tm.tm_sec = P.Second;
    Tm.tm_isdst = -1;
    return std::mktime(&Tm);
}

std::string DateTimeToIso(TDateTime Value) {
    const TDateParts P = DecodeDateTime(Value);
    char Buf[48];
    std::snprintf(Buf, sizeof Buf, "%04d-%02d-%02dT%02d:%02d:%02d", P.Year, P.Month, P.Day, P.Hour,
                  P.Minute, P.Second);
    return Buf;
}

std::optional<TDateTime> DateTimeFromIso(const std::string& Text) {
    int Y, Mo, D, H, Mi, S;
    char Tail;
    if (Text.size() != 19 || std::sscanf(Text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &Y, &Mo, &D,
                                         &H, &Mi, &S, &Tail) != 6)
        return std::nullopt;
    if (!ValidDate(Y, Mo, D) || H > 23 || Mi > 59 || S > 59 || H < 0 || Mi < 0 || S < 0)
        return std::nullopt;
    return EncodeDateTime(Y, Mo, D, H, Mi, S);
}

} // namespace veltrane
