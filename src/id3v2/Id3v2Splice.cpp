#include "id3v2/Id3v2Splice.h"

#include "id3v2/Id3v2Check.h"
#include "id3v2/Id3v2Reader.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace veltrane {

namespace {

constexpr std::size_t kHeader = 10;

std::uint32_t BigEndian(std::string_view b) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(b[i]);
    return v;
}

std::string SyncSafeBytes(std::uint32_t v) {
    std::string b(4, '\0');
    for (int i = 3; i >= 0; --i) {
        b[static_cast<std::size_t>(i)] = static_cast<char>(v & 0x7f);
        v >>= 7;
    }
    return b;
}

std::string BigEndianBytes(std::uint32_t v) {
    std::string b(4, '\0');
    for (int i = 3; i >= 0; --i) {
        b[static_cast<std::size_t>(i)] = static_cast<char>(v & 0xff);
        v >>= 8;
    }
    return b;
}

bool FrameIdChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// --- Text: UTF-8 in memory, the frame's encoding on disk.

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Code points of UTF-8 text; a byte that starts no valid sequence stands for U+FFFD.
std::vector<char32_t> CodePoints(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        bool ok = n != 0 && i + n <= s.size();
        for (std::size_t k = 1; ok && k < n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            ok = (d & 0xC0) == 0x80;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (ok && (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        out.push_back(ok ? cp : 0xFFFD);
        i += ok ? n : 1;
    }
    return out;
}

std::string Utf16LeWithBom(std::string_view utf8) {
    std::string out = "\xFF\xFE";
    const auto put = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    for (char32_t c : CodePoints(utf8)) {
        if (c >= 0x10000) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

// The text of Bytes in ID3v2 encoding Encoding up to its first terminator; Used gets the bytes
// taken with the terminator.
std::string DecodeText(std::string_view b, std::uint8_t Encoding, std::size_t* Used = nullptr) {
    std::string out;
    if (Encoding == 0 || Encoding == 3) {
        const std::size_t end = std::min(b.find('\0'), b.size());
        if (Used)
            *Used = std::min(end + 1, b.size());
        if (Encoding == 3)
            return std::string(b.substr(0, end));
        for (std::size_t i = 0; i < end; ++i)
            AppendUtf8(out, static_cast<unsigned char>(b[i]));
        return out;
    }
    bool little = false;
    std::size_t i = 0;
    if (Encoding == 1 && b.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(b[0]), b1 = static_cast<unsigned char>(b[1]);
        if (b0 == 0xFF && b1 == 0xFE) {
            little = true;
            i = 2;
        } else if (b0 == 0xFE && b1 == 0xFF) {
            i = 2;
        }
    }
    char32_t high = 0;
    for (; i + 1 < b.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(b[i + (little ? 0 : 1)]);
        const auto hi = static_cast<unsigned char>(b[i + (little ? 1 : 0)]);
        const char32_t u = (char32_t(hi) << 8) | lo;
        if (u == 0) {
            i += 2;
            break;
        }
        if (u >= 0xD800 && u < 0xDC00) {
            high = u;
            continue;
        }
        if (u >= 0xDC00 && u < 0xE000) {
            if (high)
                AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00));
            high = 0;
            continue;
        }
        high = 0;
        AppendUtf8(out, u);
    }
    if (Used)
        *Used = std::min(i, b.size());
    return out;
}

// A frame's data as it stands on disk, when it is stored plainly (no compression,
// encryption, grouping or unsynchronisation of its own).
std::optional<std::string_view> PlainData(std::string_view Region, const TV2FrameSpan& F,
                                          std::uint8_t Major) {
    const auto format = static_cast<unsigned char>(Region[F.Offset + 9]);
    std::string_view data = Region.substr(F.Offset + kHeader, F.Size - kHeader);
    if (Major == 3)
        return format & 0xE0 ? std::nullopt : std::optional(data);
    if (format & 0x4E)
        return std::nullopt;
    if (format & 0x01) { // a data length indicator only
        if (data.size() < 4)
            return std::nullopt;
        data.remove_prefix(4);
    }
    return data;
}

// The main comment frame: an empty description.
bool MainComment(std::string_view Data) {
    if (Data.size() < 4)
        return false;
    const auto encoding = static_cast<std::uint8_t>(Data[0]);
    if (encoding > 3)
        return false;
    std::size_t used = 0;
    const std::string description = DecodeText(Data.substr(4), encoding, &used);
    return description.empty();
}

// Index of the field's frame in Layout.Frames, or npos.
std::size_t FindFrame(std::string_view Region, const TV2Layout& Layout, TV2Field Field) {
    const std::string_view id = V2FrameId(Field, Layout.Major);
    for (std::size_t k = 0; k < Layout.Frames.size(); ++k) {
        const TV2FrameSpan& f = Layout.Frames[k];
        if (f.Id != id)
            continue;
        if (Field != TV2Field::vfComment)
            return k;
        const auto data = PlainData(Region, f, Layout.Major);
        if (data && MainComment(*data))
            return k;
    }
    return std::string::npos;
}

std::string FrameText(std::string_view Region, const TV2FrameSpan& F, std::uint8_t Major,
                      bool Comment) {
    const auto data = PlainData(Region, F, Major);
    if (!data || data->empty())
        return {};
    const auto encoding = static_cast<std::uint8_t>((*data)[0]);
    if (encoding > 3)
        return {};
    std::string_view rest = data->substr(1);
    if (Comment) {
        if (rest.size() < 3)
            return {};
        rest.remove_prefix(3);
        std::size_t used = 0;
        DecodeText(rest, encoding, &used);
        rest.remove_prefix(used);
    }
    return DecodeText(rest, encoding);
}

std::string FrameBytes(std::string_view Id, std::uint8_t Major, std::uint8_t StatusFlags,
                       const std::string& Data) {
    std::string f(Id);
    const auto size = static_cast<std::uint32_t>(Data.size());
    f += Major == 4 ? SyncSafeBytes(size) : BigEndianBytes(size);
    f += static_cast<char>(StatusFlags);
    f += '\0';
    f += Data;
    return f;
}

// A text in the version's Unicode encoding: UTF-16 with a byte-order mark in v2.3, UTF-8 in
// v2.4; Terminated closes it (a comment's description).
std::string EncodedText(std::string_view Text, std::uint8_t Major, bool Terminated) {
    if (Major == 4)
        return std::string(Text) + (Terminated ? std::string(1, '\0') : std::string());
    return Utf16LeWithBom(Text) + (Terminated ? std::string(2, '\0') : std::string());
}

std::string RenderFrame(TV2Field Field, std::string_view Text, std::uint8_t Major,
                        std::string_view OldLanguage, std::uint8_t StatusFlags) {
    const char encoding = Major == 4 ? '\x03' : '\x01';
    std::string data(1, encoding);
    if (Field == TV2Field::vfComment) {
        data += OldLanguage.size() == 3 ? std::string(OldLanguage) : std::string("eng");
        data += EncodedText("", Major, true);
    }
    data += EncodedText(Text, Major, false);
    return FrameBytes(V2FrameId(Field, Major), Major, StatusFlags, data);
}

// --- Patches.

void PutU64(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xff);
}

bool TakeU64(std::string_view& in, std::uint64_t& v) {
    if (in.size() < 8)
        return false;
    v = 0;
    for (int i = 0; i < 8; ++i)
        v |= std::uint64_t(static_cast<unsigned char>(in[static_cast<std::size_t>(i)])) << (8 * i);
    in.remove_prefix(8);
    return true;
}

class TPatch {
  public:
    void Copy(std::size_t Offset, std::size_t Length) {
        if (Length == 0)
            return;
        if (lastCopyEnd_ == Offset && !ops_.empty() && ops_.back().Kind == 'C') {
            ops_.back().Length += Length;
        } else {
            ops_.push_back({'C', Offset, Length, {}});
        }
        lastCopyEnd_ = Offset + Length;
        size_ += Length;
    }
    void Literal(std::string_view Bytes) {
        if (Bytes.empty())
            return;
        if (Bytes.find_first_not_of('\0') == std::string_view::npos)
            return Zeros(Bytes.size());
        ops_.push_back({'L', 0, Bytes.size(), std::string(Bytes)});
        lastCopyEnd_ = std::string::npos;
        size_ += Bytes.size();
    }
    void Zeros(std::size_t Length) {
        if (Length == 0)
            return;
        ops_.push_back({'Z', 0, Length, {}});
        lastCopyEnd_ = std::string::npos;
        size_ += Length;
    }
    std::size_t Size() const { return size_; }
    std::string Encode() const {
        std::string out;
        for (const Op& op : ops_) {
            out += op.Kind;
            if (op.Kind == 'C')
                PutU64(out, op.Offset);
            PutU64(out, op.Length);
            if (op.Kind == 'L')
                out += op.Bytes;
        }
        return out;
    }

  private:
    struct Op {
        char Kind;
        std::size_t Offset, Length;
        std::string Bytes;
    };
    std::vector<Op> ops_;
    std::size_t lastCopyEnd_ = std::string::npos;
    std::size_t size_ = 0;
};

// The region hash, a byte (or a run of zero bytes) at a time, so that two can be taken side
// by side: each byte waits for the multiply before it, and two chains keep the processor busy.
class THashing {
  public:
    explicit THashing(std::string_view Bytes) : bytes_(Bytes) {}
    bool Done() const { return at_ == bytes_.size(); }
    std::uint64_t Hash() const { return hash_; }
    void Step() {
        const auto c = static_cast<unsigned char>(bytes_[at_]);
        if (c == 0 && bytes_.size() - at_ >= kRun &&
            bytes_.substr(at_, kRun).find_first_not_of('\0') == std::string_view::npos) {
            // A run of zero bytes (padding) only multiplies by the prime, once a byte: by its
            // power at once, the same hash for a fraction of the work.
            std::size_t end = at_ + kRun;
            while (end < bytes_.size() && bytes_[end] == '\0')
                ++end;
            std::uint64_t power = 1, base = kPrime;
            for (std::size_t e = end - at_; e != 0; e >>= 1, base *= base)
                if (e & 1)
                    power *= base;
            hash_ *= power;
            at_ = end;
            return;
        }
        hash_ = (hash_ ^ c) * kPrime;
        ++at_;
    }

  private:
    static constexpr std::uint64_t kPrime = 1099511628211ull;
    static constexpr std::size_t kRun = 16;
    std::string_view bytes_;
    std::size_t at_ = 0;
    std::uint64_t hash_ = 1469598103934665603ull;
};

// The hashes of A and B, taken side by side.
std::pair<std::uint64_t, std::uint64_t> HashBoth(std::string_view A, std::string_view B) {
    THashing a(A), b(B);
    while (!a.Done() && !b.Done()) {
        a.Step();
        b.Step();
    }
    while (!a.Done())
        a.Step();
    while (!b.Done())
        b.Step();
    return {a.Hash(), b.Hash()};
}

} // namespace

