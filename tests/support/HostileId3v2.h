#pragma once
// Hostile ID3v2 tags built byte by byte (TagLib cannot render them): chapter frames nested
// deep, compressed frames that inflate far past their size, 2.3 extended headers. Used by the
// tests and to seed the ID3v2 fuzz target.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane::test {

inline std::string SyncSafe4(std::uint32_t v) {
    std::string b;
    for (int shift = 21; shift >= 0; shift -= 7)
        b += static_cast<char>((v >> shift) & 0x7F);
    return b;
}

inline std::string Plain4(std::uint32_t v) {
    std::string b;
    for (int shift = 24; shift >= 0; shift -= 8)
        b += static_cast<char>((v >> shift) & 0xFF);
    return b;
}

// Header of a tag of Version (3 or 4) whose body (all after the header) is Body.
inline std::string TagOf(int Version, int Flags, const std::string& Body) {
    return std::string("ID3") + static_cast<char>(Version) + '\0' + static_cast<char>(Flags) +
           SyncSafe4(static_cast<std::uint32_t>(Body.size())) + Body;
}

// A Latin-1 text frame (2.3 sizes plain, 2.4 syncsafe).
inline std::string TextFrame(int Version, const std::string& Id, const std::string& Text) {
    const auto size = static_cast<std::uint32_t>(Text.size() + 1);
    return Id + (Version == 3 ? Plain4(size) : SyncSafe4(size)) + std::string(3, '\0') + Text;
}

// A 2.4 text frame compressed with zlib that says it inflates to Declared bytes (0: the
// truth) before the data.
inline std::string CompressedFrame(const std::string& Id, const std::string& Text,
                                   std::uint32_t Declared = 0) {
    const std::string plain = '\0' + Text;
    uLongf length = compressBound(plain.size());
    std::string packed(length, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &length,
              reinterpret_cast<const Bytef*>(plain.data()), plain.size(), 9);
    packed.resize(length);
    const std::uint32_t inflated = Declared ? Declared : static_cast<std::uint32_t>(plain.size());
    return Id + SyncSafe4(static_cast<std::uint32_t>(4 + packed.size())) + '\0' + '\x09' +
           SyncSafe4(inflated) + packed;
}

// A 2.4 tag: a TIT2 "Song", then CHAP (or CTOC) frames each holding the next, Depth deep, a
// TPE1 "Deep" innermost. Built from the outside in, since each frame's size counts all it holds.
inline std::string NestedChapters(std::size_t Depth, const std::string& Id = "CHAP") {
    const std::string inner = TextFrame(4, "TPE1", "Deep");
    // CHAP: "c\0", then start and end times and offsets; CTOC: "c\0", flags, no child entries.
    const std::string fields =
        Id == "CTOC" ? std::string("c\0\0\0", 4) : std::string("c\0", 2) + std::string(16, '\0');
    const std::size_t element = fields.size();
    std::string body = TextFrame(4, "TIT2", "Song");
    body.reserve(body.size() + Depth * (10 + element) + inner.size());
    for (std::size_t level = 0; level < Depth; ++level) {
        const std::size_t size = (Depth - level) * (10 + element) - 10 + inner.size();
        body += Id + SyncSafe4(static_cast<std::uint32_t>(size)) + std::string(2, '\0') + fields;
    }
    return TagOf(4, 0, body + inner);
}

// A 2.3 tag with an extended header (its size a plain number: 6, or 10 with a CRC), then
// TIT2 "Song" and TPE1 "Band"; Unsynchronised: the whole body so, a 0xFF in the title.
inline std::string ExtendedHeader23(bool Crc, bool Unsynchronised = false) {
    std::string ext = Plain4(Crc ? 10 : 6) + (Crc ? std::string("\x80\0", 2) : std::string(2, '\0')) +
                      Plain4(0) + (Crc ? std::string("\x12\x34\x56\x78") : std::string());
    const std::string title = Unsynchronised ? "Song\xff" : "Song";
    std::string body = ext + TextFrame(3, "TIT2", title) + TextFrame(3, "TPE1", "Band");
    if (Unsynchronised) {
        std::string encoded;
        for (char c : body) {
            encoded += c;
            if (static_cast<unsigned char>(c) == 0xFF)
                encoded += '\0';
        }
        body = encoded;
    }
    return TagOf(3, Unsynchronised ? 0xC0 : 0x40, body);
}

} // namespace veltrane::test
