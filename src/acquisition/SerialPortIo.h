#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <string>

namespace dgaws {

// What CCommPort needs of a serial device: open it for reading, set the line, read what has
// arrived and hear about arrivals and failures. Setters return false on failure and leave the
// reason in errorString(). Signals come on the thread the port lives on; a port is deleted
// with deleteLater(), since it may be closed from inside its own readyRead().
class SerialPortIo : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPortIo() override;

    virtual bool openReadOnly(const std::string& devicePath) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual bool setBaudRate(int baud) = 0;
    virtual bool setDataBits(QSerialPort::DataBits bits) = 0;
    virtual bool setParity(QSerialPort::Parity parity) = 0;
    virtual bool setStopBits(QSerialPort::StopBits bits) = 0;
    virtual bool setFlowControl(QSerialPort::FlowControl flow) = 0;
    virtual bool setRequestToSend(bool on) = 0;
    // Drops whatever is queued in both directions.
    virtual bool clear() = 0;
    virtual void clearError() = 0;

    virtual QByteArray readAll() = 0;
    virtual QString errorString() const = 0;

signals:
    void readyRead();
    void errorOccurred(QSerialPort::SerialPortError error);
};

}  // namespace dgaws
