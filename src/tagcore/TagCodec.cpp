#include "tagcore/TagCodec.h"

#include "tagcore/CodePageGuess.h"
#include "tagcore/Utf8.h"

#include <array>
#include <cerrno>
#include <deque>
#include <iconv.h>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace veltrane {

struct TCodePageTable {
    enum TKind { kSingle, kDouble, kUtf8 };
    std::string Name;
    TCodePageId Id = 0;
    TKind Kind = kSingle;
    std::array<std::string, 256> Single;  // UTF-8 of each byte read alone
    std::array<char32_t, 256> SingleCp{};  // the same as a code point
    std::array<bool, 256> HeldSingle{};    // the page holds SingleCp (single and double-byte)
    std::vector<bool> HeldPair;            // double-byte: the page holds the pair's character
    std::array<bool, 256> Lead{};          // double-byte: starts a two-byte character
    std::array<bool, 256> Undefined{};     // read alone, the byte is no character
    std::vector<char32_t> Pair;            // double-byte: lead << 8 | trail -> character, 0 none
    std::unordered_map<char32_t, std::uint16_t> Encode; // > 0xFF: two bytes, lead first
    // Double-byte: the other pairs that read as a character of Encode (CP932's NEC and IBM
    // rows), lowest first.
    std::unordered_map<char32_t, std::vector<std::uint16_t>> EncodeMore;
};

namespace {

class Iconv {
  public:
    explicit Iconv(const std::string& from) : cd_(iconv_open("UTF-32LE", from.c_str())) {}
    ~Iconv() {
        if (valid())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts Len bytes that must make exactly one character; 0 when they do not.
    char32_t One(const unsigned char* in, std::size_t len) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[4];
        for (std::size_t i = 0; i < len; ++i)
            buf[i] = static_cast<char>(in[i]);
        char* inPtr = buf;
        std::size_t inLeft = len;
        unsigned char out[16];
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return 0;
        // Flush any shift state; stateful encodings are no code pages for tags.
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
        if (inLeft != 0 || sizeof out - outLeft != 4)
            return 0;
        return static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                     (static_cast<std::uint32_t>(out[3]) << 24));
    }

  private:
    iconv_t cd_;
};

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return u;
}

// The iconv name of a double-byte ANSI page for its aliases, or "".
std::string DoubleByteName(const std::string& u) {
    static const std::pair<const char*, const char*> kAliases[] = {
        {"CP932", "CP932"},       {"WINDOWS-932", "CP932"}, {"SHIFT_JIS", "CP932"},
        {"SHIFT-JIS", "CP932"},   {"SJIS", "CP932"},        {"MS932", "CP932"},
        {"WINDOWS-31J", "CP932"}, {"CP936", "CP936"},       {"WINDOWS-936", "CP936"},
        {"GBK", "CP936"},         {"CP949", "CP949"},       {"WINDOWS-949", "CP949"},
        {"UHC", "CP949"},         {"EUC-KR", "CP949"},      {"CP950", "CP950"},
        {"WINDOWS-950", "CP950"}, {"BIG5", "CP950"},        {"BIG-5", "CP950"},
    };
    for (const auto& [alias, name] : kAliases)
        if (u == alias)
            return name;
    return {};
}

// WINDOWS-nnn for CPnnn and the other way round; "" when the name is neither.
std::string OtherSpelling(const std::string& u) {
    if (u.rfind("CP", 0) == 0 && u.size() > 2)
        return "WINDOWS-" + u.substr(2);
    if (u.rfind("WINDOWS-", 0) == 0)
        return "CP" + u.substr(8);
    return {};
}

char32_t Fallback(const TCodePageTable& t, unsigned b) {
    return t.Encode.count(b) ? 0xF700 + b : b;
}

void BuildSingle(TCodePageTable& t, Iconv& conv) {
    std::array<char32_t, 256> cps{};
    for (unsigned b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        cps[b] = b == 0 ? 0 : conv.One(&byte, 1);
        if (b < 0x80 && cps[b] != b)
            throw std::invalid_argument("not a code page with ASCII: " + t.Name);
        if (b >= 0x80 && cps[b] != 0)
            t.Encode.emplace(cps[b], static_cast<std::uint16_t>(b));
    }
    for (unsigned b = 0; b < 256; ++b) {
        char32_t cp = cps[b];
        if (b >= 0x80 && cp == 0) {
            t.Undefined[b] = true;
            cp = Fallback(t, b);
            t.Encode.emplace(cp, static_cast<std::uint16_t>(b));
        }
        AppendUtf8(t.Single[b], cp);
    }
}

