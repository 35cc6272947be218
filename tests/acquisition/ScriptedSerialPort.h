#pragma once

#include "acquisition/CCommPort.h"
#include "acquisition/SerialPortIo.h"

#include <QPointer>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dgaws::test {

// How the next scripted device behaves when it is opened and set up.
struct SerialScript {
    bool refuseOpen = false;
    // The setter that fails, named as the port reports it ("setParity()"); empty for none.
    std::string failingSetter;
    QString systemText = QStringLiteral("Inappropriate ioctl for device");
};

// A serial device played by the test: bytes fed in arrive as received, a read error can be
// raised at any time, and what the port was asked to do is kept for the test to look at.
class ScriptedSerialPort : public SerialPortIo {
public:
    explicit ScriptedSerialPort(SerialScript script) : script_(std::move(script)) {}

    // Bytes arriving on the line; heard only while the port is open, as with a real one.
    void feed(const std::vector<uint8_t>& bytes)
    {
        if (!open_)
            return;
        queued_.append(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<qsizetype>(bytes.size()));
        emit readyRead();
    }
    // The device fails, as a pulled plug does on every later attempt.
    void failRead(const QString& text = QStringLiteral("Input/output error"),
                  QSerialPort::SerialPortError kind = QSerialPort::ReadError)
    {
        errorText_ = text;
        emit errorOccurred(kind);
    }

    bool openReadOnly(const std::string& path) override
    {
        devicePath = path;
        if (script_.refuseOpen) {
            errorText_ = script_.systemText;
            return false;
        }
        open_ = true;
        return true;
    }
    void close() override
    {
        open_ = false;
        queued_.clear();
    }
    bool isOpen() const override { return open_; }

    bool setBaudRate(int rate) override { return setting("setBaudRate()", baud, rate); }
    bool setDataBits(QSerialPort::DataBits bits) override
    {
        return setting("setDataBits()", dataBits, bits);
    }
    bool setParity(QSerialPort::Parity p) override { return setting("setParity()", parity, p); }
    bool setStopBits(QSerialPort::StopBits bits) override
    {
        return setting("setStopBits()", stopBits, bits);
    }
    bool setFlowControl(QSerialPort::FlowControl flow) override
    {
        return setting("setFlowControl()", flowControl, flow);
    }
    bool setRequestToSend(bool on) override
    {
        requestToSend = on;
        return true;
    }
    bool clear() override
    {
        queued_.clear();
        return true;
    }
    void clearError() override { errorText_.clear(); }

    QByteArray readAll() override
    {
        QByteArray out;
        out.swap(queued_);
        return out;
    }
    QString errorString() const override { return errorText_; }

    // What the port was asked to do.
    std::string devicePath;
    int baud = 0;
    QSerialPort::DataBits dataBits = QSerialPort::Data5;
    QSerialPort::Parity parity = QSerialPort::SpaceParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneAndHalfStop;
    QSerialPort::FlowControl flowControl = QSerialPort::SoftwareControl;
    bool requestToSend = false;
    std::vector<std::string> attempted;  // the line setters, in the order they were called

private:
    // A failing setter leaves the port's error set and signals it, as QSerialPort does.
    template <typename T> bool setting(const char* call, T& field, T value)
    {
        attempted.emplace_back(call);
        if (script_.failingSetter == call) {
            errorText_ = script_.systemText;
            emit errorOccurred(QSerialPort::UnsupportedOperationError);
            return false;
        }
        field = value;
        return true;
    }

    SerialScript script_;
    bool open_ = false;
    QByteArray queued_;
    QString errorText_;
};

// Hands a CCommPort a scripted device for every open() and keeps sight of each one (the port
// deletes them when it is done with them).
struct ScriptedPorts {
    SerialScript next;
    std::vector<QPointer<ScriptedSerialPort>> made;

    void install(CCommPort& port)
    {
        port.setPortFactory([this] {
            auto p = std::make_unique<ScriptedSerialPort>(next);
            made.emplace_back(p.get());
            return p;
        });
    }
    ScriptedSerialPort* last() const { return made.empty() ? nullptr : made.back().data(); }
};

}  // namespace dgaws::test
