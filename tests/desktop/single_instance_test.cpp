// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/single_instance.h"

#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

// A socket file as a crashed run leaves it: bound, nobody listening.
bool leaveStaleSocket(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    qstrncpy(address.sun_path, bytes.constData(), sizeof address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

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
        QVERIFY2(server.listen(path()), qPrintable(server.errorString()));
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
        QVERIFY(!second.listen(path()));
        QSignalSpy firstSpy(&first, &InstanceServer::addressReceived);
        QSignalSpy secondSpy(&second, &InstanceServer::addressReceived);
        std::future<HandOver> handed = handOverAside(path(), QStringLiteral("http://h/sound/3"));
        QTRY_VERIFY(isReady(handed));
        QCOMPARE(handed.get(), HandOver::Delivered);
        QCOMPARE(firstSpy.count(), 1);
        QCOMPARE(secondSpy.count(), 0);
    }

    // A stuck window accepts the connection but never acknowledges.
    void stuckWindowIsNoAnswer()
    {
        QLocalServer stuck;
        QVERIFY(stuck.listen(path()));
        QCOMPARE(SingleInstance::handOver(path(), QStringLiteral("http://h/sound/4"), 300),
                 HandOver::NoAnswer);
    }

    void socketPathPerUserOrOverridden()
    {
        qputenv("VEXA_HELPER_INSTANCE_SOCKET", "/somewhere/else");
        QCOMPARE(SingleInstance::socketPath(), QStringLiteral("/somewhere/else"));
        qunsetenv("VEXA_HELPER_INSTANCE_SOCKET");
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(SingleInstance::socketPath(),
                 m_dir.filePath(QStringLiteral("vexa-helper-%1.socket").arg(::getuid())));
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(SingleInstance::socketPath(),
                 QDir(QDir::tempPath()).filePath(QStringLiteral("vexa-helper-%1.socket").arg(::getuid())));
    }

private:
    QString path() const { return m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction())); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
