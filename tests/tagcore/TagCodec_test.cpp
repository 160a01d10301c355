#include "tagcore/TagCodec.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace veltrane {
namespace {

TEST(TagCodec, DecodesWindows1252) {
    const TagCodec& c = TagCodec::Default();
    EXPECT_EQ(c.Decode("Caf\xE9 \x80 \x9F"), "Café € Ÿ");
    EXPECT_EQ(c.Encode("Café € Ÿ"), "Caf\xE9 \x80 \x9F");
}

TEST(TagCodec, EveryByteRoundTrips) {
    for (const char* page : {"WINDOWS-1252", "ISO-8859-1", "CP1251", "ISO-8859-7", "CP437"}) {
        const TagCodec c(page);
        for (int b = 32; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            EXPECT_EQ(c.Encode(c.Decode(byte)), byte) << page << " byte " << b;
        }
    }
}

TEST(TagCodec, UndefinedBytesReadAsControlCharacters) {
    const TagCodec& c = TagCodec::Default();
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        const std::string decoded = c.Decode(std::string(1, static_cast<char>(b)));
        EXPECT_EQ(decoded, std::string({'\xC2', static_cast<char>(b)}));
    }
}

TEST(TagCodec, UnencodableBecomesQuestionMarkAndInvalidUtf8PassesThrough) {
    const TagCodec& c = TagCodec::Default();
    EXPECT_EQ(c.Encode("a\xE4\xB8\xAD"
                       "b\xF0\x9F\x8E\xB5"),
              "a?b?"); // CJK, emoji
    EXPECT_EQ(c.Encode("x\xE9y"), "x\xE9y");
    EXPECT_EQ(TagCodec("CP1251").Encode("Привет é"), "\xCF\xF0\xE8\xE2\xE5\xF2 ?");
}

TEST(TagCodec, RefusesUnknownAndWideCodePages) {
    EXPECT_THROW(TagCodec("NO-SUCH-PAGE"), std::invalid_argument);
    EXPECT_THROW(TagCodec(""), std::invalid_argument);
    EXPECT_THROW(TagCodec("UTF-16"), std::invalid_argument);
    EXPECT_NO_THROW(TagCodec("UTF-8"));
    EXPECT_NO_THROW(TagCodec("SHIFT_JIS"));
}

} // namespace
} // namespace veltrane
