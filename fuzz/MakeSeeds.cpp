// Writes a small seed corpus of valid "FileData" streams for the decompressor fuzz target.

#include "components/Lzrw1Kh.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    veltrane::TCompressStream cs;
    std::mt19937 rng(1);
    std::string text;
    while (text.size() < 40000)
        text += "Title\tArtist\tAlbum\t1999\tRock\r\n" +
                std::string(rng() % 40, char('a' + rng() % 26));
    std::string noise(33000, '\0');
    for (char& c : noise)
        c = char(rng());
    const std::string samples[] = {
        "",
        "A",
        "abc",
        std::string(100, 'Z'),
        std::string(15, 'q'),
        text.substr(0, 300),
        text,
        noise.substr(0, 64),
        noise,
        std::string(32783, 'x') + "y",
    };
    int n = 0;
    for (const std::string& s : samples) {
        std::ofstream out(std::string(argv[1]) + "/seed" + std::to_string(n++), std::ios::binary);
        out << cs.CompressBytes(s);
        if (!out)
            return 1;
    }
    return 0;
}