void BuildDouble(TCodePageTable& t, Iconv& conv) {
    t.Pair.assign(65536, 0);
    std::array<char32_t, 256> singles{};
    for (unsigned b = 0x80; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        singles[b] = conv.One(&byte, 1);
        if (singles[b] != 0)
            t.Encode.emplace(singles[b], static_cast<std::uint16_t>(b));
        if (singles[b] != 0)
            continue;
        for (unsigned trail = 0x40; trail < 256; ++trail) {
            const unsigned char two[2] = {byte, static_cast<unsigned char>(trail)};
            const char32_t cp = conv.One(two, 2);
            if (cp == 0)
                continue;
            t.Lead[b] = true;
            t.Pair[b << 8 | trail] = cp;
            const auto code = static_cast<std::uint16_t>(b << 8 | trail);
            if (!t.Encode.emplace(cp, code).second)
                t.EncodeMore[cp].push_back(code);
        }
    }
    for (unsigned b = 0; b < 256; ++b) {
        char32_t cp = b < 0x80 ? b : singles[b];
        if (cp == 0 && b >= 0x80) {
            t.Undefined[b] = true;
            cp = Fallback(t, b);
            t.Encode.emplace(cp, static_cast<std::uint16_t>(b));
        }
        AppendUtf8(t.Single[b], cp);
    }
}

bool HoldsIn(const TCodePageTable& t, char32_t cp) {
    if (cp < 0x80)
        return true;
    if (t.Kind == TCodePageTable::kUtf8)
        return !(cp >= 0xF780 && cp <= 0xF7FF);
    const auto it = t.Encode.find(cp);
    return it != t.Encode.end() && !(it->second <= 0xFF && t.Undefined[it->second]);
}

// What CharAt answers without a lookup in Encode: each byte's and each pair's character, and
// whether the page holds it.
void BuildHeld(TCodePageTable& t) {
    for (unsigned b = 0; b < 256; ++b) {
        char32_t cp = b;
        NextCodePoint(t.Single[b], 0, cp);
        t.SingleCp[b] = cp;
        t.HeldSingle[b] = HoldsIn(t, cp);
    }
    if (t.Kind == TCodePageTable::kDouble) {
        t.HeldPair.assign(65536, false);
        for (std::size_t k = 0; k < t.Pair.size(); ++k)
            t.HeldPair[k] = t.Pair[k] != 0 && HoldsIn(t, t.Pair[k]);
    }
}

std::unique_ptr<TCodePageTable> BuildTable(const std::string& canonical, const std::string& iconvName) {
    auto t = std::make_unique<TCodePageTable>();
    t->Name = canonical;
    if (canonical == "UTF-8") {
        t->Kind = TCodePageTable::kUtf8;
        for (unsigned b = 0; b < 256; ++b) {
            t->Undefined[b] = b >= 0x80;
            AppendUtf8(t->Single[b], b < 0x80 ? b : 0xF700 + b);
        }
        BuildHeld(*t);
        return t;
    }
    Iconv conv(iconvName);
    if (!conv.valid())
        throw std::invalid_argument("unknown code page: " + canonical);
    if (!DoubleByteName(canonical).empty()) {
        t->Kind = TCodePageTable::kDouble;
        BuildDouble(*t, conv);
    } else {
        BuildSingle(*t, conv);
    }
    BuildHeld(*t);
    return t;
}

// Tables live as long as the process: codecs and rows refer to them by number.
struct TRegistry {
    std::mutex Lock;
    std::deque<std::unique_ptr<TCodePageTable>> Tables; // index = Id - 1
    std::unordered_map<std::string, const TCodePageTable*> ByName;
};

TRegistry& Registry() {
    static TRegistry r;
    return r;
}

