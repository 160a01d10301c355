#pragma once
// The description travels inside the install program itself: appended after linking as the
// stored bytes, their length (32-bit little-endian) and a fixed mark, so a copy of the program
// taken anywhere still knows what it installs.

#include <optional>
#include <string>

namespace veltrane {

inline constexpr char StoredDescriptionMark[] = "VLTSetupData";

// What to append to a program to store Bytes in it.
std::string DescriptionTrailer(const std::string& Bytes);
// The stored bytes of the program file at Path; nullopt when it carries none or cannot be
// read.
std::optional<std::string> ReadStoredDescription(const std::string& Path);
// The running program's own file.
std::string OwnProgramPath();

} // namespace veltrane
