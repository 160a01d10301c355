// Writes the searching animation: a silent AVI of RLE8 frames in which a magnifying glass
// sweeps back and forth over an open folder.

#include "RiffWriter.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace veltrane;

namespace {

constexpr int kWidth = 80;
constexpr int kHeight = 50;
constexpr int kFrames = 32;
constexpr int kFramesPerSecond = 12;

enum Colour : std::uint8_t {
    cBackground,
    cOutline,
    cFolderBack,
    cFolderFront,
    cFolderShade,
    cPaper,
    cPaperLine,
    cRim,
    cRimLight,
    cLens,
    cLensShine,
    cHandle,
    cHandleDark,
    cShadow,
    cCount
};
constexpr std::uint8_t kPalette[cCount][3] = {
    {192, 192, 192}, // background: the control draws it in its own colour
    {40, 40, 40},    {200, 150, 40}, {245, 200, 80},  {215, 165, 50},  {255, 255, 255},
    {150, 170, 200}, {70, 70, 80},   {170, 170, 185}, {200, 230, 250}, {250, 255, 255},
    {120, 70, 30},   {80, 45, 20},   {160, 160, 160},
};

using Frame = std::vector<std::uint8_t>; // top-down rows

void Fill(Frame& f, int x0, int y0, int x1, int y1, std::uint8_t c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (x >= 0 && x < kWidth && y >= 0 && y < kHeight)
                f[std::size_t(y * kWidth + x)] = c;
}

void Plot(Frame& f, int x, int y, std::uint8_t c) {
    Fill(f, x, y, x, y, c);
}

void DrawFolder(Frame& f) {
    // Back panel with its tab, a sheet of paper, then the front flap.
    Fill(f, 18, 15, 34, 18, cFolderBack);
    Fill(f, 14, 18, 64, 44, cFolderBack);
    Fill(f, 22, 14, 58, 38, cPaper);
    for (int y = 18; y <= 34; y += 4)
        Fill(f, 26, y, 54, y, cPaperLine);
    for (int y = 26; y <= 44; ++y) {
        const int slant = (44 - y) / 4; // the flap leans back at the top
        Fill(f, 12 + slant, y, 66 - slant, y, cFolderFront);
    }
    Fill(f, 14, 44, 64, 44, cFolderShade);
    Fill(f, 13, 26, 65, 26, cOutline);
    Fill(f, 12, 45, 66, 45, cOutline);
    Fill(f, 16, 46, 64, 46, cShadow);
}

void DrawGlass(Frame& f, int cx, int cy) {
    constexpr int kOuter = 10, kInner = 7;
    // Handle towards the lower right.
    for (int i = 0; i < 12; ++i) {
        Fill(f, cx + 7 + i, cy + 7 + i, cx + 9 + i, cy + 8 + i, cHandle);
        Plot(f, cx + 7 + i, cy + 9 + i, cHandleDark);
    }
    for (int dy = -kOuter; dy <= kOuter; ++dy) {
        for (int dx = -kOuter; dx <= kOuter; ++dx) {
            const int d2 = dx * dx + dy * dy;
            if (d2 > kOuter * kOuter)
                continue;
            std::uint8_t c;
            if (d2 > kInner * kInner)
                c = (dx + dy < -4) ? cRimLight : cRim;
            else if ((dx + 3) * (dx + 3) + (dy + 3) * (dy + 3) <= 4)
                c = cLensShine;
            else
                c = cLens;
            Plot(f, cx + dx, cy + dy, c);
        }
    }
}

// One bitmap row run-length coded (RLE8): runs of 3 or more as (count, value), the rest in
// absolute mode (0, n, bytes, padded to a word) or as single-byte runs when shorter than 3.
void EncodeRow(const std::uint8_t* p, int n, std::string& out) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 255 && p[i + run] == p[i])
            ++run;
        if (run >= 3) {
            out += char(run);
            out += char(p[i]);
            i += run;
            continue;
        }
        int lit = 0;
        while (i + lit < n && lit < 255) {
            int r = 1;
            while (i + lit + r < n && r < 3 && p[i + lit + r] == p[i + lit])
                ++r;
            if (r >= 3)
                break;
            ++lit;
        }
        if (lit < 3) {
            for (int k = 0; k < lit; ++k) {
                out += char(1);
                out += char(p[i + k]);
            }
        } else {
            out += char(0);
            out += char(lit);
            out.append(reinterpret_cast<const char*>(p + i), std::size_t(lit));
            if (lit & 1)
                out += char(0);
        }
        i += lit;
    }
}

