// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"
#include "shell/player_bar.h"
#include "support/loopback.h"

#include <QRandomGenerator>
#include <QSlider>
#include <QTest>

// Changes the player's sound many times while the previous one is still
// opening, playing, stalled, dropped or refused: the road that once crashed
// the program in the media framework's network thread. VEXA_PLAYER_CHANGES
// sets the number of changes (default 200), VEXA_PLAYER_SEED the order.
class PlayerBarStressTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    enum class Moment { AtOnce, Requested, Playing };
    struct Road
    {
        const char *name;
        QString url; // %1: a number that makes the request its own
        Moment change;
    };

    bool requested(const QString &url) const
    {
        const QByteArray target = QUrl(url).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
        const QList<RecordedRequest> requests = m_service.requests();
        return std::any_of(requests.begin(), requests.end(),
                           [&](const RecordedRequest &r) { return r.target == target; });
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void manySourceChanges()
    {
        const int changes = qEnvironmentVariableIsSet("VEXA_PLAYER_CHANGES")
                                ? qEnvironmentVariableIntValue("VEXA_PLAYER_CHANGES")
                                : 200;
        const quint32 seed = qEnvironmentVariableIsSet("VEXA_PLAYER_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("VEXA_PLAYER_SEED"))
                                 : QRandomGenerator::global()->generate() % 100000;
        qInfo("%d source changes, VEXA_PLAYER_SEED=%u", changes, seed);
        QRandomGenerator rng(seed);

        const QString base = m_service.baseUrl();
        // Each address is used once, so the service's record tells when it was asked.
        const QList<Road> roads = {
            {"opening", base + QStringLiteral("/audio/1001.wav?n=%1"), Moment::AtOnce},
            {"answered", base + QStringLiteral("/file/bytes-400000;n=%1.wav"), Moment::Requested},
            {"playing", base + QStringLiteral("/audio/1002.wav?n=%1"), Moment::Playing},
            {"no answer", base + QStringLiteral("/fault/stall?seconds=2&n=%1"), Moment::Requested},
            {"stalled body", base + QStringLiteral("/fault/stall-body?seconds=2&n=%1"), Moment::Requested},
            // Short stalls: each holds one of the service's workers while it lasts.
            {"stalled sound", base + QStringLiteral("/file/bytes-2000000;stall=65536;for=2;n=%1.wav"),
             Moment::Requested},
            {"dropped", base + QStringLiteral("/fault/drop?n=%1"), Moment::Requested},
            {"dropped sound", base + QStringLiteral("/file/bytes-2000000;drop=65536;n=%1.wav"),
             Moment::Requested},
            {"refused", QStringLiteral("http://") + closedLoopbackHost() + QStringLiteral("/a.wav?n=%1"),
             Moment::AtOnce},
        };

        PlayerBar bar;
        auto *seek = bar.findChild<QSlider *>(QStringLiteral("seekSlider"));
        for (int i = 0; i < changes; ++i) {
            const Road &road = roads.at(int(rng.bounded(quint32(roads.size()))));
            const QString url = road.url.arg(i);
            bar.setSource(QUrl(url));
            switch (road.change) {
            case Moment::AtOnce:
                break;
            case Moment::Requested:
                QTRY_VERIFY2_WITH_TIMEOUT(requested(url), road.name, 10000);
                break;
            case Moment::Playing:
                // Every change puts the slider back at the start.
                QTRY_VERIFY2_WITH_TIMEOUT(seek->value() > 0, road.name, 15000);
                break;
            }
        }

        // Still a working player afterwards.
        bar.setSource(QUrl(base + QStringLiteral("/audio/1004.wav")));
        QTRY_VERIFY_WITH_TIMEOUT(seek->value() > 0, 15000);
        QCOMPARE(bar.message() == QStringLiteral("无法播放此音乐"), false);
    }
};

#if defined(__SANITIZE_ADDRESS__)
// At exit GStreamer's idle pool threads may be ending just as the leak check
// stops every thread, which crashes LeakSanitizer's own tracer now and then.
// This test hunts crashes and hangs; the other player tests check for leaks.
extern "C" int __lsan_is_turned_off()
{
    return 1;
}
#endif

QTEST_MAIN(PlayerBarStressTest)
#include "player_bar_stress_test.moc"
