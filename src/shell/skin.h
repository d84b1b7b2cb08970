// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// "1.she" beside the executable when there is one, else the installed one in
// the data folder that lies at the same place relative to the executable as
// at install time (../share/vexa-helper), so any install prefix works.
// With neither, the path beside the executable.
QString skinPathFor(const QString &executableFolder);
QString skinPath();

// The skin file's text: a Qt style sheet. Empty when the file is missing,
// unreadable, not UTF-8 text or implausibly large.
QString readSkin(const QString &path);

// Gives the whole application the skin at path. A missing or unreadable
// file is ignored and leaves the current look; returns whether one was applied.
bool applySkin(const QString &path);
