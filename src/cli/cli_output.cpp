// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/cli_output.h"

#include <QByteArray>

#include <cmath>

namespace Cli {

namespace {

const QString Prefix = QStringLiteral("vexa-helper: ");

bool quietOutput = false; // set once, before a command runs

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

// Pieces a line may break between: a run without spaces or wide
// characters, one wide character, or one space. Opening punctuation joins
// the piece after it, so no line ends with it.
QStringList breakablePieces(const QString &text)
{
    const QString opening = QStringLiteral("（“「");
    QStringList pieces;
    QString run;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        const bool apart = c == U' ' || isWide(c);
        if (apart && !run.isEmpty() && !opening.contains(run.back())) {
            pieces.append(run);
            run.clear();
        }
        run += character;
        if (apart && !opening.contains(character)) {
            pieces.append(run);
            run.clear();
        }
    }
    if (!run.isEmpty())
        pieces.append(run);
    return pieces;
}

} // namespace

QString terminalSafe(const QString &text, LineBreaks breaks)
{
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (breaks == LineBreaks::Kept &&
            (c == u'\n' || (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n'))) {
            if (c == u'\n')
                safe += u'\n';
        } else if (c == u'\t' || (c >= 0x20 && c < 0x7f) || c >= 0xa0) {
            safe += QChar(c);
        } else if (c < 0x20) {
            safe += QChar(0x2400 + c); // the Control Pictures block: ␀ … ␟
        } else if (c == 0x7f) {
            safe += QChar(0x2421); // ␡
        } else {
            safe += QStringLiteral("\\x%1").arg(int(c), 2, 16, QChar(u'0'));
        }
    }
    return safe;
}

void writeTo(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Notes and failures carry names, reasons and addresses from the service.
void printError(const QString &line)
{
    writeTo(stderr, terminalSafe(line, LineBreaks::Kept) + u'\n');
}

void printProblem(const QString &line)
{
    printError(Prefix + line);
}

void setQuiet(bool quiet)
{
    quietOutput = quiet;
}

bool isQuiet()
{
    return quietOutput;
}

void printNote(const QString &line)
{
    if (!quietOutput)
        printProblem(line);
}

QString failureLine(const QString &what, const QString &why)
{
    return Prefix + terminalSafe(what + QStringLiteral(": ") + why, LineBreaks::Kept) + u'\n';
}

void printFailure(const QString &what, const QString &why)
{
    writeTo(stderr, failureLine(what, why));
}

QJsonValue jsonCount(const QString &text)
{
    QString number = text.trimmed();
    if (number.size() >= 2 && number.startsWith(u'"') && number.endsWith(u'"'))
        number = number.mid(1, number.size() - 2).trimmed();
    number.remove(u',');
    double unit = 1;
    if (number.endsWith(u'万') || number.endsWith(u'亿')) {
        unit = number.endsWith(u'万') ? 1e4 : 1e8;
        number.chop(1);
    }
    bool ok = false;
    const double value = number.toDouble(&ok) * unit;
    if (!ok || !std::isfinite(value))
        return QJsonValue::Null;
    // Whole numbers print without a fraction.
    const double whole = std::round(value);
    return whole == value && std::abs(value) < 9e15 ? QJsonValue(qint64(whole)) : QJsonValue(value);
}

int displayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

QStringList wrapText(const QString &text, int width)
{
    QStringList lines;
    QString line;
    int used = 0;
    for (const QString &piece : breakablePieces(text)) {
        const int columns = displayWidth(piece);
        // Closing punctuation stays on the line it closes.
        const bool closing = piece.size() == 1 && QStringLiteral("，。；：、）”」").contains(piece);
        if (used > 0 && used + columns > width && piece != QLatin1String(" ") && !closing) {
            lines.append(line.trimmed());
            line.clear();
            used = 0;
        }
        if (used == 0 && piece == QLatin1String(" "))
            continue; // no line starts with a space
        line += piece;
        used += columns;
    }
    if (!line.trimmed().isEmpty())
        lines.append(line.trimmed());
    return lines;
}

} // namespace Cli