std::size_t V2RegionSize(std::string_view Header) {
    if (Header.size() < kHeader || Header.substr(0, 3) != "ID3")
        return 0;
    std::uint32_t body = 0;
    if (!SyncSafe(Header.substr(6, 4), body))
        return 0;
    const bool footer = static_cast<unsigned char>(Header[3]) == 4 &&
                        (static_cast<unsigned char>(Header[5]) & 0x10);
    return kHeader + body + (footer ? kHeader : 0);
}

TV2Layout ParseV2Layout(std::string_view Region) {
    if (Region.size() < kHeader || Region.substr(0, 3) != "ID3")
        throw EV2Unsupported("no ID3v2 tag");
    const auto major = static_cast<unsigned char>(Region[3]);
    const auto flags = static_cast<unsigned char>(Region[5]);
    if (major == 2)
        throw EV2Unsupported("an ID3v2.2 tag is left as it is");
    if (major != 3 && major != 4)
        throw EV2Unsupported("unknown ID3v2 version 2." + std::to_string(major));
    if (flags & 0x80)
        throw EV2Unsupported("an ID3v2 tag with unsynchronisation is left as it is");
    if (flags & 0x40)
        throw EV2Unsupported("an ID3v2 tag with an extended header is left as it is");
    if (major == 4 && (flags & 0x10))
        throw EV2Unsupported("an ID3v2 tag with a footer is left as it is");
    if (flags & (major == 3 ? 0x1F : 0x0F))
        throw EV2Unsupported("the ID3v2 tag's header is damaged");
    std::uint32_t body = 0;
    if (!SyncSafe(Region.substr(6, 4), body))
        throw EV2Unsupported("the ID3v2 tag's size is damaged");
    if (body > kMaxId3v2Bytes)
        throw EV2Unsupported("the ID3v2 tag is larger than 16 MB");
    TV2Layout layout;
    layout.Major = static_cast<std::uint8_t>(major);
    layout.TagSize = kHeader + body;
    if (Region.size() < layout.TagSize)
        throw EV2Unsupported("the ID3v2 tag is cut short");
    std::size_t pos = kHeader;
    while (pos + kHeader <= layout.TagSize && Region[pos] != '\0') {
        const std::string_view id = Region.substr(pos, 4);
        if (!std::all_of(id.begin(), id.end(), FrameIdChar))
            throw EV2Unsupported("the ID3v2 tag holds a damaged frame");
        std::uint32_t size = 0;
        if (major == 4) {
            if (!SyncSafe(Region.substr(pos + 4, 4), size))
                throw EV2Unsupported("the ID3v2 tag holds a damaged frame");
        } else {
            size = BigEndian(Region.substr(pos + 4, 4));
        }
        if (size > layout.TagSize - pos - kHeader)
            throw EV2Unsupported("a frame runs past the ID3v2 tag's end");
        layout.Frames.push_back({std::string(id), pos, kHeader + size});
        pos += kHeader + size;
    }
    layout.PaddingStart = std::min(pos, layout.TagSize);
    return layout;
}

