#pragma once
// A stable merge sort of 32-bit row numbers, for lists of a million rows: the numbers move,
// never the rows, and the caller hears about progress every few thousand rows merged, so a
// window can keep its event loop going during the sort.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace veltrane {

// Sorts Order stably by Less (a strict weak order on row numbers). Tick(done, total) is
// called between steps with the rows merged so far out of all merges to be done.
template <typename LessFn, typename TickFn>
void StableIndexSort(std::vector<std::uint32_t>& Order, LessFn&& Less, TickFn&& Tick) {
    const std::size_t n = Order.size();
    if (n < 2)
        return;
    // Short runs by insertion first: fewer passes, and insertion is quick on few rows.
    constexpr std::size_t kRun = 24;
    for (std::size_t lo = 0; lo < n; lo += kRun) {
        const std::size_t hi = std::min(n, lo + kRun);
        for (std::size_t i = lo + 1; i < hi; ++i) {
            const std::uint32_t v = Order[i];
            std::size_t j = i;
            for (; j > lo && Less(v, Order[j - 1]); --j)
                Order[j] = Order[j - 1];
            Order[j] = v;
        }
    }
    std::size_t passes = 0;
    for (std::size_t w = kRun; w < n; w *= 2)
        ++passes;
    const std::uint64_t total = static_cast<std::uint64_t>(passes) * n;
    std::uint64_t done = 0;
    constexpr std::size_t kTickRows = 1 << 15;
    std::size_t sinceTick = 0;
    Tick(done, total);

    std::vector<std::uint32_t> buffer(n);
    std::uint32_t* from = Order.data();
    std::uint32_t* to = buffer.data();
    for (std::size_t width = kRun; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(n, lo + width), hi = std::min(n, lo + 2 * width);
            std::size_t a = lo, b = mid, out = lo;
            if (mid < hi && !Less(from[mid], from[mid - 1])) {
                // Already in order (common for presorted columns): one copy.
                std::copy(from + lo, from + hi, to + lo);
                out = hi;
            }
            while (out < hi) {
                // The merge is cut into slices so that Tick runs during one big merge too.
                const std::size_t start = out, stop = std::min(hi, out + kTickRows);
                while (out < stop) {
                    if (a < mid && (b >= hi || !Less(from[b], from[a])))
                        to[out++] = from[a++];
                    else
                        to[out++] = from[b++];
                }
                sinceTick += stop - start;
                if (sinceTick >= kTickRows) {
                    sinceTick = 0;
                    Tick(done + out, total);
                }
            }
        }
        done += n;
        Tick(done, total);
        std::swap(from, to);
    }
    if (from != Order.data())
        std::copy(from, from + n, Order.data());
}

} // namespace veltrane
