// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How soon the downloads window shows a long history: from making the
// window (and its model over the history) to the end of its first paint,
// over a history of ENTRIES downloads in a data folder of its own.
//
// bench_downloads_window [ENTRIES [RUNS]]: the median and the best.
#include "library/download_history.h"
#include "queue/download_queue.h"
#include "shell/downloads_model.h"
#include "shell/downloads_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// One entry through the history itself, then doubled with plain SQL in one
// transaction until there are enough: far faster than one add() each.
bool fill(const QString &path, int entries)
{
    {
        DownloadHistory history(path);
        DownloadEntry entry;
        entry.soundId = QStringLiteral("1001");
        entry.name = QStringLiteral("晨光里的小城");
        entry.singer = QStringLiteral("苏晓棠");
        entry.folder = QDir::tempPath();
        entry.fileName = QStringLiteral("苏晓棠 - 晨光里的小城.mp3");
        entry.size = 20 * 1024 * 1024;
        entry.bytesDone = entry.size;
        entry.state = DownloadState::Done;
        if (!history.isPersistent() || !history.add(entry))
            return false;
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        int count = 1;
        while (ok && count < entries) {
            const int more = std::min(count, entries - count);
            ok =
                q.exec(
                    QStringLiteral("CREATE TEMP TABLE copy AS SELECT * FROM downloads LIMIT %1").arg(more)) &&
                q.exec(QStringLiteral("UPDATE copy SET id = NULL")) &&
                q.exec(QStringLiteral("INSERT INTO downloads SELECT * FROM copy")) &&
                q.exec(QStringLiteral("DROP TABLE copy"));
            count += more;
        }
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

// Ends once the table's rows have been painted.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    const QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexa-helper"));
    const QStringList args = QApplication::arguments();
    const int entries = args.size() > 1 ? args[1].toInt() : 10000;
    const int runs = args.size() > 2 ? args[2].toInt() : 21;
    if (!fill(DownloadHistory::defaultPath(), entries)) {
        std::fprintf(stderr, "the history could not be filled\n");
        return 1;
    }

    DownloadHistory history;
    DownloadQueue queue(history, 3);
    if (history.count() != entries) {
        std::fprintf(stderr, "the history has %d entries, not %d\n", history.count(), entries);
        return 1;
    }
    std::vector<double> times;
    int rows = 0;
    for (int run = 0; run < runs; ++run) {
        PaintWatch watch;
        QElapsedTimer timer;
        timer.start();
        DownloadsWindow window(queue);
        window.view()->viewport()->installEventFilter(&watch);
        window.show();
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        rows = window.model()->rowCount();
    }
    std::printf("Downloads window over %d entries (%d rows loaded), made to first paint, %d runs (%s):\n",
                entries, rows, runs, qPrintable(QGuiApplication::platformName()));
    std::printf("  median %.1f ms, best %.1f ms, first %.1f ms (limit 150 ms)\n", median(times),
                *std::min_element(times.cbegin(), times.cend()), times.front());
    return median(times) < 150 ? 0 : 1;
}
