// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Not a test: a second program using the download history, for the
// history's tests.
//   history_writer PATH write COUNT TAG   adds COUNT entries (sound ids TAG-n),
//                                          runs each through progress to done
//   history_writer PATH orphan PART BYTES leaves one running entry behind,
//                                          part file PART, BYTES done
//   history_writer PATH ids COUNT          adds COUNT entries as fast as it can,
//                                          printing their ids
// Exits 0 when every write succeeded.
#include "library/download_history.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != (args.value(2) == u"ids" ? 4 : 5))
        return 2;
    DownloadHistory history(args[1]);
    if (!history.isPersistent())
        return 3;
    QTextStream err(stderr);
    int failures = 0;
    // Told, not counted: waiting for the other programs is no failure; what
    // counts is what the file holds once every write went through.
    history.setNotice([&](const QString &text) { err << text << Qt::endl; });
    QList<qint64> done;
    const auto written = [&] {
        if (!history.flush())
            return 1;
        QCoreApplication::processEvents();
        for (qint64 id : std::as_const(done)) {
            const std::optional<DownloadEntry> e = history.entry(id);
            if (!e || e->state != DownloadState::Done) {
                err << "entry " << id << " not written\n";
                ++failures;
            }
        }
        return failures == 0 ? 0 : 1;
    };
    if (args[2] == u"orphan") {
        DownloadEntry e;
        e.soundId = QStringLiteral("orphan");
        e.state = DownloadState::Running;
        e.partPath = args[3];
        e.bytesDone = args[4].toLongLong();
        return history.add(e) ? written() : 1;
    }
    if (args[2] == u"ids") {
        QTextStream out(stdout);
        for (int n = 0; n < args[3].toInt(); ++n)
            out << history.add(DownloadEntry{}).value_or(0) << '\n';
        return written();
    }
    for (int n = 0; n < args[3].toInt(); ++n) {
        DownloadEntry e;
        e.soundId = args[4] + u'-' + QString::number(n);
        e.id = history.add(e).value();
        e.state = DownloadState::Running;
        e.bytesDone = 10;
        if (e.id <= 0) {
            err << "write " << n << " failed\n";
            ++failures;
            continue;
        }
        history.update(e);
        history.saveProgress({e});
        e.state = DownloadState::Done;
        e.bytesDone = e.size = 20;
        history.update(e);
        done.append(e.id);
    }
    return written();
}
