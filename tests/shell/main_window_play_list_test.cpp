// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/main_window_fixture.h"

class MainWindowPlayListTest : public MainWindowFixture
{
    Q_OBJECT

    QList<HotEntry> rows(const QStringList &ids) const
    {
        QList<HotEntry> list;
        for (const QString &id : ids) {
            HotEntry entry;
            entry.link = soundPage(id);
            list.append(entry);
        }
        return list;
    }

private slots:
    // A sound whose page tells nothing is skipped; the others play to their
    // end one after another, and the list ends after the last.
    void playsToTheEndSkippingWhatFails()
    {
        auto w = readyWindow();
        QStringList shown;
        QStringList statuses;
        connect(w.get(), &MainWindow::soundShown, this,
                [&](const SoundInfo &sound) { shown.append(sound.soundId); });
        connect(w.get(), &MainWindow::analysisEnded, this, [&] { statuses.append(w->statusMessage()); });
        w->playList(rows({"1001", "no-such-sound", "1003"}), 0);
        QVERIFY(w->playListState().isPlaying());
        QVERIFY(player(*w)->showsList());
        QTRY_VERIFY_WITH_TIMEOUT(!w->playListState().isPlaying(), 60000);
        QCOMPARE(shown, QStringList({"1001", "1003"}));
        QVERIFY(statuses.contains(QStringLiteral("无法播放第 2 首，已跳过")));
        QVERIFY(!player(*w)->showsList());
    }

    // An analysis by hand ends the list: the next sound is not started.
    void handAnalysisEndsTheList()
    {
        auto w = readyWindow();
        QSignalSpy shown(w.get(), &MainWindow::soundShown);
        w->playList(rows({"1001", "1002"}), 0);
        QVERIFY(shown.wait(30000));
        analyse(*w, soundPage(QStringLiteral("1003")));
        QVERIFY(!w->playListState().isPlaying());
        QVERIFY(!player(*w)->showsList());
        QTRY_COMPARE_WITH_TIMEOUT(player(*w)->playbackState(), SoundOutput::State::Stopped, 30000);
        QCOMPARE(w->soundInfo().soundId, QStringLiteral("1003"));
    }
};

QTEST_MAIN(MainWindowPlayListTest)
#include "main_window_play_list_test.moc"