std::string_view V2FrameId(TV2Field Field, std::uint8_t Major) {
    switch (Field) {
    case TV2Field::vfTitle:
        return "TIT2";
    case TV2Field::vfArtist:
        return "TPE1";
    case TV2Field::vfAlbum:
        return "TALB";
    case TV2Field::vfYear:
        return Major == 4 ? "TDRC" : "TYER";
    case TV2Field::vfComment:
        return "COMM";
    case TV2Field::vfGenre:
        return "TCON";
    case TV2Field::vfTrack:
        return "TRCK";
    }
    return "";
}

std::optional<std::string> V2FieldText(std::string_view Region, const TV2Layout& Layout,
                                       TV2Field Field) {
    const std::size_t k = FindFrame(Region, Layout, Field);
    if (k == std::string::npos || !PlainData(Region, Layout.Frames[k], Layout.Major))
        return std::nullopt;
    return FrameText(Region, Layout.Frames[k], Layout.Major, Field == TV2Field::vfComment);
}

bool TV2Edit::Empty() const {
    return std::none_of(Text.begin(), Text.end(), [](const auto& t) { return t.has_value(); });
}

std::uint64_t V2Hash(std::string_view Bytes) {
    THashing h(Bytes);
    while (!h.Done())
        h.Step();
    return h.Hash();
}

