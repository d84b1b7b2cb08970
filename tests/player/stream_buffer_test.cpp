// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player/stream_buffer.h"

#include <QTest>

#include <atomic>
#include <future>

namespace {

QByteArray bytesFrom(qint64 offset, qint64 n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    for (qint64 i = 0; i < n; ++i)
        bytes[i] = char((offset + i) % 251);
    return bytes;
}

// A read on its own thread, since it may block.
std::future<QByteArray> readLater(StreamBuffer &buffer, qint64 offset, qint64 n, qint64 *status = nullptr)
{
    return std::async(std::launch::async, [&buffer, offset, n, status] {
        QByteArray out(n, Qt::Uninitialized);
        const qint64 got = buffer.read(offset, out.data(), n);
        if (status)
            *status = got;
        return got > 0 ? out.left(got) : QByteArray();
    });
}

} // namespace

class StreamBufferTest : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatIsHeldAndEndsAtTheSize()
    {
        StreamBuffer buffer;
        buffer.setSize(1000);
        QVERIFY(buffer.append(0, bytesFrom(0, 1000)));
        QVERIFY(!buffer.append(10, bytesFrom(10, 5))); // not where the bytes end
        QByteArray out(300, Qt::Uninitialized);
        QCOMPARE(buffer.read(800, out.data(), 300), 200);
        QCOMPARE(out.left(200), bytesFrom(800, 200));
        QCOMPARE(buffer.read(1000, out.data(), 300), StreamBuffer::End);
    }

    // Where a read that finds nothing sends the fetcher.
    void readsElsewhere_data()
    {
        QTest::addColumn<bool>("fetching");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<qint64>("restart"); // -1: none, the running fetch brings it
        const qint64 held = 100000;          // bytes 0 .. held-1
        QTest::newRow("just past, fetch running") << true << held + 1000 << qint64(-1);
        QTest::newRow("just past, no fetch") << false << held + 1000 << held;
        QTest::newRow("far past") << true << qint64(10000000) << qint64(10000000);
    }

    void readsElsewhere()
    {
        QFETCH(bool, fetching);
        QFETCH(qint64, offset);
        QFETCH(qint64, restart);
        StreamBufferLimits limits;
        limits.keepBehind = 0;
        StreamBuffer buffer(limits);
        std::atomic<int> wakes = 0;
        buffer.setWaker([&] { ++wakes; });
        QVERIFY(buffer.append(0, bytesFrom(0, 100000)));
        buffer.setFetching(fetching);

        auto read = readLater(buffer, offset, 10);
        if (restart < 0) {
            QCOMPARE(buffer.takeRestart(), std::nullopt);
            QVERIFY(buffer.append(100000, bytesFrom(100000, offset - 100000 + 10)));
        } else {
            QTRY_VERIFY(wakes > 0);
            QCOMPARE(buffer.takeRestart(), std::optional<qint64>(restart));
            QVERIFY(buffer.append(restart, bytesFrom(restart, offset - restart + 10)));
        }
        QCOMPARE(read.get(), bytesFrom(offset, 10));
    }

    // A step back past what is kept asks again from there.
    void readBehindRestarts()
    {
        StreamBufferLimits limits;
        limits.keepBehind = 1000;
        StreamBuffer buffer(limits);
        std::atomic<int> wakes = 0;
        buffer.setWaker([&] { ++wakes; });
        buffer.setFetching(true);
        QVERIFY(buffer.append(0, bytesFrom(0, 300000)));
        QByteArray out(10, Qt::Uninitialized);
        QCOMPARE(buffer.read(299000, out.data(), 10), 10); // trims what lies far behind
        QVERIFY(buffer.heldBytes() < 300000);
        auto read = readLater(buffer, 5, 10);
        QTRY_VERIFY(wakes > 0);
        QCOMPARE(buffer.takeRestart(), std::optional<qint64>(5));
        QVERIFY(buffer.append(5, bytesFrom(5, 10)));
        QCOMPARE(read.get(), bytesFrom(5, 10));
    }

    // A full buffer stops the fetcher; reading on frees room and wakes it.
    void capacityBoundsWhatIsHeld()
    {
        StreamBufferLimits limits;
        limits.capacity = 200000;
        limits.keepBehind = 1000;
        StreamBuffer buffer(limits);
        int wakes = 0;
        buffer.setWaker([&] { ++wakes; });
        buffer.setFetching(true);
        QVERIFY(buffer.append(0, bytesFrom(0, buffer.room())));
        QCOMPARE(buffer.room(), 0);
        QCOMPARE(buffer.heldBytes(), 200000);
        QByteArray out(4096, Qt::Uninitialized);
        QCOMPARE(buffer.read(150000, out.data(), 4096), 4096);
        QCOMPARE(wakes, 1);
        QVERIFY(buffer.room() > 0);
    }

    void waitingReadsEnd_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<qint64>("status");
        QTest::newRow("interrupted") << 0 << StreamBuffer::Interrupted;
        QTest::newRow("owner gone") << 1 << StreamBuffer::Failed;
        QTest::newRow("fetch failed") << 2 << StreamBuffer::Failed;
        QTest::newRow("body ended") << 3 << StreamBuffer::End;
    }

    void waitingReadsEnd()
    {
        QFETCH(int, how);
        QFETCH(qint64, status);
        StreamBuffer buffer;
        buffer.setFetching(true);
        qint64 got = 1;
        auto read = readLater(buffer, 0, 10, &got);
        switch (how) {
        case 0:
            buffer.setInterrupted(true);
            break;
        case 1:
            buffer.close();
            break;
        case 2:
            buffer.fail(QStringLiteral("gone"));
            break;
        case 3:
            buffer.finish();
            break;
        }
        read.get();
        QCOMPARE(got, status);
    }

    // A failed fetch is not asked again for the same place, only for a seek.
    void failureRetriedOnlyElsewhere()
    {
        StreamBuffer buffer;
        std::atomic<int> wakes = 0;
        buffer.setWaker([&] { ++wakes; });
        buffer.setFetching(true);
        QVERIFY(buffer.append(0, bytesFrom(0, 100)));
        buffer.fail(QStringLiteral("dropped"));
        QByteArray out(10, Qt::Uninitialized);
        QCOMPARE(buffer.read(100, out.data(), 10), StreamBuffer::Failed);
        QCOMPARE(wakes, 0);
        QCOMPARE(buffer.read(50, out.data(), 10), 10); // what arrived still plays
        auto read = readLater(buffer, 5000000, 10);
        QTRY_VERIFY(wakes > 0);
        QCOMPARE(buffer.takeRestart(), std::optional<qint64>(5000000));
        buffer.close();
        read.get();
    }
};

QTEST_GUILESS_MAIN(StreamBufferTest)
#include "stream_buffer_test.moc"
