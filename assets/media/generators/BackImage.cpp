// Writes the default background picture: a 24-bit BMP with a soft, tileable paper texture,
// light enough that black list text stays readable on it. Integer arithmetic only, so the
// bytes are the same on every build.

#include "RiffWriter.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace veltrane;

namespace {

constexpr int kWidth = 224;
constexpr int kHeight = 200;

std::uint32_t Mix(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// Lattice value 0..255 on a grid that wraps, so the picture tiles without seams.
int Lattice(int gx, int gy, int cells, std::uint32_t seed) {
    gx = ((gx % cells) + cells) % cells;
    gy = ((gy % cells) + cells) % cells;
    return int(Mix(std::uint32_t(gx) * 73856093U ^ std::uint32_t(gy) * 19349663U ^ seed) & 255);
}

// Smoothly interpolated value noise, 0..255, with 'cells' cells across each axis.
int Noise(int x, int y, int cellsX, int cellsY, std::uint32_t seed) {
    const int fx = x * cellsX * 256 / kWidth;
    const int fy = y * cellsY * 256 / kHeight;
    const int gx = fx >> 8, gy = fy >> 8;
    auto smooth = [](int t) { return t * t * (768 - 2 * t) / 65536; }; // 3t^2-2t^3, t in 0..256
    const int tx = smooth(fx & 255), ty = smooth(fy & 255);
    const int cells = cellsX; // square lattice period along both axes
    const int a = Lattice(gx, gy, cells, seed), b = Lattice(gx + 1, gy, cells, seed);
    const int c = Lattice(gx, gy + 1, cells, seed), d = Lattice(gx + 1, gy + 1, cells, seed);
    const int top = a * (256 - tx) + b * tx;
    const int bottom = c * (256 - tx) + d * tx;
    return (top * (256 - ty) + bottom * ty) >> 16;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.bmp\n", argv[0]);
        return 2;
    }
    const int stride = (kWidth * 3 + 3) & ~3;
    const std::uint32_t imageSize = std::uint32_t(stride * kHeight);
    std::string bmp;
    bmp += "BM";
    Put32(bmp, 54 + imageSize);
    Put32(bmp, 0);
    Put32(bmp, 54);
    Put32(bmp, 40);
    Put32(bmp, kWidth);
    Put32(bmp, kHeight);
    Put16(bmp, 1);
    Put16(bmp, 24);
    Put32(bmp, 0); // BI_RGB
    Put32(bmp, imageSize);
    Put32(bmp, 2835); // 72 dpi
    Put32(bmp, 2835);
    Put32(bmp, 0);
    Put32(bmp, 0);

    for (int row = 0; row < kHeight; ++row) {
        const int y = kHeight - 1 - row; // bottom-up rows
        std::string line;
        for (int x = 0; x < kWidth; ++x) {
            // Broad clouds, finer mottling and a faint grain, all kept within a narrow band.
            const int broad = Noise(x, y, 4, 4, 11);
            const int mid = Noise(x, y, 8, 8, 23);
            const int fine = Noise(x, y, 28, 28, 37);
            const int grain = int(Mix(std::uint32_t(y * kWidth + x) ^ 0x51u) % 5);
            const int v = (broad * 5 + mid * 3 + fine * 2) / 10; // 0..255
            const int shade = (v - 128) / 12 + grain;            // about -10..+14
            const int r = 226 + shade;
            const int g = 230 + shade;
            const int b = 236 + shade - (broad - 128) / 40;
            line += char(b);
            line += char(g);
            line += char(r);
        }
        line.resize(std::size_t(stride), '\0');
        bmp += line;
    }

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(bmp.data(), std::streamsize(bmp.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
