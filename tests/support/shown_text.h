// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTextDocument>
#include <QTextDocumentFragment>

// What a reader sees of a label's or a tooltip's text: Qt renders text
// that looks like markup as rich text unless told it is plain.
inline QString shownText(const QString &text, Qt::TextFormat format = Qt::AutoText)
{
    const bool rich = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    return rich ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}
