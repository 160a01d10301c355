#include "components/Lzrw1Kh.h"

#include <algorithm>
#include <array>
#include <istream>
#include <new>
#include <ostream>
#include <sstream>

namespace veltrane {

namespace {

constexpr std::size_t kMaxRun = 4095;
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMaxDistance = 4095;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
constexpr std::uint64_t kMaxTotal = 0xFFFFFFFFu;

[[noreturn]] void Corrupt(const std::string& what) {
    throw ECompressedData("Compressed data is corrupt: " + what);
}

std::uint32_t GetLE32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void PutLE32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

void WriteLE32(std::ostream& out, std::uint32_t v) {
    std::uint8_t b[4];
    PutLE32(b, v);
    out.write(reinterpret_cast<const char*>(b), 4);
}

// Reads exactly n bytes or reports how many arrived.
std::size_t ReadFully(std::istream& in, std::uint8_t* p, std::size_t n) {
    in.read(reinterpret_cast<char*>(p), std::streamsize(n));
    return std::size_t(in.gcount());
}

std::uint32_t Hash(const std::uint8_t* p) {
    const std::uint32_t h = ((((std::uint32_t(p[0]) << 4) ^ p[1]) << 4) ^ p[2]) * 40543u;
    return (h >> 4) & 0xFFF;
}

void CopyBytes(std::istream& in, std::ostream& out, std::uint64_t n) {
    std::vector<char> buffer(65536);
    while (n > 0) {
        const std::size_t chunk = std::size_t(std::min<std::uint64_t>(n, buffer.size()));
        in.read(buffer.data(), std::streamsize(chunk));
        if (std::size_t(in.gcount()) != chunk)
            throw std::runtime_error("Read beyond end of file");
        out.write(buffer.data(), std::streamsize(chunk));
        if (!out)
            throw std::runtime_error("Write failed");
        n -= chunk;
    }
}

} // namespace

std::size_t Compression(std::span<const std::uint8_t> Source, std::span<std::uint8_t> Dest,
                        LzrwHashTable HashTable) {
    const std::size_t n = Source.size();
    if (n == 0 || n > kLzrwBlockSize || Dest.size() < n + 8)
        throw std::invalid_argument("Compression: block size out of range");
    const std::uint8_t* src = Source.data();
    std::uint8_t* dst = Dest.data();

    std::fill(HashTable.begin(), HashTable.end(), std::int16_t(-1));
    dst[0] = kLzrwFlagCompressed;
    std::size_t y = 3;
    std::size_t commandPos = 1;
    unsigned bits = 0;
    std::uint16_t command = 0;
    std::size_t x = 0;

    while (x < n && y <= n) {
        if (bits == 16) {
            dst[commandPos] = std::uint8_t(command >> 8);
            dst[commandPos + 1] = std::uint8_t(command);
            commandPos = y;
            y += 2;
            bits = 0;
            command = 0;
        }
        ++bits;
        command = std::uint16_t(command << 1);

        const std::uint8_t b = src[x];
        std::size_t run = 1;
        while (run < kMaxRun && x + run < n && src[x + run] == b)
            ++run;
        if (run >= kMinRun) {
            const std::size_t v = run - kMinRun;
            dst[y] = 0;
            dst[y + 1] = std::uint8_t(v >> 8);
            dst[y + 2] = std::uint8_t(v);
            dst[y + 3] = b;
            y += 4;
            x += run;
            command |= 1;
            continue;
        }

        if (n - x >= kMinMatch) {
            const std::uint32_t h = Hash(src + x);
            const int candidate = HashTable[h];
            // Positions from 32768 on wrap to negative values and are never usable.
            HashTable[h] = static_cast<std::int16_t>(static_cast<std::uint16_t>(x));
            if (candidate >= 0 && x - std::size_t(candidate) <= kMaxDistance) {
                const std::size_t c = std::size_t(candidate);
                const std::size_t limit = std::min(kMaxMatch, n - x);
                std::size_t len = 0;
                while (len < limit && src[c + len] == src[x + len])
                    ++len;
                if (len >= kMinMatch) {
                    const std::size_t v = (x - c) * 16 + (len - kMinMatch);
                    dst[y] = std::uint8_t(v >> 8);
                    dst[y + 1] = std::uint8_t(v);
                    y += 2;
                    x += len;
                    command |= 1;
                    continue;
                }
            }
        }
        dst[y++] = b;
        ++x;
    }
    command = std::uint16_t(command << (16 - bits));
    dst[commandPos] = std::uint8_t(command >> 8);
    dst[commandPos + 1] = std::uint8_t(command);

    if (y > n) {
        dst[0] = kLzrwFlagCopied;
        std::copy(src, src + n, dst + 1);
        return n + 1;
    }
    return y;
}

std::size_t Decompression(std::span<const std::uint8_t> Source, std::span<std::uint8_t> Dest) {
    const std::size_t s = Source.size();
    const std::uint8_t* src = Source.data();
    std::uint8_t* dst = Dest.data();
    const std::size_t capacity = Dest.size();
    if (s < 2)
        Corrupt("block of " + std::to_string(s) + " bytes");

    if (src[0] == kLzrwFlagCopied) {
        const std::size_t n = s - 1;
        if (n > capacity)
            Corrupt("copied block larger than a block");
        std::copy(src + 1, src + s, dst);
        return n;
    }
    if (src[0] != kLzrwFlagCompressed)
        Corrupt("unknown block flag");
    if (s < 4)
        Corrupt("compressed block without items");

    std::size_t in = 3;
    std::size_t out = 0;
    std::uint16_t command = std::uint16_t(src[1] << 8 | src[2]);
    unsigned bitsLeft = 16;
    while (in < s) {
        if (bitsLeft == 0) {
            if (s - in < 2)
                Corrupt("truncated command word");
            command = std::uint16_t(src[in] << 8 | src[in + 1]);
            in += 2;
            bitsLeft = 16;
            // A block never ends on a command word.
            if (in >= s)
                Corrupt("command word without items");
        }
        if ((command & 0x8000) == 0) {
            if (out >= capacity)
                Corrupt("literal past the end of the block");
            dst[out++] = src[in++];
        } else {
            if (s - in < 2)
                Corrupt("truncated copy item");
            const std::size_t offset = std::size_t(src[in]) << 4 | src[in + 1] >> 4;
            if (offset == 0) {
                if (s - in < 4)
                    Corrupt("truncated run item");
                const std::size_t len = (std::size_t(src[in + 1]) << 8 | src[in + 2]) + kMinRun;
                if (len > capacity - out)
                    Corrupt("run past the end of the block");
                std::fill(dst + out, dst + out + len, src[in + 3]);
                out += len;
                in += 4;
            } else {
                const std::size_t len = (src[in + 1] & 0x0F) + kMinMatch;
                if (offset > out)
                    Corrupt("copy before the start of the block");
                if (len > capacity - out)
                    Corrupt("copy past the end of the block");
                // Byte by byte: a copy may overlap the bytes it produces.
                for (std::size_t i = 0; i < len; ++i, ++out)
                    dst[out] = dst[out - offset];
                in += 2;
            }
        }
        command = std::uint16_t(command << 1);
        --bitsLeft;
    }
    return out;
}

TCompressStream::TCompressStream() {
    try {
        HashTable_.resize(kLzrwHashSize);
    } catch (const std::bad_alloc&) {
        throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
    }
}

std::uint64_t TCompressStream::Compress(std::istream& Source, std::ostream& Dest,
                                        std::uint64_t Count) {
    std::vector<std::uint8_t> input(kLzrwBlockSize);
    std::vector<std::uint8_t> output(kLzrwOutputSize);
    Dest.write(Signature.data(), std::streamsize(Signature.size()));
    const std::ostream::pos_type totalPos = Dest.tellp();
    if (totalPos == std::ostream::pos_type(-1))
        throw std::runtime_error("Compress: destination is not seekable");
    WriteLE32(Dest, 0);

    std::uint64_t total = 0;
    while (Count > 0) {
        const std::size_t n = std::size_t(std::min<std::uint64_t>(Count, kLzrwBlockSize));
        if (ReadFully(Source, input.data(), n) != n)
            throw std::runtime_error("Read beyond end of file");
        const std::size_t s = Compression(std::span(input.data(), n), output,
                                          LzrwHashTable(HashTable_.data(), kLzrwHashSize));
        total += 4 + s;
        if (total > kMaxTotal)
            throw std::runtime_error("File too large to store (over 4 GB compressed)");
        WriteLE32(Dest, std::uint32_t(s));
        Dest.write(reinterpret_cast<const char*>(output.data()), std::streamsize(s));
        Count -= n;
    }
    const std::ostream::pos_type endPos = Dest.tellp();
    Dest.seekp(totalPos);
    WriteLE32(Dest, std::uint32_t(total));
    Dest.seekp(endPos);
    if (!Dest)
        throw std::runtime_error("Write failed");
    return 10 + total;
}

std::uint64_t TCompressStream::Decompress(std::istream& Source, std::ostream& Dest) {
    std::uint8_t head[10];
    if (ReadFully(Source, head, 6) != 6 ||
        std::string_view(reinterpret_cast<const char*>(head), 6) != Signature)
        throw ECompressedData("Wrong file type");
    if (ReadFully(Source, head + 6, 4) != 4)
        Corrupt("truncated header");
    std::uint64_t total = GetLE32(head + 6);

    std::vector<std::uint8_t> stored(kLzrwBlockSize + 1);
    std::vector<std::uint8_t> block(kLzrwBlockSize);
    std::uint64_t written = 0;
    bool lastBlockShort = false;
    while (total > 0) {
        std::uint8_t sizeBytes[4];
        if (total < 4)
            Corrupt("total size disagrees with the blocks");
        if (ReadFully(Source, sizeBytes, 4) != 4)
            Corrupt("truncated block record");
        const std::uint32_t s = GetLE32(sizeBytes);
        if (s > stored.size())
            Corrupt("stored block larger than a block");
        if (std::uint64_t(s) + 4 > total)
            Corrupt("total size disagrees with the blocks");
        if (ReadFully(Source, stored.data(), s) != s)
            Corrupt("truncated block");
        // Only the last block may be shorter than a full block.
        if (lastBlockShort)
            Corrupt("short block before the last one");
        const std::size_t n = Decompression(std::span(stored.data(), s), block);
        if (n == 0)
            Corrupt("empty block");
        lastBlockShort = n < kLzrwBlockSize;
        Dest.write(reinterpret_cast<const char*>(block.data()), std::streamsize(n));
        if (!Dest)
            throw std::runtime_error("Write failed");
        written += n;
        total -= std::uint64_t(s) + 4;
    }
    return written;
}

std::string TCompressStream::CompressBytes(std::string_view Data) {
    std::istringstream in{std::string(Data)};
    std::ostringstream out;
    Compress(in, out, Data.size());
    return std::move(out).str();
}

std::string TCompressStream::DecompressBytes(std::string_view Stored) {
    std::istringstream in{std::string(Stored)};
    std::ostringstream out;
    Decompress(in, out);
    if (in.peek() != std::char_traits<char>::eof())
        Corrupt("bytes after the last block");
    return std::move(out).str();
}

std::string StorePlain(std::string_view Data) {
    if (Data.size() > kMaxTotal)
        throw std::runtime_error("File too large to store (over 4 GB)");
    std::string out(4, '\0');
    PutLE32(reinterpret_cast<std::uint8_t*>(out.data()), std::uint32_t(Data.size()));
    out.append(Data);
    return out;
}

std::string RestorePlain(std::string_view Stored) {
    if (Stored.size() < 4)
        Corrupt("truncated size");
    const std::uint32_t n = GetLE32(reinterpret_cast<const std::uint8_t*>(Stored.data()));
    if (Stored.size() - 4 != n)
        Corrupt("size " + std::to_string(n) + " disagrees with " +
                std::to_string(Stored.size() - 4) + " stored bytes");
    return std::string(Stored.substr(4));
}

void StorePlain(std::istream& Source, std::ostream& Dest, std::uint64_t Count) {
    if (Count > kMaxTotal)
        throw std::runtime_error("File too large to store (over 4 GB)");
    WriteLE32(Dest, std::uint32_t(Count));
    CopyBytes(Source, Dest, Count);
}

void RestorePlain(std::istream& Source, std::ostream& Dest, std::uint64_t StoredSize) {
    std::uint8_t head[4];
    if (StoredSize < 4 || ReadFully(Source, head, 4) != 4)
        Corrupt("truncated size");
    const std::uint32_t n = GetLE32(head);
    if (StoredSize - 4 != n)
        Corrupt("size " + std::to_string(n) + " disagrees with " +
                std::to_string(StoredSize - 4) + " stored bytes");
    CopyBytes(Source, Dest, n);
}

} // namespace veltrane
