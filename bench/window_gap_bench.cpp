// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How long the window's thread is kept from its events while a download
// runs through the program's queue and history, as the window runs them: a
// watchdog timer on that thread notes the longest gap between its ticks.
// Once with the history free, once with another program holding its write
// lock for the whole download (a command line writing, a backup tool).
//
// bench_window_gap [SECONDS]: the download is paced to last about that long.
#include "library/download_history.h"
#include "queue/download_queue.h"
#include "sample_service/sample_service.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr qint64 Bytes = 4 << 20;

// Longest gap in ms between the watchdog's ticks while one download runs;
// -1 when the download did not end with its whole file.
qint64 longestGap(const SampleService &service, bool busyHistory, int run)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    qint64 longest = 0;
    {
        DownloadHistory history(path);
        history.setExitPatience(std::chrono::seconds(10)); // as the window does

        DownloadQueue queue(history, 1);
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        QTimer watchdog;
        watchdog.setInterval(1);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        watchdog.start();

        DownloadEntry entry;
        entry.soundId = QStringLiteral("gap-%1").arg(run);
        entry.fileUrl = service.baseUrl() + QStringLiteral("/file/bytes-%1.mp3?run=%2").arg(Bytes).arg(run);
        entry.folder = dir.path();
        entry.fileName = QStringLiteral("gap.mp3");
        QEventLoop loop;
        QObject::connect(&queue, &DownloadQueue::idle, &loop, &QEventLoop::quit);
        QTimer::singleShot(0, &queue, [&] { queue.enqueue(entry); });
        // Once it runs, another program's connection takes the write lock
        // and keeps it to the end.
        const QString holder = QStringLiteral("holder%1").arg(run);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), holder);
        db.setDatabaseName(path);
        if (busyHistory) {
            QTimer::singleShot(500, &loop, [&] {
                if (db.open()) {
                    QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
                    QSqlQuery(db).exec(QStringLiteral("CREATE TABLE IF NOT EXISTS holder (x)"));
                }
            });
        }
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        loop.exec();
        watchdog.stop();
        db.close();
        db = QSqlDatabase();
        if (QFileInfo(dir.filePath(entry.fileName)).size() != Bytes)
            longest = -1;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder%1").arg(run));
    return longest;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SampleService service;
    if (!service.start())
        return 1;
    const int seconds = app.arguments().value(1, QStringLiteral("5")).toInt();
    service.setFileRate(Bytes / std::max(1, seconds));
    const qint64 free = longestGap(service, false, 1);
    const qint64 busy = longestGap(service, true, 2);
    std::printf("window thread's longest gap during a %d s download: %lld ms with the history free, "
                "%lld ms with it held by another program (want under 50)\n",
                seconds, static_cast<long long>(free), static_cast<long long>(busy));
    return 0;
}
