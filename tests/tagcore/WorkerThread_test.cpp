#include "tagcore/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace veltrane {
namespace {

bool Mapped(std::uintptr_t address) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    unsigned char resident = 0;
    return ::mincore(reinterpret_cast<void*>(address & ~(page - 1)), 1, &resident) == 0 ||
           errno != ENOMEM;
}

TEST(WorkerThreadTest, JoinWaitsForTheBodyAndGivesTheStackBack) {
    std::atomic<std::uintptr_t> onStack{0};
    std::atomic<bool> done{false};
    TWorkerThread first([&] {
        int local = 0;
        onStack = reinterpret_cast<std::uintptr_t>(&local);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        done = true;
    });
    TWorkerThread moved(std::move(first));
    first.Join(); // the moved-from object has nothing to wait for
    EXPECT_FALSE(done.load());
    moved.Join();
    EXPECT_TRUE(done.load());
    ASSERT_NE(onStack.load(), 0u);
    EXPECT_FALSE(Mapped(onStack.load()));
    moved.Join(); // a second call does nothing
}

} // namespace
} // namespace veltrane
