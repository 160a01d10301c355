#include "components/Lzrw1Kh.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace veltrane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes CompressBlock(const Bytes& in) {
    std::array<std::int16_t, kLzrwHashSize> table{};
    Bytes out(kLzrwOutputSize);
    out.resize(Compression(in, out, table));
    return out;
}

Bytes DecompressBlock(const Bytes& stored) {
    Bytes out(kLzrwBlockSize);
    out.resize(Decompression(stored, out));
    return out;
}

std::string RandomBytes(std::size_t n, std::uint32_t seed, int alphabet = 256) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = char(rng() % unsigned(alphabet));
    return s;
}

// Text-like data with repeats, runs and noise, so every item kind appears.
std::string StructuredBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    const std::string words[] = {"Title ", "Artist ", "Album ", "1999 ", "\t", "Rock\r\n"};
    std::string s;
    while (s.size() < n) {
        switch (rng() % 4) {
        case 0:
            s += words[rng() % 6];
            break;
        case 1:
            s.append(5 + rng() % 300, char(rng()));
            break;
        case 2:
            s += char(rng());
            break;
        default:
            if (s.size() > 20)
                s += s.substr(s.size() - 20 + rng() % 10, 3 + rng() % 16);
        }
    }
    s.resize(n);
    return s;
}

std::uint32_t Le32(const std::string& s, std::size_t at) {
    return std::uint8_t(s[at]) | std::uint8_t(s[at + 1]) << 8 | std::uint8_t(s[at + 2]) << 16 |
           std::uint32_t(std::uint8_t(s[at + 3])) << 24;
}

TEST(Lzrw1KhBlock, HundredEqualBytesGiveOneRunItem) {
    EXPECT_EQ(CompressBlock(Bytes(100, 'Z')), (Bytes{0x40, 0x80, 0x00, 0x00, 0x00, 0x54, 'Z'}));
    EXPECT_EQ(DecompressBlock(CompressBlock(Bytes(100, 'Z'))), Bytes(100, 'Z'));
}

TEST(Lzrw1KhBlock, FifteenEqualBytesGiveLiteralAndCopy) {
    EXPECT_EQ(CompressBlock(Bytes(15, 7)), (Bytes{0x40, 0x40, 0x00, 7, 0x00, 0x1B}));
}

TEST(Lzrw1KhBlock, ThreeDifferentBytesAreStoredCopied) {
    const Bytes stored = CompressBlock(Bytes{1, 2, 3});
    EXPECT_EQ(stored, (Bytes{0x80, 1, 2, 3}));
    EXPECT_EQ(DecompressBlock(stored), (Bytes{1, 2, 3}));
}

TEST(Lzrw1KhBlock, OverlappingCopyRepeatsTheLiteral) {
    // Literal 'A', then a copy of distance 1 and length 5.
    EXPECT_EQ(DecompressBlock(Bytes{0x40, 0x40, 0x00, 'A', 0x00, 0x12}), Bytes(6, 'A'));
}

TEST(Lzrw1KhBlock, LongestRunAndLongestCopy) {
    Bytes in(4095, 9);
    in.push_back(1);
    EXPECT_EQ(DecompressBlock(CompressBlock(in)), in);
    Bytes pattern;
    for (int i = 0; i < 200; ++i)
        pattern.push_back(std::uint8_t(i * 37));
    pattern.insert(pattern.end(), pattern.begin(), pattern.end());
    EXPECT_EQ(DecompressBlock(CompressBlock(pattern)), pattern);
}

TEST(Lzrw1KhBlock, RejectsEveryMalformedBlock) {
    const Bytes bad[] = {
        {},                                              // empty
        {0x80},                                          // copied, no bytes
        {0x41, 0x00, 0x00, 'A'},                         // unknown flag
        {0x40, 0x00, 0x00},                              // no items
        {0x40, 0x80, 0x00, 0x00, 0x12},                  // copy before the start
        {0x40, 0x40, 0x00, 'A', 0x00},                   // truncated copy
        {0x40, 0x80, 0x00, 0x00, 0x00},                  // truncated run
        {0x40, 0x80, 0x00, 0x00, 0x7F, 0xFF, 'x', 0, 0}, // run too long for the block
    };
    for (const Bytes& b : bad)
        EXPECT_THROW(DecompressBlock(b), ECompressedData) << ::testing::PrintToString(b);

    // A run longer than a small destination is refused, not written past it.
    Bytes small(50);
    const Bytes run100{0x40, 0x80, 0x00, 0x00, 0x00, 0x54, 'Z'};
    EXPECT_THROW(Decompression(run100, small), ECompressedData);
    // Copies past a full block.
    Bytes full = CompressBlock(Bytes(kLzrwBlockSize, 'q'));
    full.insert(full.end(), {0x00, 0x1F}); // hand-made item after the runs
    EXPECT_THROW(DecompressBlock(full), ECompressedData);
}

