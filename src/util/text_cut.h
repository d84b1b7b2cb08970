// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Answers and pages are read by cutting pieces out at fixed markers. The
// pieces are views into the text: keep the text alive while using them.

// Pieces first to first + count - 1 (from 0) of text split at every
// occurrence of pattern; fewer, or none, when the text ends sooner. Found by
// searching, never by building the whole list of pieces, so large texts
// stay cheap. An empty pattern leaves the text whole: one piece.
QList<QStringView> keyPieces(QStringView text, QStringView pattern, int first, int count);

// Piece n alone; nullopt when the pattern occurs fewer than n times.
std::optional<QStringView> keyPiece(QStringView text, QStringView pattern, int n);

// The part of piece before the first stop character; empty when stop is absent.
QString textBefore(QStringView piece, QChar stop);
