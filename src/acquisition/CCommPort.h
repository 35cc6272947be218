#pragma once

#include "SerialPortIo.h"

#include <QObject>
#include <QSerialPort>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace dgaws {

// One serial device, opened receive-only. Every received byte goes to the owner one at a
// time, in arrival order, on the thread the port lives on (the owner's), so all parsing
// happens there. Failures of the port's configuration or of reading are reported once each
// through the error sink; opening a device that is absent or busy is not reported (the
// callers tell the operator).
class CCommPort : public QObject {
    Q_OBJECT
public:
    using ByteSink = std::function<void(uint8_t byte)>;
    using ErrorSink = std::function<void(const std::string& text)>;
    // The device went away (an adapter pulled out): nothing more will come from it.
    using LostSink = std::function<void()>;
    // Makes the device object for each open(); a real serial port unless told otherwise.
    using PortFactory = std::function<std::unique_ptr<SerialPortIo>()>;

    static constexpr const char* kFailureText =
        "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n";

    explicit CCommPort(QObject* parent = nullptr);
    ~CCommPort() override;

    void setErrorSink(ErrorSink sink) { errorSink_ = std::move(sink); }
    void setLostSink(LostSink sink) { lostSink_ = std::move(sink); }
    void setPortFactory(PortFactory factory) { portFactory_ = std::move(factory); }

    // Opens the device at the given line settings (parity as 'N', 'E', 'O', 'M' or 'S') and
    // starts handing bytes to `owner`. True when the device was opened, even if a setting
    // could not be applied (that failure has been reported).
    bool open(ByteSink owner, const std::string& devicePath, int baud = 9600, char parity = 'N',
              int dataBits = 8, int stopBits = 1);
    // Stops delivery at once (also in the middle of a burst) and frees the device.
    void close();

    bool isOpen() const;
    const std::string& devicePath() const { return path_; }
    // Why the last open() failed, in the system's words; empty after a success.
    const std::string& openFailure() const { return openFailure_; }
    // The system's words say the device is held by another program.
    static bool meansBusy(const std::string& systemText);

    // The report text for a failing call on a port.
    static std::string failureText(const std::string& call, const std::string& systemText,
                                   const std::string& port);

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void report(const std::string& call, const QString& systemText);

    PortFactory portFactory_;
    std::unique_ptr<SerialPortIo> port_;
    ByteSink owner_;
    ErrorSink errorSink_;
    LostSink lostSink_;
    std::string path_;
    std::string openFailure_;
    uint64_t generation_ = 0;
    bool readErrorReported_ = false;
};

}  // namespace dgaws
