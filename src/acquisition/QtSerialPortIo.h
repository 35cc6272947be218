#pragma once

#include "SerialPortIo.h"

#include <QSerialPort>

namespace dgaws {

// A real serial device (or pseudo-terminal) through QSerialPort.
class QtSerialPortIo : public SerialPortIo {
    Q_OBJECT
public:
    explicit QtSerialPortIo(QObject* parent = nullptr);
    ~QtSerialPortIo() override;

    bool openReadOnly(const std::string& devicePath) override;
    void close() override;
    bool isOpen() const override;

    bool setBaudRate(int baud) override;
    bool setDataBits(QSerialPort::DataBits bits) override;
    bool setParity(QSerialPort::Parity parity) override;
    bool setStopBits(QSerialPort::StopBits bits) override;
    bool setFlowControl(QSerialPort::FlowControl flow) override;
    bool setRequestToSend(bool on) override;
    bool clear() override;
    void clearError() override;

    QByteArray readAll() override;
    QString errorString() const override;

private:
    QSerialPort port_;
};

}  // namespace dgaws
