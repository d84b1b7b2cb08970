// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/play_list.h"

PlayList::PlayList(QList<HotEntry> rows, int start)
    : m_rows(std::move(rows))
    , m_failed(m_rows.size(), false)
    , m_current(start >= 0 && start < m_rows.size() ? start : -1)
{}

std::optional<int> PlayList::step(int from, int direction) const
{
    if (from < 0)
        return std::nullopt;
    // At most one full round, so a list whose every row failed ends.
    for (int i = from + direction, seen = 0; seen < count(); i += direction, ++seen) {
        if (i < 0 || i >= count()) {
            if (!m_loop)
                return std::nullopt;
            i = (i + count()) % count();
        }
        if (!m_failed.at(i))
            return i;
    }
    return std::nullopt;
}

std::optional<int> PlayList::nextIndex() const
{
    return step(m_current, 1);
}

std::optional<int> PlayList::previousIndex() const
{
    return step(m_current, -1);
}

void PlayList::next()
{
    m_current = nextIndex().value_or(-1);
}

void PlayList::previous()
{
    if (const auto index = previousIndex())
        m_current = *index;
}

void PlayList::skipFailed()
{
    if (m_current >= 0)
        m_failed[m_current] = true;
    next();
}

void PlayList::stop()
{
    m_current = -1;
}
