// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Extraction over a 1 MiB answer whose keys sit near its end, against one
// plain byte search for the last key over the same answer.
#include "sound/sound_extraction.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

namespace {

std::string makeAnswer()
{
    // Chinese filler so the text is not all ASCII, as real introductions are not.
    std::string answer = R"({"code":0,"info":{"sound":{"id":1001,"comments":[)";
    const std::string filler = R"({"user":"听众","text":"这首歌真好听 really nice 👍"},)";
    while (answer.size() < 1024 * 1024 - 400)
        answer += filler;
    answer +=
        R"({}],"name":"夜航星","pic_200":"http://img.example/c/1001.png",)"
        R"("source":"http://cdn.example/a/1001.mp3?sign=ab","sound_count":12345,"share_count":"67",)"
        R"("create_time":1700000000,"info":"第一行\r\n第二行","user":{"name":"歌 手","follow_count":890,"id":7}}}})";
    return answer;
}

const std::string &answerBytes()
{
    static const std::string answer = makeAnswer();
    return answer;
}

void ExtractSoundInfo1MiB(benchmark::State &state)
{
    const QString answer = QString::fromStdString(answerBytes());
    for (auto _ : state) {
        const SoundExtraction result = extractSoundInfo(answer);
        if (!result)
            state.SkipWithError("extraction failed");
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(answerBytes().size()));
}

void FindLastKeyBaseline(benchmark::State &state)
{
    const std::string_view answer = answerBytes();
    for (auto _ : state) {
        const size_t at = answer.find(R"("follow_count":)");
        benchmark::DoNotOptimize(at);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(answerBytes().size()));
}

} // namespace

BENCHMARK(ExtractSoundInfo1MiB)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindLastKeyBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
