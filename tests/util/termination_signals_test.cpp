// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/termination_signals.h"

#include <QCoreApplication>
#include <QTest>

namespace {

volatile std::sig_atomic_t earlierHandlerSaw = 0;

void earlierHandler(int signalNumber)
{
    earlierHandlerSaw = signalNumber;
}

} // namespace

class TerminationSignalsTest : public QObject
{
    Q_OBJECT

private slots:
    void signalReachesTheEventLoop_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void signalReachesTheEventLoop()
    {
        QFETCH(int, signalNumber);
        struct sigaction earlier = {};
        earlier.sa_handler = earlierHandler;
        sigemptyset(&earlier.sa_mask);
        struct sigaction saved = {};
        ::sigaction(signalNumber, &earlier, &saved);
        earlierHandlerSaw = 0;

        {
            QList<int> seen;
            const TerminationSignals guard([&seen](int n) { seen.append(n); });
            ::raise(signalNumber);
            QVERIFY(seen.isEmpty()); // not from inside the handler
            QTRY_COMPARE(seen, QList<int>{signalNumber});
            QCOMPARE(int(earlierHandlerSaw), 0);
        }
        // The handler it replaced is back.
        ::raise(signalNumber);
        QCOMPARE(int(earlierHandlerSaw), signalNumber);
        ::sigaction(signalNumber, &saved, nullptr);
    }
};

QTEST_GUILESS_MAIN(TerminationSignalsTest)
#include "termination_signals_test.moc"
