#include "editing/ChangePreview.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

using S = TPreviewState;

TEST(ChangePreview, CountsEachKindOfRowAndSaysOnlyWhatThereIs) {
    const struct {
        std::vector<TPreviewRow> rows;
        const char* summary;
    } cases[] = {
        {{}, "0 changes in 0 files"},
        {{{"a", "title", "x", "y", "", S::psChange}}, "1 change in 1 file"},
        {{{"a", "title", "x", "y", "", S::psChange},
          {"a", "artist", "x", "y", "", S::psWarning},
          {"b", "name", "b", "b", "unchanged", S::psUnchanged},
          {"c", "", "", "", "unchanged", S::psUnchanged},
          {"d", "name", "d", "e", "a file of that name exists", S::psFailed}},
         "2 changes in 1 file; 2 files unchanged; 1 row cannot be done; 1 row with a warning"},
        // A warning without a field (an import's note) is no change.
        {{{"", "", "", "", "unknown columns ignored: x", S::psWarning},
          {"", "", "", "", "row 4: bad", S::psFailed},
          {"", "", "", "", "row 5: bad", S::psFailed}},
         "0 changes in 0 files; 2 rows cannot be done; 1 row with a warning"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PreviewSummary(CountPreview(c.rows)), c.summary);
        EXPECT_EQ(AnyFailed(c.rows), std::string(c.summary).find("cannot") != std::string::npos)
            << c.summary;
    }
}

TEST(ChangePreview, ShowThisPreviewIsKeptPerCommandAndOnWhenAbsent) {
    test::TestDir dir;
    const std::string ini = dir.WriteFile("Veltrane.ini", "[Preferences]\nDefaultDir=/music\n");
    EXPECT_TRUE(PreviewWanted(ini, kKeyPreviewRenameFromTags));
    EXPECT_TRUE(WritePreviewWanted(ini, kKeyPreviewRenameFromTags, false));
    EXPECT_FALSE(PreviewWanted(ini, kKeyPreviewRenameFromTags));
    EXPECT_TRUE(PreviewWanted(ini, kKeyPreviewTagsFromNames));
    EXPECT_EQ(dir.ReadFile("Veltrane.ini"),
              "[Preferences]\nDefaultDir=/music\n[Preview]\nRenameFromTags=0\n");
    EXPECT_TRUE(WritePreviewWanted(ini, kKeyPreviewRenameFromTags, true));
    EXPECT_TRUE(PreviewWanted(ini, kKeyPreviewRenameFromTags));
    // Without a settings file there is nothing to turn it off.
    EXPECT_TRUE(PreviewWanted("", kKeyPreviewImportTags));
}

} // namespace
} // namespace veltrane
