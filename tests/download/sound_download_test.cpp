// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_encodings.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "download/download_file_name.h"
#include "net/network_access.h"
#include "download/sound_download.h"
#include "support/folder_files.h"
#include "support/media_reader.h"

#include <QDir>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

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

// The Range headers of the requests for path, in order ("" for none). Qt
// itself may send a GET once more when a connection closes early, so a
// repeat of the same range is counted once.
QList<QByteArray> rangesAsked(const SampleService &service, const QString &path)
{
    QList<QByteArray> ranges;
    for (const RecordedRequest &r : service.requests()) {
        if (r.target == path.toUtf8() && (ranges.isEmpty() || ranges.constLast() != r.header("Range")))
            ranges.append(r.header("Range"));
    }
    return ranges;
}

} // namespace

class SoundDownloadTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;
    int m_unique = 0;

    // A /file/bytes-SIZE.mp3 address with options, its own so that the
    // service's per-address answer counts start afresh.
    QString bytesPath(qint64 size, const QString &options = {})
    {
        return QStringLiteral("/file/bytes-%1.mp3?u=%2%3")
            .arg(size)
            .arg(++m_unique)
            .arg(options.isEmpty() ? QString() : u'&' + options);
    }

    QString fileUrl(const QString &kind) const
    {
        return m_service.baseUrl() + QStringLiteral("/file/") + kind;
    }

    static DownloadRequest request(const QString &url, const QString &folder,
                                   const QString &name = QStringLiteral("歌手 - 歌.mp3"))
    {
        DownloadRequest r;
        r.fileUrl = url;
        r.folder = folder;
        r.fileName = name;
        r.stallTimeout = 5s;
        r.retryDelays = {10ms, 20ms, 40ms};
        return r;
    }

    // Runs one download to its end.
    static DownloadResult run(const DownloadRequest &r)
    {
        SoundDownload download(r);
        QSignalSpy finished(&download, &SoundDownload::finished);
        download.start();
        if (!finished.wait(60000))
            return {};
        [&] { QCOMPARE(finished.count(), 1); }();
        // The signal carries the same result the download keeps.
        const auto carried = finished.first().first().value<DownloadResult>();
        [&] {
            QCOMPARE(carried.error, download.result().error);
            QCOMPARE(carried.filePath, download.result().filePath);
            QCOMPARE(carried.bytes, download.result().bytes);
        }();
        return carried;
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
            run(request(fileUrl(QStringLiteral("bytes-%1.mp3").arg(size)), dir.path()));
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QCOMPARE(result.bytes, size);
        QCOMPARE(result.filePath, dir.filePath(QStringLiteral("歌手 - 歌.mp3")));
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("歌手 - 歌.mp3")});
        QVERIFY(contents(result.filePath) == sampleFileBody(size));
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
        DownloadRequest r = request(m_service.baseUrl() + audio, dir.path(), name);
        SoundTags tags;
        tags.title = QStringLiteral("歌");
        tags.artist = QStringLiteral("歌手");
        r.tags = tags;
        r.coverUrl = cover.startsWith(u'/') ? m_service.baseUrl() + cover : cover;
        const DownloadResult result = run(r);
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QCOMPARE(result.untagged.isEmpty(), written);
        QCOMPARE(entries(dir.path()), QStringList{name});
        const MediaReading reading = readMedia(result.filePath);
        if (!written) {
            QCOMPARE(contents(result.filePath), sampleAudioWav(1001));
            return;
        }
        QVERIFY2(reading.ok, qPrintable(reading.error));
        QCOMPARE(reading.title, tags.title);
        QCOMPARE(reading.artist, tags.artist);
        QCOMPARE(reading.cover.isEmpty(), !withCover);
    }

    // An MP3 gets room for its tag in front of the body. A part left with
    // that room is continued behind it, and the tag fills it.
    void taggedContinued()
    {
        const qint64 size = 3000000;
        const qint64 k = 1000000;
        const QString path = bytesPath(size, QStringLiteral("body=mp3&drop=%1&drops=1").arg(k));
        QTemporaryDir dir;
        DownloadRequest r = request(m_service.baseUrl() + path, dir.path());
        SoundTags tags;
        tags.title = QStringLiteral("歌");
        r.tags = tags;
        r.coverUrl = m_service.baseUrl() + QStringLiteral("/cover/1001.png");
        r.retryDelays = {};
        const DownloadResult cut = run(r);
        QCOMPARE(cut.error, DownloadError::Incomplete);
        QVERIFY(contents(cut.partPath).startsWith("ID3"));

        const DownloadResult result = run(r);
        QVERIFY2(result.ok() && result.untagged.isEmpty(), qPrintable(result.detail + result.untagged));
        QCOMPARE(result.bytes, size);
        QCOMPARE(rangesAsked(m_service, path),
                 (QList<QByteArray>{{}, "bytes=" + QByteArray::number(k) + '-'}));
        const QByteArray mp3 = encodeSampleAudio(sampleAudioWav(1001), QStringLiteral("mp3")).bytes;
        QByteArray body;
        while (body.size() < size)
            body += mp3.left(size - body.size());
        const QByteArray saved = contents(result.filePath);
        const auto byte = [&saved](int i) { return qint64(quint8(saved.at(i)) & 0x7F); };
        QCOMPARE(10 + (byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9)) + size, saved.size());
        QVERIFY(saved.endsWith(body));
        const MediaReading reading = readMedia(result.filePath);
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
        const QString path = bytesPath(size, options);
        QTemporaryDir dir;
        const DownloadResult result = run(request(m_service.baseUrl() + path, dir.path()));
        QCOMPARE(rangesAsked(m_service, path), ranges);
        for (const RecordedRequest &r : m_service.requests()) {
            if (r.target == path.toUtf8() && !r.header("Range").isEmpty())
                QVERIFY(r.header("If-Range").startsWith("\"bytes-"));
        }
        const QString name = QStringLiteral("歌手 - 歌.mp3");
        if (ok) {
            QVERIFY2(result.ok(), qPrintable(result.detail));
            QVERIFY(contents(result.filePath) == sampleFileBody(size));
            QCOMPARE(entries(dir.path()), QStringList{name});
            return;
        }
        QCOMPARE(result.error, DownloadError::Incomplete);
        QCOMPARE(downloadFailureText(result), QStringLiteral("网络连接中断"));
        // Kept for a later download, with what it needs to continue.
        QCOMPARE(entries(dir.path()), (QStringList{name + ".part", name + ".part.meta"}));
        QCOMPARE(result.partPath, dir.filePath(name + ".part"));
        QVERIFY(contents(dir.filePath(name + ".part")) == sampleFileBody(4 * 400000));
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
        const QString path = bytesPath(size, options);
        QTemporaryDir dir;
        DownloadRequest r = request(m_service.baseUrl() + path, dir.path());
        r.stallTimeout = 1s;
        const DownloadResult result = run(r);
        QCOMPARE(result.ok(), ok);
        QCOMPARE(rangesAsked(m_service, path), ranges);
        if (ok)
            QVERIFY(contents(result.filePath) == sampleFileBody(size));
        else
            QCOMPARE(result.error, DownloadError::Stalled);
    }

    void existingPart_data()
    {
        QTest::addColumn<QByteArray>("part");
        QTest::addColumn<QString>("info"); // "same", "stale", "other", "junk" or none
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
        const QString path = bytesPath(size);
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
        else if (info == u"junk")
            writeFile(partPath + ".meta", "junk");
        const int fd = ::open(QFile::encodeName(partPath).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        if (locked)
            QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);

        SoundDownload download(request(url, dir.path()));
        QSignalSpy finished(&download, &SoundDownload::finished);
        QSignalSpy progress(&download, &SoundDownload::progress);
        download.start();
        const qint64 resumed = download.resumedFrom();
        QVERIFY(finished.wait(30000));
        ::close(fd);
        const DownloadResult &result = download.result();
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QCOMPARE(result.fileName(), savedAs);
        QVERIFY(contents(result.filePath) == sampleFileBody(size));
        QCOMPARE(rangesAsked(m_service, path), QList<QByteArray>{range});
        QCOMPARE(QFileInfo::exists(partPath), partStays);
        if (partStays)
            QVERIFY(contents(partPath) == part);
        QCOMPARE(QFileInfo::exists(partPath + ".meta"), partStays && !info.isEmpty());
        // Progress goes on from the part when it is continued.
        if (range == "bytes=300000-" && info == u"same") {
            QCOMPARE(resumed, 300000);
            QVERIFY(progress.first().first().toLongLong() > 300000);
            QCOMPARE(download.transferred(), size - 300000);
        }
    }

    // A download that gave up leaves its part, and the next one for the same
    // address continues it to the whole file.
    void nextDownloadContinues()
    {
        // Every answer drops after 300000 bytes: four answers leave 300000
        // of 1500000 to go, which the next answer carries whole.
        const qint64 size = 1500000;
        const QString path = bytesPath(size, QStringLiteral("drop=300000"));
        QTemporaryDir dir;
        const DownloadResult first = run(request(m_service.baseUrl() + path, dir.path()));
        QVERIFY(!first.ok());
        QCOMPARE(first.bytes, 1200000);
        const DownloadResult second = run(request(m_service.baseUrl() + path, dir.path()));
        QVERIFY2(second.ok(), qPrintable(second.detail));
        QVERIFY(contents(second.filePath) == sampleFileBody(size));
        QCOMPARE(rangesAsked(m_service, path).constLast(), QByteArray("bytes=1200000-"));
        QCOMPARE(entries(dir.path()), QStringList{second.fileName()});
    }

    // A name as long as a hostile answer makes is cut so that the part's
    // info fits beside it too: the drop is continued, not started again.
    void longNameContinues()
    {
        const qint64 size = 1000000;
        const QString path = bytesPath(size, QStringLiteral("drop=300000&drops=1"));
        QTemporaryDir dir;
        const QString name = QString(5000, u'x') + QStringLiteral(".mp3");
        const DownloadResult result = run(request(m_service.baseUrl() + path, dir.path(), name));
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QCOMPARE(rangesAsked(m_service, path), (QList<QByteArray>{{}, "bytes=300000-"}));
        QVERIFY(contents(result.filePath) == sampleFileBody(size));
    }

    void folderIsCreated()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("a/b"));
        const DownloadResult result = run(request(fileUrl(QStringLiteral("bytes-10.mp3")), folder));
        QVERIFY(result.ok());
        QCOMPARE(QFileInfo(result.filePath).absolutePath(), folder);
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
            downloads.push_back(std::make_unique<SoundDownload>(request(url, dir.path())));
        int finished = 0;
        for (auto &d : downloads) {
            connect(d.get(), &SoundDownload::finished, this, [&] { ++finished; });
            d->start();
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished, 3, 30000);

        QCOMPARE(contents(existing.fileName()), QByteArray("mine"));
        QStringList saved;
        for (auto &d : downloads) {
            QVERIFY2(d->result().ok(), qPrintable(d->result().detail));
            QVERIFY(contents(d->result().filePath) == sampleFileBody(300000));
            saved.append(d->result().fileName());
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
        const DownloadRequest r = request(fileUrl(QStringLiteral("bytes-10.mp3")), folder.path(), name);
        QCOMPARE(run(r).filePath, folder.filePath(saved));
        const QString second = numberedFileName(saved, 1);
        QCOMPARE(run(r).filePath, folder.filePath(second));
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
        DownloadRequest r = request(url, folder);
        r.stallTimeout = 500ms;
        r.maxUnsizedBytes = 64 * 1024; // so a body of no announced length soon goes past it
        const DownloadResult result = run(r);
        QCOMPARE(int(result.error), error);
        QCOMPARE(result.httpStatus, httpStatus);
        QVERIFY(!result.detail.isEmpty());
        QVERIFY(result.filePath.isEmpty());
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
        DownloadRequest r = request(m_service.baseUrl() + path, dir.path());
        r.stallTimeout = 700ms; // a speed window of twice that
        r.minimumSpeed = minimumSpeed;
        const DownloadResult result = run(r);
        QCOMPARE(result.ok(), ok);
        const QList<RecordedRequest> sent = m_service.requests();
        QCOMPARE(int(std::count_if(sent.cbegin(), sent.cend(),
                                   [&](const RecordedRequest &one) { return one.target == path.toUtf8(); })),
                 tries);
        if (ok)
            QCOMPARE(result.bytes, 12);
        else
            QCOMPARE(result.error, DownloadError::Stalled);
    }

    void diskFull()
    {
        QTemporaryDir dir;
        DownloadResult result;
        {
            const FileSizeLimit limit(1024 * 1024);
            result = run(request(fileUrl(QStringLiteral("bytes-3000000.mp3")), dir.path()));
        }
        QCOMPARE(result.error, DownloadError::DiskFull);
        QCOMPARE(downloadFailureText(result), QStringLiteral("磁盘空间不足"));
        QCOMPARE(entries(dir.path()), QStringList());
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
        DownloadRequest r =
            request(continuable ? m_service.baseUrl() + bytesPath(900000, QStringLiteral("drop=5000"))
                                : m_service.baseUrl() + QStringLiteral("/fault/stall-body?seconds=30"),
                    dir.path());
        r.retryDelays = {30s}; // deleted while waiting to retry
        auto download = std::make_unique<SoundDownload>(r);
        QSignalSpy progress(download.get(), &SoundDownload::progress);
        QSignalSpy retrying(download.get(), &SoundDownload::retrying);
        download->start();
        QVERIFY(progress.wait(10000));
        if (continuable) // deleted while it waits to retry
            QTRY_COMPARE(retrying.size(), 1);
        const QString part = QStringLiteral("歌手 - 歌.mp3.part");
        QTRY_VERIFY(!entries(dir.path()).isEmpty());
        QCOMPARE(entries(dir.path()).first(), part);
        download.reset();
        QCOMPARE(entries(dir.path()), (continuable ? QStringList{part, part + ".meta"} : QStringList()));
    }
};

QTEST_GUILESS_MAIN(SoundDownloadTest)
#include "sound_download_test.moc"
