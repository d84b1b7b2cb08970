// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/part_file.h"
#include "support/folder_files.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

namespace {

const QString Part = QStringLiteral("a.mp3.part");
const QString Info = QStringLiteral("a.mp3.part.meta");

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

} // namespace

class PartFileTest : public QObject
{
    Q_OBJECT

private slots:
    void descriptorOwned_data()
    {
        QTest::addColumn<QString>("step");     // what happens to a claimed part with bytes and info
        QTest::addColumn<int>("heldAfter");    // descriptors it still holds after the step
        QTest::addColumn<QStringList>("left"); // the folder once the part is destroyed
        QTest::newRow("destroyed mid-download: kept") << "none" << 1 << QStringList{Part, Info};
        QTest::newRow("moved into place") << "move" << 0 << QStringList{QStringLiteral("a.mp3")};
        QTest::newRow("name taken: held for the next")
            << "taken" << 1 << QStringList{QStringLiteral("a.mp3"), Part, Info};
        QTest::newRow("move failed") << "fail" << 1 << QStringList{Part, Info};
        QTest::newRow("removed") << "remove" << 0 << QStringList{};
        QTest::newRow("closed: kept for later") << "close" << 0 << QStringList{Part, Info};
        QTest::newRow("another claimed instead")
            << "reclaim" << 1 << QStringList{Part, Info, QStringLiteral("b.part")};
    }

