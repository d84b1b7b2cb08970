// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/main_window_fixture.h"

#include "shell/downloads_window.h"

#include <QTableView>
#include <QToolButton>

using namespace std::chrono_literals;

class DownloadStatusTest : public MainWindowFixture
{
    Q_OBJECT

private slots:
    void downloadTagged_data()
    {
        QTest::addColumn<QString>("extension");
        for (const char *extension : {"mp3", "m4a", "flac", "ogg", "opus", "wav"})
            QTest::newRow(extension) << QString::fromLatin1(extension);
    }

    // What a music player would show: read back by GStreamer, not by the tagger.
    void downloadTagged()
    {
        QFETCH(QString, extension);
        QTemporaryDir dir;
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        const auto coverRequests = [this] {
            const QList<RecordedRequest> all = m_service.requests();
            return std::count_if(all.begin(), all.end(),
                                 [](const RecordedRequest &r) { return r.path.startsWith("/cover/"); });
        };
        const auto coversBefore = coverRequests();
        // The sample's own file is the WAV; the others have ids of their own.
        analyse(*w, soundPage(extension == u"wav" ? QStringLiteral("1001")
                                                  : QStringLiteral("1001-") + extension));
        QTRY_COMPARE(coverRequests(), coversBefore + 1); // the window shows it
        QSignalSpy ended(&WindowDownloads::of(*w), &DownloadQueue::ended);
        click(*w, "downloadButton");
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QCOMPARE(coverRequests(), coversBefore + 1); // and hands it to the tags
        const QString name = QStringLiteral("苏晓棠 - 晨光里的小城.") + extension;
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐下载完成: ") + name);
        const MediaReading reading = readMedia(dir.filePath(name));
        QVERIFY2(reading.ok, qPrintable(reading.error));
        QCOMPARE(reading.title, QStringLiteral("晨光里的小城"));
        QCOMPARE(reading.artist, QStringLiteral("苏晓棠"));
        // GStreamer reads no pictures from WAV; the tagger's own test looks there.
        if (extension != u"wav")
            QCOMPARE(reading.cover, sampleCoverPng(1001));
    }

    void downloadAfterAnalysis()
    {
        QTemporaryDir dir;
        auto w = readyWindow();
        w->setDownloadFolder(dir.filePath(QStringLiteral("下载")));
        const qint64 size = 3 * 1024 * 1024;
        analyse(*w, soundPage(QStringLiteral("file-bytes-%1").arg(size)));
        QSignalSpy ended(&WindowDownloads::of(*w), &DownloadQueue::ended);
        auto *progress = w->findChild<QProgressBar *>(QStringLiteral("downloadProgress"));
        click(*w, "downloadButton");
        QCOMPARE(w->statusMessage(), QStringLiteral("正在下载音乐.."));
        QVERIFY(progress->isVisibleTo(w.get()));
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        const QString name = QStringLiteral("样本服务 - 下载样本 bytes-%1.mp3").arg(size);
        // The generated body is no real MP3: saved as it came, and said so.
        QCOMPARE(w->statusMessage(),
                 QStringLiteral("音乐下载完成: ") + name + QStringLiteral("（未写入标签）"));
        QVERIFY(!progress->isVisibleTo(w.get()));
        QFile saved(QDir(w->downloadFolder()).filePath(name));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll() == sampleFileBody(size));

