// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up time to the first paint and the resident memory once idle, of
// vexa-helper against two bare windows, run alternately under the same
// conditions: first against one with a line of Chinese text in the program's
// font, which any window of this program must pay for, then against an empty
// one. The program's hosts point at a sample service in this process,
// so its update check answers as on an ordinary start and no real network is
// touched.
//
// bench_startup HELPER BARE [RUNS [IDLE_RUNS [IDLE_MS]]]
#include "sample_service/sample_service.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

long long monotonicNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

struct Sample
{
    double firstPaintMs = 0;
    double rssMib = 0;
};

std::optional<long long> valueAfter(const QByteArray &err, const QByteArray &key)
{
    const QByteArray marker = QByteArray("vexa-bench ") + key + '=';
    const qsizetype at = err.indexOf(marker);
    if (at < 0)
        return std::nullopt;
    const qsizetype start = at + marker.size();
    const qsizetype end = err.indexOf('\n', start);
    bool ok = false;
    const long long value = err.mid(start, end - start).toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<Sample> runOnce(const QString &program, const QStringList &arguments, int idleMs)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VEXA_EXIT_AFTER_FIRST_PAINT"), QString::number(idleMs));
    // A socket of its own: an open window of the user's would take the start over.
    static const QTemporaryDir instanceFolder;
    env.insert(QStringLiteral("VEXA_HELPER_INSTANCE_SOCKET"),
               instanceFolder.filePath(QStringLiteral("instance")));
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    const long long started = monotonicNanoseconds();
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    const QByteArray err = process.readAllStandardError();
    const auto painted = valueAfter(err, "first-paint-ns");
    const auto rss = valueAfter(err, "idle-rss-kib");
    if (process.exitCode() != 0 || !painted || !rss) {
        std::fprintf(stderr, "%s did not report its first paint:\n%s\n", qPrintable(program),
                     err.constData());
        return std::nullopt;
    }
    return Sample{double(*painted - started) / 1e6, double(*rss) / 1024.0};
}

// Drops program and the modules beside it (libvexa-*.so) from the page cache.
void dropFromPageCache(const QDir &folder, const QString &program)
{
    QStringList files = folder.entryList({QStringLiteral("libvexa-*.so")}, QDir::Files);
    files.append(program);
    for (const QString &file : files) {
        const int fd = ::open(QFile::encodeName(folder.filePath(file)).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::fdatasync(fd); // dirty pages are not dropped
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startup HELPER BARE [RUNS [IDLE_RUNS [IDLE_MS]]]\n");
        return 64;
    }
    const QString helper = QString::fromLocal8Bit(argv[1]);
    const QString bare = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 31;
    const int idleRuns = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    const int idleMs = argc > 5 ? std::max(0, std::atoi(argv[5])) : 1000;

    SampleService service;
    if (!service.start()) {
        std::fprintf(stderr, "sample service did not start\n");
        return 1;
    }
    const QString host = service.hostAndPort();
    const QStringList helperArguments = {QStringLiteral("--web-host"),    host,
                                         QStringLiteral("--api-host"),    host,
                                         QStringLiteral("--update-host"), host};

    // The programs' own files leave the page cache first. Just linked, they
    // sit there in the large blocks the linker wrote, and a mapping takes
    // its pages a block at a time: the freshly built program would show
    // megabytes more resident than the same files read from disk, as after
    // a reboot or on any later start. Read back by the warm-up, they are
    // cached as any program's are.
    dropFromPageCache(QFileInfo(helper).dir(), QFileInfo(helper).fileName());
    dropFromPageCache(QFileInfo(bare).dir(), QFileInfo(bare).fileName());

    // One warm-up each: the first run pays for cold file caches.
    if (!runOnce(helper, helperArguments, 0) || !runOnce(bare, {}, 0))
        return 1;

    // Alternating, so all meet the same background load.
    const QStringList labelled = {QStringLiteral("--chinese-label")};
    std::vector<double> helperMs, bareMs, labelMs, helperRss, bareRss, labelRss;
    for (int i = 0; i < runs; ++i) {
        const auto b = runOnce(bare, {}, 0);
        const auto h = runOnce(helper, helperArguments, 0);
        const auto l = runOnce(bare, labelled, 0);
        if (!b || !h || !l)
            return 1;
        bareMs.push_back(b->firstPaintMs);
        helperMs.push_back(h->firstPaintMs);
        labelMs.push_back(l->firstPaintMs);
    }
    for (int i = 0; i < idleRuns; ++i) {
        const auto b = runOnce(bare, {}, idleMs);
        const auto h = runOnce(helper, helperArguments, idleMs);
        const auto l = runOnce(bare, labelled, idleMs);
        if (!b || !h || !l)
            return 1;
        bareRss.push_back(b->rssMib);
        helperRss.push_back(h->rssMib);
        labelRss.push_back(l->rssMib);
    }

    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    std::printf("start-up to first paint (%s) and resident memory %d ms later; medians of %d and %d runs\n",
                platform.isEmpty() ? "default platform" : platform.constData(), idleMs, runs, idleRuns);
    const double hm = median(helperMs), hr = median(helperRss);
    std::printf("  vexa-helper                     %6.1f ms (fastest %.1f) %6.1f MiB\n", hm,
                *std::min_element(helperMs.begin(), helperMs.end()), hr);
    const auto against = [&](const char *name, const std::vector<double> &ms,
                             const std::vector<double> &rss) {
        const double m = median(ms), r = median(rss);
        std::printf(
            "  %-31s %6.1f ms (fastest %.1f) %6.1f MiB   vexa-helper against it: time %.2f, memory %.2f\n",
            name, m, *std::min_element(ms.begin(), ms.end()), r, hm / m, hr / r);
    };
    against("bare window with Chinese text", labelMs, labelRss);
    against("empty bare window", bareMs, bareRss);
    // The line a later change looks at first: against the window with text,
    // which is what a window of this program at the least has to show.
    std::printf("start-up ratio %.2f (want ≤ 1.20), memory ratio %.2f (want ≤ 1.30)\n", hm / median(labelMs),
                hr / median(labelRss));
    service.stop();
    return 0;
}
