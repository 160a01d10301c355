#include "id3v2/Id3v2Check.h"

#include "id3v2/Id3v2Reader.h"

#include <zlib.h>

#include <cstdint>

namespace veltrane {

bool SyncSafe(std::string_view b, std::uint32_t& v) {
    v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (c & 0x80)
            return false;
        v = (v << 7) | c;
    }
    return true;
}

namespace {

constexpr std::size_t kHeaderSize = 10;

std::uint32_t BigEndian(std::string_view b, std::size_t n) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v = (v << 8) | static_cast<unsigned char>(b[i]);
    return v;
}

std::string SyncSafeBytes(std::uint32_t v) {
    std::string b;
    for (int shift = 21; shift >= 0; shift -= 7)
        b += static_cast<char>((v >> shift) & 0x7F);
    return b;
}

bool FrameIdChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Drops the zero that unsynchronisation put after each 0xFF.
std::string Resynchronised(std::string_view Bytes) {
    std::string plain;
    plain.reserve(Bytes.size());
    for (std::size_t i = 0; i < Bytes.size(); ++i) {
        plain += Bytes[i];
        if (static_cast<unsigned char>(Bytes[i]) == 0xFF && i + 1 < Bytes.size() &&
            Bytes[i + 1] == 0)
            ++i;
    }
    return plain;
}

enum class TInflated { Fits, TooBig, Unended };

// Inflates In into a small buffer that is used again and again, counting the bytes: never
// holds more than that buffer, whatever the stream would grow to.
TInflated BoundedInflate(std::string_view In, std::size_t Limit) {
    z_stream s{};
    if (inflateInit(&s) != Z_OK)
        return TInflated::Unended;
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(In.data()));
    s.avail_in = static_cast<uInt>(In.size());
    unsigned char out[16384];
    std::size_t total = 0;
    int rc = Z_OK;
    do {
        s.next_out = out;
        s.avail_out = sizeof out;
        rc = inflate(&s, Z_NO_FLUSH);
        total += sizeof out - s.avail_out;
    } while (rc == Z_OK && total <= Limit);
    inflateEnd(&s);
    if (total > Limit)
        return TInflated::TooBig;
    // A data error stops TagLib's inflating at the same byte, with no more than was counted.
    return rc == Z_BUF_ERROR ? TInflated::Unended : TInflated::Fits;
}

// Why a frame (header and data) must not be parsed, or empty. A compressed frame gives the
// size it inflates to in the four bytes before its data; Budget is what the tag's frames may
// still inflate to in all.
std::string Overinflates(std::string_view Frame, int Version, bool TagUnsynchronised,
                         std::size_t& Budget) {
    const auto flags = static_cast<unsigned char>(Frame[9]);
    if (!(Version == 3 ? flags & 0x80 : flags & 0x08))
        return {};
    std::string data(Frame.substr(kHeaderSize));
    if (Version == 4 && (TagUnsynchronised || (flags & 0x02)))
        data = Resynchronised(data);
    if (data.size() < 4)
        return {}; // TagLib takes nothing from it
    std::uint32_t declared = 0;
    if (Version == 3 || !SyncSafe(data, declared))
        declared = BigEndian(data, 4);
    if (declared > Budget)
        return "inflates to " + std::to_string(declared) + " bytes, past 16 MB";
    switch (BoundedInflate(std::string_view(data).substr(4), declared)) {
    case TInflated::TooBig:
        return "inflates past the size it declares";
    case TInflated::Unended:
        return "compressed data runs past the frame";
    case TInflated::Fits:
        break;
    }
    Budget -= declared;
    return {};
}

} // namespace

