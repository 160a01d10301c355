#include "id3v2/Id3v2Splice.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

// Journals written before keep these hashes: runs of zero bytes (padding) of any length and
// place must hash as byte by byte.
TEST(V2Hash, StaysTheSameWhateverZeroRunsTheRegionHolds) {
    for (std::size_t zeros : {1u, 15u, 16u, 17u, 1024u, 70001u}) {
        const std::string run(zeros, '\0');
        for (const std::string& bytes : {"ID3" + run + "TIT2" + run + "x", run + "\x01"}) {
            std::uint64_t h = 1469598103934665603ull;
            for (char c : bytes)
                h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            EXPECT_EQ(V2Hash(bytes), h) << zeros;
        }
    }
}

} // namespace
} // namespace veltrane
