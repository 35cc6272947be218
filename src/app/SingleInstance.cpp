#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

SingleInstance::~SingleInstance()
{
    delete server_;
    server_ = nullptr;
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString SingleInstance::serverName(const QString& dataRoot)
{
    const QByteArray hash =
        QCryptographicHash::hash(dataRoot.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("dgaws-%1-%2")
        .arg(qEnvironmentVariable("USER", "user"), QString::fromLatin1(hash));
}

bool SingleInstance::lockRoot()
{
    if (lockFd_ >= 0)
        return true;
    const QByteArray path =
        QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + name_ + QStringLiteral(".lock"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // No lock file can be made: a live instance, if any, still answers on its socket.
        QLocalSocket probe;
        probe.connectToServer(name_);
        if (probe.waitForConnected(500)) {
            probe.disconnectFromServer();
            return false;
        }
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

bool SingleInstance::claim()
{
    if (server_)
        return true;
    if (!lockRoot())
        return false;
    // The lock is ours, so a socket file of this name is left from an instance that is gone.
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
    // The holder of the lock may be a moment away from listening.
    QLocalSocket socket;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        socket.connectToServer(name_);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
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
