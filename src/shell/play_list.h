// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sound/hot_list_scraper.h"

#include <QList>

#include <optional>

// The hot list played in order: which row plays, which comes next, and when
// the list is over. A value with no widgets; the main window owns one.
class PlayList
{
public:
    PlayList() = default;
    // Starts at `start`; an empty list or a start outside it is already over.
    PlayList(QList<HotEntry> rows, int start);

    bool isPlaying() const { return m_current >= 0; }
    int count() const { return int(m_rows.size()); }
    int current() const { return m_current; } // -1 once over
    const HotEntry &currentEntry() const { return m_rows.at(m_current); }
    const HotEntry &entry(int index) const { return m_rows.at(index); }

    // Off by default: after the last row the list is over.
    void setLoop(bool loop) { m_loop = loop; }
    bool loops() const { return m_loop; }

    // The rows next() and previous() would move to, skipping failed ones.
    std::optional<int> nextIndex() const;
    std::optional<int> previousIndex() const;

    // Moves on; past the end (or with nothing left to play) the list is over.
    void next();
    // Moves back; at the first row it stays there.
    void previous();
    // The current sound could not be analysed or played: it is left out of
    // later rounds and the list moves on.
    void skipFailed();
    void stop();

private:
    std::optional<int> step(int from, int direction) const;

    QList<HotEntry> m_rows;
    QList<bool> m_failed;
    int m_current = -1;
    bool m_loop = false;
};
