// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/network_access.h"
#include "shell/main_window.h"
#include "shell/player_bar.h"
#include "shell/window_settings.h"
#include "support/box_closer.h"
#include "support/start_up.h"

#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

class WindowSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
    }

    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    void placeAndVolumeSurviveARebuild_data()
    {
        QTest::addColumn<std::optional<QPoint>>("stored");
        QTest::addColumn<bool>("restored");

        QTest::newRow("on screen") << std::optional(QPoint(30, 40)) << true;
        QTest::newRow("off every screen") << std::optional(QPoint(5000, 5000)) << false;
        QTest::newRow("none yet") << std::optional<QPoint>() << false;
    }

    void placeAndVolumeSurviveARebuild()
    {
        QFETCH(std::optional<QPoint>, stored);
        QFETCH(bool, restored);
        QVERIFY(saveWindowSettings({stored, 35}));
        BoxCloser boxes; // the update check fails: nothing listens there
        const auto config = ServiceConfig::allAt(QStringLiteral("127.0.0.1:1"));
        {
            MainWindow unplaced(config); // never started: where it stands is no choice of the user's
            unplaced.move(70, 80);
        }
        QCOMPARE(loadWindowSettings().position, stored);

        auto first = std::make_unique<MainWindow>(config);
        PlayerBar *player = first->findChild<PlayerBar *>();
        QCOMPARE(player->volume(), 35);
        QVERIFY(startUpAndWait(*first));
        const QPoint centre =
            QGuiApplication::primaryScreen()->availableGeometry().center() - first->rect().center();
        QCOMPARE(first->pos(), restored ? *stored : centre);

        player->setVolume(20);
        QTRY_COMPARE(loadWindowSettings().volume, std::optional(20)); // shortly after, by itself
        first->move(50, 60);
        first->hide(); // as the close link does; the move is written at once
        first.reset();

        MainWindow second(config);
        QCOMPARE(second.findChild<PlayerBar *>()->volume(), 20);
        QVERIFY(startUpAndWait(second));
        QCOMPARE(second.pos(), QPoint(50, 60));

        // One more beside it (--new-window): not exactly over it.
        MainWindow third(config);
        third.setPlaceOffset({24, 24});
        QVERIFY(startUpAndWait(third));
        QCOMPARE(third.pos(), QPoint(74, 84));
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(WindowSettingsTest)
#include "window_settings_test.moc"
