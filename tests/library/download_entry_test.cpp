// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_entry.h"

#include <QTest>

class DownloadEntryTest : public QObject
{
    Q_OBJECT

private slots:
    // The names are what the database and `history --json` hold: fixed.
    void stateNames()
    {
        const QStringList names = {QStringLiteral("queued"), QStringLiteral("running"),
                                   QStringLiteral("paused"), QStringLiteral("done"),
                                   QStringLiteral("failed"), QStringLiteral("cancelled")};
        for (int n = 0; n < names.size(); ++n) {
            QCOMPARE(downloadStateName(DownloadState(n)), names[n]);
            QCOMPARE(downloadStateFromName(names[n]), DownloadState(n));
        }
        QCOMPARE(downloadStateFromName(u"Done"), std::nullopt);
    }

    // Every field but the cover comes back; none and damaged text are untagged.
    void tagsText()
    {
        SoundTags tags{QStringLiteral("歌 \"引号\""),
                       QStringLiteral("歌手"),
                       QStringLiteral("第一行\r\n第二行"),
                       QStringLiteral("2026-01-02"),
                       QStringLiteral("http://example.org/sound/1"),
                       QByteArray("\x89PNG picture"),
                       3};
        const QByteArray text = ::tagsText(tags);
        QVERIFY(!text.contains("PNG"));
        tags.cover.clear();
        QCOMPARE(tagsFromText(text), tags);
        for (const QByteArray &untagged : {::tagsText(std::nullopt), QByteArray(), QByteArray("{\"title\":")})
            QCOMPARE(tagsFromText(untagged), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(DownloadEntryTest)
#include "download_entry_test.moc"