const TCodePageTable& Intern(std::string_view name) {
    const std::string u = Upper(name);
    // iconv takes "" as the locale's charset: the tag bytes would then depend on the locale.
    if (u.empty())
        throw std::invalid_argument("unknown code page: (empty)");
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.Lock);
    if (const auto it = r.ByName.find(u); it != r.ByName.end())
        return *it->second;
    std::string canonical = u;
    std::string iconvName = u;
    if (u == "UTF8")
        canonical = iconvName = "UTF-8";
    if (const std::string dbcs = DoubleByteName(u); !dbcs.empty())
        canonical = iconvName = dbcs;
    else if (u.rfind("CP125", 0) == 0)
        canonical = "WINDOWS-" + u.substr(2);
    if (canonical != "UTF-8" && DoubleByteName(canonical).empty()) {
        if (Iconv probe(iconvName); !probe.valid()) {
            iconvName = OtherSpelling(u);
            if (iconvName.empty() || !Iconv(iconvName).valid())
                throw std::invalid_argument("unknown code page: " + std::string(name));
        }
    }
    if (const auto it = r.ByName.find(canonical); it != r.ByName.end()) {
        r.ByName.emplace(u, it->second);
        return *it->second;
    }
    if (r.Tables.size() >= 255)
        throw std::invalid_argument("too many code pages in use: " + std::string(name));
    std::unique_ptr<TCodePageTable> t = BuildTable(canonical, iconvName);
    t->Id = static_cast<TCodePageId>(r.Tables.size() + 1);
    const TCodePageTable* p = t.get();
    r.Tables.push_back(std::move(t));
    r.ByName.emplace(canonical, p);
    r.ByName.emplace(u, p);
    return *p;
}

// The length of the character at s[i] in the code page (1 for a byte that starts none).
std::size_t CharLength(const TCodePageTable& t, std::string_view s, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return 1;
    if (t.Kind == TCodePageTable::kDouble) {
        if (t.Lead[c] && i + 1 < s.size() &&
            t.Pair[c << 8 | static_cast<unsigned char>(s[i + 1])] != 0)
            return 2;
        return 1;
    }
    if (t.Kind == TCodePageTable::kUtf8) {
        char32_t cp = 0;
        const std::size_t len = NextCodePoint(s, i, cp);
        // U+F780..U+F7FF stand for single bytes that are no character: one written in the
        // text itself is kept as its bytes, or it would be written back as one byte.
        return len == 0 || (cp >= 0xF780 && cp <= 0xF7FF) ? 1 : len;
    }
    return 1;
}

const std::string kAutoName = "auto";

} // namespace

TagCodec::TagCodec(std::string_view codePage) {
    if (Upper(codePage) == "AUTO") {
        table_ = &Intern("WINDOWS-1252");
        resolver_ = std::make_shared<TCodePageResolver>();
        return;
    }
    table_ = &Intern(codePage);
}

TagCodec::~TagCodec() = default;
TagCodec::TagCodec(const TagCodec&) = default;
TagCodec& TagCodec::operator=(const TagCodec&) = default;

const std::string& TagCodec::Name() const { return IsAuto() ? kAutoName : table_->Name; }

TCodePageId TagCodec::Id() const { return IsAuto() ? 0 : table_->Id; }

std::string TagCodec::Decode(std::string_view bytes) const {
    const TCodePageTable& t = *table_;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t len = CharLength(t, bytes, i);
        if (len == 1)
            out += t.Single[c];
        else if (t.Kind == TCodePageTable::kDouble)
            AppendUtf8(out, t.Pair[c << 8 | static_cast<unsigned char>(bytes[i + 1])]);
        else
            out.append(bytes.substr(i, len));
        i += len;
    }
    return out;
}

namespace {

// True when Out ends in a lead byte written alone (LoneLead) and Next's first byte would make a
// pair with it.
bool JoinsLoneLead(const TCodePageTable& t, bool LoneLead, const std::string& Out,
                   const std::string& Next) {
    return LoneLead && !Next.empty() &&
           t.Pair[static_cast<unsigned char>(Out.back()) << 8 | static_cast<unsigned char>(Next[0])] != 0;
}

// Appends the code-page bytes of one character; false when the page cannot hold it.
bool PutChar(const TCodePageTable& t, char32_t cp, std::string& out) {
    if (t.Kind == TCodePageTable::kUtf8) {
        if (cp >= 0xF780 && cp <= 0xF7FF)
            out += static_cast<char>(cp - 0xF700);
        else
            AppendUtf8(out, cp);
        return true;
    }
    const auto it = t.Encode.find(cp);
    if (it == t.Encode.end())
        return false;
    if (it->second > 0xFF)
        out += static_cast<char>(it->second >> 8);
    out += static_cast<char>(it->second & 0xFF);
    return true;
}

} // namespace

