// libFuzzer target: the double-byte and UTF-8 codecs and the code page detector take any
// bytes. What a codec reads of valid text it writes back as the same text; a fitted field
// never ends inside a character; the detector gives a code page it knows.

#include "tagcore/CodePageGuess.h"
#include "tagcore/TagCodec.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    static const char* const kPages[] = {"CP932", "CP936", "CP949", "CP950", "UTF-8", "WINDOWS-1251"};
    const veltrane::TagCodec codec(kPages[data[0] % 6]);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = codec.Decode(bytes);
    // Text of valid characters reads back the same. (Bytes that are no character are kept as
    // they are only while the characters beside them keep their bytes: a character with two
    // encodings, as in CP932's NEC and IBM rows, is written in its first.)
    if (codec.ValidBytes(bytes) && codec.Decode(codec.Encode(text)) != text)
        std::abort();
    const std::size_t width = data[0] % 31;
    const std::string fitted = codec.EncodeFit(text, width);
    if (fitted.size() > width || text.rfind(codec.Decode(fitted), 0) != 0)
        std::abort();
    for (std::size_t i = 0; i < bytes.size(); i += codec.CharLengthAt(bytes, i))
        if (codec.CharLengthAt(bytes, i) == 0)
            std::abort();

    // The detector, on the bytes cut into the five fields of a tag.
    std::vector<std::string> fields;
    for (std::size_t at = 0; at < bytes.size() && fields.size() < 5; at += 30)
        fields.emplace_back(bytes.substr(at, 30));
    const veltrane::TCodePageGuess guess = veltrane::GuessCodePage(fields);
    if (guess.CodePage != 0 && veltrane::TagCodec::ById(guess.CodePage).Id() != guess.CodePage)
        std::abort();
    veltrane::MatchUnicodeTitles(fields, {text.substr(0, 40), text.substr(text.size() / 2)});
    return 0;
}
