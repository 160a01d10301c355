// libFuzzer target: any bytes as a file's start, through the frame header reader; its length
// stays a finite, non-negative number and it reads no more than its search window.

#include "tagcore/MpegAudio.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::uint64_t read = 0;
    // The first byte picks the trailing bytes (an ID3v1 tag or not) and a size beyond the
    // bytes, so truncated files are reached too.
    const std::uint64_t trailing = size > 0 && (data[0] & 1) ? 128 : 0;
    const std::uint64_t fileSize = size + (size > 0 && (data[0] & 2) ? 1000000 : 0);
    const veltrane::TMpegAudio a = veltrane::ReadMpegAudio(
        fileSize, trailing, [&](std::uint64_t at, char* into, std::size_t n) {
            if (at >= bytes.size())
                return std::size_t{0};
            n = std::min<std::size_t>(n, bytes.size() - at);
            std::memcpy(into, bytes.data() + at, n);
            read += n;
            return n;
        });
    if (!std::isfinite(a.Seconds) || a.Seconds < 0 || a.Kbps < 0)
        std::abort();
    const veltrane::TMpegAudio whole = veltrane::ReadMpegAudio(bytes, trailing);
    if (!std::isfinite(whole.Seconds) || whole.Seconds < 0)
        std::abort();
    return 0;
}
