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

TEST(SingleInstance, ASecondInstanceOfTheSameRootActivatesTheFirst)
{
    const QString root = uniqueRoot("same");
    SingleInstance first(root);
    ASSERT_TRUE(first.claim());
    int requests = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++requests; });

    SingleInstance second(root);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(activateFromAnotherThread(second));
    EXPECT_EQ(requests, 1);
}

// Two starts at the same moment: the later one may clear the socket file of the earlier
// before that one is reachable. The root stays taken all the same.
TEST(SingleInstance, TheRootStaysTakenWhenItsSocketFileIsGone)
{
    const QString root = uniqueRoot("race");
    SingleInstance first(root);
    ASSERT_TRUE(first.claim());
    QLocalServer::removeServer(SingleInstance::serverName(root));
    SingleInstance second(root);
    EXPECT_FALSE(second.claim());
}

TEST(SingleInstance, ASecondStartHandsItsFilesToTheFirst)
{
    const QString root = uniqueRoot("files");
    SingleInstance first(root);
    ASSERT_TRUE(first.claim());
    QStringList opened;
    QObject::connect(&first, &SingleInstance::openRequested,
                     [&](const QString& path) { opened << path; });
    const QStringList files = {QStringLiteral("/数据/油样 1.chg"), QStringLiteral("/b\nc.cdf")};
    SingleInstance second(root);
    EXPECT_TRUE(activateFromAnotherThread(second, files));
    EXPECT_EQ(opened, files);
}

TEST(SingleInstance, OtherDataRootsRunSideBySideAndNothingIsActivatedWhereNoneRuns)
{
    SingleInstance a(uniqueRoot("a"));
    SingleInstance b(uniqueRoot("b"));
    EXPECT_FALSE(a.activateRunning(200));
    EXPECT_TRUE(a.claim());
    EXPECT_TRUE(b.claim());
}

TEST(SingleInstance, TheSocketOfAnInstanceThatIsGoneIsTakenOver)
{
    const QString root = uniqueRoot("stale");
    {
        SingleInstance first(root);
        ASSERT_TRUE(first.claim());
    }
    // A crashed instance leaves its socket file behind, bound to nobody.
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
