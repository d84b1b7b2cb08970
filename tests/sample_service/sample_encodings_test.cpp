// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"
#include "support/media_reader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class SampleEncodingsTest : public QObject
{
    Q_OBJECT

    SampleService m_service;
    QNetworkAccessManager m_nam;
    QTemporaryDir m_dir;

    // Status, Content-Type and body of a GET.
    std::tuple<int, QByteArray, QByteArray> get(const QString &pathAndQuery, const QByteArray &range = {})
    {
        QNetworkRequest request(QUrl(m_service.baseUrl() + pathAndQuery));
        if (!range.isEmpty())
            request.setRawHeader("Range", range);
        const std::unique_ptr<QNetworkReply> reply(m_nam.get(request));
        if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 30000))
            reply->abort();
        return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), reply->readAll()};
    }

    MediaReading read(const QByteArray &body, const QString &name)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
            return {};
        file.close();
        return readMedia(file.fileName());
    }

    QJsonObject soundInfo(const QString &id)
    {
        // The service writes ids unquoted; quote it so Qt's parser takes the rest.
        QByteArray body = std::get<2>(get(QStringLiteral("/sound/info?sound_id=") + id));
        const QByteArray quoted = id.toUtf8();
        body.replace(QByteArray("\"id\":" + quoted + ','), QByteArray("\"id\":\"" + quoted + "\","));
        return QJsonDocument::fromJson(body)[QLatin1String("info")][QLatin1String("sound")].toObject();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_service.start());
    }

    void formats_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("fileType");
        QTest::addColumn<QString>("codec");
        QTest::newRow("mp3") << "mp3" << QByteArray("audio/mpeg") << "audio/mpeg"
                             << "audio/mpeg";
        QTest::newRow("m4a") << "m4a" << QByteArray("audio/mp4") << "video/quicktime"
                             << "audio/mpeg";
        QTest::newRow("flac") << "flac" << QByteArray("audio/flac") << "audio/x-flac"
                              << "audio/x-flac";
        QTest::newRow("ogg") << "ogg" << QByteArray("audio/ogg") << "audio/ogg"
                             << "audio/x-vorbis";
        QTest::newRow("opus") << "opus" << QByteArray("audio/ogg") << "audio/ogg"
                              << "audio/x-opus";
    }

    void formats()
    {
        QFETCH(QString, extension);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, fileType);
        QFETCH(QString, codec);

        const auto [status, type, body] = get(QStringLiteral("/audio/1002.") + extension);
        QCOMPARE(status, 200);
        QCOMPARE(type, contentType);
        const MediaReading media = read(body, QStringLiteral("1002.") + extension);
        QVERIFY2(media.ok, qPrintable(media.error));
        QCOMPARE(media.fileType, fileType);
        QCOMPARE(media.codec, codec);
        QVERIFY2(qAbs(media.seconds() - 3.0) < 0.1, qPrintable(QString::number(media.seconds())));
        QVERIFY(media.title.isEmpty() && media.artist.isEmpty() && media.date.isEmpty() &&
                media.cover.isEmpty() && media.urls.isEmpty());

        // Ranges as for the other bodies.
        const auto [partStatus, partType, part] =
            get(QStringLiteral("/audio/1002.") + extension, "bytes=100-");
        QCOMPARE(partStatus, 206);
        QCOMPARE(part, body.mid(100));

        const QString id = QStringLiteral("1002-") + extension;
        const QJsonObject info = soundInfo(id);
        QCOMPARE(info[QLatin1String("name")].toString(),
                 soundInfo(QStringLiteral("1002"))[QLatin1String("name")]);
        QCOMPARE(info[QLatin1String("source")].toString(),
                 m_service.baseUrl() + QStringLiteral("/audio/1002.") + extension);
        QCOMPARE(info[QLatin1String("pic_200")].toString(),
                 m_service.baseUrl() + QStringLiteral("/cover/1002.png"));
        QVERIFY(std::get<2>(get(QStringLiteral("/sound/") + id))
                    .contains(QByteArray("/audio/1002." + extension.toUtf8())));
    }

    // Copies of the whole MP3 end to end still read as one MP3.
    void repeatedMp3()
    {
        const QByteArray one = std::get<2>(get(QStringLiteral("/audio/1003.mp3")));
        QVERIFY(!one.isEmpty());
        const qint64 wanted = 3 * one.size() + 1;
        const auto [status, type, body] = get(QStringLiteral("/audio/1003.mp3?size=%1").arg(wanted));
        QCOMPARE(status, 200);
        QCOMPARE(body.size(), 4 * one.size());
        const auto [partStatus, partType, part] =
            get(QStringLiteral("/audio/1003.mp3?size=%1").arg(wanted),
                "bytes=" + QByteArray::number(3 * one.size() - 10) + '-');
        QCOMPARE(partStatus, 206);
        QCOMPARE(part, body.right(one.size() + 10));
        const MediaReading media = read(body, QStringLiteral("repeated.mp3"));
        QVERIFY2(media.ok, qPrintable(media.error));
        QCOMPARE(media.codec, QStringLiteral("audio/mpeg"));
        QVERIFY2(media.seconds() > 11.5, qPrintable(QString::number(media.seconds())));

        // Named in the path too, for a record: file addresses lose their query.
        const QString source =
            soundInfo(QStringLiteral("1003-mp3-bytes-%1").arg(wanted))[u"source"].toString();
        QVERIFY(
            source.startsWith(m_service.baseUrl() + QStringLiteral("/audio/1003-bytes-%1.mp3").arg(wanted)));
        QCOMPARE(std::get<2>(get(QUrl(source).path())), body);
    }

    void fakeMp3IsWav()
    {
        const QJsonObject info = soundInfo(QStringLiteral("1004-fake"));
        QCOMPARE(info[QLatin1String("source")].toString(),
                 m_service.baseUrl() + QStringLiteral("/audio/1004.fake.mp3"));
        const auto [status, type, body] = get(QStringLiteral("/audio/1004.fake.mp3"));
        QCOMPARE(type, QByteArray("audio/mpeg"));
        QVERIFY(body.startsWith("RIFF"));
        QCOMPARE(read(body, QStringLiteral("fake.mp3")).fileType, QStringLiteral("audio/x-wav"));
        // Unknown kinds stay unknown.
        QVERIFY(soundInfo(QStringLiteral("1004-wma")).isEmpty());
        QCOMPARE(std::get<0>(get(QStringLiteral("/audio/9999.mp3"))), 404);
    }
};

QTEST_GUILESS_MAIN(SampleEncodingsTest)
#include "sample_encodings_test.moc"
