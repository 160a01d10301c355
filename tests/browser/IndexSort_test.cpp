#include "browser/IndexSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace veltrane {
namespace {

// Against std::stable_sort on sizes around the run length and the slice of a tick, with few
// distinct keys (ties everywhere), presorted and reversed input.
TEST(IndexSortTest, SameOrderAsStdStableSort) {
    struct Case {
        std::size_t n;
        std::uint32_t distinct;
        int shape; // 0 random, 1 ascending, 2 descending
    };
    const Case cases[] = {{0, 1, 0},    {1, 1, 0},     {2, 2, 2},      {23, 5, 0},
                          {24, 5, 0},   {25, 3, 2},    {49, 4, 0},     {1000, 1, 0},
                          {1000, 7, 1}, {1000, 7, 2},  {70001, 50, 0}, {70001, 70001, 2}};
    std::mt19937 rng(3);
    for (const Case& c : cases) {
        std::vector<std::uint32_t> keys(c.n);
        for (std::size_t i = 0; i < c.n; ++i)
            keys[i] = c.shape == 0   ? static_cast<std::uint32_t>(rng() % c.distinct)
                      : c.shape == 1 ? static_cast<std::uint32_t>(i % c.distinct == 0 ? i : i - 1)
                                     : static_cast<std::uint32_t>((c.n - i) / 3);
        std::vector<std::uint32_t> order(c.n), expected(c.n);
        std::iota(order.begin(), order.end(), 0u);
        std::iota(expected.begin(), expected.end(), 0u);
        const auto less = [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; };
        std::stable_sort(expected.begin(), expected.end(), less);
        std::uint64_t last = 0, total = 0;
        bool monotonic = true;
        StableIndexSort(order, less, [&](std::uint64_t done, std::uint64_t all) {
            monotonic = monotonic && done >= last && done <= all;
            last = done;
            total = all;
        });
        EXPECT_EQ(order, expected) << c.n;
        EXPECT_TRUE(monotonic) << c.n;
        EXPECT_EQ(last, total) << c.n; // the last tick reports the whole sort done
    }
}

} // namespace
} // namespace veltrane
