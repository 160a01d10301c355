#pragma once
// The program's icon as SVG text (assets/icons/veltrane.svg) and as the PNGs drawn from it.

#include <string_view>
#include <vector>

namespace veltrane {

const char* VeltraneIconSvg();

struct TIconPng {
    int Size; // pixels, width and height
    std::string_view Bytes;
};
// 16 to 256 pixels, smallest first.
const std::vector<TIconPng>& VeltraneIconPngs();

} // namespace veltrane