TV2Change InverseV2Change(const TV2Change& C) {
    TV2Change back;
    back.OldSize = C.NewSize;
    back.NewSize = C.OldSize;
    back.OldHash = C.NewHash;
    back.NewHash = C.OldHash;
    back.Forward = C.Backward;
    back.Backward = C.Forward;
    return back;
}

std::string EncodeV2Change(const TV2Change& C) {
    std::string out;
    PutU64(out, C.OldSize);
    PutU64(out, C.NewSize);
    PutU64(out, C.OldHash);
    PutU64(out, C.NewHash);
    PutU64(out, C.Forward.size());
    out += C.Forward;
    PutU64(out, C.Backward.size());
    out += C.Backward;
    return out;
}

TV2Change DecodeV2Change(std::string_view in) {
    TV2Change c;
    std::uint64_t n = 0;
    const bool ok = TakeU64(in, c.OldSize) && TakeU64(in, c.NewSize) && TakeU64(in, c.OldHash) &&
                    TakeU64(in, c.NewHash) && TakeU64(in, n) && n <= in.size();
    if (!ok)
        throw EV2Unsupported("damaged ID3v2 record");
    c.Forward = std::string(in.substr(0, n));
    in.remove_prefix(n);
    if (!TakeU64(in, n) || n != in.size())
        throw EV2Unsupported("damaged ID3v2 record");
    c.Backward = std::string(in);
    return c;
}

std::string ApplyV2Patch(std::string_view Patch, std::string_view Source) {
    std::string out;
    while (!Patch.empty()) {
        const char kind = Patch[0];
        Patch.remove_prefix(1);
        std::uint64_t offset = 0, length = 0;
        if (kind == 'C' && !TakeU64(Patch, offset))
            throw EV2Unsupported("damaged ID3v2 record");
        if (!TakeU64(Patch, length) || length > kMaxId3v2Bytes + 2 * kHeader)
            throw EV2Unsupported("damaged ID3v2 record");
        if (kind == 'C') {
            if (offset > Source.size() || length > Source.size() - offset)
                throw EV2Unsupported("damaged ID3v2 record");
            out.append(Source.substr(offset, length));
        } else if (kind == 'Z') {
            out.append(length, '\0');
        } else if (kind == 'L' && length <= Patch.size()) {
            out.append(Patch.substr(0, length));
            Patch.remove_prefix(length);
        } else {
            throw EV2Unsupported("damaged ID3v2 record");
        }
    }
    return out;
}

