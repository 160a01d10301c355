#include "editing/CodePageCheck.h"

#include "EditingFixture.h"
#include "editing/TagEditing.h"
#include "editing/TagFromFileName.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(CodePageCheck, FindsEachCharacterTheCodePageCannotHoldOnce) {
    const TagCodec latin1("ISO-8859-1");
    const struct {
        std::string text;
        const TagCodec& codec;
        std::string lost;
    } cases[] = {
        {"Plain ASCII ?", TagCodec::Default(), ""},
        {"Caf\xC3\xA9 \xE2\x82\xAC", TagCodec::Default(), ""}, // é and € are in 1252
        {"\xE2\x82\xAC 5", latin1, "\xE2\x82\xAC"},            // € is not in Latin-1
        {"\xC5\x81\xC3\xB3\xC5\x81\xC5\xBB", TagCodec::Default(), "\xC5\x81\xC5\xBB"}, // Ł ó Ł Ż
        {"\xE6\x97\xA5\xE6\x9C\xAC", TagCodec::Default(), "\xE6\x97\xA5\xE6\x9C\xAC"}, // 日本
        {"bad \xFF byte", TagCodec::Default(), ""}, // invalid UTF-8 is written as it is
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnencodableChars(c.text, c.codec), c.lost) << c.text;

    const std::vector<TNamedText> lossy =
        LossyFields({{"Song", "\xC5\x81za"}, {"Artist", "Band"}, {"Comment", "\xE6\x97\xA5"}});
    ASSERT_EQ(lossy.size(), 2u);
    EXPECT_EQ(lossy[0].Name, "Song");
    EXPECT_EQ(lossy[0].Text, "\xC5\x81");
    EXPECT_EQ(LossyFieldsQuestion(lossy),
              "The tag's code page (WINDOWS-1252) cannot hold these characters; they will be "
              "saved as \"?\":\nSong: \xC5\x81\nComment: \xE6\x97\xA5\n\nSave anyway?");
}

TEST(CodePageCheck, TheHintWhileTypingNamesQuestionMarksAndWhatIsCut) {
    const std::string snow = "\xE2\x98\x83", lodz = "\xC5\x81\xC3\xB3" "d\xC5\xBA";
    const struct {
        std::string text;
        std::size_t room;
        std::string hint;
    } cases[] = {
        {"", 30, ""},
        {"Caf\xC3\xA9 \xE2\x82\xAC", 30, ""}, // both in Windows-1252
        {lodz, 30, "becomes \"?\": \xC5\x81\xC5\xBA"},
        {snow + "a" + snow, 30, "becomes \"?\": " + snow},
        {std::string(30, 'x'), 30, ""},
        {std::string(29, 'x') + "yz", 30, "cut after 30 characters: \"z\" is left out"},
        // One "?" is one byte: the cut counts characters, not UTF-8 bytes.
        {std::string(26, 'x') + snow + "ab", 28, "becomes \"?\": " + snow +
                                                     "; cut after 28 characters: \"b\" is left out"},
        {"19999", 4, "cut after 4 characters: \"9\" is left out"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FieldHint(c.text, c.room), c.hint) << c.text;
}

TEST(CodePageCheck, RunsNameTheFilesThatGotQuestionMarks) {
    test::EditingFolder folder;
    const std::string plain = folder.Add("Band - Song.mp3", test::Tagged("x", "y"));
    const std::string polish = folder.Add("Band - \xC5\x81\xC3\xB3"
                                          "d\xC5\xBA.mp3",
                                          test::Tagged("", ""));
    TFileList& list = folder.List();
    folder.Select({plain, polish});

    TRunNotes notes;
    TDeriveFormat format;
    format.Reset();
    EXPECT_TRUE(DeriveRun(list, format, {}, nullptr, &notes).empty());
    EXPECT_EQ(notes.Lossy, std::vector<std::string>{polish});
    EXPECT_EQ(GetMP3Tag(polish).Title, "?\xC3\xB3"
                                       "d?");

    notes = {};
    folder.Select({plain, polish}); // a rebuilt row loses its mark
    TEditMoreFields fields;
    fields.Album = {false, "\xE6\x97\xA5"};
    EXPECT_TRUE(EditMoreRun(list, fields, nullptr, &notes).empty());
    EXPECT_EQ(notes.Lossy, (std::vector<std::string>{plain, polish}));
    EXPECT_TRUE(notes.CommentCut.empty());
    EXPECT_EQ(LossyFilesReport({"/a", "/b", "/c"}, 2),
              "In the tags of these files, characters the tag's code page cannot hold were "
              "saved as \"?\":\n/a\n/b\n... and 1 more");
}

} // namespace
} // namespace veltrane
