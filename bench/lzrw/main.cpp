// Throughput of the LZRW1/KH compressor and decompressor on the program's three media files
// and on 10 MB of mixed data, next to a plain memcpy of the same bytes in the same run.

#include "components/Lzrw1Kh.h"
#include "media/Media.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Best time of a few repetitions of at least ~0.2 s each, in seconds per call.
double BestSeconds(const std::function<void()>& run) {
    double best = 1e9;
    for (int rep = 0; rep < 5; ++rep) {
        int calls = 0;
        const auto start = Clock::now();
        double elapsed = 0;
        do {
            run();
            ++calls;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < 0.2);
        best = std::min(best, elapsed / calls);
    }
    return best;
}

// Text-like lines, runs, random noise and repeats of earlier stretches, mixed.
std::string MixedData(std::size_t size) {
    std::mt19937 rng(7);
    const char* words[] = {"Title ", "Artist ", "Album ", "1999 ", "Rock ", "Live/", ".mp3\r\n"};
    std::string s;
    s.reserve(size);
    while (s.size() < size) {
        switch (rng() % 5) {
        case 0:
            for (int i = 0; i < 40; ++i)
                s += words[rng() % 7];
            break;
        case 1:
            s.append(20 + rng() % 2000, char(rng()));
            break;
        case 2:
            for (int i = 0; i < 1500; ++i)
                s += char(rng());
            break;
        default:
            if (s.size() > 70000) {
                const std::size_t from = s.size() - 1 - rng() % 65536;
                s += s.substr(from, std::min<std::size_t>(s.size() - from, 500 + rng() % 3000));
            }
        }
    }
    s.resize(size);
    return s;
}

volatile unsigned char g_sink;

void Measure(const char* name, const std::string& data) {
    veltrane::TCompressStream cs;
    std::string stored = cs.CompressBytes(data);
    if (cs.DecompressBytes(stored) != data) {
        std::printf("%s: round trip failed\n", name);
        return;
    }
    std::vector<char> copy(data.size());
    const double tCompress = BestSeconds([&] { stored = cs.CompressBytes(data); });
    const double tDecompress = BestSeconds([&] { g_sink = cs.DecompressBytes(stored)[0]; });
    const double tMemcpy = BestSeconds([&] {
        std::memcpy(copy.data(), data.data(), data.size());
        g_sink = static_cast<unsigned char>(copy[data.size() / 2]);
    });
    const double mb = double(data.size()) / 1e6;
    std::printf("%-18s %10zu -> %10zu (%5.1f%%)  compress %8.1f MB/s  decompress %8.1f MB/s"
                "  memcpy %9.1f MB/s\n",
                name, data.size(), stored.size(),
                100.0 * double(stored.size()) / double(data.size()), mb / tCompress,
                mb / tDecompress, mb / tMemcpy);
}

} // namespace

int main() {
    veltrane::TCompressStream cs;
    Measure("BackImage.bmp", cs.DecompressBytes(veltrane::media::BackImageFileData()));
    Measure("SearchFiles.Avi", cs.DecompressBytes(veltrane::media::SearchFilesFileData()));
    Measure("AboutTune.mod", cs.DecompressBytes(veltrane::media::SoundFileFileData()));
    Measure("mixed 10 MB", MixedData(10u << 20));
    return 0;
}
