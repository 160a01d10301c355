#include "tagcore/TagCodec.h"

#include "tagcore/Utf8.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace veltrane {

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

    // Converts one byte; false when the code page leaves it undefined. Throws when the byte
    // starts a longer sequence or yields more than one character (not a single-byte page).
    bool Convert(unsigned char byte, char32_t& cp, const std::string& name) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char in = static_cast<char>(byte);
        char* inPtr = &in;
        std::size_t inLeft = 1;
        unsigned char out[16];
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno == EILSEQ)
                return false;
            throw std::invalid_argument("not a single-byte code page: " + name);
        }
        // Flush any shift state; stateful encodings are not single-byte pages either.
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
        if (sizeof out - outLeft != 4)
            throw std::invalid_argument("not a single-byte code page: " + name);
        cp = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                   (static_cast<std::uint32_t>(out[3]) << 24));
        return true;
    }

  private:
    iconv_t cd_;
};

} // namespace

TagCodec::TagCodec(std::string_view codePage) : name_(codePage) {
    // iconv takes "" as the locale's charset: the tag bytes would then depend on the locale.
    if (name_.empty())
        throw std::invalid_argument("unknown code page: (empty)");
    Iconv conv(name_);
    if (!conv.valid())
        throw std::invalid_argument("unknown code page: " + name_);
    std::array<char32_t, 256> cps{};
    std::array<bool, 256> defined{};
    for (unsigned b = 0; b < 256; ++b) {
        defined[b] = conv.Convert(static_cast<unsigned char>(b), cps[b], name_);
        if (!defined[b])
            cps[b] = b; // reads as the control or Latin-1 character of that number
        decode_[b].clear();
        AppendUtf8(decode_[b], cps[b]);
        if (b < 0x80 && cps[b] != b)
            identityAscii_ = false;
    }
    // Defined bytes first, so an undefined byte never shadows a real character.
    for (unsigned b = 0; b < 256; ++b)
        if (defined[b])
            encode_.emplace(cps[b], static_cast<unsigned char>(b));
    for (unsigned b = 0; b < 256; ++b)
        if (!defined[b])
            encode_.emplace(cps[b], static_cast<unsigned char>(b));
}

std::string TagCodec::Decode(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80 && identityAscii_)
            out += ch;
        else
            out += decode_[c];
    }
    return out;
}

std::string TagCodec::Encode(std::string_view utf8) const {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80 && identityAscii_) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = NextCodePoint(utf8, i, cp);
        if (len == 0) {
            out += static_cast<char>(c); // not UTF-8: keep the raw byte
            ++i;
            continue;
        }
        const auto it = encode_.find(cp);
        out += it != encode_.end() ? static_cast<char>(it->second) : '?';
        i += len;
    }
    return out;
}

const TagCodec& TagCodec::Default() {
    static const TagCodec codec("WINDOWS-1252");
    return codec;
}

} // namespace veltrane
