#pragma once
// A thread whose stack is mapped by us and unmapped when it is joined.
//
// The C library keeps the stacks of finished threads for reuse, with the pages they touched:
// a cold read that grew to 32 workers would keep over 500 KB of them for the rest of the
// program. A worker of ours gives its whole stack back when it is joined.

#include <cstddef>
#include <functional>

namespace veltrane {

class TWorkerThread {
  public:
    // Address space only: pages are taken as the stack grows into them. Decoding and
    // writing a tag, error reports and unwinding included, stay far below this.
    static constexpr std::size_t kStackSize = std::size_t{2} << 20;

    // Starts Body on a new thread; throws std::system_error when no thread or no stack can be
    // had. Body must not throw.
    explicit TWorkerThread(std::function<void()> Body);
    ~TWorkerThread(); // joins
    TWorkerThread(TWorkerThread&& Other) noexcept;
    TWorkerThread& operator=(TWorkerThread&&) = delete;
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Waits for Body to return and gives the stack back; a second call does nothing.
    void Join();

  private:
    static void* Start(void* Self) noexcept;

    void* stack_ = nullptr;
    unsigned long thread_ = 0; // pthread_t
    bool joinable_ = false;
};

} // namespace veltrane
