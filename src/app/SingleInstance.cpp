#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace dgaws {

namespace {
constexpr char kActivate[] = "activate\n";
constexpr char kActivated[] = "ok\n";
// A path travels as base64 of its UTF-8 bytes, so no character of a name breaks the line.
constexpr char kOpen[] = "open ";
}  // namespace

SingleInstance::SingleInstance(const QString& dataRoot, QObject* parent)
    : QObject(parent), name_(serverName(dataRoot))
{}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& dataRoot)
{
    const QByteArray hash =
        QCryptographicHash::hash(dataRoot.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("dgaws-%1-%2")
        .arg(qEnvironmentVariable("USER", "user"), QString::fromLatin1(hash));
}

bool SingleInstance::claim()
{
    if (server_)
        return true;
    {
        // A live instance accepts the connection; a stale socket file refuses it.
        QLocalSocket probe;
        probe.connectToServer(name_);
        if (probe.waitForConnected(500)) {
            probe.disconnectFromServer();
            return false;
        }
    }
    QLocalServer::removeServer(name_);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name_)) {
        delete server;
        return false;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    return true;
}

void SingleInstance::onConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine();
                if (line.startsWith(kOpen)) {
                    emit openRequested(QString::fromUtf8(
                        QByteArray::fromBase64(line.mid(sizeof kOpen - 1).trimmed())));
                    continue;
                }
                if (line == kActivate) {
                    socket->write(kActivated);
                    socket->flush();
                    emit activationRequested();
                }
            }
        });
    }
}

bool SingleInstance::activateRunning(int timeoutMs, const QStringList& files) const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    for (const QString& file : files)
        socket.write(kOpen + file.toUtf8().toBase64() + '\n');
    socket.write(kActivate);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == kActivated;
}

}  // namespace dgaws
