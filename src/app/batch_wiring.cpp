// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/batch_wiring.h"

#include "app/program_downloads.h"
#include "hotlist/hot_list_window.h"
#include "library/program_settings.h"
#include "queue/download_queue.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "sound/sound_link.h"

#include <QPointer>
#include <QSet>

#include <memory>

namespace {

// More would make the question taller than a screen.
constexpr int NamesShown = 10;

QString doneQuestion(const QList<DownloadEntry> &again)
{
    QStringList names;
    for (const DownloadEntry &entry : again.first(std::min<qsizetype>(again.size(), NamesShown)))
        names.append(entryTitle(entry));
    if (again.size() > NamesShown)
        names.append(QStringLiteral("…"));
    return BatchWiring::tr("以下 %1 首音乐已下载过，要再次下载吗？").arg(again.size()) +
           QStringLiteral("\n\n") + names.join(u'\n');
}

} // namespace

BatchWiring::BatchWiring(ProgramDownloads &downloads, QObject *parent)
    : QObject(parent)
    , m_downloads(downloads)
{}

void BatchWiring::download(const QStringList &addresses)
{
    QList<DownloadBatch::Item> items;
    for (const QString &address : addresses)
        items.append({address, {}, {}});
    start(items, {});
}

void BatchWiring::connectHotList(HotListWindow &hotList)
{
    connect(&hotList, &HotListWindow::downloadRequested, this, [this, &hotList](const QList<HotEntry> &rows) {
        // The list shows a channel, not a singer: the analysis finds that.
        QList<DownloadBatch::Item> items;
        for (const HotEntry &row : rows)
            items.append({row.link, row.name, {}});
        hotList.setDownloadBusy(true);
        start(items, [window = QPointer(&hotList)] {
            if (window)
                window->setDownloadBusy(false);
        });
    });
}

void BatchWiring::start(const QList<DownloadBatch::Item> &items, const std::function<void()> &analysed)
{
    // First, so that the user sees every row arrive, failed ones included.
    m_downloads.showWindow();
    QList<DownloadBatch::Item> accepted;
    QSet<QString> seen;
    for (const DownloadBatch::Item &item : items) {
        // The hot list can show a sound twice; one file of it is enough.
        if (seen.contains(item.address))
            continue;
        seen.insert(item.address);
        const AddressCheck check = checkSoundAddress(item.address, m_downloads.config().webHost);
        if (check == AddressCheck::Accepted) {
            accepted.append(item);
            continue;
        }
        DownloadEntry entry;
        entry.pageAddress = item.address;
        entry.name = item.name;
        entry.singer = item.singer;
        m_downloads.queue().addFailed(entry, addressCheckMessage(check));
    }
    if (accepted.isEmpty()) {
        if (analysed)
            analysed();
        emit batchSettled();
        return;
    }

    auto *batch = new DownloadBatch(m_downloads.queue(), m_downloads.config(),
                                    m_downloads.settings().current(), m_downloads.fetchOptions(), this);
    batch->setDonePolicy(DownloadBatch::DonePolicy::Ask);
    auto again = std::make_shared<QList<DownloadEntry>>();
    connect(batch, &DownloadBatch::alreadyDone, this,
            [again](const DownloadEntry &next, const DownloadEntry &) { again->append(next); });
    connect(
        batch, &DownloadBatch::analysed, this,
        [this, batch, again, analysed] {
            batch->deleteLater(); // from inside its own signal
            if (analysed)
                analysed();
            askAboutDone(*again);
        },
        Qt::SingleShotConnection);
    batch->add(accepted);
}

void BatchWiring::askAboutDone(const QList<DownloadEntry> &again)
{
    if (again.isEmpty()) {
        emit batchSettled();
        return;
    }
    // Over the downloads window, which the batch brought forward.
    QWidget *parent = m_downloads.window();
    if (!parent)
        parent = &m_downloads.mainWindow();
    askQuestion(parent, doneQuestion(again), false, [this, again](Answer answer) {
        if (answer == Answer::Yes) {
            for (const DownloadEntry &entry : again)
                m_downloads.queue().enqueue(entry);
        }
        emit batchSettled();
    });
}
