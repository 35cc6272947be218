#include "CCommPort.h"

#include "QtSerialPortIo.h"

#include <QByteArray>

namespace dgaws {

CCommPort::CCommPort(QObject* parent)
    : QObject(parent), portFactory_([] { return std::make_unique<QtSerialPortIo>(); })
{}

CCommPort::~CCommPort()
{
    close();
}

std::string CCommPort::failureText(const std::string& call, const std::string& systemText,
                                   const std::string& port)
{
    // Ports are device paths here; the path stands where the port number stood.
    std::string out = kFailureText;
    out.replace(out.find("%s"), 2, call);
    out.replace(out.find("%s"), 2, systemText);
    out.replace(out.find("%d"), 2, port);
    return out;
}

void CCommPort::report(const std::string& call, const QString& systemText)
{
    if (errorSink_)
        errorSink_(failureText(call, systemText.toStdString(), path_));
}

bool CCommPort::open(ByteSink owner, const std::string& devicePath, int baud, char parity,
                     int dataBits, int stopBits)
{
    close();
    std::unique_ptr<SerialPortIo> port = portFactory_();
    if (!port->openReadOnly(devicePath)) {
        openFailure_ = port->errorString().toStdString();
        return false;
    }
    openFailure_.clear();
    path_ = devicePath;
    owner_ = std::move(owner);
    readErrorReported_ = false;

    QSerialPort::Parity p = QSerialPort::NoParity;
    switch (parity) {
    case 'E':
    case 'e': p = QSerialPort::EvenParity; break;
    case 'O':
    case 'o': p = QSerialPort::OddParity; break;
    case 'M':
    case 'm': p = QSerialPort::MarkParity; break;
    case 'S':
    case 's': p = QSerialPort::SpaceParity; break;
    default: break;
    }
    // Each step only after the previous one worked; the first failure is reported and the
    // port stays open, as a port that opened counts as opened.
    if (!port->setBaudRate(baud))
        report("setBaudRate()", port->errorString());
    else if (!port->setDataBits(static_cast<QSerialPort::DataBits>(dataBits)))
        report("setDataBits()", port->errorString());
    else if (!port->setParity(p))
        report("setParity()", port->errorString());
    else if (!port->setStopBits(stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop))
        report("setStopBits()", port->errorString());
    else if (!port->setFlowControl(QSerialPort::NoFlowControl))
        report("setFlowControl()", port->errorString());
    // RTS up, as the card's host always raised it; a pseudo-terminal has no such line.
    port->setRequestToSend(true);
    port->clear();
    port->clearError();

    connect(port.get(), &SerialPortIo::readyRead, this, &CCommPort::onReadyRead);
    connect(port.get(), &SerialPortIo::errorOccurred, this, &CCommPort::onError);
    port_ = std::move(port);
    ++generation_;
    return true;
}

void CCommPort::close()
{
    ++generation_;
    if (!port_)
        return;
    port_->disconnect(this);
    port_->close();
    // Deleted later: close() may be called from inside a delivery that the port is running.
    port_.release()->deleteLater();
    owner_ = nullptr;
}

bool CCommPort::isOpen() const
{
    return port_ && port_->isOpen();
}

void CCommPort::onReadyRead()
{
    if (!port_)
        return;
    const uint64_t generation = generation_;
    const QByteArray bytes = port_->readAll();
    // Copy: the owner may close or reopen the port while a byte is being handled.
    ByteSink owner = owner_;
    for (char c : bytes) {
        if (generation != generation_ || !owner)
            return;
        owner(static_cast<uint8_t>(c));
    }
}

void CCommPort::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || !port_ || readErrorReported_)
        return;
    // A pulled plug keeps failing; one report is enough until the port is opened again.
    readErrorReported_ = true;
    report("read()", port_->errorString());
    if (error == QSerialPort::ResourceError && lostSink_)
        lostSink_();
}

bool CCommPort::meansBusy(const std::string& systemText)
{
    const QString text = QString::fromStdString(systemText);
    for (const char* word : {"busy", "already open", "locked", "in use"})
        if (text.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}

}  // namespace dgaws
