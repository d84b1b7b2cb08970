// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A download whose part is kept continuable on the way: the address gives a
// strong validator, so the part's info is written, synced and renamed beside
// it, and the saved file's folder synced at the end. From the start of the
// request to the saved file, on the disk of the temporary folder.
//
// bench_durable_download [MIB [RUNS]]: the median and the best. Built from
// two versions of the code, the two medians tell what syncing costs.
#include "download/sound_download.h"
#include "sample_service/sample_service.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Seconds from start to finished; negative when it failed.
double download(const SampleService &service, qint64 bytes, int run)
{
    QTemporaryDir dir;
    DownloadRequest request;
    // Its own address each time, as the service counts answers per address.
    request.fileUrl = service.baseUrl() + QStringLiteral("/file/bytes-%1.mp3?run=%2").arg(bytes).arg(run);
    request.folder = dir.path();
    request.fileName = QStringLiteral("苏晓棠 - 晨光里的小城.mp3");
    SoundDownload job(request);
    QSignalSpy finished(&job, &SoundDownload::finished);
    QElapsedTimer timer;
    timer.start();
    job.start();
    if (!finished.wait(600000) || !job.result())
        return -1;
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    return QFileInfo(job.result()->filePath).size() == bytes ? seconds : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SampleService service;
    if (!service.start())
        return 1;
    const QStringList args = app.arguments().mid(1);
    const qint64 mib = args.value(0, QStringLiteral("20")).toLongLong();
    const int runs = args.value(1, QStringLiteral("31")).toInt();
    std::vector<double> times;
    download(service, mib << 20, 0); // warm: the service's body and the page cache
    for (int i = 1; i <= runs; ++i) {
        times.push_back(download(service, mib << 20, i));
        if (times.back() < 0) {
            std::fprintf(stderr, "a download failed\n");
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("Continuable download of %lld MiB from the sample service, request to saved file, %d runs: "
                "median %.2f ms, best %.2f ms\n",
                mib, runs, times[times.size() / 2] * 1000, times.front() * 1000);
    return 0;
}
