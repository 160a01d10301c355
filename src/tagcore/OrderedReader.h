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
// With runs (Run > 1), a worker claims Run neighbouring entries at once, the runs starting at
// multiples of Run, and reads them in order: the read function may then read a whole run in
// one request. The consumer reads the first kSequentialEntries itself, so a short list on a
// warm cache costs no thread at all; the workers, as many as the caller asked for (a worker
// per core, two at least, eight at most, when not), take over from there.
//
// Workers read at most Window entries ahead of the consumer, so memory stays bounded and a
// consumer that stops early leaves few entries read for nothing. Destroying the reader (also
// while an exception unwinds) stops the workers and waits for them: when the owner returns,
// no worker is running. The read function must be safe to call from several threads at once;
// it is never called for an index twice, nor after the reader is destroyed.

#include "tagcore/WorkerThread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

namespace veltrane {

// When the caller does not choose, the reader starts with a worker per core (two at least,
// eight at most) and, while reads wait on the disk or the network, doubles them up to
// kDefaultReadJobs: a cold disk or a share answers many requests at once far faster than one
// after another, and a warm cache is served best by few threads.
inline constexpr std::size_t kDefaultReadJobs = 32;
// A read that takes longer than this waited for the device: a cached file takes some
// microseconds. Workers are added when at least a quarter of the reads were that slow, so a
// worker that the scheduler merely paused now and then does not count.
inline constexpr std::chrono::microseconds kSlowRead{50};
// Largest accepted job count (a guard against a typo such as --jobs 100000).
inline constexpr std::size_t kMaxReadJobs = 256;
// With runs, the entries the consumer reads itself before workers start: a thread's start
// and the hand-over of every result cost more than they save on some thousand warm files.
inline constexpr std::size_t kSequentialEntries = 2048;

// State: what one worker keeps from entry to entry during the run (say, the folder it has
// open), made anew for each worker and for the sequential read, gone with the reader.
template <class Result, class State = std::monostate> class TOrderedReader {
  public:
    using ReadFunction = std::function<Result(std::size_t Index)>;
    using ReadWithState = std::function<Result(std::size_t Index, State& WorkerState)>;

    TOrderedReader(std::size_t Count, std::size_t Jobs, ReadFunction Read)
        : TOrderedReader(Count, Jobs, ReadWithState([read = std::move(Read)](std::size_t i, State&) {
              return read(i);
          })) {}

    TOrderedReader(std::size_t Count, std::size_t Jobs, ReadWithState Read, std::size_t Run = 1)
        : count_(Count), read_(std::move(Read)), run_(std::max<std::size_t>(Run, 1)) {
        const std::size_t cores =
            std::clamp<std::size_t>(std::thread::hardware_concurrency(), 2, 8);
        if (run_ > 1) {
            maxWorkers_ = Jobs == 0 ? cores : std::min(Jobs, kMaxReadJobs);
            handOver_ = (kSequentialEntries + run_ - 1) / run_ * run_;
            if (maxWorkers_ <= 1 || Count <= handOver_)
                return; // sequential: Next() reads
            window_ = 4 * run_ * maxWorkers_;
            batch_ = run_;
            slots_ = std::make_unique<Slot[]>(window_);
            return; // Next() starts the workers after the first entries
        }
        maxWorkers_ = std::min(Jobs == 0 ? kDefaultReadJobs : std::min(Jobs, kMaxReadJobs), Count);
        if (maxWorkers_ <= 1)
            return; // sequential: Next() reads
        std::size_t jobs = maxWorkers_;
        if (Jobs == 0)
            jobs = std::min(maxWorkers_, cores);
        growable_ = jobs < maxWorkers_;
        window_ = std::max<std::size_t>(64, 8 * maxWorkers_);
        batch_ = std::min<std::size_t>(maxWorkers_, 8);
        slots_ = std::make_unique<Slot[]>(window_);
        workers_.reserve(maxWorkers_);
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
        if (workers_.empty() && slots_ && index == handOver_)
            StartWorkers(index);
        if (workers_.empty())
            return read_(index, sequentialState_);
        Slot& slot = slots_[index % window_];
        if (slot.Ready.load(std::memory_order_acquire) != index + 1) {
            if (workers_.size() < maxWorkers_ && ReadsWaitOnTheDevice())
                AddWorkers();
            WaitForResult(index);
        }
        std::optional<Result> value = std::move(slot.Value);
        const std::exception_ptr error = std::exchange(slot.Error, nullptr);
        slot.Value.reset();
        consumed_.store(index + 1);
        // Waking a worker for every free slot would cost a system call per entry on a warm
        // cache, where the workers outrun this thread: wake one each time half the window
        // has come free. A woken worker wakes the next while much space is left.
        if ((index + 1) % (window_ / 2) == 0 && idleWorkers_.load() > 0)
            WakeOneWorker();
        if (error)
            std::rethrow_exception(error);
        return std::move(*value);
    }

    // Stops the workers and waits for them; entries not yet handed out are dropped. Called by
    // the destructor; Next() must not be called afterwards.
    void Stop() {
        stopping_.store(true);
        {
            std::lock_guard lock(mutex_);
            spaceFree_.notify_all();
        }
        for (TWorkerThread& t : workers_)
            t.Join();
    }

  private:
    static constexpr std::size_t kNobody = static_cast<std::size_t>(-1);

    // Judged on the reads since the workers were last added, once there are enough of them
    // that the slow first reads of a warm run (code, folders and caches of a fresh start) do
    // not pass for a slow device. A cold disk yields so many within milliseconds.
    static constexpr std::size_t kJudgedReads = 64;
    bool ReadsWaitOnTheDevice() {
        const std::size_t reads = reads_.load(std::memory_order_relaxed);
        if (reads < kJudgedReads)
            return false;
        const std::size_t slow = slowReads_.load(std::memory_order_relaxed);
        reads_.store(0, std::memory_order_relaxed);
        slowReads_.store(0, std::memory_order_relaxed);
        return 4 * slow >= reads;
    }

    // Reads wait on the device while this thread waits for them: twice the workers, so more
    // requests are in flight. A thread that cannot be started leaves the others at work.
    void AddWorkers() {
        const std::size_t more = std::min(workers_.size(), maxWorkers_ - workers_.size());
        try {
            for (std::size_t w = 0; w < more; ++w)
                workers_.emplace_back([this] { Work(); });
        } catch (const std::exception&) { // no thread, stack or memory for one
            maxWorkers_ = workers_.size();
        }
    }

    // With runs: the workers take over at First, a multiple of the run. A thread that cannot
    // be started leaves the others at work, or the consumer reading on alone.
    void StartWorkers(std::size_t First) {
        claimed_.store(First);
        consumed_.store(First);
        workers_.reserve(maxWorkers_);
        try {
            for (std::size_t w = 0; w < maxWorkers_; ++w)
                workers_.emplace_back([this] { Work(); });
        } catch (const std::exception&) {
        }
    }

    // A slot of its own cache line: workers fill neighbouring slots at the same time.
    struct alignas(64) Slot {
        std::optional<Result> Value;
        std::exception_ptr Error;
        std::atomic<std::size_t> Ready{0}; // index + 1 of the entry the slot holds
    };

    // True when the batch_ entries from index on (or up to the end) are ready.
    bool RunReady(std::size_t index) const {
        const std::size_t end = std::min(count_, index + batch_);
        for (std::size_t i = index; i < end; ++i)
            if (slots_[i % window_].Ready.load() != i + 1)
                return false;
        return true;
    }

    // Waking up for every entry would cost a system call each on a warm cache, where this
    // thread is faster than the workers: sleep until a run of entries is ready.
    void WaitForResult(std::size_t index) {
        std::unique_lock lock(mutex_);
        // Sleeping workers hold no entry, but the one awaited may not be claimed yet.
        if (idleWorkers_.load() > 0)
            spaceFree_.notify_one();
        consumerWaitsFor_.store(index);
        resultReady_.wait(lock, [&] { return RunReady(index); });
        consumerWaitsFor_.store(kNobody);
    }

    void WakeOneWorker() {
        std::lock_guard lock(mutex_);
        spaceFree_.notify_one();
    }

    bool HasSpace() const { return claimed_.load() + run_ <= consumed_.load() + window_; }

    // The next run to read (its first entry), claimed only while the window has room for all
    // of it; kNobody when the list is done or the reader stops. A worker sleeps without an
    // entry of its own.
    std::size_t Claim() {
        std::size_t index = claimed_.load();
        bool woken = false;
        for (;;) {
            if (stopping_.load() || index >= count_)
                return kNobody;
            if (index + run_ > consumed_.load() + window_) {
                std::unique_lock lock(mutex_);
                idleWorkers_.fetch_add(1);
                spaceFree_.wait(lock, [&] {
                    return stopping_.load() || claimed_.load() >= count_ || HasSpace();
                });
                idleWorkers_.fetch_sub(1);
                index = claimed_.load();
                woken = true;
                continue;
            }
            if (claimed_.compare_exchange_weak(index, index + run_))
                break;
        }
        // Cold files keep every worker waiting on the disk: a woken worker wakes the next
        // while much of the window is free, so all of them are soon at work.
        if (woken && idleWorkers_.load() > 0 &&
            claimed_.load() + window_ / 2 <= consumed_.load() + window_)
            WakeOneWorker();
        return index;
    }

    // The atomics are sequentially consistent on purpose: each side stores its own state
    // before it looks at the other's, so a sleeper is never missed.
    void Work() {
        State state;
        for (;;) {
            const std::size_t first = Claim();
            if (first == kNobody)
                return;
            const std::size_t end = std::min(count_, first + run_);
            for (std::size_t index = first; index < end; ++index)
                ReadInto(index, state);
        }
    }

    void ReadInto(std::size_t index, State& state) {
        Slot& slot = slots_[index % window_];
        const auto start = growable_ ? std::chrono::steady_clock::now()
                                     : std::chrono::steady_clock::time_point();
        try {
            slot.Value.emplace(read_(index, state));
        } catch (...) {
            slot.Error = std::current_exception();
        }
        if (growable_) {
            reads_.fetch_add(1, std::memory_order_relaxed);
            if (std::chrono::steady_clock::now() - start > kSlowRead)
                slowReads_.fetch_add(1, std::memory_order_relaxed);
        }
        slot.Ready.store(index + 1);
        const std::size_t waiter = consumerWaitsFor_.load();
        if (waiter != kNobody && index >= waiter && index < waiter + batch_ && RunReady(waiter)) {
            std::lock_guard lock(mutex_);
            resultReady_.notify_one();
        }
    }

    const std::size_t count_;
    const ReadWithState read_;
    const std::size_t run_;
    std::size_t handOver_ = 0; // with runs: the entry from which workers read
    State sequentialState_;
    std::size_t next_ = 0; // consumer side only

    std::size_t maxWorkers_ = 0;
    bool growable_ = false; // set before the workers start
    std::size_t window_ = 0;
    std::size_t batch_ = 1;
    std::unique_ptr<Slot[]> slots_;
    std::vector<TWorkerThread> workers_;
    std::mutex mutex_; // only for sleeping and waking
    std::condition_variable resultReady_;
    std::condition_variable spaceFree_;
    std::atomic<std::size_t> claimed_{0};  // entries handed to workers
    std::atomic<std::size_t> consumed_{0}; // entries handed back by Next()
    std::atomic<std::size_t> consumerWaitsFor_{kNobody};
    std::atomic<std::size_t> idleWorkers_{0};
    std::atomic<std::size_t> reads_{0}, slowReads_{0}; // since workers were last added
    std::atomic<bool> stopping_{false};
};

} // namespace veltrane
