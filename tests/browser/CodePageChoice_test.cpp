// The window's tag code page: the Preferences choices, a stored value read back, and the
// status line that points at a better code page.

#include "browser/CodePageChoice.h"
#include "browser/FileList.h"
#include "support/Mp3Builder.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(CodePageChoice, AutomaticFirstThenTheSystemsMarkedAndWindows1252StoredAsAbsent) {
    const auto choices = TagCodePageChoices("WINDOWS-1251");
    ASSERT_GE(choices.size(), 3u);
    EXPECT_EQ(choices[0], std::make_pair(std::string("Automatic (per file)"), std::string("auto")));
    EXPECT_EQ(choices[1].first, "Cyrillic (Windows-1251) (this system's)");
    EXPECT_EQ(choices[1].second, "WINDOWS-1251");
    std::size_t cyrillic = 0, western = 0;
    for (const auto& [caption, value] : choices) {
        cyrillic += value == "WINDOWS-1251";
        if (caption == "Western European (Windows-1252)") {
            EXPECT_EQ(value, "") << "the default is stored by leaving the key out";
        }
        western += caption == "Western European (Windows-1252)";
    }
    EXPECT_EQ(cyrillic, 1u);
    EXPECT_EQ(western, 1u);
    EXPECT_EQ(TagCodePageChoices("WINDOWS-1252")[1].second, "");

    const struct {
        const char* Stored;
        const char* Name;
        bool Unknown;
    } stored[] = {{"", "WINDOWS-1252", false},
                  {"auto", "auto", false},
                  {"cp1251", "WINDOWS-1251", false},
                  {"KLINGON-1", "WINDOWS-1252", true}};
    for (const auto& s : stored) {
        bool unknown = !s.Unknown;
        EXPECT_EQ(TagCodecFor(s.Stored, &unknown).Name(), s.Name) << s.Stored;
        EXPECT_EQ(unknown, s.Unknown) << s.Stored;
    }
}

TEST(CodePageChoice, ANoticeOnlyWhenMostTagsOfAFixedListReadFarBetterElsewhere) {
    test::TestDir dir;
    const auto raw = [](std::string title, std::string artist) {
        test::RawTag tag;
        tag.title = std::move(title);
        tag.artist = std::move(artist);
        return tag;
    };
    const std::vector<std::pair<std::string, std::string>> russian = {
        {"\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8", "\xCA\xE8\xED\xEE"},
        {"\xC2\xEE\xE9\xED\xE0", "\xCA\xE8\xED\xEE"},
        {"\xD1\xEF\xEE\xEA\xEE\xE9\xED\xE0\xFF \xED\xEE\xF7\xFC", "\xCA\xE8\xED\xEE"}};
    std::vector<std::string> files;
    for (std::size_t i = 0; i < russian.size(); ++i)
        files.push_back(dir.WriteFile("r" + std::to_string(i) + ".mp3",
                                      test::Mp3Bytes(20000, raw(russian[i].first, russian[i].second))));
    files.push_back(dir.WriteFile("a.mp3", test::Mp3Bytes(20000, raw("Caf\xE9", "Beyonc\xE9"))));
    TFileList list;
    list.UpdateList(files, dir.path().string());
    EXPECT_EQ(CodePageNotice(list),
              "Tags here look like Cyrillic (Windows-1251): Preferences, More, Tag code page.");
    EXPECT_EQ(CodePageNotice(list, 2), "") << "one French and one Russian file: no majority";
    list.SetCodec(TagCodec("WINDOWS-1251"));
    list.UpdateList(files, dir.path().string());
    EXPECT_EQ(CodePageNotice(list), "");
    list.SetCodec(TagCodec("auto"));
    list.UpdateList(files, dir.path().string());
    EXPECT_EQ(CodePageNotice(list), "");
}

} // namespace
} // namespace veltrane
