// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Not a test: a second program using the download history, for the
// history's tests.
//   history_writer PATH write COUNT TAG   adds COUNT entries (sound ids TAG-n),
//                                          runs each through progress to done
//   history_writer PATH orphan PART BYTES leaves one running entry behind,
//                                          part file PART, BYTES done
// Exits 0 when every write succeeded.
#include "library/download_history.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    DownloadHistory history(args[1]);
    if (!history.isPersistent())
        return 3;
    QTextStream err(stderr);
    if (args[2] == u"orphan") {
        DownloadEntry e;
        e.soundId = QStringLiteral("orphan");
        e.state = DownloadState::Running;
        e.partPath = args[3];
        e.bytesDone = args[4].toLongLong();
        return history.add(e) > 0 ? 0 : 1;
    }
    int failures = 0;
    for (int n = 0; n < args[3].toInt(); ++n) {
        DownloadEntry e;
        e.soundId = args[4] + u'-' + QString::number(n);
        e.id = history.add(e);
        e.state = DownloadState::Running;
        e.bytesDone = 10;
        const bool running = e.id > 0 && history.update(e) && history.saveProgress({e});
        e.state = DownloadState::Done;
        e.bytesDone = e.size = 20;
        if (!running || !history.update(e)) {
            err << "write " << n << " failed\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
