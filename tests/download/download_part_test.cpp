// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The part file of a download: continued after a drop, by the next download
// of the same sound, or left alone when it is not ours.
#include "download/sound_download.h"
#include "net/network_access.h"
#include "sample_service/sample_encodings.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "support/download_runs.h"
#include "support/folder_files.h"
#include "support/media_reader.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

using namespace std::chrono_literals;

class DownloadPartTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    // An MP3 gets room for its tag in front of the body. A part left with
    // that room is continued behind it, and the tag fills it.
    void taggedContinued()
    {
        const qint64 size = 3000000;
        const qint64 k = 1000000;
        const QString path = uniqueBytesPath(size, QStringLiteral("body=mp3&drop=%1&drops=1").arg(k));
        QTemporaryDir dir;
        DownloadRequest r = testDownloadRequest(m_service.baseUrl() + path, dir.path());
        SoundTags tags;
        tags.title = QStringLiteral("歌");
        r.tags = tags;
        r.coverUrl = m_service.baseUrl() + QStringLiteral("/cover/1001.png");
        r.retryDelays = {};
        const DownloadResult cut = runDownload(r);
        QCOMPARE(cut.error().reason, DownloadError::Incomplete);
        QVERIFY(contents(cut.error().detail.partPath).startsWith("ID3"));

        const DownloadResult result = runDownload(r);
        QVERIFY2(result && result->untagged.isEmpty(),
                 qPrintable(whyNot(result) + (result ? result->untagged : QString())));
        QCOMPARE(result->bytes, size);
        QCOMPARE(rangesAsked(m_service, path),
                 (QList<QByteArray>{{}, "bytes=" + QByteArray::number(k) + '-'}));
        const QByteArray mp3 = encodeSampleAudio(sampleAudioWav(1001), QStringLiteral("mp3")).bytes;
        QByteArray body;
        while (body.size() < size)
            body += mp3.left(size - body.size());
        const QByteArray saved = contents(result->filePath);
        const auto byte = [&saved](int i) { return qint64(quint8(saved.at(i)) & 0x7F); };
        QCOMPARE(10 + (byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9)) + size, saved.size());
        QVERIFY(saved.endsWith(body));
        const MediaReading reading = readMedia(result->filePath);
        QCOMPARE(reading.title, tags.title);
        QCOMPARE(reading.cover, sampleCoverPng(1001));
    }

    void continuing_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<QByteArray>>("ranges"); // Range header of each request
        const qint64 k = 400000;
        const QByteArray none;
        const QByteArray fromK = "bytes=" + QByteArray::number(k) + '-';
        // Every answer drops after k bytes, so the fourth continuation (of k bytes) completes.
        QTest::newRow("dropped once, continued")
            << 5 * k << QStringLiteral("drop=%1&drops=1").arg(k) << true << QList<QByteArray>{none, fromK};
        QTest::newRow("dropped three times, continued three times")
            << 4 * k << QStringLiteral("drop=%1").arg(k) << true
            << QList<QByteArray>{none, fromK, "bytes=" + QByteArray::number(2 * k) + '-',
                                 "bytes=" + QByteArray::number(3 * k) + '-'};
        QTest::newRow("dropped every time: three retries, then failed")
            << 5 * k << QStringLiteral("drop=%1").arg(k) << false
            << QList<QByteArray>{none, fromK, "bytes=" + QByteArray::number(2 * k) + '-',
                                 "bytes=" + QByteArray::number(3 * k) + '-'};
        QTest::newRow("range ignored: whole body again")
            << 5 * k << QStringLiteral("drop=%1&drops=1&range=ignore").arg(k) << true
            << QList<QByteArray>{none, fromK};
        QTest::newRow("part from the wrong place: asked again from zero")
            << 5 * k << QStringLiteral("drop=%1&drops=1&range=shift").arg(k) << true
            << QList<QByteArray>{none, fromK, none};
        QTest::newRow("file changed: whole body again")
            << 5 * k << QStringLiteral("drop=%1&drops=1&validator=changing").arg(k) << true
            << QList<QByteArray>{none, fromK};
        QTest::newRow("no validator: never a range")
            << 5 * k << QStringLiteral("drop=%1&drops=1&validator=none").arg(k) << true
            << QList<QByteArray>{none};
        QTest::newRow("weak ETag: never a range")
            << 5 * k << QStringLiteral("drop=%1&drops=1&validator=weak").arg(k) << true
            << QList<QByteArray>{none};
    }

    // However the server answers a continuation, the result is the file byte
    // for byte, or a failure; never a splice of two answers.
    void continuing()
    {
        QFETCH(qint64, size);
        QFETCH(QString, options);
        QFETCH(bool, ok);
        QFETCH(QList<QByteArray>, ranges);
        const QString path = uniqueBytesPath(size, options);
        QTemporaryDir dir;
        const DownloadResult result =
            runDownload(testDownloadRequest(m_service.baseUrl() + path, dir.path()));
        QCOMPARE(rangesAsked(m_service, path), ranges);
        for (const RecordedRequest &r : m_service.requests()) {
            if (r.target == path.toUtf8() && !r.header("Range").isEmpty())
                QVERIFY(r.header("If-Range").startsWith("\"bytes-"));
        }
        const QString name = QStringLiteral("歌手 - 歌.mp3");
        if (ok) {
            QVERIFY2(result.has_value(), qPrintable(whyNot(result)));
            QVERIFY(contents(result->filePath) == sampleFileBody(size));
            QCOMPARE(entries(dir.path()), QStringList{name});
            return;
        }
        QCOMPARE(result.error().reason, DownloadError::Incomplete);
        QCOMPARE(downloadFailureText(result.error()), QStringLiteral("网络连接中断"));
        // Kept for a later download, with what it needs to continue.
        QCOMPARE(entries(dir.path()), (QStringList{name + ".part", name + ".part.meta"}));
        QCOMPARE(result.error().detail.partPath, dir.filePath(name + ".part"));
        QVERIFY(contents(dir.filePath(name + ".part")) == sampleFileBody(4 * 400000));
    }

    void existingPart_data()
    {
        QTest::addColumn<QByteArray>("part");
        QTest::addColumn<QString>("info"); // "same", "stale", "other", "sound", "junk" or none
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QByteArray>("range"); // of the one request
        QTest::addColumn<QString>("savedAs");  // name of the new file
        QTest::addColumn<bool>("partStays");
        const QString name = QStringLiteral("歌手 - 歌.mp3");
        const QString next = QStringLiteral("歌手 - 歌 (1).mp3");
        const QByteArray prefix = sampleFileBody(300000);
        QByteArray random(1000000, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
        QTest::newRow("same address: continued")
            << prefix << "same" << false << QByteArray("bytes=300000-") << name << false;
        QTest::newRow("file changed since: whole body")
            << QByteArray(300000, 'x') << "stale" << false << QByteArray("bytes=300000-") << name << false;
        // A browser keeps its unfinished download under just that name.
        QTest::newRow("no info, another program's: left alone")
            << random << "" << false << QByteArray() << next << true;
        QTest::newRow("empty, no info: left alone")
            << QByteArray() << "" << false << QByteArray() << next << true;
        QTest::newRow("unreadable info: left alone")
            << QByteArray("junk") << "junk" << false << QByteArray() << next << true;
        QTest::newRow("whole already: fetched again")
            << sampleFileBody(1000000) << "same" << false << QByteArray() << name << false;
        QTest::newRow("another address's part: left for it")
            << prefix << "other" << false << QByteArray() << next << true;
        QTest::newRow("another sound's part: left for it")
            << prefix << "sound" << false << QByteArray() << next << true;
        QTest::newRow("being written by another download: left alone")
            << prefix << "same" << true << QByteArray() << next << true;
    }

    // A part file found beside the final name is continued only when it is
    // ours to continue; otherwise it is started afresh or left alone.
    void existingPart()
    {
        QFETCH(QByteArray, part);
        QFETCH(QString, info);
        QFETCH(bool, locked);
        QFETCH(QByteArray, range);
        QFETCH(QString, savedAs);
        QFETCH(bool, partStays);
        const qint64 size = 1000000;
        const QString path = uniqueBytesPath(size);
        const QString url = m_service.baseUrl() + path;
        QTemporaryDir dir;
        const QString partPath = dir.filePath(QStringLiteral("歌手 - 歌.mp3.part"));
        writeFile(partPath, part);
        const QByteArray etag = "\"bytes-" + QByteArray::number(size) + "-v1\"";
        if (info == u"same")
            writeFile(partPath + ".meta", partInfoText({url, etag, size}));
        else if (info == u"stale")
            writeFile(partPath + ".meta", partInfoText({url, "\"old\"", size}));
        else if (info == u"other")
            writeFile(partPath + ".meta", partInfoText({url + "x", etag, size}));
        else if (info == u"sound")
            writeFile(partPath + ".meta", partInfoText({url, etag, size, 0, QStringLiteral("1002")}));
        else if (info == u"junk")
            writeFile(partPath + ".meta", "junk");
        const int fd = ::open(QFile::encodeName(partPath).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        if (locked)
            QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);

        DownloadRequest r = testDownloadRequest(url, dir.path());
        r.soundId = QStringLiteral("1001");
        SoundDownload download(r);
        QSignalSpy finished(&download, &SoundDownload::finished);
        download.start();
        const qint64 resumed = download.received();
        QVERIFY(finished.wait(30000));
        ::close(fd);
        const DownloadResult &result = download.result();
        QVERIFY2(result.has_value(), qPrintable(whyNot(result)));
        QCOMPARE(result->fileName(), savedAs);
        QVERIFY(contents(result->filePath) == sampleFileBody(size));
        QCOMPARE(rangesAsked(m_service, path), QList<QByteArray>{range});
        QCOMPARE(QFileInfo::exists(partPath), partStays);
        if (partStays)
            QVERIFY(contents(partPath) == part);
        QCOMPARE(QFileInfo::exists(partPath + ".meta"), partStays && !info.isEmpty());
        // The bytes go on from the part when it is continued.
        if (range == "bytes=300000-" && info == u"same")
            QCOMPARE(resumed, 300000);
    }

    // A paused download goes on from its part when its sound's file address
    // has been signed anew since (a fresh analysis): same name, nothing left over.
    void resignedAddressContinues()
    {
        const qint64 size = 1000000;
        QTemporaryDir dir;
        DownloadRequest r = testDownloadRequest(
            m_service.baseUrl() + uniqueBytesPath(size, QStringLiteral("stall=300000&sign=a")), dir.path());
        r.soundId = QStringLiteral("1001");
        auto paused = std::make_unique<SoundDownload>(r);
        paused->start();
        QTRY_COMPARE_WITH_TIMEOUT(paused->received(), 300000, 10000);
        paused->abort();
        QCOMPARE(paused->result().error().reason, DownloadError::Cancelled);
        paused.reset();
        const QString name = QStringLiteral("歌手 - 歌.mp3");
        QCOMPARE(entries(dir.path()), (QStringList{name + ".part", name + ".part.meta"}));

        const QString resigned = uniqueBytesPath(size, QStringLiteral("sign=b"));
        r.fileUrl = m_service.baseUrl() + resigned;
        const DownloadResult result = runDownload(r);
        QVERIFY2(result.has_value(), qPrintable(whyNot(result)));
        QCOMPARE(result->fileName(), name);
        QCOMPARE(rangesAsked(m_service, resigned), QList<QByteArray>{"bytes=300000-"});
        QVERIFY(contents(result->filePath) == sampleFileBody(size));
        QCOMPARE(entries(dir.path()), QStringList{name});
    }

    // A download that gave up leaves its part, and the next one for the same
    // address continues it to the whole file.
    void nextDownloadContinues()
    {
        // Every answer drops after 300000 bytes: four answers leave 300000
        // of 1500000 to go, which the next answer carries whole.
        const qint64 size = 1500000;
        const QString path = uniqueBytesPath(size, QStringLiteral("drop=300000"));
        QTemporaryDir dir;
        const DownloadResult first = runDownload(testDownloadRequest(m_service.baseUrl() + path, dir.path()));
        QVERIFY(!first.has_value());
        QCOMPARE(first.error().detail.bytes, 1200000);
        const DownloadResult second =
            runDownload(testDownloadRequest(m_service.baseUrl() + path, dir.path()));
        QVERIFY2(second.has_value(), qPrintable(whyNot(second)));
        QVERIFY(contents(second->filePath) == sampleFileBody(size));
        QCOMPARE(rangesAsked(m_service, path).constLast(), QByteArray("bytes=1200000-"));
        QCOMPARE(entries(dir.path()), QStringList{second->fileName()});
    }

    // A name as long as a hostile answer makes is cut so that the part's
    // info fits beside it too: the drop is continued, not started again.
    void longNameContinues()
    {
        const qint64 size = 1000000;
        const QString path = uniqueBytesPath(size, QStringLiteral("drop=300000&drops=1"));
        QTemporaryDir dir;
        const QString name = QString(5000, u'x') + QStringLiteral(".mp3");
        const DownloadResult result =
            runDownload(testDownloadRequest(m_service.baseUrl() + path, dir.path(), name));
        QVERIFY2(result.has_value(), qPrintable(whyNot(result)));
        QCOMPARE(rangesAsked(m_service, path), (QList<QByteArray>{{}, "bytes=300000-"}));
        QVERIFY(contents(result->filePath) == sampleFileBody(size));
    }

    void deletedWhileRunning_data()
    {
        QTest::addColumn<bool>("continuable");
        QTest::newRow("no validator: removed") << false;
        QTest::newRow("continuable: kept") << true;
    }

    // Deleting a running download (its window closing, the program ending)
    // keeps its part file only when a later download can continue it.
    void deletedWhileRunning()
    {
        QFETCH(bool, continuable);
        QTemporaryDir dir;
        DownloadRequest r = testDownloadRequest(
            continuable ? m_service.baseUrl() + uniqueBytesPath(900000, QStringLiteral("drop=5000"))
                        : m_service.baseUrl() + QStringLiteral("/fault/stall-body?seconds=30"),
            dir.path());
        r.retryDelays = {30s}; // deleted while waiting to retry
        auto download = std::make_unique<SoundDownload>(r);
        QSignalSpy retrying(download.get(), &SoundDownload::retrying);
        download->start();
        QTRY_VERIFY_WITH_TIMEOUT(download->received() > 0, 10000);
        if (continuable) // deleted while it waits to retry
            QTRY_COMPARE(retrying.size(), 1);
        const QString part = QStringLiteral("歌手 - 歌.mp3.part");
        QTRY_VERIFY(!entries(dir.path()).isEmpty());
        QCOMPARE(entries(dir.path()).first(), part);
        download.reset();
        QCOMPARE(entries(dir.path()), (continuable ? QStringList{part, part + ".meta"} : QStringList()));
    }
};

QTEST_GUILESS_MAIN(DownloadPartTest)
#include "download_part_test.moc"
