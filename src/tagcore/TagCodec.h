#pragma once
// Converts tag text between a tag code page (file side) and UTF-8 (memory side). A code page
// is a single-byte one whose bytes 0x00-0x7F are ASCII, one of the double-byte ANSI pages
// CP932, CP936, CP949 and CP950, or UTF-8. "auto" is a codec of its own: it decides the code
// page of each file as it is read (see CodePageGuess.h) and writes ASCII-only tags in the
// default code page.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace veltrane {

struct TCodePageTable;
class TCodePageResolver;

// A code page's number in this process (1 to 255); 0 stands for no code page: ASCII text or
// no tag, written in the default.
using TCodePageId = std::uint8_t;

class TagCodec {
public:
    // Names in any letter case; WINDOWS-125x and CP125x, SHIFT_JIS/SJIS (CP932), GBK (CP936),
    // UHC/EUC-KR (CP949) and BIG5 (CP950) are aliases. Throws std::invalid_argument for an
    // unknown code page or one that is neither of the kinds above.
    explicit TagCodec(std::string_view codePage = "WINDOWS-1252");
    ~TagCodec();
    TagCodec(const TagCodec&);
    TagCodec& operator=(const TagCodec&);

    // The canonical name: "WINDOWS-1251", "CP932", "UTF-8", "ISO-8859-5", "auto".
    const std::string& Name() const;
    // The code page's number; 0 for "auto".
    TCodePageId Id() const;
    bool IsAuto() const { return resolver_ != nullptr; }
    // For "auto": what decides each file's code page.
    TCodePageResolver* Resolver() const { return resolver_.get(); }

    // Code-page bytes to UTF-8. A byte that starts no character of the code page reads as
    // U+0080..U+00FF of the same number (U+F780..U+F7FF when the code page holds that
    // character itself), so that reading and writing back keeps every byte.
    std::string Decode(std::string_view bytes) const;
    // UTF-8 to code-page bytes; a character the code page cannot hold becomes '?'.
    // Invalid UTF-8 bytes are passed through unchanged.
    std::string Encode(std::string_view utf8) const;
    // Encode, cut to at most Width bytes: a character that does not fit whole is left out
    // with everything after it.
    std::string EncodeFit(std::string_view utf8, std::size_t Width) const;
    // The bytes of the character at Bytes[I] (1 for a byte that starts none).
    std::size_t CharLengthAt(std::string_view Bytes, std::size_t I) const;
    // True when the code page holds the character.
    bool Holds(char32_t cp) const;
    // The first character of Decode(the character at Bytes[I]), its length in bytes, and
    // Holds of it: without building the text.
    char32_t CharAt(std::string_view Bytes, std::size_t I, std::size_t& Length, bool& Held) const;
    // True when Bytes decode without a byte that is no character (a lone lead byte at the
    // very end is allowed when AllowCutEnd: a field cut by another program).
    bool ValidBytes(std::string_view Bytes, bool AllowCutEnd = false) const;

    // The codec a tag read in code page Id is written with: that code page's, or this one's
    // (the default's for "auto") when Id is 0.
    const TagCodec& ForTag(TCodePageId Id) const;

    // The program-wide default (Windows-1252).
    static const TagCodec& Default();
    // The codec of a code page number given out by this process (Default() for 0 or unknown).
    static const TagCodec& ById(TCodePageId Id);
    // The canonical name of a code page name ("cp1251" gives "WINDOWS-1251"); throws as the
    // constructor does. "auto" stays "auto".
    static std::string Canonical(std::string_view Name);

private:
    const TCodePageTable* table_ = nullptr;
    std::shared_ptr<TCodePageResolver> resolver_;
};

} // namespace veltrane
