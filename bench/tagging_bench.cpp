// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What tagging adds to a download: the same MP3 from the sample service
// downloaded with tags and cover, and without, in turns, from the start of
// the request to the saved file.
//
// bench_tagging [MIB [RUNS]]: the median and the best of each, and their ratios.
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
double download(const SampleService &service, qint64 bytes, bool tagged)
{
    QTemporaryDir dir;
    DownloadRequest request;
    request.fileUrl = service.baseUrl() + QStringLiteral("/audio/1001.mp3?size=%1").arg(bytes);
    request.folder = dir.path();
    request.fileName = QStringLiteral("苏晓棠 - 晨光里的小城.mp3");
    if (tagged) {
        SoundTags tags;
        tags.title = QStringLiteral("晨光里的小城");
        tags.artist = QStringLiteral("苏晓棠");
        tags.comment = QStringLiteral("清晨录下的吉他小品。");
        tags.date = QStringLiteral("2023-03-14");
        tags.pageAddress = service.soundPageUrl(QStringLiteral("1001"));
        request.tags = tags;
        request.coverUrl = service.baseUrl() + QStringLiteral("/cover/1001.png");
    }
    SoundDownload job(request);
    QSignalSpy finished(&job, &SoundDownload::finished);
    QElapsedTimer timer;
    timer.start();
    job.start();
    if (!finished.wait(600000) || !job.result() || !job.result()->untagged.isEmpty())
        return -1;
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    return QFileInfo(job.result()->filePath).size() >= bytes ? seconds : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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
    const int runs = args.value(1, QStringLiteral("21")).toInt();
    std::vector<double> tagged;
    std::vector<double> bare;
    download(service, mib << 20, true); // warm: the encoder and the page cache
    for (int i = 0; i < runs; ++i) {
        // In turns, so a slower moment of the machine hits both alike.
        bare.push_back(download(service, mib << 20, false));
        tagged.push_back(download(service, mib << 20, true));
        if (bare.back() < 0 || tagged.back() < 0) {
            std::fprintf(stderr, "a download failed\n");
            return 1;
        }
    }
    const double t = median(tagged);
    const double b = median(bare);
    const double tBest = *std::min_element(tagged.begin(), tagged.end());
    const double bBest = *std::min_element(bare.begin(), bare.end());
    std::printf("Download of a %lld MiB MP3 from the sample service, request to saved file, %d runs each:\n",
                mib, runs);
    std::printf("  without tags:         median %.1f ms, best %.1f ms\n", b * 1000, bBest * 1000);
    std::printf("  with tags and cover:  median %.1f ms, best %.1f ms\n", t * 1000, tBest * 1000);
    std::printf("  ratio tagged / bare:  median %.3f, best %.3f\n", t / b, tBest / bBest);
    return 0;
}