        // Two at once: each to its own file.
        click(*w, "downloadButton");
        click(*w, "downloadButton");
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, 30000);
        QStringList expected = {name, QStringLiteral("样本服务 - 下载样本 bytes-%1 (1).mp3").arg(size),
                                QStringLiteral("样本服务 - 下载样本 bytes-%1 (2).mp3").arg(size)};
        expected.sort();
        QCOMPARE(filesIn(w->downloadFolder()), expected);
    }

    // Stored before the window opens, or while it is open (as `config` does).
    void downloadFollowsSettings_data()
    {
        QTest::addColumn<bool>("whileOpen");
        QTest::newRow("stored before") << false;
        QTest::newRow("stored while open") << true;
    }

    void downloadFollowsSettings()
    {
        QFETCH(bool, whileOpen);
        QTemporaryDir dir;
        DownloadSettings settings = DownloadSettings::defaults();
        settings.folder = dir.filePath(QStringLiteral("设置"));
        settings.nameTemplate = QStringLiteral("{singer}/{id}");
        const auto forget = qScopeGuard([this] { QDir(m_settings.path()).removeRecursively(); });
        std::unique_ptr<MainWindow> w;
        if (whileOpen)
            w = readyWindow();
        QVERIFY(saveDownloadSettings(settings));
        if (!whileOpen)
            w = readyWindow();
        QTRY_COMPARE(w->downloadFolder(), settings.folder);
        analyse(*w, soundPage(QStringLiteral("1001")));
        QSignalSpy ended(&WindowDownloads::of(*w), &DownloadQueue::ended);
        click(*w, "downloadButton");
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QCOMPARE(filesIn(settings.folder + QStringLiteral("/苏晓棠")),
                 QStringList{QStringLiteral("1001.wav")});
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐下载完成: 苏晓棠/1001.wav"));
    }

    // The dialog's preview is where the next download goes.
    void settingsDialogNamesTheNextDownload()
    {
        QTemporaryDir dir;
        const auto forget = qScopeGuard([this] { QDir(m_settings.path()).removeRecursively(); });
        auto w = readyWindow();
        analyse(*w, soundPage(QStringLiteral("1001")));
        w->openSettings();
        SettingsDialog *dialog = w->settingsDialog();
        dialog->findChild<QLineEdit *>(QStringLiteral("folderEdit"))->setText(dir.path());
        dialog->findChild<QLineEdit *>(QStringLiteral("templateEdit"))
            ->setText(QStringLiteral("{id}/{singer}"));
        const QString preview = dialog->previewText();
        QCOMPARE(preview, dir.filePath(QStringLiteral("1001/苏晓棠.wav")));
        UserInput::click(dialog->findChild<QPushButton *>(QStringLiteral("okButton")));
        QSignalSpy ended(&WindowDownloads::of(*w), &DownloadQueue::ended);
        click(*w, "downloadButton");
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QVERIFY(QFileInfo::exists(preview));
    }

    void downloadFailures_data()
    {
        QTest::addColumn<QString>("sound");
        QTest::addColumn<bool>("folderBlocked");
        QTest::addColumn<QString>("status");
        QTest::newRow("dropped connection")
            << QStringLiteral("file-drop-2000000") << false << QStringLiteral("音乐下载失败: 网络连接中断");
        QTest::newRow("error status") << QStringLiteral("file-status-404") << false
                                      << QStringLiteral("音乐下载失败: 服务器返回错误 404");
        QTest::newRow("folder not writable")
            << QStringLiteral("file-bytes-10") << true << QStringLiteral("音乐下载失败: 无法写入下载文件夹");
    }

    void downloadFailures()
    {
        QFETCH(QString, sound);
        QFETCH(bool, folderBlocked);
        QFETCH(QString, status);
        QTemporaryDir dir;
        QString folder = dir.filePath(QStringLiteral("out"));
        if (folderBlocked) { // a regular file where a folder should be stops root too
            QFile plain(dir.filePath(QStringLiteral("plain")));
            QVERIFY(plain.open(QIODevice::WriteOnly));
            folder = plain.fileName() + QStringLiteral("/out");
        }
        auto w = readyWindow();
        w->setDownloadFolder(folder);
        analyse(*w, soundPage(sound));
        QSignalSpy ended(&WindowDownloads::of(*w), &DownloadQueue::ended);
        click(*w, "downloadButton");
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QCOMPARE(ended.first().first().value<DownloadEntry>().state, DownloadState::Failed);
        QCOMPARE(w->statusMessage(), status);
        QCOMPARE(filesIn(folder), QStringList());
    }

    // A retry after a dropped connection is told, not just seen as the bar going back.
    void downloadRetryIsTold()
    {
        QTemporaryDir dir;
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        analyse(*w, soundPage(QStringLiteral("file-drop-2000000")));
        click(*w, "downloadButton");
        QTRY_COMPARE_WITH_TIMEOUT(w->statusMessage(), QStringLiteral("连接中断，正在重试（第2次，共4次）.."),
                                  10000);
    }

    // A later press of the button continues what an earlier download left,
    // and its progress starts where that one ended.
    void downloadContinuesAPartLeftBehind()
    {
        QTemporaryDir dir;
        // Every answer drops after 1000000 bytes: the continuation is that long.
        const qint64 size = 2000000;
        const QString url = m_service.baseUrl() + QStringLiteral("/file/bytes-%1;drop=1000000.mp3").arg(size);
        m_service.setSoundInfoBody(QStringLiteral("continued"),
                                   answer(QStringLiteral("x"), QString(), url + QStringLiteral("?sign=1")));
        {
            DownloadRequest r;
            r.fileUrl = url;
            r.folder = dir.path();
            r.fileName = QStringLiteral("歌手 - x.mp3");
            r.retryDelays.clear();
            SoundDownload left(r);
            QSignalSpy finished(&left, &SoundDownload::finished);
            left.start();
            QVERIFY(finished.wait(20000));
            QVERIFY(!left.result());
        }
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        analyse(*w, soundPage(QStringLiteral("continued")));
        QSignalSpy ended(&WindowDownloads::of(*w), &DownloadQueue::ended);
        auto *progress = w->findChild<QProgressBar *>(QStringLiteral("downloadProgress"));
        click(*w, "downloadButton");
        QCOMPARE(progress->value(), int(1000000 / 1024));
        QCOMPARE(progress->maximum(), int(size / 1024));
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 30000);
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐下载完成: 歌手 - x.mp3（未写入标签）"));
        QFile saved(dir.filePath(QStringLiteral("歌手 - x.mp3")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll() == sampleFileBody(size));
        const QList<RecordedRequest> requests = m_service.requests();
        QVERIFY(std::any_of(requests.cbegin(), requests.cend(),
                            [](const RecordedRequest &r) { return r.header("Range") == "bytes=1000000-"; }));
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("歌手 - x.mp3")});
    }

    // Cancelled in the downloads window and retried there, a download
    // started here is told as each ends, not left "downloading".
    void cancelledAndRetriedElsewhere()
    {
        QTemporaryDir dir;
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        analyse(*w, soundPage(QStringLiteral("1001")));
        const QByteArray file = QUrl(w->soundInfo().fileUrl).path().toUtf8();
        m_service.closeGate(file);
        const auto open = qScopeGuard([&] { m_service.openGate(file); });
        DownloadQueue &queue = WindowDownloads::of(*w);
        DownloadsWindow list(queue);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        click(*w, "downloadButton"); // held at the gate: it cannot end yet
        QCOMPARE(queue.runningCount(), 1);
        UserInput::clickRow(list.view(), 0);
        UserInput::click(list.findChild<QToolButton *>(QStringLiteral("cancelButton")));
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐下载已取消"));
        m_service.openGate(file);
        QSignalSpy ended(&queue, &DownloadQueue::ended);
        UserInput::click(list.findChild<QToolButton *>(QStringLiteral("retryButton")));
        QCOMPARE(w->statusMessage(), QStringLiteral("正在下载音乐.."));
        QVERIFY(ended.wait(30000));
        QCOMPARE(w->statusMessage(), QStringLiteral("音乐下载完成: 苏晓棠 - 晨光里的小城.wav"));
    }

    // Closing the window ends its downloads; one that could not be continued
    // (no validator here) leaves no part file behind.
    void windowGoneDuringDownload()
    {
        QTemporaryDir dir;
        m_service.setSoundInfoBody(QStringLiteral("slow-file"),
                                   answer(QStringLiteral("x"), QString(),
                                          m_service.baseUrl() + QStringLiteral("/fault/stall-body?x")));
        auto w = readyWindow();
        w->setDownloadFolder(dir.path());
        analyse(*w, soundPage(QStringLiteral("slow-file")));
        click(*w, "downloadButton");
        QTRY_COMPARE(filesIn(dir.path()), QStringList{QStringLiteral("歌手 - x.mp3.part")});
        w.reset();
        QCOMPARE(filesIn(dir.path()), QStringList());
    }
};

QTEST_MAIN(DownloadStatusTest)
#include "download_status_test.moc"
