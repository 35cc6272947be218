#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace dgaws;

namespace {

QString uniqueRoot(const char* tag)
{
    return QStringLiteral("/tmp/dgaws-single-%1-%2-%3")
        .arg(QString::fromLatin1(tag))
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch());
}

// Asks from another thread (as a second process would) while this one serves.
bool activateFromAnotherThread(const SingleInstance& second, const QStringList& files = {})
{
    std::atomic<bool> done{false};
    bool answered = false;
    std::thread t([&] {
        answered = second.activateRunning(3000, files);
        done = true;
    });
    QDeadlineTimer deadline(5000);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    t.join();
    QCoreApplication::processEvents();
    return answered;
}

}  // namespace

// A second start of the same data root hands its files to the first and activates it.
TEST(SingleInstance, ASecondInstanceOfTheSameRootHandsItsFilesToTheFirst)
{
    const QString root = uniqueRoot("same");
    SingleInstance first(root);
    ASSERT_TRUE(first.claim());
    int requests = 0;
    QStringList opened;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++requests; });
    QObject::connect(&first, &SingleInstance::openRequested,
                     [&](const QString& path) { opened << path; });
    SingleInstance second(root);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(activateFromAnotherThread(second));
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(opened.isEmpty());
    const QStringList files = {QStringLiteral("/数据/油样 1.chg"), QStringLiteral("/b\nc.cdf")};
    EXPECT_TRUE(activateFromAnotherThread(second, files));
    EXPECT_EQ(opened, files);
    EXPECT_EQ(requests, 2);

    // Two starts at the same moment: the later one may clear the socket file of the earlier
    // before that one is reachable. The root stays taken all the same.
    QLocalServer::removeServer(SingleInstance::serverName(root));
    SingleInstance third(root);
    EXPECT_FALSE(third.claim());
}

// Other data roots run side by side; nothing is activated where none runs; the socket file
// a crashed instance left behind, bound to nobody, is taken over.
TEST(SingleInstance, OtherRootsRunSideBySideAndALeftSocketIsTakenOver)
{
    const QString root = uniqueRoot("a");
    SingleInstance b(uniqueRoot("b"));
    {
        SingleInstance a(root);
        EXPECT_FALSE(a.activateRunning(200));
        EXPECT_TRUE(a.claim());
        EXPECT_TRUE(b.claim());
    }
    const QByteArray file =
        (QDir::tempPath() + "/" + SingleInstance::serverName(root)).toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, file.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(QString::fromLocal8Bit(file)));
    SingleInstance next(root);
    EXPECT_TRUE(next.claim());
}
