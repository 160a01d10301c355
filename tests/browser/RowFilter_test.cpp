#include "browser/RowFilter.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

TEST(RowFilterTest, MatchesFoldedLikeSelectByText) {
    struct Case {
        std::string_view row, typed;
        bool holds;
    } const cases[] = {
        {" abba.mp3\tWaterloo", "waterLOO", true},
        {" abba.mp3\tWaterloo", "", true},
        {" abba.mp3", "abba.mp3x", false},
        {" x.mp3\t\xC3\xA9t\xC3\xA9", "\xC3\xA9T\xC3\xA9", true}, // other bytes as they are
        {" x.mp3\t\xC3\xA9t\xC3\xA9", "\xC3\x89", false},       // no folding beyond ASCII
        {" x.mp3\t[{", "[{", true},                              // no fold of '{' to '['
        {" x.mp3\t`", "@", false},
        {" a\tb", "A\tB", true}, // the tab between columns is part of the row text
    };
    for (const auto& c : cases)
        EXPECT_EQ(RowHoldsFolded(c.row, FoldFilterText(c.typed)), c.holds) << c.row << " / " << c.typed;
    EXPECT_EQ(FoldFilterText("azAZ09{}`@"), "AZAZ09{}`@");
}

TEST(RowFilterTest, SameRowsInTheirOrderWhateverTheThreadsAndMarkersStay) {
    // Record r's text: "row<r>" with every third row "keep", record 7 a marker row.
    const auto text = [](std::uint32_t r, std::string& out) {
        if (r == 7)
            return false;
        out += "row" + std::to_string(r) + (r % 3 == 0 ? " keep" : "");
        return true;
    };
    std::vector<std::uint32_t> candidates;
    for (std::uint32_t r = 100000; r-- > 0;) // reversed: the output follows the input order
        candidates.push_back(r);
    std::vector<std::uint32_t> expected;
    for (const std::uint32_t r : candidates)
        if (r % 3 == 0 || r == 7)
            expected.push_back(r);
    for (const std::size_t jobs : {1u, 3u, 8u, 0u}) {
        EXPECT_EQ(FilterRecords(candidates, "KEEP", text, jobs), expected) << jobs;
        EXPECT_EQ(FilterRecords(candidates, "ROW", text, jobs), candidates) << jobs;
    }
    EXPECT_EQ(FilterRecords(candidates, "", text, 4), candidates);
    EXPECT_EQ(FilterRecords({}, "KEEP", text, 4), std::vector<std::uint32_t>{});
    EXPECT_EQ(FilterRecords({5, 99999}, "ROW99999", text, 4), std::vector<std::uint32_t>{99999});
}

} // namespace
} // namespace veltrane
