// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// One sound as a refresh of the hot list ranked it.
struct HotChartEntry
{
    QString id; // the sound id its link names; empty when it names none
    QString name;
    QString singer;

    bool operator==(const HotChartEntry &other) const = default;
};

// A refresh of the hot list as the history keeps it, entries in rank order.
struct HotChartRefresh
{
    QDateTime time;
    QList<HotChartEntry> entries;

    bool operator==(const HotChartRefresh &other) const = default;
};

// How many refreshes the history keeps; the oldest go as new ones come.
inline constexpr int HotChartKept = 100;

// How a row moved against the refresh before.
struct HotMove
{
    enum class Kind {
        None, // no refresh before to compare with
        New,  // its sound was not listed before
        Up,
        Down,
        Same,
    };
    Kind kind = Kind::None;
    int places = 0;                  // Up, Down: by how many
    std::optional<int> previousRank; // 1-based

    bool operator==(const HotMove &other) const = default;
};

// Each entry's move against previous. A sound listed twice ranks where it
// first stood; an entry without a sound id is always new.
QList<HotMove> hotMoves(const QList<HotChartEntry> &entries, const std::optional<HotChartRefresh> &previous);

// "↑3", "↓1", "新", or nothing when unchanged or unknown.
QString hotMoveText(const HotMove &move);
