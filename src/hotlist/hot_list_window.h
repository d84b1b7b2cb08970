// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "hotlist/hot_list_view.h"
#include "net/http_request.h"
#include "net/service_config.h"
#include "shell/frameless_window.h"
#include "sound/hot_list_scraper.h"

#include <QList>

class QLabel;
class QPushButton;
class DownloadHistory;
class TitleLink;

// The hot-list window. The object lives as long as the program and
// keeps the scraper, whose carried-over values outlive every refresh;
// closing it only unloads its on-screen part: the window hides and its rows
// go; the controls stay for the next showing.
class HotListWindow : public FramelessWindow
{
    Q_OBJECT

public:
    explicit HotListWindow(const ServiceConfig &config, const FetchOptions &fetchOptions = {},
                           QWidget *parent = nullptr);
    ~HotListWindow() override;

    // Loads the window when it is not loaded (no icon, an empty list),
    // centres and shows it; otherwise brings it to the front.
    void showHotList();
    // The close link: hides the window and drops its rows and selection.
    void unload();
    bool isLoaded() const { return m_loaded; }

    // Fetches the home page and lists its fifteen entries; when the fetch
    // fails or the page holds no entry, the list stays as it was and a
    // warning says why. refreshEnded() follows; a newer refresh replaces
    // one still waiting.
    void refresh();
    // Hands the selected row's sound on through soundChosen() (the current
    // row among several selected); with no row selected an information box
    // says the list is empty.
    void chooseSelectedSound();

    // Every listed row, or the selected ones in list order, through
    // downloadRequested(); nothing when there is none.
    void downloadAll();
    void downloadSelected();
    // Every listed row through playRequested(), from the first or from `row`.
    void playAll();
    void playFrom(int row);
    // While the rows asked for are being looked into, the download buttons
    // wait, so that the user sees the work go on and asks only once.
    void setDownloadBusy(bool busy);
    // Where each successful refresh is recorded, and the moves since the
    // one before read; it must outlive the window. None: no moves shown.
    void setHistory(DownloadHistory *history) { m_history = history; }

signals:
    // The load steps ran.
    void loaded();
    // A refresh ran to its end (also when the window was closed meanwhile).
    void refreshEnded();
    // The user chose this sound page from the list.
    void soundChosen(const QString &address);
    // The user asked to download these rows' sounds.
    void downloadRequested(const QList<HotEntry> &rows);
    // The user asked to play these rows in order, beginning with rows[start].
    void playRequested(const QList<HotEntry> &rows, int start);
    // The window was closed: its rows are gone.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildList();
    void buildDownloadButtons();
    void updateDownloadButtons();
    void fitListToRows();
    void showRowMenu(const QPoint &position);
    void onRefreshed(const HotRefresh &result);

    FetchOptions m_fetchOptions;
    HotListScraper m_scraper;

    bool m_loaded = false;
    HotListRefresh *m_refresh = nullptr; // the refresh waiting for its page
    TitleLink *m_closeLink = nullptr;
    QLabel *m_panel = nullptr;
    HotListView *m_list = nullptr;
    HotListModel *m_rows = nullptr;
    QPushButton *m_downloadAllButton = nullptr;
    QPushButton *m_downloadSelectedButton = nullptr;
    QPushButton *m_playAllButton = nullptr;
    bool m_downloadBusy = false;
    DownloadHistory *m_history = nullptr;
};
