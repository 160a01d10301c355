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

// Per double-byte page: what Windows wrote reads right (0x5C stays a backslash in CP932), a cut
// drops the whole character, and bytes of no character (a lone lead, an unassigned byte) read
// and write back as they were, also beside a private-use character in UTF-8.
TEST(TagCodec, DoubleBytePagesReadCutAndKeepBadBytes) {
    const struct {
        const char* Page;
        std::string Bytes, Text;
    } cases[] = {
        {"CP932", "\x92\x6E\x8F\xE3\x82\xCC\x90\xAF\\", "地上の星\\"},
        {"CP936", "\xBA\xEC\xB6\xB9", "红豆"},
        {"CP949", "\xB9\xE3\xC6\xED\xC1\xF6", "밤편지"},
        {"CP950", "\xB2\xA2\xBB\x65\xBB\x65", "甜蜜蜜"}, // a trail byte in ASCII
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Page);
        const TagCodec codec(c.Page);
        EXPECT_EQ(codec.Decode(c.Bytes), c.Text);
        EXPECT_EQ(codec.Encode(c.Text), c.Bytes);
        // "a" and then two-byte characters: an odd width leaves the last one out whole.
        const std::string fitted = codec.EncodeFit("a" + c.Text, 4);
        EXPECT_EQ(fitted, "a" + c.Bytes.substr(0, 2));
        const std::string bad = "\x81 x\xFF" + c.Bytes + "\x81";
        EXPECT_EQ(codec.Encode(codec.Decode(bad)), bad);
        EXPECT_FALSE(codec.ValidBytes(bad));
        EXPECT_TRUE(codec.ValidBytes(c.Bytes + c.Bytes.substr(0, 1), true)); // cut by a writer
    }
    // A lead byte alone before a kanji of CP932's IBM rows, which reads the same as its NEC
    // row: written back in the NEC row, the lone byte would become a hiragana with it.
    const TagCodec cp932("CP932");
    const std::string lone = "\xEA\x5C\x82\xFA\x5C";
    EXPECT_EQ(cp932.Encode(cp932.Decode(lone)), lone);
    EXPECT_EQ(cp932.Encode(cp932.Decode("\xFA\x5C")), "\xED\x40"); // alone: the first encoding
    const TagCodec utf8("UTF-8");
    for (const std::string raw : {"\xEF\x9E\xA3\xA3", "\xD0\x93\xC3 \xE2\x82"})
        EXPECT_EQ(utf8.Encode(utf8.Decode(raw)), raw);
}

} // namespace
} // namespace veltrane
