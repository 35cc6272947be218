#include "QtSerialPortIo.h"

namespace dgaws {

QtSerialPortIo::QtSerialPortIo(QObject* parent) : SerialPortIo(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialPortIo::readyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPortIo::errorOccurred);
}

QtSerialPortIo::~QtSerialPortIo() = default;

bool QtSerialPortIo::openReadOnly(const std::string& devicePath)
{
    port_.setPortName(QString::fromStdString(devicePath));
    return port_.open(QIODevice::ReadOnly);
}

void QtSerialPortIo::close()
{
    port_.close();
}

bool QtSerialPortIo::isOpen() const
{
    return port_.isOpen();
}

bool QtSerialPortIo::setBaudRate(int baud)
{
    return port_.setBaudRate(baud);
}

bool QtSerialPortIo::setDataBits(QSerialPort::DataBits bits)
{
    return port_.setDataBits(bits);
}

bool QtSerialPortIo::setParity(QSerialPort::Parity parity)
{
    return port_.setParity(parity);
}

bool QtSerialPortIo::setStopBits(QSerialPort::StopBits bits)
{
    return port_.setStopBits(bits);
}

bool QtSerialPortIo::setFlowControl(QSerialPort::FlowControl flow)
{
    return port_.setFlowControl(flow);
}

bool QtSerialPortIo::setRequestToSend(bool on)
{
    return port_.setRequestToSend(on);
}

bool QtSerialPortIo::clear()
{
    return port_.clear(QSerialPort::AllDirections);
}

void QtSerialPortIo::clearError()
{
    port_.clearError();
}

QByteArray QtSerialPortIo::readAll()
{
    return port_.readAll();
}

QString QtSerialPortIo::errorString() const
{
    return port_.errorString();
}

}  // namespace dgaws
