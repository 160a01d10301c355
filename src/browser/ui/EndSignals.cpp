#include "browser/ui/EndSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace veltrane {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int gPipe[2] = {-1, -1};
volatile sig_atomic_t gReceived = 0;
struct sigaction gPrevious[3];

// Only what is safe in a signal handler: remember the signal and wake the event loop.
void OnEndSignal(int Signal) {
    const int saved = errno;
    gReceived = Signal;
    const unsigned char byte = static_cast<unsigned char>(Signal);
    [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TEndSignals::TEndSignals(QObject* Parent) : QObject(Parent) {
    if (gPipe[0] >= 0 || ::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TEndSignals::ReadSignal);
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    // The handler runs once; a second signal finds the default action and ends the program.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

TEndSignals::~TEndSignals() {
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    delete notifier_;
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

int TEndSignals::Received() {
    return gReceived;
}

void TEndSignals::ReadSignal() {
    unsigned char byte = 0;
    while (::read(gPipe[0], &byte, 1) == 1) {
    }
    emit EndRequested(gReceived);
    // Every event loop ends, a message box's too; what runs after it sees the program end.
    QCoreApplication::exit(128 + gReceived);
}

} // namespace veltrane
