#pragma once
// The program's icon as SVG text (assets/icons/veltrane.svg).

namespace veltrane {

const char* VeltraneIconSvg();

} // namespace veltrane