TV2Splice SpliceV2(std::string_view Region, const TV2Layout& Layout, const TV2Edit& Edit) {
    // Which frame each field replaces (npos: the frame is new).
    std::array<std::size_t, kV2Fields> target{};
    for (std::size_t f = 0; f < kV2Fields; ++f)
        target[f] = Edit.Text[f] ? FindFrame(Region, Layout, static_cast<TV2Field>(f))
                                 : std::string::npos;
    const auto rendered = [&](std::size_t f) -> std::string {
        const auto field = static_cast<TV2Field>(f);
        std::string text = *Edit.Text[f];
        if (text.empty())
            return {};
        const std::size_t k = target[f];
        std::string language;
        std::uint8_t status = 0;
        if (k != std::string::npos) {
            const TV2FrameSpan& old = Layout.Frames[k];
            status = static_cast<std::uint8_t>(Region[old.Offset + 8]);
            if (field == TV2Field::vfTrack) {
                const std::string was = FrameText(Region, old, Layout.Major, false);
                const std::size_t slash = was.find('/');
                if (slash != std::string::npos)
                    text += was.substr(slash);
            }
            if (field == TV2Field::vfComment)
                language = std::string(Region.substr(old.Offset + kHeader + 1, 3));
        }
        return RenderFrame(field, text, Layout.Major, language, status);
    };

    // The new frames: old ones copied, replaced ones rendered, new ones at the end.
    struct Piece {
        std::size_t OldFrame; // npos: Bytes
        std::string Bytes;
    };
    std::vector<Piece> pieces;
    for (std::size_t k = 0; k < Layout.Frames.size(); ++k) {
        const auto f = std::find(target.begin(), target.end(), k);
        if (f == target.end())
            pieces.push_back({k, {}});
        else if (std::string bytes = rendered(static_cast<std::size_t>(f - target.begin()));
                 !bytes.empty())
            pieces.push_back({std::string::npos, std::move(bytes)});
    }
    for (std::size_t f = 0; f < kV2Fields; ++f)
        if (Edit.Text[f] && target[f] == std::string::npos)
            if (std::string bytes = rendered(f); !bytes.empty())
                pieces.push_back({std::string::npos, std::move(bytes)});

    std::size_t frames = 0;
    for (const Piece& p : pieces)
        frames += p.OldFrame == std::string::npos ? p.Bytes.size() : Layout.Frames[p.OldFrame].Size;
    const std::size_t tagSize = kHeader + frames <= Layout.TagSize
                                    ? Layout.TagSize
                                    : kHeader + frames + kV2GrowPadding;

    TPatch forward, backward;
    std::string header(Region.substr(0, kHeader));
    header.replace(6, 4, SyncSafeBytes(static_cast<std::uint32_t>(tagSize - kHeader)));
    forward.Literal(header);
    std::vector<std::size_t> newOffset(Layout.Frames.size(), std::string::npos);
    for (const Piece& p : pieces) {
        if (p.OldFrame == std::string::npos) {
            forward.Literal(p.Bytes);
        } else {
            const TV2FrameSpan& old = Layout.Frames[p.OldFrame];
            newOffset[p.OldFrame] = forward.Size();
            forward.Copy(old.Offset, old.Size);
        }
    }
    forward.Zeros(tagSize - forward.Size());

    backward.Literal(Region.substr(0, kHeader));
    for (std::size_t k = 0; k < Layout.Frames.size(); ++k) {
        const TV2FrameSpan& old = Layout.Frames[k];
        if (newOffset[k] != std::string::npos)
            backward.Copy(newOffset[k], old.Size);
        else
            backward.Literal(Region.substr(old.Offset, old.Size));
    }
    backward.Literal(Region.substr(Layout.PaddingStart, Layout.TagSize - Layout.PaddingStart));

    TV2Splice splice;
    splice.Change.Forward = forward.Encode();
    splice.Change.Backward = backward.Encode();
    splice.NewRegion = ApplyV2Patch(splice.Change.Forward, Region);
    const std::string_view oldRegion = Region.substr(0, Layout.TagSize);
    splice.Change.OldSize = oldRegion.size();
    splice.Change.NewSize = splice.NewRegion.size();
    std::tie(splice.Change.OldHash, splice.Change.NewHash) = HashBoth(oldRegion, splice.NewRegion);
    return splice;
}

} // namespace veltrane
