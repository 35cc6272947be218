#pragma once

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace dgaws {

// Ctrl-C, a terminate request and the like, delivered as a Qt signal from the event loop of
// the thread that made this object, so that whatever the program does to end runs outside
// the signal handler. The handler only writes the signal's number into a socket pair; a
// notifier on the other end reads it. One object at a time; it puts the previous handlers
// back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::initializer_list<int> signalNumbers = {SIGINT, SIGTERM},
                                QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The first signal that arrived, 0 while none has.
    int first() const { return first_; }
    // The exit status that tells a signal ended the program: 128 + its number.
    static int exitStatus(int signalNumber) { return 128 + signalNumber; }

signals:
    void received(int signalNumber);

private:
    void drain();

    struct Installed {
        int number;
        struct sigaction previous;
    };
    std::vector<Installed> installed_;
    int fds_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
    int first_ = 0;
};

}  // namespace dgaws
