// libFuzzer target: the setup description reader refuses or reads any bytes, and whatever it
// reads writes back and reads again to the same description.

#include "setup/SetupStream.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        auto D = veltrane::ReadSetupData({reinterpret_cast<const char*>(data), size});
        const std::string Once = veltrane::WriteSetupData(*D);
        if (veltrane::WriteSetupData(*veltrane::ReadSetupData(Once)) != Once)
            std::abort();
    } catch (const veltrane::ESetupStreamError&) {
    } catch (const veltrane::ESetupError&) {
    }
    return 0;
}
