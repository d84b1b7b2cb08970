// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/cli_output.h"

#include <QByteArray>

namespace Cli {

void writeTo(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void printError(const QString &line)
{
    writeTo(stderr, line + u'\n');
}

void printProblem(const QString &line)
{
    printError(QStringLiteral("vexa-helper: ") + line);
}

} // namespace Cli
