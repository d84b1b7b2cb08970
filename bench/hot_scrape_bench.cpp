// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A refresh's scraping of a 5 MiB home page with its fifteen entries spread
// through it, against one plain search pass over the page per marker.
#include "sound/hot_list_scraper.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

namespace {

constexpr size_t PageBytes = 5 * 1024 * 1024;

std::string entry(int i)
{
    const std::string n = std::to_string(i);
    return "<li class=\"voice\"><h3 class=\"voice-name\"><a href=\"/sound/" + n + "\" title=\"声音" + n +
           "\">热门声音 " + n + "</a></h3>\n<div class=\"category\"><a href=\"/channel/" + n +
           "\">频道</a></div>\n<span title=\"分享数目\">1,2" + n + "</span><span title=\"喜欢数目\">" + n +
           ".5万</span><span title=\"评论数目\">" + n + "</span>\n</li>\n";
}

std::string makePage()
{
    // Ordinary markup between the entries: tags, Chinese text, no markers.
    const std::string filler =
        "<p class=\"comment\"><span>听众</span>这首歌真好听 really nice, 再听一遍</p>\n";
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body><ul>\n";
    page.reserve(PageBytes + 4096);
    for (int i = 1; i <= 15; ++i) {
        while (page.size() < PageBytes * size_t(i) / 16)
            page += filler;
        page += entry(i);
    }
    while (page.size() < PageBytes)
        page += filler;
    page += "</ul></body></html>\n";
    return page;
}

const std::string &pageBytes()
{
    static const std::string page = makePage();
    return page;
}

void ScrapeHotPage5MiB(benchmark::State &state)
{
    const QString page = QString::fromStdString(pageBytes());
    const QString host = QStringLiteral("www.vexa.example");
    for (auto _ : state) {
        HotListScraper scraper(host);
        const std::optional<QList<HotEntry>> rows = scraper.scrape(page);
        if (!rows || rows->size() != HotEntryCount || rows->last().name != QStringLiteral("热门声音 15")) {
            state.SkipWithError("wrong rows");
            break;
        }
        benchmark::DoNotOptimize(rows->data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pageBytes().size()));
}

void FindMarkersBaseline(benchmark::State &state)
{
    const std::string_view page = pageBytes();
    const std::string_view markers[] = {"<h3 class=\"voice-name\">",
                                        "</li>",
                                        ">",
                                        "href=\"",
                                        "<div class=\"category\">",
                                        "</a>",
                                        "分享数目\">",
                                        "喜欢数目\">",
                                        "评论数目\">",
                                        "<"};
    for (auto _ : state) {
        size_t found = 0;
        for (const std::string_view marker : markers) {
            for (size_t at = page.find(marker); at != std::string_view::npos; at = page.find(marker, at + 1))
                ++found;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pageBytes().size()));
}

} // namespace

BENCHMARK(ScrapeHotPage5MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(FindMarkersBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
