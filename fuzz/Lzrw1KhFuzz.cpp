// libFuzzer target: the "FileData" decompressor must reject or restore any bytes, never read
// or write outside its buffers, and whatever it restores must pack and restore again.

#include "components/Lzrw1Kh.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The block routine alone, into a destination sized by the first byte.
    if (size > 1 && size <= veltrane::kLzrwBlockSize + 1) {
        std::vector<std::uint8_t> dest(std::size_t(data[0]) * 129 + 1);
        try {
            veltrane::Decompression({data + 1, size - 1}, dest);
        } catch (const veltrane::ECompressedData&) {
        }
    }
    veltrane::TCompressStream cs;
    std::string restored;
    try {
        restored = cs.DecompressBytes({reinterpret_cast<const char*>(data), size});
    } catch (const veltrane::ECompressedData&) {
        return 0;
    }
    if (cs.DecompressBytes(cs.CompressBytes(restored)) != restored)
        std::abort();
    return 0;
}
