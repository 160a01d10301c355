#pragma once
// Reads the entries of an ordered list through a small pool of worker threads and hands the
// results back strictly in list order, while later entries are already being read.
//
//   TOrderedReader<Row> reader(paths.size(), jobs, [&](std::size_t i) { return ReadRow(paths[i]); });
//   for (std::size_t i = 0; i < paths.size(); ++i) Use(reader.Next()); // rethrows entry i's error
//
// A disk or a network share answers many requests at once far faster than one after another,
// so a cold collection opens several times faster; on a warm cache the workers also share the
// per-entry CPU work. With one job (or one entry) no thread is started: Next() calls the read
// function itself, which is the plain sequential read.
//
// Workers read at most Window entries ahead of the consumer, so memory stays bounded and a
// consumer that stops early leaves few entries read for nothing. Destroying the reader (also
// while an exception unwinds) stops the workers and waits for them: when the owner returns,
// no worker is running. The read function must be safe to call from several threads at once;
// it is never called for an index twice, nor after the reader is destroyed.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace veltrane {

// Workers used when the caller does not choose: enough requests in flight to keep a local disk
// or a network share busy, few enough to cost nothing on a warm cache.
inline constexpr std::size_t kDefaultReadJobs = 16;
// Largest accepted job count (a guard against a typo such as --jobs 100000).
inline constexpr std::size_t kMaxReadJobs = 256;

template <class Result> class TOrderedReader {
  public:
    using ReadFunction = std::function<Result(std::size_t Index)>;

    TOrderedReader(std::size_t Count, std::size_t Jobs, ReadFunction Read)
        : count_(Count), read_(std::move(Read)) {
        std::size_t jobs = Jobs == 0 ? kDefaultReadJobs : std::min(Jobs, kMaxReadJobs);
        jobs = std::min(jobs, Count);
        if (jobs <= 1)
            return; // sequential: Next() reads
        window_ = std::max<std::size_t>(64, 8 * jobs);
        batch_ = std::min<std::size_t>(jobs, 8);
        slots_.resize(window_);
        workers_.reserve(jobs);
        try {
            for (std::size_t w = 0; w < jobs; ++w)
                workers_.emplace_back([this] { Work(); });
        } catch (...) {
            Stop();
            throw;
        }
    }

    ~TOrderedReader() { Stop(); }
    TOrderedReader(const TOrderedReader&) = delete;
    TOrderedReader& operator=(const TOrderedReader&) = delete;

    // Worker threads started (0 for the sequential read).
    std::size_t Workers() const { return workers_.size(); }

    // The result of the next entry in list order; rethrows what its read threw. Calling it
    // more than Count times is a logic error (std::out_of_range).
    Result Next() {
        if (next_ >= count_)
            throw std::out_of_range("TOrderedReader: no entry left");
        const std::size_t index = next_++;
        if (workers_.empty())
            return read_(index);
        Slot& slot = slots_[index % window_];
        std::unique_lock lock(mutex_);
        if (!slot.Ready) {
            // Waking up for every entry would cost a system call each on a warm cache, where
            // this thread is faster than the workers: sleep until a run of entries is ready.
            consumerWaitsFor_ = index;
            resultReady_.wait(lock, [&] { return RunReady(index); });
            consumerWaitsFor_ = kNobody;
        }
        std::optional<Result> value = std::move(slot.Value);
        const std::exception_ptr error = std::exchange(slot.Error, nullptr);
        slot.Value.reset();
        slot.Ready = false;
        consumed_ = index + 1;
        // Waking sleeping workers one slot at a time would cost a system call per entry on a
        // warm cache; wake them once half the window is free.
        if (idleWorkers_ > 0 && claimed_ - consumed_ <= window_ / 2)
            spaceFree_.notify_all();
        lock.unlock();
        if (error)
            std::rethrow_exception(error);
        return std::move(*value);
    }

    // Stops the workers and waits for them; entries not yet handed out are dropped. Called by
    // the destructor; Next() must not be called afterwards.
    void Stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        spaceFree_.notify_all();
        for (std::thread& t : workers_)
            if (t.joinable())
                t.join();
    }

  private:
    static constexpr std::size_t kNobody = static_cast<std::size_t>(-1);

    struct Slot {
        std::optional<Result> Value;
        std::exception_ptr Error;
        bool Ready = false;
    };

    // True when the batch_ entries from index on (or up to the end) are ready; under mutex_.
    bool RunReady(std::size_t index) const {
        const std::size_t end = std::min(count_, index + batch_);
        for (std::size_t i = index; i < end; ++i)
            if (!slots_[i % window_].Ready)
                return false;
        return true;
    }

    void Work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (!stopping_ && claimed_ < count_ && claimed_ >= consumed_ + window_) {
                ++idleWorkers_;
                spaceFree_.wait(lock, [&] {
                    return stopping_ || claimed_ >= count_ || claimed_ < consumed_ + window_;
                });
                --idleWorkers_;
            }
            if (stopping_ || claimed_ >= count_)
                return;
            const std::size_t index = claimed_++;
            lock.unlock();
            std::optional<Result> value;
            std::exception_ptr error;
            try {
                value.emplace(read_(index));
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            Slot& slot = slots_[index % window_];
            slot.Value = std::move(value);
            slot.Error = std::move(error);
            slot.Ready = true;
            if (consumerWaitsFor_ != kNobody && RunReady(consumerWaitsFor_))
                resultReady_.notify_one();
        }
    }

    const std::size_t count_;
    const ReadFunction read_;
    std::size_t next_ = 0; // consumer side only

    std::size_t window_ = 0;
    std::size_t batch_ = 1;
    std::vector<Slot> slots_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable resultReady_;
    std::condition_variable spaceFree_;
    // Guarded by mutex_.
    std::size_t claimed_ = 0;  // entries handed to workers
    std::size_t consumed_ = 0; // entries handed back by Next()
    std::size_t consumerWaitsFor_ = kNobody;
    std::size_t idleWorkers_ = 0;
    bool stopping_ = false;
};

} // namespace veltrane