TEST(Lzrw1KhStream, BlockBoundaries) {
    TCompressStream cs;
    const std::string one = RandomBytes(32783, 1);
    const std::string stored1 = cs.CompressBytes(one);
    EXPECT_EQ(stored1.substr(0, 6), "PMCS10");
    EXPECT_EQ(Le32(stored1, 6), stored1.size() - 10);
    EXPECT_EQ(Le32(stored1, 10), stored1.size() - 14); // one record
    EXPECT_EQ(stored1.size(), 14 + 32784u);            // random data is stored copied

    const std::string two = RandomBytes(32784, 2);
    const std::string stored2 = cs.CompressBytes(two);
    const std::uint32_t s1 = Le32(stored2, 10);
    ASSERT_EQ(s1, 32784u);
    EXPECT_EQ(Le32(stored2, 14 + s1), 2u); // second block: 0x80 and the 1 byte
    EXPECT_EQ(stored2.size(), 14 + s1 + 4 + 2);
    EXPECT_EQ(cs.DecompressBytes(stored2), two);
}

TEST(Lzrw1KhStream, RoundTripsManySizes) {
    TCompressStream cs;
    const std::size_t sizes[] = {0,     1,     2,     3,     15,     16,    17,
                                 4095,  4096,  32767, 32768, 32769,  32782, 32783,
                                 32784, 65566, 65567, 98349, 100000, 300001};
    for (std::size_t n : sizes) {
        for (const std::string& data :
             {RandomBytes(n, std::uint32_t(n)), RandomBytes(n, 3, 4), StructuredBytes(n, 5)}) {
            const std::string stored = cs.CompressBytes(data);
            ASSERT_EQ(cs.DecompressBytes(stored), data) << "size " << n;
        }
    }
}

TEST(Lzrw1KhStream, RecompressingGivesTheSameBytes) {
    TCompressStream cs;
    for (std::uint32_t seed = 0; seed < 4; ++seed) {
        const std::string stored = cs.CompressBytes(StructuredBytes(150000, seed));
        EXPECT_EQ(cs.CompressBytes(cs.DecompressBytes(stored)), stored);
    }
}

TEST(Lzrw1KhStream, WrongSignatureAndCorruption) {
    TCompressStream cs;
    const std::string stored = cs.CompressBytes(StructuredBytes(70000, 9));
    try {
        cs.DecompressBytes("PMCS11" + stored.substr(6));
        FAIL();
    } catch (const ECompressedData& e) {
        EXPECT_STREQ(e.what(), "Wrong file type");
    }
    EXPECT_THROW(cs.DecompressBytes("PMC"), ECompressedData);
    // Every truncation fails cleanly.
    for (std::size_t cut = 6; cut < stored.size(); cut += 97)
        EXPECT_THROW(cs.DecompressBytes(stored.substr(0, cut)), ECompressedData) << cut;
    // A total that disagrees with the records.
    std::string t = stored;
    t[6] = char(t[6] + 1);
    EXPECT_THROW(cs.DecompressBytes(t), ECompressedData);
    EXPECT_THROW(cs.DecompressBytes(stored + "x"), ECompressedData);
    // Flipped bytes either fail or decode to something; they never crash.
    std::mt19937 rng(4);
    for (int i = 0; i < 300; ++i) {
        std::string c = stored;
        c[10 + rng() % (c.size() - 10)] ^= char(1 + rng() % 255);
        try {
            cs.DecompressBytes(c);
        } catch (const ECompressedData&) {
        }
    }
}

TEST(Lzrw1KhStream, ShortBlockMustBeTheLast) {
    TCompressStream cs;
    const std::string a = cs.CompressBytes("abc");
    // Two records of 3-byte blocks: only a shorter last block is allowed.
    std::string rec = a.substr(10);
    std::string twice = "PMCS10";
    const std::uint32_t t = std::uint32_t(rec.size() * 2);
    twice += std::string{char(t), char(t >> 8), char(t >> 16), char(t >> 24)};
    twice += rec + rec;
    EXPECT_THROW(cs.DecompressBytes(twice), ECompressedData);
}

TEST(Lzrw1KhStream, StreamsStopAfterTheLastRecord) {
    TCompressStream cs;
    std::stringstream io;
    std::istringstream src("hello hello hello hello");
    cs.Compress(src, io, 23);
    io << "TRAILER";
    std::ostringstream out;
    EXPECT_EQ(cs.Decompress(io, out), 23u);
    EXPECT_EQ(out.str(), "hello hello hello hello");
    std::string rest;
    io >> rest;
    EXPECT_EQ(rest, "TRAILER");
}

TEST(PlainFormat, RoundTripAndSizeCheck) {
    const std::string stored = StorePlain("abc");
    EXPECT_EQ(stored, std::string("\x03\0\0\0abc", 7));
    EXPECT_EQ(RestorePlain(stored), "abc");
    EXPECT_THROW(RestorePlain(stored.substr(0, 6)), ECompressedData);
    EXPECT_THROW(RestorePlain("ab"), ECompressedData);
}

} // namespace
} // namespace veltrane
