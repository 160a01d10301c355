// libFuzzer target: bytes at a file's start become ID3v1 fields or ENoId3v2, through our
// frame check, TagLib's parser and the mapping, without leaving their buffers.

#include "id3v2/Id3v2Reader.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        veltrane::ParseId3v2({reinterpret_cast<const char*>(data), size});
    } catch (const veltrane::ENoId3v2&) {
    }
    return 0;
}
