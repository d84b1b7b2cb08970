// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The silence between two sounds of a list played in the main window: from
// the end of one sound to the next one playing, over the sample service's
// short sounds.
//
// bench_play_gap [SOUNDS]
#include "sample_service/sample_service.h"
#include "shell/main_window.h"
#include "shell/player_bar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int sounds = std::max(2, argc > 1 ? std::atoi(argv[1]) : 6);

    SampleService service;
    if (!service.start()) {
        std::fprintf(stderr, "sample service did not start\n");
        return 1;
    }
    MainWindow window(ServiceConfig::allAt(service.hostAndPort()));
    QList<HotEntry> rows(sounds);
    const QStringList ids{QStringLiteral("1001"), QStringLiteral("1002"), QStringLiteral("1003")};
    for (int i = 0; i < sounds; ++i)
        rows[i].link = service.soundPageUrl(ids.at(i % ids.size()));

    QElapsedTimer sinceEnd;
    QList<double> gaps;
    PlayerBar *player = window.player();
    QObject::connect(player, &PlayerBar::ended, [&] { sinceEnd.start(); });
    QObject::connect(player, &PlayerBar::playbackStateChanged, [&](SoundOutput::State state) {
        if (state == SoundOutput::State::Playing && sinceEnd.isValid()) {
            gaps.append(double(sinceEnd.nsecsElapsed()) / 1e6);
            sinceEnd.invalidate();
        }
    });
    window.playList(rows, 0);
    if (!QTest::qWaitFor([&] { return !window.playListState().isPlaying(); }, sounds * 30000)) {
        std::fprintf(stderr, "the list did not end\n");
        return 1;
    }
    if (gaps.isEmpty()) {
        std::fprintf(stderr, "no transition measured\n");
        return 1;
    }
    std::sort(gaps.begin(), gaps.end());
    std::printf("play gap: median %.1f ms over %lld transitions (min %.1f, max %.1f); want < 300 ms\n",
                gaps.at(gaps.size() / 2), qlonglong(gaps.size()), gaps.first(), gaps.last());
    return 0;
}
