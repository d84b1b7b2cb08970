// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player/sound_stream.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "support/loopback.h"

#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <future>

namespace {

struct Span
{
    qint64 offset;
    qint64 length;
};

} // namespace

Q_DECLARE_METATYPE(QList<Span>)

namespace {

// Reads the spans in turn on another thread, as the media framework does.
std::future<QByteArray> readSpans(std::shared_ptr<StreamBuffer> buffer, QList<Span> spans)
{
    return std::async(std::launch::async, [buffer, spans]() -> QByteArray {
        QByteArray all;
        for (const Span &span : spans) {
            for (qint64 at = span.offset; at < span.offset + span.length;) {
                char block[16384];
                const qint64 n =
                    buffer->read(at, block, std::min<qint64>(sizeof block, span.offset + span.length - at));
                if (n <= 0)
                    return all + "<status " + QByteArray::number(n) + '>';
                all.append(block, n);
                at += n;
            }
        }
        return all;
    });
}

QByteArray expectedSpans(const QByteArray &body, const QList<Span> &spans)
{
    QByteArray all;
    for (const Span &span : spans)
        all += body.mid(span.offset, span.length);
    return all;
}

} // namespace

class SoundStreamTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    QUrl file(const QString &name) const
    {
        return QUrl(m_service.baseUrl() + QStringLiteral("/file/") + name);
    }

    // Waits for the reader on the test's own event loop, which runs the
    // fetch; a reader that never ends is failed so the test can go on.
    static QByteArray finish(std::future<QByteArray> &read, StreamBuffer &buffer)
    {
        const auto done = [&] { return read.wait_for(std::chrono::seconds(0)) == std::future_status::ready; };
        if (!QTest::qWaitFor(done, 20000))
            buffer.close();
        return read.get();
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void readsTheBody_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QList<Span>>("spans");
        QTest::addColumn<QByteArrayList>("ranges"); // each begins a Range asked for
        const qint64 size = 3000000;
        const QList<Span> seeks = {{0, 20000}, {2500000, 30000}, {100, 5000}, {2999000, 1000}};
        const QByteArrayList seekRanges = {"bytes=2500000-", "bytes=100-", "bytes=2999000-"};
        QTest::newRow("in order") << QStringLiteral("bytes-3000000.mp3") << size << QList<Span>{{0, size}}
                                  << QByteArrayList();
        QTest::newRow("seeks by ranges")
            << QStringLiteral("bytes-3000000;s=1.mp3") << size << seeks << seekRanges;
        QTest::newRow("ranges ignored")
            << QStringLiteral("bytes-3000000;range=ignore.mp3") << size << seeks << seekRanges;
        QTest::newRow("range shifted")
            << QStringLiteral("bytes-3000000;range=shift.mp3") << size << seeks << seekRanges;
        QTest::newRow("dropped and continued")
            << QStringLiteral("bytes-3000000;drop=700000;drops=2.mp3") << size << QList<Span>{{0, size}}
            << QByteArrayList{"bytes="}; // where it breaks off depends on what was read before
    }

    void readsTheBody()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(QList<Span>, spans);
        QFETCH(QByteArrayList, ranges);
        m_service.clearRequests();
        SoundStream::Options options;
        options.limits.capacity = 256 * 1024; // small, so the file passes through it many times
        options.limits.keepBehind = 16 * 1024;
        SoundStream stream(file(name), options);
        QSignalSpy opened(&stream, &SoundStream::opened);
        stream.open();
        QTRY_COMPARE(opened.size(), 1);
        const auto result = opened.first().first().value<SoundStreamOpening>();
        QVERIFY(result.ok);
        QCOMPARE(result.size, size);

        auto read = readSpans(stream.buffer(), spans);
        QCOMPARE(finish(read, *stream.buffer()), expectedSpans(sampleFileBody(size), spans));
        QVERIFY(stream.buffer()->heldBytes() <= options.limits.capacity);
        QByteArrayList asked;
        for (const RecordedRequest &r : m_service.requests()) {
            if (!r.header("Range").isEmpty())
                asked.append(r.header("Range"));
        }
        for (const QByteArray &range : ranges) {
            QVERIFY2(std::any_of(asked.begin(), asked.end(),
                                 [&](const QByteArray &a) { return a.startsWith(range); }),
                     range.constData());
        }
        if (ranges.isEmpty())
            QCOMPARE(asked, QByteArrayList());
    }

    void openingFails_data()
    {
        QTest::addColumn<QString>("url"); // %1: the service
        QTest::newRow("refused") << QStringLiteral("http://%1/a.mp3").arg(closedLoopbackHost());
        QTest::newRow("not found") << QStringLiteral("%1/file/status-404.mp3");
        QTest::newRow("no answer") << QStringLiteral("%1/fault/stall?seconds=5");
        QTest::newRow("not a web address") << QStringLiteral("file:///etc/passwd");
    }

    void openingFails()
    {
        QFETCH(QString, url);
        SoundStream::Options options;
        options.stallTimeout = std::chrono::milliseconds(500);
        SoundStream stream(QUrl(QString(url).replace(QStringLiteral("%1"), m_service.baseUrl())), options);
        QSignalSpy opened(&stream, &SoundStream::opened);
        stream.open();
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 10000);
        QVERIFY(!opened.first().first().value<SoundStreamOpening>().ok);
        QVERIFY(!stream.isOpen());
        char byte;
        QCOMPARE(stream.buffer()->read(0, &byte, 1), StreamBuffer::Failed);
    }

    // A reader the stream never stops feeding holds no more than the
    // capacity, however long the sound.
    void pausedReaderHoldsTheTransferBack()
    {
        SoundStream::Options options;
        options.limits.capacity = 512 * 1024;
        SoundStream stream(file(QStringLiteral("bytes-200000000.mp3")), options);
        QSignalSpy opened(&stream, &SoundStream::opened);
        stream.open();
        QTRY_COMPARE(opened.size(), 1);
        QTRY_COMPARE(stream.buffer()->heldBytes(), options.limits.capacity);
        QCOMPARE(stream.buffer()->room(), 0);
        // Reading on lets the transfer go on.
        auto read = readSpans(stream.buffer(), {{0, 3 * options.limits.capacity}});
        QCOMPARE(finish(read, *stream.buffer()), sampleFileBody(3 * options.limits.capacity));
    }

    // Going away ends a read that waits for bytes that never come.
    void destroyedWhileReaderWaits()
    {
        auto stream = std::make_unique<SoundStream>(file(QStringLiteral("bytes-1000000;stall=50000.mp3")));
        QSignalSpy opened(stream.get(), &SoundStream::opened);
        stream->open();
        QTRY_COMPARE(opened.size(), 1);
        auto read = readSpans(stream->buffer(), {{0, 100000}});
        QTRY_VERIFY(stream->buffer()->heldBytes() == 50000);
        const std::shared_ptr<StreamBuffer> buffer = stream->buffer();
        stream.reset();
        QVERIFY(finish(read, *buffer).endsWith("<status -1>"));
    }
};

QTEST_GUILESS_MAIN(SoundStreamTest)
#include "sound_stream_test.moc"
