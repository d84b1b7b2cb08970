// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class DownloadQueue;
class DownloadsModel;
class QAction;
class QLabel;
class QTableView;
class QUrl;
struct DownloadEntry;

// Every download in the history, one row each, with what can be done to
// the selected ones: pause, continue, cancel, retry, open the file or its
// folder, remove from the list; and continue every paused one. The same
// actions are in the rows' context menu (Menu key or Shift+F10); Delete
// removes, Enter opens, Esc closes.
class DownloadsWindow : public QWidget
{
    Q_OBJECT

public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    explicit DownloadsWindow(DownloadQueue &queue, QWidget *parent = nullptr);

    // What files and folders open with; the desktop's handler by default.
    // When it fails, the window says where the file is, to open by hand.
    void setOpener(UrlOpener opener) { m_opener = std::move(opener); }

    QTableView *view() const { return m_view; }
    DownloadsModel *model() const { return m_model; }

    void pauseSelected();
    void resumeSelected();
    void cancelSelected();
    void retrySelected();
    void openSelected();
    void openSelectedFolders();
    // Asks whether the files go too: yes removes them with the rows, no
    // keeps them, cancel keeps the rows.
    void removeSelected();
    void resumeAll();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QAction *makeAction(const char *name, const QString &text, const QString &description);
    QList<DownloadEntry> selectedEntries() const;
    void updateActions();
    void showContextMenu(const QPoint &position);
    void showMenuAtCurrentRow();
    void open(const QString &path);

    DownloadQueue &m_queue;
    DownloadsModel *m_model;
    QTableView *m_view;
    UrlOpener m_opener;
    QLabel *m_problem;
    QAction *m_pause = nullptr;
    QAction *m_resume = nullptr;
    QAction *m_cancel = nullptr;
    QAction *m_retry = nullptr;
    QAction *m_open = nullptr;
    QAction *m_openFolder = nullptr;
    QAction *m_remove = nullptr;
    QAction *m_resumeAll = nullptr;
    bool m_shownBefore = false;
};
