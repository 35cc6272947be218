#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace dgaws {
namespace {

// The write end of the live object's socket pair; -1 when there is none.
volatile std::sig_atomic_t g_writeEnd = -1;

extern "C" void onTerminationSignal(int number)
{
    // Only async-signal-safe calls here; errno is the interrupted code's.
    const int savedErrno = errno;
    const int fd = g_writeEnd;
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        // A full socket means a signal is already waiting to be read: nothing is lost.
        [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds_) != 0) {
        fds_[0] = fds_[1] = -1;
        return;
    }
    g_writeEnd = fds_[0];
    notifier_ = new QSocketNotifier(fds_[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::drain);
    for (const int number : signalNumbers) {
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        // Interrupted system calls carry on; the event loop learns of the signal through
        // the notifier, not through EINTR.
        action.sa_flags = SA_RESTART;
        Installed entry{number, {}};
        if (::sigaction(number, &action, &entry.previous) == 0)
            installed_.push_back(entry);
    }
}

TerminationSignals::~TerminationSignals()
{
    for (const Installed& entry : installed_)
        ::sigaction(entry.number, &entry.previous, nullptr);
    g_writeEnd = -1;
    delete notifier_;
    for (const int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

void TerminationSignals::drain()
{
    unsigned char bytes[16];
    ssize_t n;
    while ((n = ::read(fds_[1], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            const int number = bytes[i];
            if (first_ == 0)
                first_ = number;
            emit received(number);
        }
    }
}

}  // namespace dgaws
