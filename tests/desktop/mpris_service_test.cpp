// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs on a private session bus of its own (dbus-run-session), driven by
// playerctl as a desktop's media keys would drive it.

#include "desktop/mpris_service.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "shell/player_bar.h"
#include "support/start_up.h"

#include <QDBusConnection>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;
using State = SoundOutput::State;

class MprisServiceTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    QTemporaryDir m_cache;
    std::unique_ptr<MainWindow> m_window;
    QString m_soundId;
    QVariantMap m_announced; // what PropertiesChanged told, latest value of each
    QList<qlonglong> m_seeks;

    PlayerBar *player() const { return m_window->player(); }

    // playerctl's answer, the window serving it meanwhile.
    static QString playerctl(const QStringList &arguments)
    {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral("playerctl"),
                      QStringList{QStringLiteral("-p"), QStringLiteral("vexa-helper")} + arguments);
        if (!finished.wait(20000))
            return QStringLiteral("(no answer)");
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

public slots:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        if (interface == QLatin1String("org.mpris.MediaPlayer2.Player"))
            m_announced.insert(changed);
    }
    void seeked(qlonglong position) { m_seeks.append(position); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
        QVERIFY(m_service.start());
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());

        // Signals are watched from a connection of their own, as another program would.
        QDBusConnection listener =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("listener"));
        QVERIFY(listener.connect(QString(), MprisService::ObjectPath,
                                 QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"), this,
                                 SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(listener.connect(QString(), MprisService::ObjectPath,
                                 QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Seeked"),
                                 this, SLOT(seeked(qlonglong))));

        FetchOptions options;
        options.stallTimeout = 10s;
        m_window = std::make_unique<MainWindow>(ServiceConfig::allAt(m_service.hostAndPort()), options);
        m_window->setSkinPath(QStringLiteral("/nonexistent/1.she"));
        QVERIFY(startUpAndWait(*m_window));
        auto *mpris = new MprisService(m_window.get());
        QVERIFY(mpris->registerOn(bus));
        QCOMPARE(mpris->serviceName(), MprisService::ServiceName);

        // A few minutes of sound, so that it never ends during the test;
        // its id holds characters an object path cannot.
        m_soundId = QStringLiteral("1001-mp3-bytes-4000000");
        QSignalSpy ended(m_window.get(), &MainWindow::analysisEnded);
        m_window->setAddressText(m_service.soundPageUrl(m_soundId));
        m_window->analyseAddress();
        QVERIFY(ended.wait(30000));
        QTRY_COMPARE_WITH_TIMEOUT(player()->playbackState(), State::Playing, 20000);
    }

    void metadata_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("title") << QStringLiteral("title") << QStringLiteral("晨光里的小城");
        QTest::newRow("artist") << QStringLiteral("artist") << QStringLiteral("苏晓棠");
    }

    void metadata()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(playerctl({QStringLiteral("metadata"), key}), value);
    }

    void lengthAndCover()
    {
        QTRY_VERIFY_WITH_TIMEOUT(player()->duration() > 0, 20000);
        QCOMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:length")}).toLongLong(),
                 player()->duration() * 1000);
        QTRY_VERIFY(m_announced.contains(QStringLiteral("Metadata")));

        const QUrl art(playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:artUrl")}));
        QVERIFY2(art.isLocalFile(), qPrintable(art.toString()));
        QVERIFY(art.toLocalFile().startsWith(m_cache.path() + QLatin1Char('/')));
        QVERIFY(!QImage(art.toLocalFile()).isNull());
    }

    // Each command reaches the strip, and the new state is announced.
    void controls()
    {
        const QList<std::tuple<QString, State, QString>> steps{
            {QStringLiteral("play-pause"), State::Paused, QStringLiteral("Paused")},
            {QStringLiteral("play-pause"), State::Playing, QStringLiteral("Playing")},
            {QStringLiteral("pause"), State::Paused, QStringLiteral("Paused")},
            {QStringLiteral("stop"), State::Stopped, QStringLiteral("Stopped")},
            {QStringLiteral("play"), State::Playing, QStringLiteral("Playing")},
        };
        for (const auto &[command, state, status] : steps) {
            playerctl({command});
            QTRY_COMPARE_WITH_TIMEOUT(player()->playbackState(), state, 20000);
            QCOMPARE(playerctl({QStringLiteral("status")}), status);
            QTRY_COMPARE(m_announced.value(QStringLiteral("PlaybackStatus")).toString(), status);
        }
    }

    void seek()
    {
        QTRY_VERIFY_WITH_TIMEOUT(player()->duration() > 60000, 20000);
        playerctl({QStringLiteral("position"), QStringLiteral("40")});
        QTRY_COMPARE(m_seeks.value(0), qlonglong(40000000));
        QTRY_VERIFY_WITH_TIMEOUT(player()->position() >= 40000, 20000);
        // Relative, and never before the start.
        playerctl({QStringLiteral("position"), QStringLiteral("10-")});
        QTRY_COMPARE(m_seeks.size(), 2);
        QVERIFY(m_seeks[1] >= 30000000 && m_seeks[1] < 39000000);
        playerctl({QStringLiteral("position"), QStringLiteral("600-")});
        QTRY_COMPARE(m_seeks.value(2, -1), qlonglong(0));
    }

    // Both ways: playerctl moves the slider, the slider is announced.
    void volume()
    {
        playerctl({QStringLiteral("volume"), QStringLiteral("0.3")});
        QTRY_COMPARE(player()->volume(), 30);
        player()->setVolume(55);
        QCOMPARE(playerctl({QStringLiteral("volume")}).toDouble(), 0.55);
        QTRY_COMPARE(m_announced.value(QStringLiteral("Volume")).toDouble(), 0.55);
    }

    // A second window (--new-window) takes an instance name.
    // While a list plays, playerctl moves in it and both ends are announced.
    void nextAndPrevious()
    {
        QCOMPARE(m_announced.value(QStringLiteral("CanGoNext"), false).toBool(), false);
        QList<HotEntry> rows(2);
        rows[0].link = m_service.soundPageUrl(m_soundId);
        rows[1].link = m_service.soundPageUrl(QStringLiteral("1002-mp3-bytes-4000000"));
        QSignalSpy shown(m_window.get(), &MainWindow::soundShown);
        m_window->playList(rows, 0);
        QVERIFY(shown.wait(30000));
        QTRY_COMPARE(m_announced.value(QStringLiteral("CanGoNext")).toBool(), true);
        QCOMPARE(m_announced.value(QStringLiteral("CanGoPrevious"), false).toBool(), false);

        playerctl({QStringLiteral("next")});
        QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 2, 30000); // the cover too, which the metadata waits for
        QTRY_COMPARE_WITH_TIMEOUT(m_window->soundInfo().soundId, QStringLiteral("1002-mp3-bytes-4000000"),
                                  30000);
        QTRY_COMPARE(m_announced.value(QStringLiteral("CanGoPrevious")).toBool(), true);
        QCOMPARE(m_announced.value(QStringLiteral("CanGoNext")).toBool(), false);
        QCOMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("title")}),
                 m_window->soundInfo().soundName);

        playerctl({QStringLiteral("previous")});
        QTRY_COMPARE_WITH_TIMEOUT(m_window->soundInfo().soundId, m_soundId, 30000);
        m_window->endPlayList();
        QTRY_COMPARE(m_announced.value(QStringLiteral("CanGoNext")).toBool(), false);
        QCOMPARE(m_announced.value(QStringLiteral("CanGoPrevious")).toBool(), false);
    }

    void secondWindow()
    {
        MainWindow other(ServiceConfig::allAt(m_service.hostAndPort()));
        auto *mpris = new MprisService(&other);
        QVERIFY(mpris->registerOn(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second window"))));
        QCOMPARE(mpris->serviceName(),
                 MprisService::ServiceName +
                     QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid()));
    }

    // Without a session bus the program analyses and plays as ever, and
    // says nothing about the bus.
    void noSessionBus()
    {
        QTemporaryDir folder;
        const QString shot = folder.filePath(QStringLiteral("shot.png"));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=") + folder.filePath("none"));
        process.setProcessEnvironment(env);
        QSignalSpy finished(&process, &QProcess::finished);
        const QString host = m_service.hostAndPort();
        process.start(QStringLiteral(VEXA_HELPER_EXE),
                      {QStringLiteral("--web-host"), host, QStringLiteral("--api-host"), host,
                       QStringLiteral("--update-host"), host, QStringLiteral("--address"),
                       m_service.soundPageUrl(QStringLiteral("1004")), QStringLiteral("--screenshot"), shot});
        QVERIFY(finished.wait(60000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(process.exitCode() == 0, qPrintable(err));
        QVERIFY(QFile::exists(shot));
        QVERIFY2(!err.contains(QLatin1String("bus"), Qt::CaseInsensitive), qPrintable(err));
    }
};

QTEST_MAIN(MprisServiceTest)
#include "mpris_service_test.moc"
