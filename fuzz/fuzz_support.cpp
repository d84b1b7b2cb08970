// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "net/http_request.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

void fuzzFailure(const char *rule, const QString &detail)
{
    std::fprintf(stderr, "rule broken: %s\n  %s\n", rule, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

QString fetchedText(const QByteArray &bytes)
{
    if (!bytes.startsWith("CT:"))
        return decodeBody(bytes, "text/html; charset=utf-8");
    const qsizetype end = bytes.indexOf('\n');
    if (end < 0)
        return {};
    return decodeBody(bytes.mid(end + 1), bytes.mid(3, end - 3));
}

bool isValidUtf16(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

namespace {

void quietMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

// Called once by libFuzzer before the first input. Image plugins and text
// codecs expect an application object; Qt's warnings about broken input are
// expected by the thousand and would only slow the run down.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler(quietMessages);
    static QCoreApplication app(*argc, *argv);
    return 0;
}
