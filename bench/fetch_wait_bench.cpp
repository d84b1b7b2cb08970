// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// CPU spent while waiting for a stalled answer, as a share of the wall time:
// first a bare fetch (the waiting thread alone), then the main window's
// analysis (the whole process: every thread, the sample service's included).
// A polling wait would sit near 100 %.
//
// bench_fetch_wait [FETCH_SECONDS [ANALYSIS_SECONDS]]
#include "net/http_request.h"
#include "sample_service/sample_service.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

FetchOptions stallingAfter(double seconds)
{
    FetchOptions options;
    options.stallTimeout = std::chrono::milliseconds(qint64(seconds * 1000));
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double fetchSeconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const double analysisSeconds = argc > 2 ? std::atof(argv[2]) : 5.0;

    SampleService service;
    if (!service.start()) {
        std::fprintf(stderr, "sample service did not start\n");
        return 1;
    }

    QElapsedTimer wall;
    wall.start();
    double cpuBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    HttpRequest request(service.baseUrl() + QStringLiteral("/fault/stall?seconds=60"),
                        stallingAfter(fetchSeconds));
    QSignalSpy finished(&request, &HttpRequest::finished);
    request.start();
    if (!finished.wait(int(fetchSeconds * 1000) + 10000))
        return 1;
    const auto result = finished.first().first().value<FetchResult>();
    double cpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuBefore;
    double elapsed = double(wall.nsecsElapsed()) / 1e9;
    std::printf("fetch wait: %.2f s wall, %.4f s cpu on the waiting thread, share %.3f %% (%s)\n", elapsed,
                cpu, 100.0 * cpu / elapsed, result.has_value() ? "answered" : "timed out as expected");
    if (result.has_value())
        return 1;

    // The analysis on a shown window, its sound-info request stalled by the service.
    MainWindow window(ServiceConfig::allAt(service.hostAndPort()), stallingAfter(analysisSeconds));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.setAddressText(service.soundPageUrl(QStringLiteral("fault-stall")));
    wall.restart();
    cpuBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double threadBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    QSignalSpy ended(&window, &MainWindow::analysisEnded);
    window.analyseAddress();
    if (!ended.wait(int(analysisSeconds * 1000) + 10000))
        return 1;
    cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
    const double threadCpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadBefore;
    elapsed = double(wall.nsecsElapsed()) / 1e9;
    const bool timedOut = window.statusMessage() == QStringLiteral("网络连接失败，请稍后再试..");
    std::printf("analysis wait (window, stalled answer): %.2f s wall, %.4f s cpu in the whole process "
                "(%.4f s on the window's thread), share %.3f %% (%s)\n",
                elapsed, cpu, threadCpu, 100.0 * cpu / elapsed,
                timedOut ? "timed out as expected" : "did not time out");
    return timedOut ? 0 : 1;
}
