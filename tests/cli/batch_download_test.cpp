// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"
#include "services/download_history.h"
#include "support/vexa_process.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class BatchDownloadTest : public QObject
{
    Q_OBJECT

private:
    SampleService m_service;

    QString page(const QString &id) const { return m_service.soundPageUrl(id); }
    static QString savedName(qint64 size)
    {
        return QStringLiteral("样本服务 - 下载样本 bytes-%1.mp3").arg(size);
    }

    // The program with the hosts at the service, its own data folder, and
    // input on stdin.
    QProcess *start(const QStringList &arguments, const QString &dataHome, const QByteArray &input = {})
    {
        auto *process = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(VEXA_HELPER_EXE),
                       QStringList{QStringLiteral("--api-host"), m_service.hostAndPort(),
                                   QStringLiteral("--web-host"), m_service.hostAndPort(),
                                   QStringLiteral("download"), QStringLiteral("--no-tags")} +
                           arguments);
        process->write(input);
        process->closeWriteChannel();
        return process;
    }

    VexaRun run(const QStringList &arguments, const QString &dataHome, const QByteArray &input = {})
    {
        QProcess *process = start(arguments, dataHome, input);
        VexaRun result;
        result.exitCode = process->waitForFinished(60000) ? process->exitCode() : -1;
        result.out = process->readAllStandardOutput();
        result.err = QString::fromUtf8(process->readAllStandardError());
        return result;
    }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    // One bad address among several: the others are saved, the summary
    // names it once, and the run fails as a whole. Addresses come as
    // arguments or from stdin, where blank lines and spaces are not
    // addresses, and are taken as people paste them.
    void severalWithOneFailing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("reason");
        const QString bad = page(QStringLiteral("file-status-404"));
        QTest::newRow("arguments") << QStringList{page(QStringLiteral("file-bytes-1001")), bad,
                                                  page(QStringLiteral("file-bytes-1002"))}
                                   << QByteArray() << bad << QStringLiteral("服务器回应 404");
        QTest::newRow("stdin") << QStringList{QStringLiteral("-")}
                               << ("  " + page(QStringLiteral("file-bytes-1001")).toUtf8() +
                                   "\n\n \t\nnot-an-address\n" +
                                   page(QStringLiteral("file-bytes-1002")).toUtf8() + "\n not-an-address ")
                               << QStringLiteral("not-an-address") << QStringLiteral("地址有误");
        // The same sound written two ways is saved once.
        QTest::newRow("pasted forms")
            << QStringList{page(QStringLiteral("file-bytes-1001")) + QStringLiteral("?from=share "),
                           QStringLiteral("https://%1/sound/file-bytes-1002#x").arg(m_service.hostAndPort()),
                           page(QStringLiteral("file-bytes-1001")), bad}
            << QByteArray() << bad << QStringLiteral("服务器回应 404");
    }

    void severalWithOneFailing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, bad);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const VexaRun result =
            run(arguments + QStringList{QStringLiteral("-o"), dir.path()}, dir.path(), input);
        QVERIFY2(result.exitCode == 5, qPrintable(result.err));
        QStringList lines = QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines, (QStringList{dir.filePath(savedName(1001)), dir.filePath(savedName(1002))}));
        QVERIFY2(result.err.contains(QStringLiteral("1 个下载失败（共 3 个）：\n  ") + bad),
                 qPrintable(result.err));
        QVERIFY2(result.err.contains(reason), qPrintable(result.err));
        QVERIFY(!result.err.contains(u'\r')); // not a terminal: no progress redrawn
    }

    // A sound the history has as saved, its file still there, is skipped
    // and counts as success; --force downloads it again.
    void skipsWhatIsSaved()
    {
        QTemporaryDir dir;
        const QString address = page(QStringLiteral("file-bytes-2001"));
        const QString saved = dir.filePath(savedName(2001));
        const QStringList arguments = {address, QStringLiteral("-o"), dir.path()};
        QCOMPARE(run(arguments, dir.path()).exitCode, 0);

        const VexaRun skipped = run(arguments, dir.path());
        QCOMPARE(skipped.exitCode, 0);
        QCOMPARE(QString::fromUtf8(skipped.out), saved + u'\n');
        QVERIFY2(
            skipped.err.contains(QStringLiteral("已下载过 “下载样本 bytes-2001”，跳过；文件在 ") + saved),
            qPrintable(skipped.err));

        const VexaRun forced = run(arguments + QStringList{QStringLiteral("--force")}, dir.path());
        QCOMPARE(forced.exitCode, 0);
        QCOMPARE(QString::fromUtf8(forced.out),
                 dir.filePath(QStringLiteral("样本服务 - 下载样本 bytes-2001 (1).mp3\n")));
    }

    // Two runs at once share one history: nothing is lost, nothing damaged.
    void twoProcessesShareTheHistory()
    {
        QTemporaryDir dir;
        QList<QProcess *> processes;
        QStringList addresses[2];
        for (int p = 0; p < 2; ++p) {
            for (int k = 0; k < 4; ++k)
                addresses[p].append(page(QStringLiteral("file-bytes-%1").arg(300000 + 10 * p + k)));
            processes.append(start(addresses[p] + QStringList{QStringLiteral("-o"), dir.path(),
                                                              QStringLiteral("--jobs"), QStringLiteral("2")},
                                   dir.path()));
        }
        for (QProcess *process : processes) {
            QVERIFY(process->waitForFinished(60000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        const QString path = dir.filePath(QStringLiteral("vexa-helper/history.sqlite"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery query(QStringLiteral("PRAGMA integrity_check"), db);
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        DownloadHistory history(path);
        QVERIFY(history.isPersistent());
        QStringList done;
        for (const DownloadEntry &entry : history.page(0, 100)) {
            QCOMPARE(entry.state, DownloadState::Done);
            done.append(entry.pageAddress);
        }
        done.sort();
        QStringList all = addresses[0] + addresses[1];
        all.sort();
        QCOMPARE(done, all);
    }
};

QTEST_GUILESS_MAIN(BatchDownloadTest)
#include "batch_download_test.moc"
