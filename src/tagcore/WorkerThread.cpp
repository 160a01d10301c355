#include "tagcore/WorkerThread.h"

#include <cerrno>
#include <memory>
#include <pthread.h>
#include <sys/mman.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace veltrane {

namespace {

static_assert(sizeof(pthread_t) <= sizeof(unsigned long));

[[noreturn]] void Fail(int Error, const char* What) {
    throw std::system_error(Error, std::generic_category(), What);
}

} // namespace

TWorkerThread::TWorkerThread(std::function<void()> Body) {
    // The thread owns its body: moving this object leaves it untouched.
    auto body = std::make_unique<std::function<void()>>(std::move(Body));
    stack_ = ::mmap(nullptr, kStackSize, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
    if (stack_ == MAP_FAILED) {
        stack_ = nullptr;
        Fail(errno, "worker stack");
    }
    // An overflow faults on the lowest page instead of writing past the stack.
    const long page = ::sysconf(_SC_PAGESIZE);
    ::mprotect(stack_, static_cast<std::size_t>(page), PROT_NONE);

    pthread_attr_t attr;
    int error = ::pthread_attr_init(&attr);
    if (error == 0) {
        error = ::pthread_attr_setstack(&attr, stack_, kStackSize);
        pthread_t thread{};
        if (error == 0)
            error = ::pthread_create(&thread, &attr, &TWorkerThread::Start, body.get());
        ::pthread_attr_destroy(&attr);
        if (error == 0) {
            thread_ = static_cast<unsigned long>(thread);
            joinable_ = true;
            body.release(); // the thread owns it now
            return;
        }
    }
    ::munmap(stack_, kStackSize);
    stack_ = nullptr;
    Fail(error, "worker thread");
}

TWorkerThread::TWorkerThread(TWorkerThread&& Other) noexcept
    : stack_(std::exchange(Other.stack_, nullptr)), thread_(Other.thread_),
      joinable_(std::exchange(Other.joinable_, false)) {}

TWorkerThread::~TWorkerThread() { Join(); }

void TWorkerThread::Join() {
    if (joinable_) {
        ::pthread_join(static_cast<pthread_t>(thread_), nullptr);
        joinable_ = false;
    }
    if (stack_ != nullptr)
        ::munmap(std::exchange(stack_, nullptr), kStackSize);
}

void* TWorkerThread::Start(void* Self) noexcept {
    const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(Self));
    (*body)();
    return nullptr;
}

} // namespace veltrane
