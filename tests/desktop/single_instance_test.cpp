// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <future>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using SingleInstance::FolderProblem;
using SingleInstance::HandOver;

namespace {

// The blocking hand-over runs beside the event loop that serves it.
std::future<HandOver> handOverAside(const QString &path, const QString &address, int timeoutMs = 5000)
{
    return std::async(std::launch::async, [=] { return SingleInstance::handOver(path, address, timeoutMs); });
}

bool isReady(const std::future<HandOver> &future)
{
    return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

sockaddr_un socketAddress(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    qstrncpy(address.sun_path, bytes.constData(), sizeof address.sun_path);
    return address;
}

// A socket file as a crashed run leaves it: bound, nobody listening.
bool leaveStaleSocket(const QString &path)
{
    const sockaddr_un address = socketAddress(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

// Another user, as only root can become one here.
constexpr uid_t OtherUser = 65534;

// A child process that runs work as OtherUser (only system calls in there:
// the parent has threads). work may send numbers through its pipe before
// its result; the child ends with this object.
class OtherUserProcess
{
public:
    explicit OtherUserProcess(const std::function<int(int pipe)> &work)
    {
        int ends[2];
        if (::getuid() != 0 || ::pipe(ends) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            const int pipe = ends[1];
            const int result = ::setresgid(OtherUser, OtherUser, OtherUser) == 0 &&
                                       ::setresuid(OtherUser, OtherUser, OtherUser) == 0
                                   ? work(pipe)
                                   : -1;
            [[maybe_unused]] const auto written = ::write(pipe, &result, sizeof result);
            ::_exit(0);
        }
        ::close(ends[1]);
        m_pipe = ends[0];
    }
    ~OtherUserProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_pipe >= 0)
            ::close(m_pipe);
    }

    bool started() const { return m_pid > 0; }

    // The next number sent, -2 when none comes; the event loop runs meanwhile.
    int next()
    {
        int number = -2;
        pollfd readable{m_pipe, POLLIN, 0};
        if (QTest::qWaitFor([&] { return ::poll(&readable, 1, 0) == 1; }, 10000) &&
            ::read(m_pipe, &number, sizeof number) != sizeof number)
            number = -2;
        return number;
    }

private:
    pid_t m_pid = -1;
    int m_pipe = -1;
};

} // namespace

class SingleInstanceTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void addressDelivered_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("received");
        QTest::newRow("address") << "http://127.0.0.1:8123/sound/1001"
                                 << "http://127.0.0.1:8123/sound/1001";
        QTest::newRow("none: only raise") << QString() << QString();
        QTest::newRow("non-ASCII") << "https://例子.cn/sound/声音?x=1"
                                   << "https://例子.cn/sound/声音?x=1";
        QTest::newRow("line break kept out of the protocol") << "http://h/sound/1\nopen http://evil/"
                                                             << "http://h/sound/1 open http://evil/";
    }

    void addressDelivered()
    {
        QFETCH(QString, address);
        QFETCH(QString, received);
        InstanceServer server;
        QVERIFY(server.listen(path()));
        QSignalSpy spy(&server, &InstanceServer::addressReceived);
        std::future<HandOver> handed = handOverAside(path(), address);
        QTRY_VERIFY(isReady(handed));
        QCOMPARE(handed.get(), HandOver::Delivered);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), received);
    }

    // Each address arrives whole and apart; a tab or line break inside one
    // splits nothing.
    void downloadsDelivered_data()
    {
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QStringList>("received");
        QTest::newRow("several") << QStringList{"http://h/sound/1", "https://例子.cn/sound/声音?x=1"}
                                 << QStringList{"http://h/sound/1", "https://例子.cn/sound/声音?x=1"};
        QTest::newRow("separators kept out of the protocol")
            << QStringList{"http://h/sound/1\topen x", "http://h/sound/2\nopen y"}
            << QStringList{"http://h/sound/1 open x", "http://h/sound/2 open y"};
    }

    void downloadsDelivered()
    {
        QFETCH(QStringList, addresses);
        QFETCH(QStringList, received);
        InstanceServer server;
        QVERIFY(server.listen(path()));
        QSignalSpy downloads(&server, &InstanceServer::downloadsReceived);
        QSignalSpy opened(&server, &InstanceServer::addressReceived);
        auto handed = std::async(std::launch::async,
                                 [&] { return SingleInstance::handOverDownloads(path(), addresses); });
        QTRY_VERIFY(handed.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
        QCOMPARE(handed.get(), HandOver::Delivered);
        QCOMPARE(downloads.count(), 1);
        QCOMPARE(downloads.at(0).at(0).toStringList(), received);
        QCOMPARE(opened.count(), 0);
    }

    void staleSocketTakenOver()
    {
        QCOMPARE(SingleInstance::handOver(path(), QStringLiteral("http://h/sound/1")), HandOver::NoWindow);
        QVERIFY(leaveStaleSocket(path()));
        QCOMPARE(SingleInstance::handOver(path(), QStringLiteral("http://h/sound/1")), HandOver::NoWindow);
        InstanceServer server;
        QVERIFY(server.listen(path()));
        QSignalSpy spy(&server, &InstanceServer::addressReceived);
        std::future<HandOver> handed = handOverAside(path(), QStringLiteral("http://h/sound/2"));
        QTRY_VERIFY(isReady(handed));
        QCOMPARE(handed.get(), HandOver::Delivered);
        QCOMPARE(spy.count(), 1);
    }

    void liveWindowNotStolen()
    {
        InstanceServer first;
        QVERIFY(first.listen(path()));
        InstanceServer second;
        const auto refused = second.listen(path());
        QVERIFY(!refused);
        QCOMPARE(refused.error().reason, InstanceServer::ListenProblem::Answering);
        QSignalSpy firstSpy(&first, &InstanceServer::addressReceived);
        QSignalSpy secondSpy(&second, &InstanceServer::addressReceived);
        std::future<HandOver> handed = handOverAside(path(), QStringLiteral("http://h/sound/3"));
        QTRY_VERIFY(isReady(handed));
        QCOMPARE(handed.get(), HandOver::Delivered);
        QCOMPARE(firstSpy.count(), 1);
        QCOMPARE(secondSpy.count(), 0);
    }

    // A window of this user that is stuck, or answers only in part, holds
    // the start up for the answer time alone (not 5 s) and takes nothing.
    void stuckWindowIsNoAnswer_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("never answers") << QByteArray();
        QTest::newRow("answers half") << QByteArray("o");
    }

    void stuckWindowIsNoAnswer()
    {
        QFETCH(QByteArray, answer);
        QLocalServer stuck;
        QVERIFY(stuck.listen(path()));
        connect(&stuck, &QLocalServer::newConnection, &stuck,
                [&] { stuck.nextPendingConnection()->write(answer); });
        std::future<HandOver> handed =
            handOverAside(path(), QStringLiteral("http://h/sound/4"), SingleInstance::DefaultAnswerMs);
        QTRY_VERIFY_WITH_TIMEOUT(isReady(handed), 4000);
        QCOMPARE(handed.get(), HandOver::NoAnswer);
    }

    // Another user's socket that answers as a window would gets nothing.
    void otherUsersWindowGetsNothing()
    {
        const sockaddr_un address = socketAddress(path());
        const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(listening, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0);
        OtherUserProcess window([listening](int pipe) {
            const int listened = ::listen(listening, 1);
            [[maybe_unused]] const auto told = ::write(pipe, &listened, sizeof listened);
            const int connection = ::accept(listening, nullptr, nullptr);
            [[maybe_unused]] const auto sent = ::write(connection, "ok\n", 3);
            char request[256];
            int received = 0;
            for (ssize_t n; (n = ::read(connection, request, sizeof request)) > 0;)
                received += int(n);
            return received;
        });
        ::close(listening);
        if (!window.started())
            QSKIP("only root can be another user here");
        QCOMPARE(window.next(), 0);
        QCOMPARE(SingleInstance::handOver(path(), QStringLiteral("http://h/sound/5")), HandOver::NotOurs);
        QCOMPARE(window.next(), 0); // bytes received
    }

    // Reached by another user (the socket's mode opened up, as a umask of
    // 000 would), the window takes nothing and answers nothing.
    void otherUsersRequestDropped()
    {
        QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                        QFile::ExeGroup | QFile::ExeOther));
        InstanceServer server;
        QVERIFY(server.listen(path()));
        QCOMPARE(::chmod(QFile::encodeName(path()).constData(), 0777), 0);
        QSignalSpy spy(&server, &InstanceServer::addressReceived);
        const sockaddr_un address = socketAddress(path());
        OtherUserProcess client([&address](int) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
                return -1;
            [[maybe_unused]] const auto sent = ::write(fd, "open http://h/sound/6\n", 22);
            char answer[16];
            const ssize_t n = ::read(fd, answer, sizeof answer);
            return n < 0 ? 0 : int(n);
        });
        if (!client.started())
            QSKIP("only root can be another user here");
        QCOMPARE(client.next(), 0); // bytes answered
        QCOMPARE(spy.count(), 0);
    }

    void socketPathOverriddenOrInRuntimeFolder()
    {
        qputenv("VEXA_HELPER_INSTANCE_SOCKET", "/somewhere/else");
        QCOMPARE(SingleInstance::socketPlace().value(), QStringLiteral("/somewhere/else"));
        qunsetenv("VEXA_HELPER_INSTANCE_SOCKET");
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(SingleInstance::socketPlace().value(),
                 m_dir.filePath(QStringLiteral("vexa-helper-%1.socket").arg(::getuid())));
        qunsetenv("XDG_RUNTIME_DIR");
    }

    // Without a runtime folder the socket lies in a folder of the user's own
    // in the temporary folder, used only as a real folder of this user's
    // that nobody else can enter.
    void socketFolderChecked_data()
    {
        QTest::addColumn<QString>("found"); // what is there before: "", "folder", "file", "symlink"
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<bool>("used");
        QTest::addColumn<FolderProblem>("problem");
        QTest::newRow("missing: made") << QString() << 0 << false << true << FolderProblem{};
        QTest::newRow("own, 0700") << "folder" << 0700 << false << true << FolderProblem{};
        QTest::newRow("open to others") << "folder" << 0755 << false << false << FolderProblem::OpenToOthers;
        QTest::newRow("open to the group")
            << "folder" << 0770 << false << false << FolderProblem::OpenToOthers;
        QTest::newRow("symlink to an own 0700 folder")
            << "symlink" << 0700 << false << false << FolderProblem::Symlink;
        QTest::newRow("plain file") << "file" << 0600 << false << false << FolderProblem::NotAFolder;
        QTest::newRow("another user's") << "folder" << 0700 << true << false << FolderProblem::OtherOwner;
    }

    void socketFolderChecked()
    {
        QFETCH(QString, found);
        QFETCH(int, mode);
        QFETCH(bool, otherOwner);
        QFETCH(bool, used);
        QFETCH(FolderProblem, problem);
        if (otherOwner && ::getuid() != 0)
            QSKIP("only root can give a folder away");
        const QString temp = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(temp));
        const QString folder = QDir(temp).filePath(QStringLiteral("vexa-helper-%1").arg(::getuid()));
        const QByteArray native = QFile::encodeName(folder);
        if (found == QLatin1String("folder"))
            QCOMPARE(::mkdir(native.constData(), mode_t(mode)), 0);
        else if (found == QLatin1String("file"))
            QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
        else if (found == QLatin1String("symlink"))
            QVERIFY(QDir().mkdir(folder + QLatin1String(".real")) &&
                    QFile::link(folder + QLatin1String(".real"), folder));
        if (!found.isEmpty())
            QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
        if (otherOwner)
            QCOMPARE(::chown(native.constData(), OtherUser, OtherUser), 0);
        qunsetenv("VEXA_HELPER_INSTANCE_SOCKET");
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temp));
        const mode_t umask = ::umask(0); // the folder's mode must not come from it
        const auto place = SingleInstance::socketPlace();
        ::umask(umask);
        qunsetenv("TMPDIR");
        QCOMPARE(place.has_value(), used);
        if (!used) {
            QCOMPARE(place.error().reason, problem);
            QCOMPARE(place.error().detail, folder);
            return;
        }
        QVERIFY(place->startsWith(folder + u'/'));
        struct stat made = {};
        QCOMPARE(::lstat(native.constData(), &made), 0);
        QCOMPARE(made.st_mode & 07777, mode_t(0700));
        // A window listens there, and a later start finds it.
        InstanceServer server;
        QVERIFY(server.listen(*place));
        QSignalSpy spy(&server, &InstanceServer::addressReceived);
        std::future<HandOver> handed = handOverAside(*place, QStringLiteral("http://h/sound/7"));
        QTRY_VERIFY(isReady(handed));
        QCOMPARE(handed.get(), HandOver::Delivered);
        QCOMPARE(spy.count(), 1);
    }

private:
    QString path() const { return m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction())); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
