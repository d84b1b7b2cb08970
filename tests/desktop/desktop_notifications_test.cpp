// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/desktop_wiring.h"
#include "desktop/desktop_notifications.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "support/start_up.h"
#include "support/user_input.h"
#include "support/window_downloads.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

int g_unavailableLines = 0;
QtMessageHandler g_previousHandler = nullptr;

void countUnavailable(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QStringLiteral("无法发送桌面通知")))
        ++g_unavailableLines;
    g_previousHandler(type, context, message);
}

} // namespace

// The desktop's notification service as far as the program uses it.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        QString summary;
        QString body;
        QStringList actions;
    };
    QList<Shown> shown;

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &, int)
    {
        shown.append({summary, body, actions});
        return uint(shown.size());
    }

signals:
    void ActionInvoked(uint id, const QString &action_key);
};

class DesktopNotificationsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QTemporaryDir> m_downloads; // fresh for each test
    SampleService m_service;
    FakeNotifications m_fake;
    QList<QUrl> m_opened;

    // A window whose update check passed, its downloads told to the desktop.
    std::unique_ptr<MainWindow> readyWindow()
    {
        auto w = std::make_unique<MainWindow>(ServiceConfig::allAt(m_service.hostAndPort()));
        w->setSkinPath(QStringLiteral("/nonexistent/1.she"));
        m_downloads = std::make_unique<QTemporaryDir>();
        w->setDownloadFolder(m_downloads->path());
        connectDownloadNotifications(*w, (new WindowDownloads(*w))->queue())
            ->setOpener([this](const QUrl &url) {
                m_opened.append(url);
                return true;
            });
        return startUpAndWait(*w) ? std::move(w) : nullptr;
    }

    // Analyses the sound, downloads it and waits until the desktop has answered.
    bool download(MainWindow &w, const QString &sound)
    {
        w.setAddressText(QStringLiteral("http://%1/sound/%2").arg(m_service.hostAndPort(), sound));
        QSignalSpy analysed(&w, &MainWindow::analysisEnded);
        QSignalSpy ended(&WindowDownloads::of(w), &DownloadQueue::ended);
        w.analyseAddress();
        if (!analysed.wait(30000) || !QTest::qWaitForWindowExposed(&w))
            return false;
        UserInput::click(w.findChild<QPushButton *>(QStringLiteral("downloadButton")));
        return ended.wait(30000) && answered(w);
    }

    // Waits until the desktop has answered every notification sent.
    static bool answered(MainWindow &w)
    {
        const auto *notifications = w.findChild<DesktopNotifications *>();
        return QTest::qWaitFor(
            [&] { return notifications->findChildren<QDBusPendingCallWatcher *>().isEmpty(); });
    }

    static bool putInFront(QWidget &window)
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           m_dir.filePath(QStringLiteral("config")));
        QVERIFY(m_service.start());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        // The same sound downloaded again is asked about first: yes.
        setQuestionAnswerer([](const QString &, const QString &) { return Answer::Yes; });
        g_previousHandler = qInstallMessageHandler(countUnavailable);
    }

    // Runs first, while nobody owns the service's name.
    void noServiceTellsOnce()
    {
        auto w = readyWindow();
        QWidget other;
        QVERIFY(w && putInFront(other));
        QVERIFY(download(*w, QStringLiteral("1001")));
        QVERIFY(download(*w, QStringLiteral("1001")));
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐下载完成: 苏晓棠 - 晨光里的小城 (1).wav"));
        QCOMPARE(g_unavailableLines, 1);
    }

    void notifiesWhileInactive()
    {
        // A connection of its own, as the service is another program.
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake"));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &m_fake,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        auto w = readyWindow();
        QVERIFY(w && putInFront(*w));
        QVERIFY(download(*w, QStringLiteral("1001")));
        QCOMPARE(m_fake.shown.size(), 0);

        QWidget other;
        QVERIFY(putInFront(other));
        QVERIFY(download(*w, QStringLiteral("1001")));
        QVERIFY(download(*w, QStringLiteral("file-status-404")));
        QCOMPARE(m_fake.shown.size(), 2);
        const FakeNotifications::Shown saved = m_fake.shown.at(0);
        const QString name = QStringLiteral("苏晓棠 - 晨光里的小城 (1).wav");
        const QDir folder(m_downloads->path());
        QCOMPARE(saved.summary, QStringLiteral("音乐下载完成"));
        QCOMPARE(saved.body, name);
        QCOMPARE(saved.actions, (QStringList{QStringLiteral("open"), QStringLiteral("打开"),
                                             QStringLiteral("open-folder"), QStringLiteral("打开文件夹")}));
        const FakeNotifications::Shown failed = m_fake.shown.at(1);
        QCOMPARE(failed.summary, QStringLiteral("音乐下载失败"));
        QVERIFY2(failed.body.endsWith(QStringLiteral("\n服务器返回错误 404")), qPrintable(failed.body));
        QCOMPARE(failed.actions, QStringList());

        // Arriving in order, the failure's and another program's come first and are passed over.
        emit m_fake.ActionInvoked(2, QStringLiteral("open"));
        emit m_fake.ActionInvoked(7, QStringLiteral("open"));
        emit m_fake.ActionInvoked(1, QStringLiteral("open"));
        emit m_fake.ActionInvoked(1, QStringLiteral("open-folder"));
        QTRY_COMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened, (QList<QUrl>{QUrl::fromLocalFile(folder.filePath(name)),
                                        QUrl::fromLocalFile(folder.path())}));
        QCOMPARE(g_unavailableLines, 1);
    }

    // Downloads the window's button did not start are told too: a batch's
    // (the hot list's, --download's) and one retried in the downloads window.
    void notifiesDownloadsStartedElsewhere()
    {
        auto w = readyWindow();
        QWidget other;
        QVERIFY(w && putInFront(other));
        DownloadQueue &queue = WindowDownloads::of(*w);
        const qsizetype before = m_fake.shown.size();
        const QByteArray path = "/file/bytes-3000.mp3";
        m_service.setFault(path, "status-404");
        DownloadEntry entry;
        entry.fileUrl = m_service.baseUrl() + QString::fromLatin1(path);
        entry.folder = m_downloads->path();
        entry.fileName = QStringLiteral("批量.mp3");
        QSignalSpy ended(&queue, &DownloadQueue::ended);
        const qint64 id = queue.enqueue(entry).value();
        QVERIFY(ended.wait(30000) && answered(*w));
        m_service.clearFaults();
        QVERIFY(queue.resume(id));
        QVERIFY(ended.wait(30000) && answered(*w));
        QCOMPARE(m_fake.shown.size(), before + 2);
        QCOMPARE(m_fake.shown.at(before).summary, QStringLiteral("音乐下载失败"));
        QCOMPARE(m_fake.shown.at(before + 1).summary, QStringLiteral("音乐下载完成"));
        QCOMPARE(m_fake.shown.at(before + 1).body, QStringLiteral("批量.mp3"));
    }
};

QTEST_MAIN(DesktopNotificationsTest)
#include "desktop_notifications_test.moc"
