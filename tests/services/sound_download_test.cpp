#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "services/network_access.h"
#include "services/sound_download.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace std::chrono_literals;

namespace {

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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
        return download.result();
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }
    void cleanupTestCase() { ShutDownSharedNetworkManager(); }

    void extension_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("extension");
        QTest::newRow("wav") << QStringLiteral("http://h/audio/1.wav") << QStringLiteral(".wav");
        QTest::newRow("upper case, query")
            << QStringLiteral("http://h/a/b.M4A?x=1.ogg") << QStringLiteral(".m4a");
        QTest::newRow("none") << QStringLiteral("http://h/audio/1") << QStringLiteral(".mp3");
        QTest::newRow("dot in a folder only") << QStringLiteral("http://h/a.b/c") << QStringLiteral(".mp3");
        QTest::newRow("too long") << QStringLiteral("http://h/a.abcdefgh") << QStringLiteral(".mp3");
        QTest::newRow("odd characters") << QStringLiteral("http://h/a.m%2F3") << QStringLiteral(".mp3");
        QTest::newRow("not ASCII") << QStringLiteral("http://h/a.音乐") << QStringLiteral(".mp3");
        QTest::newRow("ends in a dot") << QStringLiteral("http://h/a.") << QStringLiteral(".mp3");
    }

    void extension()
    {
        QFETCH(QString, url);
        QFETCH(QString, extension);
        QCOMPARE(FileExtensionOf(url), extension);
    }

    void safeNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("safe");
        QTest::newRow("plain") << QStringLiteral("苏晓棠 - 晨光里的小城.wav")
                               << QStringLiteral("苏晓棠 - 晨光里的小城.wav");
        QTest::newRow("climbing out")
            << QStringLiteral("../../etc/passwd") << QStringLiteral("_.._etc_passwd");
        QTest::newRow("dot dot") << QStringLiteral("..") << QString();
        QTest::newRow("hidden") << QStringLiteral(". .bashrc") << QStringLiteral("bashrc");
        QTest::newRow("trailing dots and spaces") << QStringLiteral("a. .") << QStringLiteral("a");
        QTest::newRow("NUL and controls")
            << QStringLiteral("a") + QChar(0) + QStringLiteral("b\n\tc\x7f") << QStringLiteral("a_b__c_");
        QTest::newRow("characters other systems forbid")
            << QStringLiteral("a\\b:c*d?e\"f<g>h|i") << QStringLiteral("a_b_c_d_e_f_g_h_i");
        QTest::newRow("lone surrogate")
            << QStringLiteral("a") + QChar(0xd800) + QStringLiteral("b") << QStringLiteral("a_b");
        QTest::newRow("pair kept") << QStringLiteral("星🎵") << QStringLiteral("星🎵");
    }

    void safeNames()
    {
        QFETCH(QString, text);
        QFETCH(QString, safe);
        QCOMPARE(SafeFileName(text), safe);
    }

    // Over-long names are cut on a character boundary, keep the extension
    // and fit the limit in bytes.
    void longNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("extension");
        QTest::newRow("Chinese") << QString(200, QChar(0x97f3)) + QStringLiteral(".wav")
                                 << QStringLiteral(".wav");
        QTest::newRow("emoji") << QStringLiteral("🎵").repeated(100) + QStringLiteral(".mp3")
                               << QStringLiteral(".mp3");
        QTest::newRow("no extension") << QString(300, u'x') << QString();
        QTest::newRow("a million characters, from a hostile answer")
            << QStringLiteral(". ").repeated(500000) + QString(1000000, QChar(0x6b4c)) +
                   QStringLiteral(".mp3")
            << QStringLiteral(".mp3");
    }

    void longNames()
    {
        QFETCH(QString, text);
        QFETCH(QString, extension);
        for (int limit : {255, 100, 17}) {
            const QString safe = SafeFileName(text, limit);
            QVERIFY(!safe.isEmpty());
            QVERIFY(safe.toUtf8().size() <= limit);
            QVERIFY(safe.endsWith(extension));
            QCOMPARE(QString::fromUtf8(safe.toUtf8()), safe); // no half character
            QVERIFY(text.contains(safe.chopped(extension.size())));
        }
    }

    void soundFileNames_data()
    {
        QTest::addColumn<QString>("singer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("fileName");
        const QString wav = QStringLiteral("http://h/audio/1.wav");
        QTest::newRow("both") << QStringLiteral("苏晓棠") << QStringLiteral("晨光里的小城") << wav
                              << QStringLiteral("苏晓棠 - 晨光里的小城.wav");
        QTest::newRow("no singer") << QString() << QStringLiteral("雨巷") << QStringLiteral("http://h/s")
                                   << QStringLiteral("雨巷.mp3");
        QTest::newRow("nothing") << QString() << QString() << wav << QStringLiteral("未命名音乐.wav");
        QTest::newRow("separators") << QStringLiteral("AC/DC") << QStringLiteral("a/../b") << wav
                                    << QStringLiteral("AC_DC - a_.._b.wav");
        QTest::newRow("dots only") << QStringLiteral("..") << QString() << wav
                                   << QStringLiteral("未命名音乐.wav");
    }

    void soundFileNames()
    {
        QFETCH(QString, singer);
        QFETCH(QString, name);
        QFETCH(QString, url);
        QFETCH(QString, fileName);
        QCOMPARE(SoundFileName(singer, name, url), fileName);
    }

    void soundFileNameLeavesRoom()
    {
        const QString name = SoundFileName(QString(100, QChar(0x6b4c)), QString(100, QChar(0x624b)),
                                           QStringLiteral("http://h/a.flac"));
        QVERIFY(name.endsWith(QStringLiteral(".flac")));
        const QString worst = NumberedFileName(name, 9999) + QStringLiteral(".part");
        QVERIFY(worst.toUtf8().size() <= MaxFileNameBytes);
    }

    void numbered_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("numbered");
        QTest::newRow("extension") << QStringLiteral("a - b.mp3") << 1 << QStringLiteral("a - b (1).mp3");
        QTest::newRow("none") << QStringLiteral("ab") << 12 << QStringLiteral("ab (12)");
        QTest::newRow("dots inside") << QStringLiteral("v1.2 live.wav") << 2
                                     << QStringLiteral("v1.2 live (2).wav");
    }

    void numbered()
    {
        QFETCH(QString, name);
        QFETCH(int, n);
        QFETCH(QString, numbered);
        QCOMPARE(NumberedFileName(name, n), numbered);
    }

    void content_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("empty") << qint64(0);
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

    void unsafeRequestedName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("saved");
        QTest::newRow("climbing") << QStringLiteral("../../escape.mp3") << QStringLiteral("_.._escape.mp3");
        QTest::newRow("absolute") << QStringLiteral("/tmp/escape.mp3") << QStringLiteral("_tmp_escape.mp3");
        QTest::newRow("dots") << QStringLiteral("..") << QStringLiteral("未命名音乐.mp3");
    }

    // Whatever name is asked for, the file lands in the folder.
    void unsafeRequestedName()
    {
        QFETCH(QString, name);
        QFETCH(QString, saved);
        QTemporaryDir parent;
        const QString folder = parent.filePath(QStringLiteral("in"));
        const DownloadResult result = run(request(fileUrl(QStringLiteral("bytes-10.mp3")), folder, name));
        QVERIFY(result.ok());
        QCOMPARE(result.filePath, QDir(folder).filePath(saved));
        QCOMPARE(entries(parent.path()), QStringList());
        QCOMPARE(entries(folder), QStringList{saved});
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
        const DownloadResult result = run(r);
        QCOMPARE(int(result.error), error);
        QCOMPARE(result.httpStatus, httpStatus);
        QVERIFY(!result.detail.isEmpty());
        QVERIFY(result.filePath.isEmpty());
        QCOMPARE(entries(folder), QStringList());
    }

    // The stall time-out counts from the last byte, not from the start: a
    // trickle that takes longer than it in all still completes.
    void slowTrickleCompletes()
    {
        QTemporaryDir dir;
        DownloadRequest r =
            request(m_service.baseUrl() + QStringLiteral("/fault/trickle?bytes=12&interval=150"), dir.path());
        r.stallTimeout = 700ms;
        const DownloadResult result = run(r);
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QCOMPARE(result.bytes, 12);
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
        QCOMPARE(DownloadFailureText(result), QStringLiteral("磁盘空间不足"));
        QCOMPARE(entries(dir.path()), QStringList());
    }

    // Deleting a running download (its window closing) removes its part file.
    void deletedWhileRunning()
    {
        QTemporaryDir dir;
        auto download = std::make_unique<SoundDownload>(
            request(m_service.baseUrl() + QStringLiteral("/fault/stall-body?seconds=30"), dir.path()));
        QSignalSpy progress(download.get(), &SoundDownload::progress);
        download->start();
        QVERIFY(progress.wait(10000));
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("歌手 - 歌.mp3.part")});
        download.reset();
        QCOMPARE(entries(dir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(SoundDownloadTest)
#include "sound_download_test.moc"
