#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace dgaws::test {

// A pseudo-terminal pair: the program opens the device path, the test plays the collector
// on the other side.
class PtyPair {
public:
    PtyPair()
    {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            path_ = name;
            termios t{};
            ::tcgetattr(slave_, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(slave_, TCSANOW, &t);
            ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    ~PtyPair()
    {
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0 && !path_.empty(); }
    const std::string& path() const { return path_; }

    // All of `bytes`, waiting while the line is full; false when the line fails or `stop`
    // is set first (nobody may be reading any more).
    bool write(const std::vector<uint8_t>& bytes, const std::atomic<bool>* stop = nullptr) const
    {
        size_t done = 0;
        while (done < bytes.size()) {
            if (stop && *stop)
                return false;
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n >= 0)
                done += static_cast<size_t>(n);
            else if (errno == EAGAIN || errno == EINTR)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            else
                return false;
        }
        return true;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// Writes `bytes` into the line from a thread of its own, once or (a millisecond apart) over
// and over, until stopped.
class LineFeeder {
public:
    LineFeeder(const PtyPair& pty, std::vector<uint8_t> bytes, bool repeat = false)
        : thread_([this, &pty, bytes = std::move(bytes), repeat] {
              while (pty.write(bytes, &stop_) && repeat)
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
          })
    {}
    ~LineFeeder() { stop(); }
    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Runs the event loop until `done` holds or the deadline passes; true when it held.
inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // Wakes the loop now and then, so the deadline is seen even when nothing else happens.
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// One QCoreApplication for the whole test program.
inline void ensureApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test_acquisition";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

}  // namespace dgaws::test