std::string EncodeFrame(const Frame& f) {
    std::string out;
    for (int row = kHeight - 1; row >= 0; --row) { // bottom-up
        EncodeRow(&f[std::size_t(row * kWidth)], kWidth, out);
        out += char(0);
        out += char(row == 0 ? 1 : 0); // end of line, end of bitmap after the last
    }
    return out;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.avi\n", argv[0]);
        return 2;
    }
    std::vector<std::string> frames;
    std::uint32_t largest = 0;
    for (int i = 0; i < kFrames; ++i) {
        Frame f(std::size_t(kWidth * kHeight), cBackground);
        DrawFolder(f);
        // Out along a shallow arc and back again.
        const int half = kFrames / 2;
        const int t = i < half ? i : kFrames - i; // 0..half
        const int x = 24 + t * 32 / half;
        const int dx = x - 40;
        const int y = 20 + dx * dx / 60;
        DrawGlass(f, x, y);
        frames.push_back(EncodeFrame(f));
        if (frames.back().size() > largest)
            largest = std::uint32_t(frames.back().size());
    }

    std::string avih;
    Put32(avih, 1000000 / kFramesPerSecond);
    Put32(avih, largest * kFramesPerSecond);
    Put32(avih, 0);
    Put32(avih, 0x10); // AVIF_HASINDEX
    Put32(avih, kFrames);
    Put32(avih, 0);
    Put32(avih, 1); // one stream: video only
    Put32(avih, largest);
    Put32(avih, kWidth);
    Put32(avih, kHeight);
    for (int i = 0; i < 4; ++i)
        Put32(avih, 0);

    std::string strh = "vidsmrle";
    Put32(strh, 0);
    Put16(strh, 0);
    Put16(strh, 0);
    Put32(strh, 0);
    Put32(strh, 1);                // scale
    Put32(strh, kFramesPerSecond); // rate
    Put32(strh, 0);
    Put32(strh, kFrames);
    Put32(strh, largest);
    Put32(strh, 0xFFFFFFFFu);
    Put32(strh, 0);
    Put16(strh, 0);
    Put16(strh, 0);
    Put16(strh, kWidth);
    Put16(strh, kHeight);

    std::string strf;
    Put32(strf, 40);
    Put32(strf, kWidth);
    Put32(strf, kHeight);
    Put16(strf, 1);
    Put16(strf, 8);
    Put32(strf, 1); // BI_RLE8
    Put32(strf, largest);
    Put32(strf, 0);
    Put32(strf, 0);
    Put32(strf, cCount);
    Put32(strf, 0);
    for (const auto& c : kPalette) {
        strf += char(c[2]);
        strf += char(c[1]);
        strf += char(c[0]);
        strf += char(0);
    }

    std::string movi;
    std::string idx1;
    for (const std::string& f : frames) {
        Put32(idx1, 0x63643030u); // "00dc"
        Put32(idx1, 0x10);        // key frame
        Put32(idx1, std::uint32_t(4 + movi.size()));
        Put32(idx1, std::uint32_t(f.size()));
        movi += Chunk("00dc", f);
    }

    const std::string hdrl =
        List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf)));
    const std::string riff =
        Chunk("RIFF", "AVI " + hdrl + List("movi", movi) + Chunk("idx1", idx1));

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(riff.data(), std::streamsize(riff.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
