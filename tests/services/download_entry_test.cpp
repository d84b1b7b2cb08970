// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "services/download_entry.h"

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
        QCOMPARE(downloadStateFromName(u""), std::nullopt);
    }

    void tagsText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("tagged");
        QTest::newRow("none") << QByteArray("null") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("damaged") << QByteArray("{\"title\":") << false;
        QTest::newRow("an older row with fewer fields") << QByteArray("{\"title\":\"歌\"}") << true;
    }

    void tagsText()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, tagged);
        const std::optional<SoundTags> tags = tagsFromText(text);
        QCOMPARE(tags.has_value(), tagged);
        if (tagged)
            QCOMPARE(tags->id3Version, 4);
    }

    // Every field but the cover comes back; the cover is never stored.
    void tagsRoundTrip()
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
        QVERIFY(!text.contains('\n'));
        tags.cover.clear();
        QCOMPARE(tagsFromText(text), tags);
        QCOMPARE(::tagsText(std::nullopt), QByteArray("null"));
    }
};

QTEST_GUILESS_MAIN(DownloadEntryTest)
#include "download_entry_test.moc"