TId3v2Check CheckId3v2Tag(std::string_view Tag) {
    TId3v2Check r;
    const std::size_t length = Id3v2TagLength(Tag);
    if (length == 0 || length > Tag.size()) {
        r.Unreadable = "the tag is cut short";
        return r;
    }
    const int version = static_cast<unsigned char>(Tag[3]);
    const auto flags = static_cast<unsigned char>(Tag[5]);
    std::string header(Tag.substr(0, kHeaderSize));
    std::uint32_t bodySize = 0;
    SyncSafe(Tag.substr(6, 4), bodySize);
    std::string body(Tag.substr(kHeaderSize, bodySize));
    if (version == 2 && (flags & 0x40)) {
        // No scheme was ever defined; readers skip such tags.
        r.Unreadable = "the whole tag is compressed";
        return r;
    }
    if (version <= 3 && (flags & 0x80)) {
        // Frame sizes count the bytes without the inserted zeros.
        body = Resynchronised(body);
        header[5] = static_cast<char>(header[5] & ~0x80);
    }
    std::size_t pos = 0;
    if (version >= 3 && (flags & 0x40)) {
        // In 2.3 its size is a plain number that leaves out its own four bytes; in 2.4 it
        // is syncsafe and counts them.
        std::uint32_t safe = 0;
        std::size_t ext = body.size() + 1;
        if (body.size() >= 4 && version == 3)
            ext = std::size_t{BigEndian(body, 4)} + 4;
        else if (body.size() >= 4 && SyncSafe(body, safe))
            ext = safe;
        if (ext > body.size()) {
            r.Unreadable = "the extended header runs past the tag's end";
            return r;
        }
        if (version == 3) {
            body.erase(0, ext);
            header[5] = static_cast<char>(header[5] & ~0x40);
        } else {
            pos = ext;
        }
    }
    // A 2.4 footer repeats the header's size, which changes here: it is left out.
    header[5] = static_cast<char>(header[5] & ~0x10);
    const bool tagUnsynchronised = version == 4 && (flags & 0x80);
    const std::size_t headerSize = version == 2 ? 6 : 10;
    const std::size_t idSize = version == 2 ? 3 : 4;
    std::size_t budget = kMaxId3v2Bytes;
    std::string kept = body.substr(0, pos);
    while (pos + headerSize <= body.size()) {
        const std::string_view frame(body.data() + pos, headerSize);
        if (frame[0] == 0)
            break; // padding
        bool named = true;
        for (std::size_t i = 0; i < idSize; ++i)
            named = named && FrameIdChar(frame[i]);
        if (!named) {
            // TagLib stops here and keeps what came before.
            if (r.Frames == 0)
                r.Unreadable = "no frame where the first one should be";
            break;
        }
        const std::size_t room = body.size() - pos - headerSize;
        std::size_t size = 0;
        if (version == 2) {
            size = BigEndian(frame.substr(3), 3);
        } else if (version == 3) {
            size = BigEndian(frame.substr(4), 4);
        } else {
            // Some writers put plain sizes into 2.4 tags; TagLib takes whichever fits.
            std::uint32_t safe = 0;
            const bool isSafe = SyncSafe(frame.substr(4), safe);
            const std::size_t plain = BigEndian(frame.substr(4), 4);
            size = isSafe && safe <= room ? safe : plain;
        }
        if (size > room) {
            // TagLib would keep the frames before it quietly: the tag is damaged.
            r.Unreadable = "a frame runs past the tag's end";
            return r;
        }
        ++r.Frames;
        const std::string_view whole(body.data() + pos, headerSize + size);
        const std::string why =
            version == 2 ? std::string() : Overinflates(whole, version, tagUnsynchronised, budget);
        if (why.empty())
            kept += whole;
        else
            r.Unsafe.push_back(std::string(frame.substr(0, idSize)) + ": " + why);
        pos += headerSize + size;
    }
    kept += std::string_view(body).substr(pos);
    r.Tag = header.substr(0, 6) + SyncSafeBytes(static_cast<std::uint32_t>(kept.size())) + kept;
    return r;
}

bool TSafeFrameFactory::updateFrame(THeader* Header) const {
    const TagLib::ByteVector id = Header->frameID();
    if (id == "CHAP" || id == "CTOC")
        return false;
    return FrameFactory::updateFrame(Header);
}

} // namespace veltrane
