// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_resume.h"

#include <QTest>

using Kind = AnswerMeaning::Kind;

class DownloadResumeTest : public QObject
{
    Q_OBJECT

private slots:
    void contentRanges_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<qint64>("start"); // -1: rejected
        QTest::addColumn<qint64>("total");
        QTest::newRow("plain") << QByteArray("bytes 100-999/1000") << 100ll << 1000ll;
        QTest::newRow("spaces, case") << QByteArray(" Bytes 0-0/1 ") << 0ll << 1ll;
        QTest::newRow("total unknown") << QByteArray("bytes 5-9/*") << 5ll << -1ll;
        QTest::newRow("end before start") << QByteArray("bytes 9-5/10") << -1ll << 0ll;
        QTest::newRow("end past total") << QByteArray("bytes 0-10/10") << -1ll << 0ll;
        QTest::newRow("unsatisfied form") << QByteArray("bytes */10") << -1ll << 0ll;
        QTest::newRow("request syntax") << QByteArray("bytes=0-9/10") << -1ll << 0ll;
        QTest::newRow("negative") << QByteArray("bytes -1-9/10") << -1ll << 0ll;
        QTest::newRow("other unit") << QByteArray("items 0-9/10") << -1ll << 0ll;
        QTest::newRow("overflowing") << QByteArray("bytes 0-1/99999999999999999999") << -1ll << 0ll;
        QTest::newRow("empty") << QByteArray() << -1ll << 0ll;
    }

    void contentRanges()
    {
        QFETCH(QByteArray, value);
        QFETCH(qint64, start);
        QFETCH(qint64, total);
        const std::optional<ContentRange> range = parseContentRange(value);
        QCOMPARE(range.has_value(), start >= 0);
        if (range) {
            QCOMPARE(range->start, start);
            QCOMPARE(range->total, total);
        }
    }

    void resumeValidators_data()
    {
        QTest::addColumn<QByteArray>("etag");
        QTest::addColumn<QByteArray>("lastModified");
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<QByteArray>("validator");
        const QByteArray modified = "Tue, 14 Nov 2023 22:13:20 GMT";
        const QByteArray later = "Tue, 14 Nov 2023 22:13:21 GMT";
        QTest::newRow("strong ETag") << QByteArray("\"abc\"") << modified << later << QByteArray("\"abc\"");
        QTest::newRow("weak ETag: the date instead")
            << QByteArray("W/\"abc\"") << modified << later << modified;
        QTest::newRow("date only") << QByteArray() << modified << later << modified;
        QTest::newRow("date not a second older than the answer")
            << QByteArray() << modified << modified << QByteArray();
        QTest::newRow("no Date to compare") << QByteArray() << modified << QByteArray() << QByteArray();
        QTest::newRow("weak ETag only") << QByteArray("W/\"abc\"") << QByteArray() << later << QByteArray();
        QTest::newRow("unquoted ETag") << QByteArray("abc") << QByteArray() << later << QByteArray();
        QTest::newRow("date unreadable") << QByteArray() << QByteArray("yesterday") << later << QByteArray();
        QTest::newRow("nothing") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
    }

    void resumeValidators()
    {
        QFETCH(QByteArray, etag);
        QFETCH(QByteArray, lastModified);
        QFETCH(QByteArray, date);
        QFETCH(QByteArray, validator);
        QCOMPARE(resumeValidator(etag, lastModified, date), validator);
    }

    void partInfo_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        const PartInfo info{QStringLiteral("http://h/f.mp3?a=1"), "\"e\"", 1000};
        const QByteArray good = partInfoText(info);
        QTest::newRow("as written") << good << true;
        QTest::newRow("total unknown") << partInfoText({info.fileUrl, info.validator, -1}) << true;
        QTest::newRow("cut short") << good.chopped(1) << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("another format") << QByteArray(good).replace("vexa-part 1", "vexa-part 9") << false;
        const QByteArray roomy = partInfoText({info.fileUrl, info.validator, 1000, 65536});
        QTest::newRow("with front room") << roomy << true;
        QTest::newRow("front room line missing")
            << QByteArray(good).replace("vexa-part 1", "vexa-part 2") << false;
        QTest::newRow("front room not positive") << QByteArray(roomy).replace("65536", "0") << false;
        QTest::newRow("of a sound") << partInfoText({info.fileUrl, info.validator, 1000, 0, "1001"}) << true;
        QTest::newRow("no validator") << partInfoText({info.fileUrl, QByteArray(), 1000}) << false;
        QTest::newRow("total not a number") << QByteArray(good).replace("1000", "1e3") << false;
        QTest::newRow("extra line") << good + "x\n" << false;
    }

    void partInfo()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        const std::optional<PartInfo> parsed = parsePartInfo(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(partInfoText(*parsed), text);
    }

    void answers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("contentRange");
        QTest::addColumn<QByteArray>("etag");
        QTest::addColumn<qint64>("rangeStart"); // asked with If-Range: "v1" of 1000 bytes
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<qint64>("total");
        const QByteArray v1 = "\"v1\"";
        QTest::newRow("the rest, as asked")
            << 206 << QByteArray("bytes 400-999/1000") << v1 << 400ll << Kind::Continuation << 1000ll;
        // Appending any of these would splice two versions of the file.
        QTest::newRow("range of another version") << 206 << QByteArray("bytes 400-999/1000")
                                                  << QByteArray("\"v2\"") << 400ll << Kind::AskAgain << -1ll;
        QTest::newRow("range of another length")
            << 206 << QByteArray("bytes 400-1199/1200") << v1 << 400ll << Kind::AskAgain << -1ll;
        QTest::newRow("range from elsewhere")
            << 206 << QByteArray("bytes 300-999/1000") << v1 << 400ll << Kind::AskAgain << -1ll;
        QTest::newRow("range unreadable")
            << 206 << QByteArray("bytes */1000") << v1 << 400ll << Kind::AskAgain << -1ll;
        QTest::newRow("range not asked for")
            << 206 << QByteArray("bytes 400-999/1000") << v1 << 0ll << Kind::UnaskedRange << -1ll;
        QTest::newRow("whole body as a range from zero")
            << 206 << QByteArray("bytes 0-1199/1200") << v1 << 0ll << Kind::WholeBody << 1200ll;
        QTest::newRow("whole body to a range")
            << 200 << QByteArray() << v1 << 400ll << Kind::WholeBody << 1200ll;
        QTest::newRow("range past the end") << 416 << QByteArray() << v1 << 400ll << Kind::AskAgain << -1ll;
        QTest::newRow("416 to a whole-file request")
            << 416 << QByteArray() << v1 << 0ll << Kind::ErrorStatus << -1ll;
        QTest::newRow("redirect not followed")
            << 302 << QByteArray() << v1 << 400ll << Kind::Redirect << -1ll;
    }

    // What an answer to a continuation means decides whether its bytes are
    // appended to the part, which must never mix two versions of a file.
    void answers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, contentRange);
        QFETCH(QByteArray, etag);
        QFETCH(qint64, rangeStart);
        QFETCH(Kind, kind);
        QFETCH(qint64, total);
        AnswerHead head;
        head.status = status;
        head.contentRange = contentRange;
        head.contentLength = 1200;
        head.etag = etag;
        const AnswerMeaning meaning = answerMeaning(head, {rangeStart, "\"v1\"", 1000});
        QCOMPARE(meaning.kind, kind);
        if (kind == Kind::Continuation || kind == Kind::WholeBody)
            QCOMPARE(meaning.total, total);
        if (kind == Kind::WholeBody)
            QCOMPARE(meaning.validator, etag);
    }

    void dateValidatedRanges_data()
    {
        QTest::addColumn<QByteArray>("lastModified");
        QTest::addColumn<Kind>("kind");
        QTest::newRow("same date") << QByteArray("Tue, 01 Dec 2026 10:00:00 GMT") << Kind::Continuation;
        QTest::newRow("changed since") << QByteArray("Wed, 02 Dec 2026 09:00:00 GMT") << Kind::AskAgain;
        QTest::newRow("no date given") << QByteArray() << Kind::Continuation;
    }

    // Continued with a date in If-Range, a range of a newer file is not appended.
    void dateValidatedRanges()
    {
        QFETCH(QByteArray, lastModified);
        QFETCH(Kind, kind);
        AnswerHead head;
        head.status = 206;
        head.contentRange = "bytes 400-999/1000";
        head.contentLength = 600;
        head.lastModified = lastModified;
        QCOMPARE(answerMeaning(head, {400, "Tue, 01 Dec 2026 10:00:00 GMT", 1000}).kind, kind);
    }
};

QTEST_GUILESS_MAIN(DownloadResumeTest)
#include "download_resume_test.moc"
