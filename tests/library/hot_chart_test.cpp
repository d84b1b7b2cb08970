// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "library/download_history.h"
#include "library/hot_chart.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Entries named by their ids: "a b a".
QList<HotChartEntry> entriesOf(const QString &ids)
{
    QList<HotChartEntry> entries;
    for (const QString &id : ids.split(u' ', Qt::SkipEmptyParts))
        entries.append({id == u"_" ? QString() : id, QStringLiteral("歌 ") + id, QStringLiteral("频道")});
    return entries;
}

// Each move as "↑2@3": its text, and after "@" the rank before, if any.
QString movesText(const QList<HotMove> &moves)
{
    QStringList words;
    for (const HotMove &move : moves) {
        QString word = hotMoveText(move);
        if (move.kind == HotMove::Kind::Same)
            word = QStringLiteral("=");
        if (move.previousRank)
            word += u'@' + QString::number(*move.previousRank);
        words.append(word.isEmpty() ? QStringLiteral("-") : word);
    }
    return words.join(u' ');
}

// Statements on a connection of the test's own; the last one's first value.
QVariant sql(const QString &path, const QStringList &statements)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            for (const QString &statement : statements)
                value = q.exec(statement) && q.next() ? q.value(0) : QVariant();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test"));
    return value;
}

} // namespace

class HotChartTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void moves_data()
    {
        QTest::addColumn<QString>("previous"); // "none": no refresh before
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no refresh before") << "none"
                                           << "a b"
                                           << "- -";
        QTest::newRow("unchanged") << "a b c"
                                   << "a b c"
                                   << "=@1 =@2 =@3";
        QTest::newRow("swapped") << "a b c"
                                 << "b a c"
                                 << "↑1@2 ↓1@1 =@3";
        QTest::newRow("far up, new, gone") << "a b c d"
                                           << "d x a"
                                           << "↑3@4 新 ↓2@1";
        QTest::newRow("empty refresh before") << ""
                                              << "a"
                                              << "新";
        // A sound listed twice ranks where it first stood, before and now.
        QTest::newRow("repeated ids") << "a b a b"
                                      << "b b a"
                                      << "↑1@2 =@2 ↓2@1";
        QTest::newRow("no id is always new") << "_ a"
                                             << "_ a"
                                             << "新 =@2";
    }

    void moves()
    {
        QFETCH(QString, previous);
        QFETCH(QString, current);
        QFETCH(QString, expected);
        const std::optional<HotChartRefresh> before =
            previous == u"none"
                ? std::nullopt
                : std::optional(HotChartRefresh{QDateTime::currentDateTimeUtc(), entriesOf(previous)});
        QCOMPARE(movesText(hotMoves(entriesOf(current), before)), expected);
    }

    // Each record hands back the one before, even while it is still being
    // written; only the newest are kept, with their entries.
    void keepsTheNewest()
    {
        const QString path = m_dir.filePath(QStringLiteral("kept.sqlite"));
        const QDateTime start = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
        const int made = HotChartKept + 5;
        {
            DownloadHistory history(path);
            std::optional<HotChartRefresh> last;
            for (int n = 0; n < made; ++n) {
                const HotChartRefresh refresh{start.addSecs(n), entriesOf(QStringLiteral("a%1 b").arg(n))};
                QCOMPARE(history.recordHotRefresh(refresh), last);
                last = refresh;
            }
            QVERIFY(history.flush());
            const QList<HotChartRefresh> kept = history.hotRefreshes(1000);
            QCOMPARE(kept.size(), HotChartKept);
            QCOMPARE(kept.first(), *last);
            QCOMPARE(kept.last().time, start.addSecs(made - HotChartKept));
            QCOMPARE(kept.last().entries, entriesOf(QStringLiteral("a%1 b").arg(made - HotChartKept)));
        }
        QCOMPARE(sql(path, {QStringLiteral("SELECT COUNT(*) FROM hot_entries")}).toInt(), 2 * HotChartKept);
    }

    // A history from before the chart gains its tables and keeps its downloads.
    void olderHistoryIsMigrated()
    {
        const QString path = m_dir.filePath(QStringLiteral("older.sqlite"));
        {
            DownloadHistory history(path);
            DownloadEntry entry;
            entry.soundId = QStringLiteral("1001");
            entry.state = DownloadState::Done;
            QVERIFY(history.add(entry));
        }
        const int version = sql(path, {QStringLiteral("PRAGMA user_version")}).toInt();
        QVERIFY(
            sql(path, {QStringLiteral("DROP TABLE hot_entries"), QStringLiteral("DROP TABLE hot_refreshes"),
                       QStringLiteral("PRAGMA user_version = %1").arg(version - 1),
                       QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name LIKE 'hot%'")})
                .toInt() == 0);
        {
            DownloadHistory history(path);
            QVERIFY(history.isPersistent());
            QCOMPARE(history.count(), 1);
            QCOMPARE(history.page(0, 1).first().soundId, QStringLiteral("1001"));
            QCOMPARE(history.latestHotRefresh(), std::nullopt);
            const HotChartRefresh refresh{QDateTime::currentDateTimeUtc(), entriesOf(QStringLiteral("a b"))};
            history.recordHotRefresh(refresh);
            QVERIFY(history.flush());
        }
        QCOMPARE(sql(path, {QStringLiteral("PRAGMA user_version")}).toInt(), version);
        const DownloadHistory reread(path, DownloadHistory::Use::Read);
        QCOMPARE(reread.hotRefreshes().size(), 1);
        QCOMPARE(reread.hotRefreshes().first().entries, entriesOf(QStringLiteral("a b")));
    }
};

QTEST_GUILESS_MAIN(HotChartTest)
#include "hot_chart_test.moc"
