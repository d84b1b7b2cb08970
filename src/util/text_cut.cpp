// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/text_cut.h"

QList<QStringView> keyPieces(QStringView text, QStringView pattern, int first, int count)
{
    QList<QStringView> pieces;
    if (first < 0 || count <= 0)
        return pieces;
    if (pattern.isEmpty()) {
        if (first == 0)
            pieces.append(text);
        return pieces;
    }
    qsizetype start = 0;
    for (int i = 0; i < first; ++i) {
        const qsizetype at = text.indexOf(pattern, start);
        if (at < 0)
            return pieces;
        start = at + pattern.size();
    }
    while (pieces.size() < count) {
        const qsizetype end = text.indexOf(pattern, start);
        pieces.append(text.mid(start, end < 0 ? text.size() - start : end - start));
        if (end < 0)
            break;
        start = end + pattern.size();
    }
    return pieces;
}

std::optional<QStringView> keyPiece(QStringView text, QStringView pattern, int n)
{
    const QList<QStringView> pieces = keyPieces(text, pattern, n, 1);
    return pieces.isEmpty() ? std::nullopt : std::optional<QStringView>(pieces.first());
}

QString textBefore(QStringView piece, QChar stop)
{
    const qsizetype at = piece.indexOf(stop);
    return at < 0 ? QString() : piece.left(at).toString();
}
