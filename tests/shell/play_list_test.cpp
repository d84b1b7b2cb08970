// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/play_list.h"

#include <QTest>

class PlayListTest : public QObject
{
    Q_OBJECT

private slots:
    // Steps: n = next, p = previous, f = the current sound failed, s = stop.
    // `expected` is the current row after each step, -1 once over.
    void steps_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<int>>("expected");

        QTest::newRow("plays in order and ends") << 3 << 0 << false << "nnn" << QList<int>{1, 2, -1};
        QTest::newRow("starts mid-list") << 3 << 1 << false << "nn" << QList<int>{2, -1};
        QTest::newRow("previous stops at the first row") << 3 << 1 << false << "pp" << QList<int>{0, 0};
        QTest::newRow("failed row skipped") << 3 << 0 << false << "nf" << QList<int>{1, 2};
        QTest::newRow("last row fails: over") << 2 << 1 << false << "f" << QList<int>{-1};
        QTest::newRow("loop wraps both ways") << 3 << 2 << true << "npp" << QList<int>{0, 2, 1};
        QTest::newRow("loop leaves failed rows out") << 3 << 0 << true << "fnnn" << QList<int>{1, 2, 1, 2};
        QTest::newRow("loop, every row failed: over") << 2 << 0 << true << "ff" << QList<int>{1, -1};
        QTest::newRow("stop ends, next stays over") << 3 << 0 << false << "sn" << QList<int>{-1, -1};
        QTest::newRow("start outside the list") << 2 << 2 << false << "n" << QList<int>{-1};
        QTest::newRow("empty list") << 0 << 0 << true << "np" << QList<int>{-1, -1};
    }

    void steps()
    {
        QFETCH(int, count);
        QFETCH(int, start);
        QFETCH(bool, loop);
        QFETCH(QString, steps);
        QFETCH(QList<int>, expected);

        QList<HotEntry> rows(count);
        for (int i = 0; i < count; ++i)
            rows[i].link = QString::number(i);
        PlayList list(rows, start);
        list.setLoop(loop);
        QList<int> seen;
        for (const QChar step : steps) {
            // What the list announces as next must be where next() goes.
            const auto announced = list.nextIndex();
            if (step == u'n')
                list.next();
            else if (step == u'p')
                list.previous();
            else if (step == u'f')
                list.skipFailed();
            else
                list.stop();
            if (step == u'n')
                QCOMPARE(list.current(), announced.value_or(-1));
            seen << list.current();
            QCOMPARE(list.isPlaying(), list.current() >= 0);
            if (list.isPlaying())
                QCOMPARE(list.currentEntry().link, QString::number(list.current()));
        }
        QCOMPARE(seen, expected);
    }
};

QTEST_GUILESS_MAIN(PlayListTest)
#include "play_list_test.moc"
