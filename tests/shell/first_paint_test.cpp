// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/first_paint.h"

#include <QTest>
#include <QWidget>

using namespace std::chrono_literals;

namespace {

class CountingWindow : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

} // namespace

class FirstPaintTest : public QObject
{
    Q_OBJECT

private slots:
    void runsAfterTheFirstFrame()
    {
        CountingWindow window;
        int paintsWhenRun = -1;
        afterFirstPaint(&window, [&] { paintsWhenRun = window.paints; }, 60s);
        QTest::qWait(20);
        QCOMPARE(paintsWhenRun, -1);
        window.show();
        QTRY_VERIFY(paintsWhenRun >= 1);
    }

    void unexposedWindowRunsAtTheCap()
    {
        CountingWindow window; // never shown, so never painted
        bool ran = false;
        afterFirstPaint(&window, [&] { ran = true; }, 50ms);
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
        QCOMPARE(window.paints, 0);
    }

    void nothingRunsOnceTheWindowIsGone()
    {
        bool ran = false;
        {
            CountingWindow window;
            afterFirstPaint(&window, [&] { ran = true; }, 10ms);
        }
        QTest::qWait(50);
        QVERIFY(!ran);
    }
};

QTEST_MAIN(FirstPaintTest)
#include "first_paint_test.moc"
