// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/window_wiring.h"

#include "app/batch_wiring.h"
#include "hotlist/hot_list_window.h"
#include "shell/main_window.h"

namespace {

void bringForward(MainWindow &main)
{
    if (main.isMinimized())
        main.showNormal();
    main.raise();
    main.activateWindow();
}

void analyseChosenSound(MainWindow &main, const QString &address)
{
    main.setAddressText(address);
    bringForward(main);
    main.analyseAddress();
}

} // namespace

void connectHotListLink(MainWindow &main, const ServiceConfig &config, std::unique_ptr<HotListWindow> &holder,
                        BatchWiring *batches, DownloadHistory *history)
{
    QObject::connect(&main, &MainWindow::hotListRequested, &main, [&main, config, &holder, batches, history] {
        if (!holder) {
            holder = std::make_unique<HotListWindow>(config);
            holder->setHistory(history);
            QObject::connect(holder.get(), &HotListWindow::soundChosen, &main,
                             [&main](const QString &address) { analyseChosenSound(main, address); });
            QObject::connect(holder.get(), &HotListWindow::playRequested, &main, &MainWindow::playList);
            // The list plays the window's rows: closing it ends the list.
            QObject::connect(holder.get(), &HotListWindow::unloaded, &main, &MainWindow::endPlayList);
            if (batches)
                batches->connectHotList(*holder);
        }
        holder->showHotList();
    });
}

void takeHandedOverAddress(MainWindow &main, const QString &address)
{
    bringForward(main);
    if (address.isEmpty())
        return;
    main.setAddressText(address);
    if (main.canAnalyse())
        main.analyseAddress();
}
