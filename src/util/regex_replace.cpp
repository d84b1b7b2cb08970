// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/regex_replace.h"

#include <QRegularExpression>

QString regexReplace(const QString &subject, const QString &pattern, const QString &replacement)
{
    // A fresh expression per call: nothing is kept between calls.
    const QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    if (!expression.isValid())
        return subject;
    QString result = subject;
    return result.replace(expression, replacement);
}