    // On every path the descriptor is closed once: by the step or by the
    // destructor, never left open and never closed twice.
    void descriptorOwned()
    {
        QFETCH(QString, step);
        QFETCH(int, heldAfter);
        QFETCH(QStringList, left);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("a.mp3"));
        const int before = openDescriptors();
        {
            PartFile part;
            QVERIFY(part.claim(dir.filePath(Part)));
            QVERIFY(part.saveInfo({QStringLiteral("http://h/a.mp3"), "\"v1\"", 6}) && part.infoWritten());
            QVERIFY(part.append("abc", 3));
            if (step == u"move") {
                QVERIFY(part.moveTo(target));
                QCOMPARE(contents(target), QByteArray("abc"));
                part.close(); // waits for the folder's sync, which has a descriptor of its own
            } else if (step == u"taken") {
                writeFile(target, "mine");
                const Expected<void, FileFailure> moved = part.moveTo(target);
                QVERIFY(!moved);
                QCOMPARE(moved.error().reason, FileProblem::NameTaken);
                QCOMPARE(moved.error().detail, target);
                QCOMPARE(contents(target), QByteArray("mine"));
            } else if (step == u"fail") {
                const Expected<void, FileFailure> moved =
                    part.moveTo(dir.filePath(QStringLiteral("missing/a.mp3")));
                QVERIFY(!moved);
                QCOMPARE(moved.error().reason, FileProblem::Failed);
                QCOMPARE(moved.error().code, ENOENT);
            } else if (step == u"remove") {
                part.remove();
            } else if (step == u"close") {
                part.close();
            } else if (step == u"reclaim") {
                QVERIFY(part.claim(dir.filePath(QStringLiteral("b.part"))));
            }
            QCOMPARE(openDescriptors() - before, heldAfter);
            QCOMPARE(part.isOpen(), heldAfter == 1);
        }
        QCOMPARE(openDescriptors(), before);
        QCOMPARE(entries(dir.path()), left);
    }

    void refusedClaims_data()
    {
        QTest::addColumn<QString>("occupant"); // what already has the part's name
        QTest::addColumn<FileProblem>("problem");
        QTest::newRow("written by another download") << "locked" << FileProblem::Busy;
        QTest::newRow("a link") << "link" << FileProblem::Busy;
        QTest::newRow("a folder") << "folder" << FileProblem::Busy;
        QTest::newRow("folder missing") << "missing" << FileProblem::Failed;
    }

    // A part that is not ours to write is left as it was, and no descriptor
    // stays open for it.
    void refusedClaims()
    {
        QFETCH(QString, occupant);
        QFETCH(FileProblem, problem);
        QTemporaryDir dir;
        QString path = dir.filePath(Part);
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
        writeFile(elsewhere, "theirs");
        PartFile other;
        if (occupant == u"locked")
            QVERIFY(other.claim(path));
        else if (occupant == u"link")
            QVERIFY(QFile::link(elsewhere, path));
        else if (occupant == u"folder")
            QVERIFY(QDir().mkdir(path));
        else
            path = dir.filePath(QStringLiteral("missing/") + Part);
        const int before = openDescriptors();
        PartFile part;
        const Expected<void, FileFailure> claimed = part.claim(path);
        QVERIFY(!claimed);
        QCOMPARE(claimed.error().reason, problem);
        QCOMPARE(claimed.error().detail, path);
        QVERIFY(!part.isOpen());
        QCOMPARE(openDescriptors(), before);
        QCOMPARE(contents(elsewhere), QByteArray("theirs"));
    }

    void durableOrder_data()
    {
        QTest::addColumn<QString>("step"); // on a claimed part with bytes and info
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("info saved: the bytes it describes first, its folder last")
            << "save"
            << QStringList{"fdatasync P", "fdatasync P.meta.new", "rename P.meta.new P.meta", "fsync D"};
        QTest::newRow("moved into place: the new name made durable")
            << "move" << QStringList{"fdatasync P", "rename P D/a.mp3", "unlink P.meta", "fsync D"};
        QTest::newRow("started again: the info gone for good before the bytes change")
            << "again" << QStringList{"unlink P.meta", "fsync D"};
    }

    // After a power cut the info never describes bytes the part lacks, and
    // a saved file keeps its name.
    void durableOrder()
    {
        QFETCH(QString, step);
        QFETCH(QStringList, calls);
        QTemporaryDir dir;
        PartFile part;
        QVERIFY(part.claim(dir.filePath(Part)));
        QVERIFY(part.append("abc", 3));
        QVERIFY(part.saveInfo({QStringLiteral("http://h/a.mp3"), "\"v1\"", 6}) && part.infoWritten());
        QVERIFY(part.append("def", 3));
        QStringList made;
        setPartFileTrace([&](const QString &call) {
            made.append(QString(call)
                            .replace(dir.filePath(Part), QStringLiteral("P"))
                            .replace(dir.path(), QStringLiteral("D")));
        });
        // Also when a check fails: what runs in the background is waited for first.
        const auto untrace = qScopeGuard([&part] {
            part.close();
            setPartFileTrace({});
        });
        if (step == u"save")
            QVERIFY(part.saveInfo({QStringLiteral("http://h/a.mp3"), "\"v1\"", 6}) && part.infoWritten());
        else if (step == u"move")
            QVERIFY(part.sync() && part.moveTo(dir.filePath(QStringLiteral("a.mp3"))));
        else
            QVERIFY(part.startAgain());
        part.close(); // waits for what runs in the background
        QCOMPARE(made, calls);
    }

    void dropFront_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<qint64>("front");
        QTest::newRow("whole blocks") << QDir::tempPath() << qint64(8192);
        QTest::newRow("not whole blocks") << QDir::tempPath() << qint64(5000);
        QTest::newRow("no block collapse") << QStringLiteral("/dev/shm") << qint64(8192);
    }

    // The bytes behind the front come to the start, and writing goes on after them.
    void dropFront()
    {
        QFETCH(QString, folder);
        QFETCH(qint64, front);
        QTemporaryDir dir(folder + QStringLiteral("/vexa-part-XXXXXX"));
        QVERIFY(dir.isValid());
        QByteArray body(3 * 1024 * 1024 + 7, Qt::Uninitialized);
        for (qsizetype i = 0; i < body.size(); ++i)
            body[i] = char(i * 7 / 5);
        PartFile part;
        QVERIFY(part.claim(dir.filePath(Part)));
        const QByteArray room(front, 'r');
        QVERIFY(part.append(room.constData(), front) && part.append(body.constData(), body.size()));
        QVERIFY(part.dropFront(front));
        QVERIFY(part.append("end", 3));
        QVERIFY(contents(dir.filePath(Part)) == body + "end");
    }
};

QTEST_GUILESS_MAIN(PartFileTest)
#include "part_file_test.moc"
