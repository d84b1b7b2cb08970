// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "queue/download_batch.h"

#include <QObject>
#include <QStringList>

#include <functional>

class HotListWindow;
class ProgramDownloads;

// Many sounds at once into the program's download queue: the hot list's
// download buttons and the addresses --download names (also those a later
// start hands over). Each request is a batch of its own whose sounds are
// analysed beside whatever the main window shows, without touching it; the
// downloads window comes forward to show the rows as they arrive. Sounds
// already downloaded, with their files still there, are asked about once,
// when the batch has been analysed; a sound that fails gets a failed row.
class BatchWiring : public QObject
{
    Q_OBJECT

public:
    explicit BatchWiring(ProgramDownloads &downloads, QObject *parent = nullptr);

    // Queues the sounds at these page addresses.
    void download(const QStringList &addresses);
    // The hot list's download buttons go through this; they wait while
    // their batch is analysed.
    void connectHotList(HotListWindow &hotList);

signals:
    // A batch has been analysed and its already-done question, if any, answered.
    void batchSettled();

private:
    // Addresses the address check refuses get failed rows at once; analysed
    // runs once the rest have been analysed.
    void start(const QList<DownloadBatch::Item> &items, const std::function<void()> &analysed);
    void askAboutDone(const QList<DownloadEntry> &again);

    ProgramDownloads &m_downloads;
};
