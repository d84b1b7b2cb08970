// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_file_name.h"
#include "download/sound_download.h"
#include "net/network_access.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "support/download_runs.h"
#include "support/folder_files.h"
#include "support/media_reader.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace std::chrono_literals;

namespace {

// Lowers the file-size limit for this process while it lives, as a full
// disk would stop the writes; SIGXFSZ ignored so the write fails instead.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_saved{};
    void (*m_signal)(int) = nullptr;
};

} // namespace

class SoundDownloadTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    int m_unique = 0;

    QString fileUrl(const QString &kind) const
    {
        return m_service.baseUrl() + QStringLiteral("/file/") + kind;
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { shutDownSharedNetworkManager(); }

    void content_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("one byte") << qint64(1);
        QTest::newRow("just past one period") << SampleFilePeriod + 7;
        QTest::newRow("3 MiB and a byte") << qint64(3 * 1024 * 1024 + 1);
    }

    // What arrives is what was served, byte for byte, under the final name only.
    void content()
    {
        QFETCH(qint64, size);
        QTemporaryDir dir;
        const DownloadResult result =
            runDownload(testDownloadRequest(fileUrl(QStringLiteral("bytes-%1.mp3").arg(size)), dir.path()));
        QVERIFY2(result.has_value(), qPrintable(whyNot(result)));
        QCOMPARE(result->bytes, size);
        QCOMPARE(result->filePath, dir.filePath(QStringLiteral("歌手 - 歌.mp3")));
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("歌手 - 歌.mp3")});
        QVERIFY(contents(result->filePath) == sampleFileBody(size));
        const RecordedRequest sent = m_service.requests().constLast();
        QCOMPARE(sent.header("If-Modified-Since"), QByteArray("0"));
        QCOMPARE(sent.header("Accept-Encoding"), QByteArray("identity"));
    }

    void tagged_data()
    {
        QTest::addColumn<QString>("audio");
        QTest::addColumn<QString>("cover");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("withCover");
        QTest::newRow("mp3 with cover") << "/audio/1001.mp3"
                                        << "/cover/1001.png" << true << true;
        QTest::newRow("flac, cover missing") << "/audio/1002.flac"
                                             << "/cover/none.png" << true << false;
        QTest::newRow("opus, cover not http") << "/audio/1003.opus"
                                              << "file:///etc/hostname" << true << false;
        QTest::newRow("a WAV body named .mp3") << "/audio/1001.fake.mp3"
                                               << "/cover/1001.png" << false << false;
    }

    // Tagged before it is named; a cover that cannot be had only leaves the
    // picture out, a file that cannot be tagged is saved as it came.
    void tagged()
    {
        QFETCH(QString, audio);
        QFETCH(QString, cover);
        QFETCH(bool, written);
        QFETCH(bool, withCover);
        QTemporaryDir dir;
        const QString name = QStringLiteral("歌手 - 歌.") + QFileInfo(audio).suffix();
        DownloadRequest r = testDownloadRequest(m_service.baseUrl() + audio, dir.path(), name);
        SoundTags tags;
        tags.title = QStringLiteral("歌");
        tags.artist = QStringLiteral("歌手");
        r.tags = tags;
        r.coverUrl = cover.startsWith(u'/') ? m_service.baseUrl() + cover : cover;
        const DownloadResult result = runDownload(r);
        QVERIFY2(result.has_value(), qPrintable(whyNot(result)));
        QCOMPARE(result->untagged.isEmpty(), written);
        QCOMPARE(entries(dir.path()), QStringList{name});
        const MediaReading reading = readMedia(result->filePath);
        if (!written) {
            QCOMPARE(contents(result->filePath), sampleAudioWav(1001));
            return;
        }
        QVERIFY2(reading.ok, qPrintable(reading.error));
        QCOMPARE(reading.title, tags.title);
        QCOMPARE(reading.artist, tags.artist);
        QCOMPARE(reading.cover.isEmpty(), !withCover);
    }

    void silence_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<QByteArray>>("ranges");
        // Silence after data is how a connection that died without a word looks.
        QTest::newRow("silent mid-body: continued")
            << QStringLiteral("stall=300000&drops=1") << true << QList<QByteArray>{"", "bytes=300000-"};
        // A server that never answers is not waited for four times.
        QTest::newRow("silent from the start: not retried")
            << QStringLiteral("stall=0") << false << QList<QByteArray>{""};
    }

    void silence()
    {
        QFETCH(QString, options);
        QFETCH(bool, ok);
        QFETCH(QList<QByteArray>, ranges);
        const qint64 size = 1000000;
        const QString path = uniqueBytesPath(size, options);
        QTemporaryDir dir;
        DownloadRequest r = testDownloadRequest(m_service.baseUrl() + path, dir.path());
        r.stallTimeout = 1s;
        const DownloadResult result = runDownload(r);
        QCOMPARE(result.has_value(), ok);
        QCOMPARE(rangesAsked(m_service, path), ranges);
        if (ok)
            QVERIFY(contents(result->filePath) == sampleFileBody(size));
        else
            QCOMPARE(result.error().reason, DownloadError::Stalled);
    }

    void folderIsCreated()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("a/b"));
        const DownloadResult result =
            runDownload(testDownloadRequest(fileUrl(QStringLiteral("bytes-10.mp3")), folder));
        QVERIFY(result.has_value());
        QCOMPARE(QFileInfo(result->filePath).absolutePath(), folder);
    }

    // An existing file is never overwritten, neither by a later download nor
    // by one finishing at the same time as another.
    void collisions()
    {
        QTemporaryDir dir;
        const QString url = fileUrl(QStringLiteral("bytes-300000.mp3"));
        QFile existing(dir.filePath(QStringLiteral("歌手 - 歌.mp3")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("mine");
        existing.close();

        std::vector<std::unique_ptr<SoundDownload>> downloads;
        for (int i = 0; i < 3; ++i)
            downloads.push_back(std::make_unique<SoundDownload>(testDownloadRequest(url, dir.path())));
        int finished = 0;
        for (auto &d : downloads) {
            connect(d.get(), &SoundDownload::finished, this, [&] { ++finished; });
            d->start();
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished, 3, 30000);

        QCOMPARE(contents(existing.fileName()), QByteArray("mine"));
        QStringList saved;
        for (auto &d : downloads) {
            QVERIFY2(d->result(), qPrintable(whyNot(d->result())));
            QVERIFY(contents(d->result()->filePath) == sampleFileBody(300000));
            saved.append(d->result()->fileName());
        }
        saved.sort();
        QCOMPARE(saved, (QStringList{QStringLiteral("歌手 - 歌 (1).mp3"), QStringLiteral("歌手 - 歌 (2).mp3"),
                                     QStringLiteral("歌手 - 歌 (3).mp3")}));
        QCOMPARE(entries(dir.path()).size(), 4);
    }

    void requestedPaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("saved");
        QTest::newRow("subfolders") << QStringLiteral("歌手/专辑/歌.mp3")
                                    << QStringLiteral("歌手/专辑/歌.mp3");
        QTest::newRow("climbing") << QStringLiteral("../../escape.mp3") << QStringLiteral("escape.mp3");
        QTest::newRow("absolute") << QStringLiteral("/tmp/escape.mp3") << QStringLiteral("tmp/escape.mp3");
        QTest::newRow("dots") << QStringLiteral("./.x/../..") << QStringLiteral("x/未命名音乐.mp3");
        QTest::newRow("backslash") << QStringLiteral("..\\a.mp3") << QStringLiteral("_a.mp3");
    }

    // Whatever name is asked for, the file lands in the folder, subfolders
    // made inside it; a second one is numbered beside the first.
    void requestedPaths()
    {
        QFETCH(QString, name);
        QFETCH(QString, saved);
        QTemporaryDir parent;
        const QDir folder(parent.filePath(QStringLiteral("in")));
        const DownloadRequest r =
            testDownloadRequest(fileUrl(QStringLiteral("bytes-10.mp3")), folder.path(), name);
        QCOMPARE(runDownload(r)->filePath, folder.filePath(saved));
        const QString second = numberedFileName(saved, 1);
        QCOMPARE(runDownload(r)->filePath, folder.filePath(second));
        QStringList files;
        QDirIterator it(parent.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(QDir(parent.path()).relativeFilePath(it.next()));
        QStringList expected{u"in/" + saved, u"in/" + second};
        files.sort();
        expected.sort();
        QCOMPARE(files, expected);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("folderBlocked");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("httpStatus");

        const QString base = m_service.baseUrl();
        // Qt may report the early close as a normal end: the length check catches it.
        QTest::newRow("dropped connection")
            << fileUrl(QStringLiteral("drop-4000000.mp3")) << false << int(DownloadError::Incomplete) << 200;
        QTest::newRow("not found") << fileUrl(QStringLiteral("status-404.mp3")) << false
                                   << int(DownloadError::HttpStatus) << 404;
        QTest::newRow("server error")
            << fileUrl(QStringLiteral("status-503.mp3")) << false << int(DownloadError::HttpStatus) << 503;
        QTest::newRow("stalled body") << base + QStringLiteral("/fault/stall-body?seconds=30") << false
                                      << int(DownloadError::Stalled) << 200;
        QTest::newRow("redirect loop")
            << base + QStringLiteral("/fault/redirect-loop") << false << int(DownloadError::Redirect) << 302;
        QTest::newRow("redirect to file:") << base + QStringLiteral("/fault/redirect-scheme") << false
                                           << int(DownloadError::Redirect) << 302;
        QTest::newRow("empty body") << base + QStringLiteral("/fault/empty") << false
                                    << int(DownloadError::Empty) << 200;
        QTest::newRow("error page sent as 200")
            << base + QStringLiteral("/fault/html") << false << int(DownloadError::NotSound) << 200;
        QTest::newRow("error page typed as audio, after a BOM and white space")
            << base + QStringLiteral("/fault/html?type=audio/mpeg&lead=%EF%BB%BF%20%0D%0A") << false
            << int(DownloadError::NotSound) << 200;
        QTest::newRow("page starting <HTML>, typed as audio")
            << base + QStringLiteral("/fault/html?type=audio/mpeg&lead=%09%3CHTML%3E") << false
            << int(DownloadError::NotSound) << 200;
        QTest::newRow("two lengths that disagree")
            << base + QStringLiteral("/fault/two-lengths") << false << int(DownloadError::BadAnswer) << 200;
        QTest::newRow("no length, past the limit") << base + QStringLiteral("/fault/no-length?kib=100")
                                                   << false << int(DownloadError::TooLarge) << 200;
        QTest::newRow("folder not writable")
            << fileUrl(QStringLiteral("bytes-10.mp3")) << true << int(DownloadError::Folder) << 0;
        QTest::newRow("local file") << QStringLiteral("file:///etc/passwd") << false
                                    << int(DownloadError::NotWebAddress) << 0;
        QTest::newRow("data address") << QStringLiteral("data:audio/mpeg;base64,AAAA") << false
                                      << int(DownloadError::NotWebAddress) << 0;
    }

    // A failure leaves nothing under the final name and no part file.
    void failures()
    {
        QFETCH(QString, url);
        QFETCH(bool, folderBlocked);
        QFETCH(int, error);
        QFETCH(int, httpStatus);

        QTemporaryDir dir;
        QString folder = dir.filePath(QStringLiteral("out"));
        if (folderBlocked) {
            // A folder below a regular file cannot exist, even for root.
            QFile plain(dir.filePath(QStringLiteral("plain")));
            QVERIFY(plain.open(QIODevice::WriteOnly));
            folder = plain.fileName() + QStringLiteral("/out");
        }
        DownloadRequest r = testDownloadRequest(url, folder);
        r.stallTimeout = 500ms;
        r.maxUnsizedBytes = 64 * 1024; // so a body of no announced length soon goes past it
        const DownloadResult result = runDownload(r);
        QCOMPARE(int(result.error().reason), error);
        QCOMPARE(result.error().code, httpStatus);
        QVERIFY(!whyNot(result).isEmpty());
        QVERIFY(!result);
        QCOMPARE(entries(folder), QStringList());
    }

    void trickle_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<qint64>("minimumSpeed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("tries");
        // The stall time-out counts from the last byte, not from the start.
        QTest::newRow("longer than the stall time-out in all, fast enough: completes")
            << QStringLiteral("trickle?bytes=12&interval=150") << qint64(1) << true << 1;
        // A server dripping bytes would otherwise hold the download for ever.
        QTest::newRow("below the minimum speed: stalled, retried, failed")
            << QStringLiteral("trickle?bytes=300&interval=50") << qint64(1024) << false << 4;
    }

    void trickle()
    {
        QFETCH(QString, fault);
        QFETCH(qint64, minimumSpeed);
        QFETCH(bool, ok);
        QFETCH(int, tries);
        QTemporaryDir dir;
        const QString path = QStringLiteral("/fault/%1&u=%2").arg(fault).arg(++m_unique);
        DownloadRequest r = testDownloadRequest(m_service.baseUrl() + path, dir.path());
        r.stallTimeout = 700ms; // a speed window of twice that
        r.minimumSpeed = minimumSpeed;
        const DownloadResult result = runDownload(r);
        QCOMPARE(result.has_value(), ok);
        const QList<RecordedRequest> sent = m_service.requests();
        QCOMPARE(int(std::count_if(sent.cbegin(), sent.cend(),
                                   [&](const RecordedRequest &one) { return one.target == path.toUtf8(); })),
                 tries);
        if (ok)
            QCOMPARE(result->bytes, 12);
        else
            QCOMPARE(result.error().reason, DownloadError::Stalled);
    }

    void diskFull()
    {
        QTemporaryDir dir;
        DownloadResult result;
        {
            const FileSizeLimit limit(1024 * 1024);
            result =
                runDownload(testDownloadRequest(fileUrl(QStringLiteral("bytes-3000000.mp3")), dir.path()));
        }
        QCOMPARE(result.error().reason, DownloadError::DiskFull);
        QCOMPARE(downloadFailureText(result.error()), QStringLiteral("磁盘空间不足"));
        QCOMPARE(entries(dir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(SoundDownloadTest)
#include "sound_download_test.moc"
