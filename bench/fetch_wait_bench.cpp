// CPU spent by the waiting thread while a fetch waits for a stalled answer,
// as a share of the wall time. A polling wait would sit near 100 %.
#include "sample_service/sample_service.h"
#include "services/http_text_fetch.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

namespace {

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;

    SampleService service;
    if (!service.start()) {
        std::fprintf(stderr, "sample service did not start\n");
        return 1;
    }
    FetchOptions options;
    options.stallTimeout = std::chrono::milliseconds(qint64(seconds * 1000));

    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = threadCpuSeconds();
    const FetchResult result =
        HttpTextFetch(service.baseUrl() + QStringLiteral("/fault/stall?seconds=60"), options);
    const double cpu = threadCpuSeconds() - cpuBefore;
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;

    std::printf("fetch wait: %.2f s wall, %.4f s cpu on the waiting thread, share %.3f %% (%s)\n", elapsed,
                cpu, 100.0 * cpu / elapsed, result.ok() ? "answered" : "timed out as expected");
    return result.ok() ? 1 : 0;
}
