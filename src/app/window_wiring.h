// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/service_config.h"

#include <QString>

#include <memory>

class BatchWiring;
class DownloadHistory;
class HotListWindow;
class MainWindow;

// Lets the main window's hot-list link show the hot list: the window is made
// on the first click and kept in holder, which must outlive neither main nor
// the event loop; later clicks show the same window again. A sound chosen
// there goes into the main window's address box and is analysed, with the
// main window brought forward. Its download buttons go through batches, when given;
// its refreshes are recorded in history, when given (opened by the first one).
void connectHotListLink(MainWindow &main, const ServiceConfig &config, std::unique_ptr<HotListWindow> &holder,
                        BatchWiring *batches = nullptr, DownloadHistory *history = nullptr);

// Takes an address a later start of the program handed over: the window
// comes to the front with the address in its box, analysed only when a
// click on the analyse button would analyse it. An empty address only
// brings the window forward.
void takeHandedOverAddress(MainWindow &main, const QString &address);
