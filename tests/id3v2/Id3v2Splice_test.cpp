#include "id3v2/Id3v2Splice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace veltrane {
namespace {

// Journals written before keep these hashes: the value of each region must never change,
// whatever runs of zero bytes (padding) it holds.
TEST(V2Hash, StaysTheSameWhateverZeroRunsTheRegionHolds) {
    EXPECT_EQ(V2Hash(""), 1469598103934665603ull);
    EXPECT_EQ(V2Hash("a"), 4953267810257967366ull);
    const auto fnv = [](const std::string& Bytes) {
        std::uint64_t h = 1469598103934665603ull;
        for (char c : Bytes)
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return h;
    };
    for (std::size_t zeros : {1u, 15u, 16u, 17u, 31u, 1024u, 70001u}) {
        SCOPED_TRACE(zeros);
        const std::string run(zeros, '\0');
        for (const std::string& bytes : {run, "ID3" + run, "ID3" + run + "TIT2" + run + "x",
                                         run + std::string("\x01\0\x02", 3)})
            EXPECT_EQ(V2Hash(bytes), fnv(bytes));
    }
}

} // namespace
} // namespace veltrane
