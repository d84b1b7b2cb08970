// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"
#include "shell/player_bar.h"
#include "support/user_input.h"

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QSlider>
#include <QStyle>
#include <QTemporaryFile>
#include <QTest>
#include <QToolButton>

#include <cstdio>
#include <functional>
#include <unistd.h>

// The service makes a long sound in one go on first use, which takes a
// while on a busy machine; waits end as soon as their condition holds.
constexpr int LongWaitMs = 60000;

// What the process wrote to its standard error while run() ran, libraries
// that write there directly included.
QByteArray standardErrorDuring(const std::function<void()> &run)
{
    QTemporaryFile file;
    if (!file.open())
        return "no temporary file";
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(file.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    file.seek(0);
    return file.readAll();
}

class PlayerBarTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    static QString label(PlayerBar &bar, const char *name)
    {
        return bar.findChild<QLabel *>(QLatin1String(name))->text();
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    // A back end that cannot be found is told in the bar; once it can,
    // a click on play tries again. First, as nothing has loaded it yet.
    void withoutBackEnd()
    {
        const QStringList paths = QCoreApplication::libraryPaths();
        QCoreApplication::setLibraryPaths({});
        PlayerBar bar;
        QVERIFY(UserInput::shown(&bar));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("player cannot play")));
        bar.setSource(QUrl(m_service.baseUrl() + QStringLiteral("/audio/1004.wav")));
        QCOMPARE(bar.message(), QStringLiteral("无法播放此音乐"));
        QVERIFY(!bar.hasMediaObjects());

        QCoreApplication::setLibraryPaths(paths);
        UserInput::click(bar.findChild<QToolButton *>(QStringLiteral("playButton")));
        QVERIFY(bar.hasMediaObjects());
        QTRY_VERIFY_WITH_TIMEOUT(bar.findChild<QSlider *>(QStringLiteral("seekSlider"))->value() > 0,
                                 LongWaitMs);
    }

    void timeText_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << QStringLiteral("0:00");
        QTest::newRow("negative") << qint64(-5000) << QStringLiteral("0:00");
        QTest::newRow("just under a second") << qint64(999) << QStringLiteral("0:00");
        QTest::newRow("minutes") << qint64(61000) << QStringLiteral("1:01");
        QTest::newRow("last minute of an hour") << qint64(3599999) << QStringLiteral("59:59");
        QTest::newRow("hours") << qint64(3600000 + 61000) << QStringLiteral("1:01:01");
    }

    void timeText()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(playerTimeText(ms), text);
    }

    // A window that never plays never creates the media objects.
    void mediaObjectsOnFirstUse()
    {
        PlayerBar bar;
        QVERIFY(UserInput::shown(&bar));
        QCOMPARE(bar.objectName(), QStringLiteral("playerBar"));
        QVERIFY(!bar.hasMediaObjects());
        bar.setSource(QUrl());
        QVERIFY(!bar.hasMediaObjects());
        UserInput::click(bar.findChild<QToolButton *>(QStringLiteral("playButton")));
        QVERIFY(!bar.hasMediaObjects());
        bar.setSource(QUrl(m_service.baseUrl() + QStringLiteral("/audio/1001.wav")));
        QVERIFY(bar.hasMediaObjects());
    }

    // A new address starts by itself; the bar shows its length and moves on.
    void playsByItself()
    {
        PlayerBar bar;
        QVERIFY(UserInput::shown(&bar));
        bar.setSource(QUrl(m_service.baseUrl() + QStringLiteral("/audio/1004.wav")));
        QTRY_VERIFY_WITH_TIMEOUT(label(bar, "timeLabel").endsWith(QStringLiteral(" / 0:03")), LongWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(bar.findChild<QSlider *>(QStringLiteral("seekSlider"))->value() > 0,
                                 LongWaitMs);
        QCOMPARE(bar.message() == QStringLiteral("无法播放此音乐"), false);

        UserInput::click(bar.findChild<QToolButton *>(QStringLiteral("playButton")));
        QTRY_COMPARE(bar.playbackState(), SoundOutput::State::Paused);

        bar.setSource(QUrl());
        QCOMPARE(bar.playbackState(), SoundOutput::State::Stopped);
        QCOMPARE(label(bar, "timeLabel"), QStringLiteral("0:00 / 0:00"));
    }

    // The player reads through the program's own requests: a seek past
    // what has arrived becomes a range request, and a sound still arriving
    // plays from what is there.
    void seeksAndPlaysWhileArriving()
    {
        PlayerBar bar;
        QVERIFY(UserInput::shown(&bar));
        auto *seek = bar.findChild<QSlider *>(QStringLiteral("seekSlider"));
        bar.setSource(QUrl(m_service.baseUrl() + QStringLiteral("/audio/1002.wav?seconds=600")));
        QTRY_VERIFY_WITH_TIMEOUT(label(bar, "timeLabel").endsWith(QStringLiteral(" / 10:00")), LongWaitMs);
        m_service.clearRequests();
        // The handle, found where the style draws it, dragged most of the way along.
        const int length = seek->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, seek);
        const QPoint handle(length / 2 + QStyle::sliderPositionFromValue(0, seek->maximum(), seek->value(),
                                                                         seek->width() - length),
                            seek->height() / 2);
        UserInput::drag(seek, handle, handle + QPoint(seek->width() * 3 / 4, 0));
        const int dropped = seek->value();
        QVERIFY(dropped > seek->maximum() / 2);
        const auto askedForRange = [this] {
            const QList<RecordedRequest> requests = m_service.requests();
            return std::any_of(requests.begin(), requests.end(), [](const RecordedRequest &r) {
                return r.header("Range").startsWith("bytes=");
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(askedForRange(), LongWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(seek->value() > dropped + 1000, LongWaitMs);

        // About 6 of 60 seconds arrive, then nothing more.
        bar.setSource(QUrl(m_service.baseUrl() + QStringLiteral("/audio/1003.wav?seconds=60&stall=270000")));
        QTRY_VERIFY_WITH_TIMEOUT(seek->value() > 1000, LongWaitMs);
        QCOMPARE(bar.message() == QStringLiteral("无法播放此音乐"), false);
    }

    // Keys seek as a drag does: Page Up a minute on.
    void seeksByKeys()
    {
        PlayerBar bar;
        auto *seek = bar.findChild<QSlider *>(QStringLiteral("seekSlider"));
        bar.setSource(QUrl(m_service.baseUrl() + QStringLiteral("/audio/1002.wav?seconds=600")));
        QTRY_VERIFY_WITH_TIMEOUT(label(bar, "timeLabel").endsWith(QStringLiteral(" / 10:00")), LongWaitMs);
        QTest::keyClick(seek, Qt::Key_PageUp);
        QTest::keyClick(seek, Qt::Key_PageUp);
        QTRY_VERIFY_WITH_TIMEOUT(label(bar, "timeLabel").startsWith(QStringLiteral("2:")), LongWaitMs);
    }

    // A click on the groove jumps there, not a page towards it.
    void clickSeeksToTheSpot()
    {
        PlayerBar bar;
        QVERIFY(UserInput::shown(&bar));
        auto *seek = bar.findChild<QSlider *>(QStringLiteral("seekSlider"));
        bar.setSource(QUrl(m_service.baseUrl() + QStringLiteral("/audio/1002.wav?seconds=600")));
        QTRY_VERIFY_WITH_TIMEOUT(label(bar, "timeLabel").endsWith(QStringLiteral(" / 10:00")), LongWaitMs);
        UserInput::click(seek, Qt::LeftButton, QPoint(seek->width() * 3 / 4, seek->height() / 2));
        QVERIFY2(seek->value() > seek->maximum() / 2, qPrintable(QString::number(seek->value())));
        QTRY_VERIFY_WITH_TIMEOUT(label(bar, "timeLabel").startsWith(QStringLiteral("7:")), LongWaitMs);
    }

    // Without an audio device the sound libraries complain to the terminal;
    // the window tells it once in its own words.
    void soundLibrariesQuiet()
    {
        const QByteArray said = standardErrorDuring([this] {
            PlayerBar bar;
            bar.setSource(QUrl(m_service.baseUrl() + QStringLiteral("/audio/1002.wav?seconds=600")));
            QTRY_VERIFY_WITH_TIMEOUT(label(bar, "timeLabel").endsWith(QStringLiteral(" / 10:00")),
                                     LongWaitMs);
        });
        QVERIFY2(!said.contains("ALSA lib") && !said.contains("AL lib"), said.constData());
    }

    void cannotPlay_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("web page") << QStringLiteral("/sound/1001");
        QTest::newRow("not found") << QStringLiteral("/audio/999999.wav");
        QTest::newRow("not audio") << QStringLiteral("/file/bytes-300000.wav");
    }

    // Something that cannot play is told in the bar, never in a dialog.
    void cannotPlay()
    {
        QFETCH(QString, path);
        PlayerBar bar;
        bar.setSource(QUrl(m_service.baseUrl() + path));
        QTRY_COMPARE_WITH_TIMEOUT(bar.message(), QStringLiteral("无法播放此音乐"), LongWaitMs);
        QVERIFY(!QApplication::activeModalWidget());
        // Nothing plays, and the button offers to play, not to pause.
        QCOMPARE(bar.playbackState(), SoundOutput::State::Stopped);
        auto *play = bar.findChild<QToolButton *>(QStringLiteral("playButton"));
        const QImage shown = play->icon().pixmap(16).toImage();
        PlayerBar fresh;
        QCOMPARE(shown,
                 fresh.findChild<QToolButton *>(QStringLiteral("playButton"))->icon().pixmap(16).toImage());
        // The next address clears the message.
        bar.setSource(QUrl());
        QCOMPARE(bar.message(), QString());
    }
};

QTEST_MAIN(PlayerBarTest)
#include "player_bar_test.moc"
