// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

// regexReplace with the pattern the hot list strips link tags with, checked
// against a plain scan that removes the same tags.

#include "fuzz_support.h"

#include "util/regex_replace.h"

#include <cstring>

namespace {

const QString LinkTagPattern = QStringLiteral("</?a[^<>]*>");

bool isA(QChar c)
{
    return c == u'a' || c == u'A';
}

// Leftmost tags first, each from "<a" or "</a" to the next ">" with no "<" or
// ">" in between; the scan resumes after a removed tag.
QString withoutLinkTags(const QString &text)
{
    QString kept;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype name = i + 1;
        if (text.at(i) == u'<' && name < text.size() && text.at(name) == u'/')
            ++name;
        if (text.at(i) == u'<' && name < text.size() && isA(text.at(name))) {
            qsizetype end = name + 1;
            while (end < text.size() && text.at(end) != u'<' && text.at(end) != u'>')
                ++end;
            if (end < text.size() && text.at(end) == u'>') {
                i = end + 1;
                continue;
            }
        }
        kept += text.at(i);
        ++i;
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);

    // Page text as the fetch decodes it.
    const QString page = QString::fromUtf8(bytes);
    const QString stripped = regexReplace(page, LinkTagPattern, QString());
    FUZZ_CHECK(stripped == withoutLinkTags(page), page);

    // The same bytes as UTF-16, unpaired surrogates included: whatever the
    // engine makes of them, nothing may be added.
    QString raw(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(raw.data(), bytes.constData(), size_t(raw.size()) * 2);
    const QString rawStripped = regexReplace(raw, LinkTagPattern, QString());
    FUZZ_CHECK(rawStripped.size() <= raw.size(), raw);
    if (isValidUtf16(raw))
        FUZZ_CHECK(rawStripped == withoutLinkTags(raw), raw);
    return 0;
}
