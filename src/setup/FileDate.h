#pragma once
// Modification times of the description: a date-time counts days since 1899-12-30 (local time,
// the time of day as the fraction) and is stored as a 32-bit DOS file date and time.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace veltrane {

using TDateTime = double;

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second);
struct TDateParts {
    int Year, Month, Day, Hour, Minute, Second;
};
TDateParts DecodeDateTime(TDateTime Value);

// Bits 25-31 year - 1980, 21-24 month, 16-20 day, 11-15 hour, 5-10 minute, 0-4 seconds / 2.
// A year outside 1980-2099 gives 0.
std::int32_t DateTimeToFileDate(TDateTime Value);
// 0 and other impossible dates read back as 0 (1899-12-30 00:00:00).
TDateTime FileDateToDateTime(std::int32_t FileDate);

// Local time of a file's modification time and back.
TDateTime DateTimeFromUnix(std::time_t Time);
std::time_t UnixFromDateTime(TDateTime Value);

// "1998-02-06T16:20:02", local time; the parser refuses anything else.
std::string DateTimeToIso(TDateTime Value);
std::optional<TDateTime> DateTimeFromIso(const std::string& Text);

} // namespace veltrane
