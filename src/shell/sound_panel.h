// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/sound_info.h"

#include <QKeySequence>
#include <QPixmap>
#include <QWidget>

class ElidedLine;
class QLabel;
class QPushButton;

// The block of the main window that shows one sound: cover, name, singer,
// counts and publishing time, with the buttons that copy the sound's file
// address or ask for its download. The introduction is a block of its own.
class SoundPanel : public QWidget
{
    Q_OBJECT

public:
    // The buttons' keys. Shift keeps them apart from the address box's own
    // Ctrl+C (copy the selected text) and from Ctrl+D, which Emacs-style key
    // bindings use to delete a character.
    static inline const QKeySequence CopyKeys{Qt::CTRL | Qt::SHIFT | Qt::Key_C};
    static inline const QKeySequence DownloadKeys{Qt::CTRL | Qt::SHIFT | Qt::Key_D};

    explicit SoundPanel(QWidget *parent = nullptr);

    // Shows the record's lines, and puts its cover address
    // on the clipboard; the buttons act on it from now on.
    void showSound(const SoundInfo &info);
    // A null picture shows the default cover.
    void showCover(const QImage &cover);

    // The record on screen; empty before the first analysis that found one.
    const SoundInfo &soundInfo() const { return m_record; }

    // The controls Tab visits, in order.
    QList<QWidget *> tabStops() const { return m_tabStops; }

signals:
    // A line for the status bar: what a button did or why it did nothing.
    void message(const QString &text);
    // The download button asked for the record's file.
    void downloadRequested(const SoundInfo &record);

private:
    void describe();
    void copyFileAddress();
    void requestDownload();
    bool hasFile();

    SoundInfo m_record;
    QPixmap m_defaultCover;
    QLabel *m_cover = nullptr;
    ElidedLine *m_nameLine = nullptr;
    ElidedLine *m_singerLine = nullptr;
    QLabel *m_playsLine = nullptr;
    QLabel *m_fansLine = nullptr;
    QLabel *m_sharesLine = nullptr;
    QLabel *m_timeLine = nullptr;
    QList<QWidget *> m_tabStops;
};
