// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTextDocument>

// A tooltip that shows text as written. Qt takes a tooltip for rich text
// when it looks like markup, so a name such as "<h1>x</h1>" from the
// service would show blank; such text goes in escaped.
inline QString plainToolTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}
