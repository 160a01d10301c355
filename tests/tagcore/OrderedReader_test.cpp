#include "tagcore/OrderedReader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace veltrane {
namespace {

std::size_t ThreadsInProcess() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

// Entries finish in a scrambled order (later ones often first); every seventh fails.
std::string ReadEntry(std::size_t i) {
    std::this_thread::sleep_for(std::chrono::microseconds((i * 37) % 11 * 50));
    if (i % 7 == 3)
        throw std::runtime_error("entry " + std::to_string(i) + " failed");
    return "entry " + std::to_string(i);
}

TEST(OrderedReaderTest, HandsBackEveryEntryInListOrderWhateverTheWorkerCount) {
    constexpr std::size_t kCount = 300;
    for (const std::size_t jobs : {0u, 1u, 2u, 8u, 1000u}) {
        SCOPED_TRACE("jobs " + std::to_string(jobs));
        std::vector<std::atomic<int>> calls(kCount);
        TOrderedReader<std::string> reader(kCount, jobs, [&](std::size_t i) {
            ++calls[i];
            return ReadEntry(i);
        });
        if (jobs == 0) {
            EXPECT_GE(reader.Workers(), 2u); // a few to start with, more while reads wait
            EXPECT_LE(reader.Workers(), 8u);
        } else {
            EXPECT_EQ(reader.Workers(), jobs == 1 ? 0u : std::min<std::size_t>(jobs, kMaxReadJobs));
        }
        for (std::size_t i = 0; i < kCount; ++i) {
            std::string got;
            try {
                got = reader.Next();
            } catch (const std::runtime_error& e) {
                got = e.what(); // a failure is handed back at its own place; the rest go on
            }
            EXPECT_EQ(got, i % 7 == 3 ? "entry " + std::to_string(i) + " failed"
                                      : "entry " + std::to_string(i));
        }
        EXPECT_THROW(reader.Next(), std::out_of_range);
        for (std::size_t i = 0; i < kCount; ++i)
            EXPECT_EQ(calls[i].load(), 1) << "entry " << i;
    }
}

TEST(OrderedReaderTest, WorkersAreAddedOnlyWhileReadsWaitOnTheDevice) {
    struct Case {
        const char* name;
        std::size_t slowUntil; // reads of entries below this take 2 ms, the rest none
        bool grows;
    };
    for (const Case c : {Case{"all fast", 0, false}, Case{"all slow", 400, true},
                         Case{"a slow start, then fast", 12, false}}) {
        SCOPED_TRACE(c.name);
        TOrderedReader<std::size_t> reader(400, 0, [&](std::size_t i) {
            if (i < c.slowUntil)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            return i;
        });
        const std::size_t first = reader.Workers();
        for (std::size_t i = 0; i < 400; ++i)
            ASSERT_EQ(reader.Next(), i);
        if (c.grows)
            EXPECT_EQ(reader.Workers(), kDefaultReadJobs);
        else
            EXPECT_EQ(reader.Workers(), first);
    }
    // A count the caller chose is kept, however slow the reads.
    TOrderedReader<std::size_t> fixed(100, 3, [](std::size_t i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return i;
    });
    for (std::size_t i = 0; i < 100; ++i)
        fixed.Next();
    EXPECT_EQ(fixed.Workers(), 3u);
}

// With runs, a short list is read by the consumer alone; a long one is handed to the workers
// after the first entries, each run read whole by one worker in order, from a multiple of
// the run on.
TEST(OrderedReaderTest, RunsAreReadWholeByOneWorkerAfterASequentialStart) {
    struct Case {
        std::size_t count, run, jobs, workers;
    };
    for (const Case c : {Case{100, 8, 2, 0}, Case{kSequentialEntries, 64, 4, 0},
                         Case{5000, 64, 3, 3}, Case{4000, 7, 2, 2}, Case{5000, 64, 1, 0}}) {
        SCOPED_TRACE(std::to_string(c.count) + " entries, runs of " + std::to_string(c.run) +
                     ", jobs " + std::to_string(c.jobs));
        std::vector<std::thread::id> by(c.count);
        std::vector<std::size_t> previous(c.count, static_cast<std::size_t>(-1));
        using Reader = TOrderedReader<std::size_t, std::size_t>;
        Reader reader(
            c.count, c.jobs,
            Reader::ReadWithState([&](std::size_t i, std::size_t& last) {
                by[i] = std::this_thread::get_id();
                previous[i] = std::exchange(last, i);
                return i;
            }),
            c.run);
        for (std::size_t i = 0; i < c.count; ++i)
            ASSERT_EQ(reader.Next(), i);
        EXPECT_EQ(reader.Workers(), c.workers);
        for (std::size_t i = 1; i < c.count; ++i) {
            if (i % c.run == 0)
                continue;
            EXPECT_EQ(by[i], by[i - 1]) << i;
            EXPECT_EQ(previous[i], i - 1) << i;
        }
        if (c.workers > 0) {
            const std::size_t handOver = (kSequentialEntries + c.run - 1) / c.run * c.run;
            EXPECT_EQ(by[handOver - 1], std::this_thread::get_id());
            EXPECT_NE(by[handOver], std::this_thread::get_id());
        }
    }
}

TEST(OrderedReaderTest, StoppingEarlyLeavesNoWorkerRunning) {
    const std::size_t before = ThreadsInProcess();
    std::atomic<std::size_t> started{0};
    try {
        TOrderedReader<std::size_t> reader(100000, 8, [&](std::size_t i) {
            ++started;
            if (i == 5)
                throw std::runtime_error("unreadable");
            return i;
        });
        EXPECT_EQ(ThreadsInProcess(), before + 8);
        for (;;)
            reader.Next(); // the failure at entry 5 ends the loop, as a failing scan does
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ThreadsInProcess(), before);
    EXPECT_LT(started.load(), 1000u); // read ahead is bounded, not the whole list
}

} // namespace
} // namespace veltrane