std::string TagCodec::EncodeFit(std::string_view utf8, std::size_t Width) const {
    const TCodePageTable& t = *table_;
    std::string out;
    out.reserve(std::min(utf8.size(), Width));
    std::string one;
    bool loneLead = false; // the last byte written is a lead byte on its own
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        one.clear();
        char32_t cp = 0;
        const std::size_t len = c < 0x80 ? 1 : NextCodePoint(utf8, i, cp);
        if (c < 0x80) {
            one += static_cast<char>(c);
        } else if (len == 0) {
            one += static_cast<char>(c); // not UTF-8: keep the raw byte
        } else if (!PutChar(t, cp, one)) {
            one += '?';
        } else if (JoinsLoneLead(t, loneLead, out, one)) {
            // A byte that is no character (a lead byte alone) must not become one with the
            // character after it: of that character's encodings, one that does not join it,
            // as the one it was read in did not.
            if (const auto more = t.EncodeMore.find(cp); more != t.EncodeMore.end())
                for (const std::uint16_t code : more->second) {
                    const std::string other = {static_cast<char>(code >> 8),
                                               static_cast<char>(code & 0xFF)};
                    if (!JoinsLoneLead(t, loneLead, out, other)) {
                        one = other;
                        break;
                    }
                }
        }
        if (out.size() + one.size() > Width)
            break;
        out += one;
        loneLead = t.Kind == TCodePageTable::kDouble && one.size() == 1 &&
                   t.Lead[static_cast<unsigned char>(one[0])];
        i += len == 0 ? 1 : len;
    }
    return out;
}

std::string TagCodec::Encode(std::string_view utf8) const {
    return EncodeFit(utf8, static_cast<std::size_t>(-1));
}

bool TagCodec::Holds(char32_t cp) const { return HoldsIn(*table_, cp); }

char32_t TagCodec::CharAt(std::string_view Bytes, std::size_t I, std::size_t& Length,
                          bool& Held) const {
    const TCodePageTable& t = *table_;
    const unsigned char c = static_cast<unsigned char>(Bytes[I]);
    Length = CharLength(t, Bytes, I);
    if (Length == 1) {
        Held = t.HeldSingle[c];
        return t.SingleCp[c];
    }
    if (t.Kind == TCodePageTable::kDouble) {
        const unsigned pair = c << 8 | static_cast<unsigned char>(Bytes[I + 1]);
        Held = t.HeldPair[pair];
        return t.Pair[pair];
    }
    char32_t cp = c;
    NextCodePoint(Bytes, I, cp);
    Held = HoldsIn(t, cp);
    return cp;
}

bool TagCodec::ValidBytes(std::string_view Bytes, bool AllowCutEnd) const {
    const TCodePageTable& t = *table_;
    for (std::size_t i = 0; i < Bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(Bytes[i]);
        const std::size_t len = CharLength(t, Bytes, i);
        if (len == 1 && t.Undefined[c]) {
            // A character cut at the field's end by the program that wrote it.
            const bool cutEnd =
                (t.Kind == TCodePageTable::kDouble && t.Lead[c] && i + 1 == Bytes.size()) ||
                (t.Kind == TCodePageTable::kUtf8 && c >= 0xC2 && Bytes.size() - i < 4 &&
                 [&] {
                     for (std::size_t j = i + 1; j < Bytes.size(); ++j)
                         if ((static_cast<unsigned char>(Bytes[j]) & 0xC0) != 0x80)
                             return false;
                     return true;
                 }());
            if (!(AllowCutEnd && cutEnd))
                return false;
            if (t.Kind == TCodePageTable::kUtf8)
                return true;
        }
        i += len;
    }
    return true;
}

std::size_t TagCodec::CharLengthAt(std::string_view Bytes, std::size_t I) const {
    return CharLength(*table_, Bytes, I);
}

const TagCodec& TagCodec::ForTag(TCodePageId Id) const {
    if (Id == 0)
        return IsAuto() ? Default() : *this;
    return ById(Id);
}

const TagCodec& TagCodec::Default() {
    static const TagCodec codec("WINDOWS-1252");
    return codec;
}

const TagCodec& TagCodec::ById(TCodePageId Id) {
    static std::array<std::unique_ptr<TagCodec>, 256> codecs;
    static std::mutex lock;
    if (Id == 0)
        return Default();
    std::lock_guard<std::mutex> guard(lock);
    if (!codecs[Id]) {
        const TCodePageTable* table = nullptr;
        {
            TRegistry& r = Registry();
            std::lock_guard<std::mutex> rl(r.Lock);
            if (Id <= r.Tables.size())
                table = r.Tables[Id - 1].get();
        }
        if (!table)
            return Default();
        codecs[Id] = std::make_unique<TagCodec>(table->Name);
    }
    return *codecs[Id];
}

std::string TagCodec::Canonical(std::string_view Name) {
    if (Upper(Name) == "AUTO")
        return kAutoName;
    return Intern(Name).Name;
}

} // namespace veltrane
