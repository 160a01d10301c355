// libFuzzer target: the clip reader refuses or decodes any bytes without leaving its buffers.

#include "components/AviReader.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        veltrane::ParseAvi({reinterpret_cast<const char*>(data), size});
    } catch (const veltrane::EAviError&) {
    }
    return 0;
}
