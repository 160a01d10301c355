#pragma once
// LZRW1/KH: LZRW1 with 12-bit distances, 4-bit lengths and a run item, cut into blocks of
// 32783 bytes so every position in a block fits a 16-bit hash entry. Stored as "FileData"
// format B: "PMCS10", the 4-byte total T, then one record (4-byte size S, stored block) per
// block. All integers are little-endian; command words and items are high byte first.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

inline constexpr std::size_t kLzrwBlockSize = 32783;
// A block that does not shrink may pass its size by up to 6 bytes before the copied form
// replaces it.
inline constexpr std::size_t kLzrwOutputSize = kLzrwBlockSize + 8;
inline constexpr std::size_t kLzrwHashSize = 4096;
inline constexpr std::uint8_t kLzrwFlagCompressed = 0x40;
inline constexpr std::uint8_t kLzrwFlagCopied = 0x80;

// The hash table could not be allocated.
class ELzrw1KHCompressor : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Stored data that cannot be read back: "Wrong file type" for a foreign signature, a
// description of the fault for corrupt or truncated data.
class ECompressedData : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

using LzrwHashTable = std::span<std::int16_t, kLzrwHashSize>;

// Compresses Source (1 to kLzrwBlockSize bytes) into Dest (at least kLzrwOutputSize bytes);
// returns the stored size S. HashTable is scratch space, cleared here.
std::size_t Compression(std::span<const std::uint8_t> Source, std::span<std::uint8_t> Dest,
                        LzrwHashTable HashTable);

// Restores one stored block of S = Source.size() bytes into Dest; returns the byte count.
// Throws ECompressedData for anything that does not describe a block of at most Dest.size()
// bytes; never reads or writes outside the two spans.
std::size_t Decompression(std::span<const std::uint8_t> Source, std::span<std::uint8_t> Dest);

class TCompressStream {
  public:
    static constexpr std::string_view Signature = "PMCS10";

    // Throws ELzrw1KHCompressor when the hash table cannot be had.
    TCompressStream();

    // Writes format B from the next Count bytes of Source. Dest must be seekable (the total
    // is patched in at the end). Returns the number of bytes written.
    std::uint64_t Compress(std::istream& Source, std::ostream& Dest, std::uint64_t Count);
    // Reads one format B stream from Source and writes the file's bytes to Dest. Reads no
    // further than the stream's last record. Returns the number of bytes written.
    std::uint64_t Decompress(std::istream& Source, std::ostream& Dest);

    // In-memory forms of the two.
    std::string CompressBytes(std::string_view Data);
    std::string DecompressBytes(std::string_view Stored);

  private:
    std::vector<std::int16_t> HashTable_;
};

// Format A: the 4-byte size N, then the N bytes.
std::string StorePlain(std::string_view Data);
// Reads format A that spans the whole of Stored.
std::string RestorePlain(std::string_view Stored);
// The streamed forms: format A from the next Count bytes of Source, and the file's bytes from
// a format A of StoredSize bytes. Both copy through a fixed buffer; both throw
// std::runtime_error for a failed read or write and ECompressedData for a bad size.
void StorePlain(std::istream& Source, std::ostream& Dest, std::uint64_t Count);
void RestorePlain(std::istream& Source, std::ostream& Dest, std::uint64_t StoredSize);

} // namespace veltrane
