// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_data.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_service.h"

#include <QElapsedTimer>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QtEndian>
#include <QtTest>

#include <memory>

namespace {

// One finished GET, as the sample service's tests look at it.
struct Fetched
{
    std::shared_ptr<QNetworkReply> reply;
    QByteArray body;
    qint64 elapsedMs = 0;

    int status() const { return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); }
    QByteArray header(const QByteArray &name) const { return reply->rawHeader(name); } // any case
};

Fetched fetch(QNetworkAccessManager &nam, const QUrl &url,
              const QList<QPair<QByteArray, QByteArray>> &headers = {})
{
    QNetworkRequest request(url);
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    QElapsedTimer timer;
    timer.start();
    const std::shared_ptr<QNetworkReply> reply(nam.get(request));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 20000))
        reply->abort();
    return {reply, reply->readAll(), timer.elapsed()};
}

} // namespace

class SampleServiceTest : public QObject
{
    Q_OBJECT

    SampleService m_service;
    QNetworkAccessManager m_nam;

    QUrl url(const QString &pathAndQuery) const { return QUrl(m_service.baseUrl() + pathAndQuery); }
    Fetched get(const QString &pathAndQuery) { return fetch(m_nam, url(pathAndQuery)); }
    Fetched at(const SampleService &service, const char *pathAndQuery)
    {
        return fetch(m_nam, QUrl(service.baseUrl() + QLatin1String(pathAndQuery)));
    }
    QByteArray firstSoundJson() const { return soundInfoJson(sampleSounds().first(), m_service.baseUrl()); }

private slots:
    void initTestCase() { QVERIFY(m_service.start()); }

    void requestsAreRecorded()
    {
        SampleService service;
        QVERIFY(service.start());
        const QByteArray target = "/sound/info?sound_id=1001&from=%E5%88%86%E6%9E%90";
        fetch(m_nam, QUrl::fromEncoded(service.baseUrl().toUtf8() + target), {{"X-Vexa-Probe", "probe 42"}});
        const QList<RecordedRequest> requests = service.requests();
        QCOMPARE(requests.size(), 1);
        const RecordedRequest &r = requests.first();
        QCOMPARE(r.method, QByteArray("GET"));
        QCOMPARE(r.target, target);
        QCOMPARE(r.path, QByteArray("/sound/info"));
        QCOMPARE(r.header("x-vexa-probe"), QByteArray("probe 42"));
        QCOMPARE(r.header("Host"), service.hostAndPort().toUtf8());
        QVERIFY(r.header("REMOTE_ADDR").isEmpty()); // httplib's own entries, never sent
        service.clearRequests();
        QVERIFY(service.requests().isEmpty());
    }

    void overrides()
    {
        SampleService service;
        QVERIFY(service.start());
        service.setSoundInfoBody(QStringLiteral("1001"), "replaced", "text/plain; charset=GBK");
        service.setSoundInfoBody(QStringLiteral("fault-stall"), "{}");
        service.setVersionBody("vexa:V9.9|note");
        service.setHomePageBody("<p>home</p>");

        const Fetched replaced = at(service, "/sound/info?sound_id=1001");
        QCOMPARE(replaced.body, QByteArray("replaced"));
        QCOMPARE(replaced.header("Content-Type"), QByteArray("text/plain; charset=GBK"));
        QCOMPARE(at(service, "/sound/info?sound_id=fault-stall").body, QByteArray("{}"));
        QCOMPARE(at(service, "/version/main.txt").body, QByteArray("vexa:V9.9|note"));
        QCOMPARE(at(service, "/?wp").body, QByteArray("<p>home</p>"));
        const QJsonObject other =
            QJsonDocument::fromJson(at(service, "/sound/info?sound_id=1002").body).object();
        QCOMPARE(other[QLatin1String("info")][QLatin1String("sound")][QLatin1String("name")].toString(),
                 findSampleSound(QStringLiteral("1002"))->name);
    }

    // A closed gate holds its path's answers, and only those, until it opens.
    void gateHoldsAnswers()
    {
        SampleService service;
        QVERIFY(service.start());
        service.closeGate("/version/main.txt");
        const std::unique_ptr<QNetworkReply> held(
            m_nam.get(QNetworkRequest(QUrl(service.baseUrl() + QStringLiteral("/version/main.txt")))));
        QTRY_COMPARE(service.heldAtGate("/version/main.txt"), 1);
        QCOMPARE(at(service, "/cover/1001.png").status(), 200);
        QVERIFY(!held->isFinished());
        service.openGate("/version/main.txt");
        QTRY_VERIFY(held->isFinished());
        QVERIFY(held->readAll().startsWith("vexa:"));
        QCOMPARE(service.heldAtGate("/version/main.txt"), 0);
    }

    void manyStallsDoNotBlockOthers()
    {
        SampleService service;
        QVERIFY(service.start());
        // More than httplib's default pool, fewer than ours; opened in one
        // burst, which a small listen backlog would delay by a SYN retry (1 s).
        QElapsedTimer burst;
        burst.start();
        std::vector<std::unique_ptr<QTcpSocket>> stalls;
        for (int i = 0; i < 16; ++i) {
            auto socket = std::make_unique<QTcpSocket>();
            socket->connectToHost(QHostAddress::LocalHost, service.port());
            QVERIFY(socket->waitForConnected(5000));
            socket->write("GET /fault/stall?seconds=30 HTTP/1.1\r\nHost: " + service.hostAndPort().toUtf8() +
                          "\r\n\r\n");
            socket->flush();
            stalls.push_back(std::move(socket));
        }
        QVERIFY2(burst.elapsed() < 900, qPrintable(QString::number(burst.elapsed())));
        QTRY_COMPARE(service.requests().size(), 16);
        const Fetched f = at(service, "/version/main.txt");
        QCOMPARE(f.status(), 200);
        QVERIFY(f.elapsedMs < 3000);
    }

    void busyPortAndRestart()
    {
        SampleService first;
        QVERIFY(first.start());
        SampleService second;
        QVERIFY(!second.start(first.port()));
        QVERIFY(!second.isRunning());
        // A test that takes the service away brings it back where the program looks.
        const quint16 port = first.port();
        first.stop();
        QVERIFY(first.start(port));
        QCOMPARE(at(first, "/version/main.txt").status(), 200);
    }

    void executableServesAndStopsOnSignal()
    {
        QProcess process;
        process.start(QStringLiteral(VEXA_SAMPLE_SERVICE_EXE), {});
        QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 10000);
        const QString line = QString::fromUtf8(process.readLine()).trimmed();
        const QRegularExpressionMatch match =
            QRegularExpression(
                QStringLiteral("^vexa-sample-service listening on (http://127\\.0\\.0\\.1:(\\d+))$"))
                .match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        const QString base = match.captured(1);
        QCOMPARE(fetch(m_nam, QUrl(base + QStringLiteral("/version/main.txt"))).status(), 200);

        QProcess clash;
        clash.start(QStringLiteral(VEXA_SAMPLE_SERVICE_EXE), {QStringLiteral("--port"), match.captured(2)});
        QVERIFY(clash.waitForFinished(10000));
        QCOMPARE(clash.exitCode(), 1);

        // A pending stall must not keep the process alive after SIGTERM; the
        // first bytes show the stall has begun.
        const std::unique_ptr<QNetworkReply> stalled(
            m_nam.get(QNetworkRequest(QUrl(base + QStringLiteral("/fault/stall-body")))));
        QTRY_VERIFY(stalled->bytesAvailable() > 0);
        process.terminate();
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

    // Each sample sound as the client and --demo reach it: info, cover, audio, page, home page.
    void sampleSound_data()
    {
        QTest::addColumn<QString>("id");
        for (const QString &id : SampleService::sampleSoundIds())
            QTest::newRow(qPrintable(id)) << id;
    }
    void sampleSound()
    {
        QFETCH(QString, id);
        const SampleSound *sound = findSampleSound(id);
        QVERIFY(sound);
        const Fetched f = get(QStringLiteral("/sound/info?sound_id=") + id);
        QCOMPARE(f.status(), 200);

        // Readers cut values by text search: keys in this order, "name" twice
        // (sound, then singer) and one string-valued "info".
        const QList<QByteArray> keys = {
            "\"id\":",           "\"name\":\"",       "\"pic_200\":\"",   "\"source\":\"",
            "\"sound_count\":",  "\"share_count\":",  "\"create_time\":", "\"info\":\"",
            "\"user\":{\"id\":", "\"follow_count\":", "\"name\":\""};
        qsizetype at = -1;
        for (const QByteArray &key : keys) {
            at = f.body.indexOf(key, at + 1);
            QVERIFY2(at >= 0, key.constData());
        }
        QCOMPARE(f.body.count("\"name\":\""), 2);
        QCOMPARE(f.body.count("\"info\":\""), 1);

        // A strict parse shows the escaping is right.
        QJsonParseError parseError;
        const QJsonObject s = QJsonDocument::fromJson(f.body, &parseError)
                                  .object()[QLatin1String("info")][QLatin1String("sound")]
                                  .toObject();
        QCOMPARE(parseError.error, QJsonParseError::NoError);
        QCOMPARE(s[QLatin1String("name")].toString(), sound->name);
        QCOMPARE(s[QLatin1String("user")][QLatin1String("name")].toString(), sound->singer);
        QCOMPARE(s[QLatin1String("info")].toString(),
                 QString(sound->introduction).replace(QLatin1String("\n"), QLatin1String("\r\n")));
        const QJsonValue share = s[QLatin1String("share_count")];
        QCOMPARE(share.isString(), sound->shareCountQuoted);
        QCOMPARE(share.isString() ? share.toString().toLongLong() : share.toInteger(), sound->shareCount);
        const QUrl file(s[QLatin1String("source")].toString());
        QCOMPARE(file.hasQuery(), sound->fileQuery);

        // The addresses lead to real media: a cover and an audible, well-formed WAV.
        const Fetched cover = fetch(m_nam, QUrl(s[QLatin1String("pic_200")].toString()));
        QCOMPARE(QImage::fromData(cover.body).size(), QSize(200, 200));
        const QByteArray wav = fetch(m_nam, file).body;
        QVERIFY(wav.size() > 44 && wav.startsWith("RIFF") && wav.mid(8, 8) == "WAVEfmt ");
        QCOMPARE(qsizetype(qFromLittleEndian<quint32>(wav.constData() + 4)) + 8, wav.size());
        QCOMPARE(qsizetype(qFromLittleEndian<quint32>(wav.constData() + 40)) + 44, wav.size());
        int peak = 0;
        for (qsizetype i = 44; i + 1 < wav.size(); i += 2)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(wav.constData() + i))));
        QVERIFY(peak > 3000);

        const Fetched page = get(QStringLiteral("/sound/") + id);
        QVERIFY(page.body.contains("<audio") && page.body.contains(file.path().toUtf8()));
        QVERIFY(page.body.contains(sound->name.toHtmlEscaped().toUtf8()));
        QVERIFY(get(QStringLiteral("/?wp")).body.contains(QByteArray("/sound/" + id.toUtf8() + '"')));
    }

    // The service's not-found answer: 200 with JSON that names no sound.
    void unknownSound_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("unused number") << QStringLiteral("999999");
        QTest::newRow("unknown fault") << QStringLiteral("fault-nosuch");
        QTest::newRow("quote in id") << QStringLiteral("10\"01");
        QTest::newRow("empty") << QString();
    }
    void unknownSound()
    {
        QFETCH(QString, id);
        const Fetched f =
            get(QStringLiteral("/sound/info?sound_id=") + QString::fromUtf8(QUrl::toPercentEncoding(id)));
        QCOMPARE(f.status(), 200);
        QJsonParseError parseError;
        QJsonDocument::fromJson(f.body, &parseError);
        QCOMPARE(parseError.error, QJsonParseError::NoError);
        QVERIFY(!f.body.contains("pic_200") && !f.body.contains("\"name\""));
    }

    void faults_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");      // 0: a transport error instead of an answer
        QTest::addColumn<int>("error");       // checked when status is 0
        QTest::addColumn<qint64>("bodySize"); // -1: any non-empty body
        QTest::addColumn<qint64>("minMs");
        const int closed = QNetworkReply::RemoteHostClosedError;
        QTest::newRow("status 503") << "/fault/status?code=503" << 503 << 0 << -1ll << 0ll;
        QTest::newRow("empty") << "/fault/empty" << 200 << 0 << 0ll << 0ll;
        QTest::newRow("huge 3 MiB") << "/fault/huge?mib=3" << 200 << 0 << 3ll * 1024 * 1024 << 0ll;
        QTest::newRow("trickle") << "/fault/trickle?bytes=6&interval=50" << 200 << 0 << 6ll << 250ll;
        QTest::newRow("stall") << "/fault/stall?seconds=0.5" << 200 << 0 << -1ll << 450ll;
        QTest::newRow("stall via id")
            << "/sound/info?sound_id=fault-stall&seconds=0.5" << 200 << 0 << -1ll << 450ll;
        QTest::newRow("stall-body") << "/fault/stall-body?seconds=0.5" << 200 << 0 << 10000ll << 450ll;
        QTest::newRow("drop") << "/fault/drop" << 0 << closed << -1ll << 0ll;
        QTest::newRow("drop via id") << "/sound/info?sound_id=fault-drop" << 0 << closed << -1ll << 0ll;
        QTest::newRow("redirect loop")
            << "/fault/redirect-loop" << 0 << int(QNetworkReply::TooManyRedirectsError) << -1ll << 0ll;
        QTest::newRow("unknown kind") << "/fault/nosuch" << 404 << 0 << -1ll << 0ll;
    }
    void faults()
    {
        QFETCH(QString, path);
        QFETCH(int, status);
        QFETCH(int, error);
        QFETCH(qint64, bodySize);
        QFETCH(qint64, minMs);
        const Fetched f = get(path);
        QVERIFY2(f.elapsedMs >= minMs, qPrintable(QString::number(f.elapsedMs)));
        if (status == 0) {
            QCOMPARE(int(f.reply->error()), error);
            QVERIFY(f.body.size() < 100000);
            return;
        }
        QCOMPARE(f.status(), status);
        if (bodySize < 0)
            QVERIFY(!f.body.isEmpty());
        else
            QCOMPARE(qint64(f.body.size()), bodySize);
    }

    void redirects_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("target");
        QTest::newRow("to version") << "/fault/redirect?to=/version/main.txt"
                                    << "/version/main.txt";
        QTest::newRow("default, via id") << "/sound/info?sound_id=fault-redirect"
                                         << "/sound/info?sound_id=" + SampleService::sampleSoundIds().first();
    }
    void redirects()
    {
        QFETCH(QString, path);
        QFETCH(QString, target);
        const Fetched redirected = get(path);
        QCOMPARE(redirected.status(), 200);
        QCOMPARE(redirected.reply->url(), url(target));
        QCOMPARE(redirected.body, get(target).body);
    }

    // Any path can be made to answer as a fault, with the fault's parameters.
    void pathFaults_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<int>("status"); // 0: a transport error instead of an answer
        QTest::addColumn<int>("error");
        QTest::newRow("status with its code") << QByteArray("status?code=503") << 503 << 0;
        QTest::newRow("loop on the faulted path")
            << QByteArray("redirect-loop") << 0 << int(QNetworkReply::TooManyRedirectsError);
        QTest::newRow("to a file: address")
            << QByteArray("redirect-scheme") << 0 << int(QNetworkReply::ProtocolUnknownError);
        QTest::newRow("unknown kind") << QByteArray("nosuch") << 404 << 0;
    }
    void pathFaults()
    {
        QFETCH(QByteArray, fault);
        QFETCH(int, status);
        QFETCH(int, error);
        const QByteArray version = get(QStringLiteral("/version/main.txt")).body;
        m_service.setFault("/version/main.txt", fault);
        const Fetched faulted = get(QStringLiteral("/version/main.txt?x=1"));
        const QByteArray other = get(QStringLiteral("/sound/info?sound_id=1001")).body;
        m_service.clearFaults();
        if (status == 0) {
            QCOMPARE(int(faulted.reply->error()), error);
        } else {
            QCOMPARE(faulted.status(), status);
            QVERIFY(!faulted.body.contains("vexa:"));
        }
        QCOMPARE(other, firstSoundJson());
        QCOMPARE(get(QStringLiteral("/version/main.txt")).body, version);
    }

    void encodings_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("gbk");
        QTest::newRow("gbk") << "/fault/gbk" << true;
        QTest::newRow("gbk via id") << "/sound/info?sound_id=fault-gbk" << true;
        QTest::newRow("invalid utf-8") << "/fault/invalid-utf8" << false;
    }
    void encodings()
    {
        QFETCH(QString, path);
        QFETCH(bool, gbk);
        const Fetched f = get(path);
        QCOMPARE(f.status(), 200);
        QVERIFY(f.header("Content-Type").contains(gbk ? "charset=GBK" : "charset=utf-8"));
        // Neither body may be valid UTF-8, or the fault tests nothing.
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString asUtf8 = utf8.decode(f.body);
        QVERIFY(utf8.hasError());
        if (gbk) {
            QStringDecoder decoder("GBK");
            QCOMPARE(QString(decoder.decode(f.body)), QString::fromUtf8(firstSoundJson()));
            QVERIFY(!decoder.hasError());
        } else {
            // The bad bytes sit inside a value; the text around them survives.
            QVERIFY(asUtf8.contains(sampleSounds().first().name));
            QCOMPARE(f.body.count("\"name\":\""), 2);
        }
    }

    void stopEndsPendingWaits_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("stall") << "/fault/stall";
        QTest::newRow("stall-body") << "/fault/stall-body";
        QTest::newRow("trickle") << "/fault/trickle?interval=60000";
    }
    void stopEndsPendingWaits()
    {
        QFETCH(QString, path);
        SampleService service;
        QVERIFY(service.start());
        // A connection that served an answer earlier must not hold stop() up either.
        QCOMPARE(fetch(m_nam, QUrl(service.baseUrl() + QStringLiteral("/version/main.txt"))).status(), 200);
        const std::unique_ptr<QNetworkReply> reply(
            m_nam.get(QNetworkRequest(QUrl(service.baseUrl() + path))));
        QTRY_COMPARE(service.requests().size(), 2);

        QElapsedTimer timer;
        timer.start();
        service.stop();
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!service.isRunning());
        QTRY_VERIFY(reply->isFinished());
        service.stop(); // again: no effect, no hang
    }

    // The generated downloads, which the download and player tests lean on to
    // show a client continuing, refusing and recovering.
    void fileRanges_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<QByteArray>("ifRange"); // "etag" and "date" stand for the file's own
        QTest::addColumn<int>("status");
        QTest::addColumn<qint64>("from"); // first byte served
        QTest::addColumn<qint64>("to");   // one past the last
        const QByteArray none;
        QTest::newRow("whole") << QString() << none << none << 200 << 0ll << 1000ll;
        QTest::newRow("range") << QString() << QByteArray("bytes=700-") << none << 206 << 700ll << 1000ll;
        QTest::newRow("closed range")
            << QString() << QByteArray("bytes=10-20") << none << 206 << 10ll << 21ll;
        QTest::newRow("current ETag")
            << QString() << QByteArray("bytes=700-") << QByteArray("etag") << 206 << 700ll << 1000ll;
        QTest::newRow("current date")
            << QString() << QByteArray("bytes=700-") << QByteArray("date") << 206 << 700ll << 1000ll;
        QTest::newRow("stale ETag: whole")
            << QString() << QByteArray("bytes=700-") << QByteArray("\"other\"") << 200 << 0ll << 1000ll;
        QTest::newRow("weak ETag never matches")
            << QStringLiteral("validator=weak") << QByteArray("bytes=700-") << QByteArray("etag") << 200
            << 0ll << 1000ll;
        QTest::newRow("two ranges: whole")
            << QString() << QByteArray("bytes=0-5,700-") << none << 200 << 0ll << 1000ll;
        QTest::newRow("past the end") << QString() << QByteArray("bytes=5000-") << none << 416 << 0ll << 0ll;
        QTest::newRow("ranges ignored")
            << QStringLiteral("range=ignore") << QByteArray("bytes=700-") << none << 200 << 0ll << 1000ll;
        QTest::newRow("shifted") << QStringLiteral("range=shift") << QByteArray("bytes=700-") << none << 206
                                 << 350ll << 1000ll;
    }
    void fileRanges()
    {
        QFETCH(QString, query);
        QFETCH(QByteArray, range);
        QFETCH(QByteArray, ifRange);
        QFETCH(int, status);
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        const QUrl file = url(QStringLiteral("/file/bytes-1000.mp3?") + query);
        const Fetched plain = fetch(m_nam, file);
        QCOMPARE(plain.status(), 200);
        if (ifRange == "etag")
            ifRange = plain.header("ETag");
        else if (ifRange == "date")
            ifRange = plain.header("Last-Modified");
        QList<QPair<QByteArray, QByteArray>> headers;
        if (!range.isEmpty())
            headers.append({"Range", range});
        if (!ifRange.isEmpty())
            headers.append({"If-Range", ifRange});
        const Fetched f = fetch(m_nam, file, headers);
        QCOMPARE(f.status(), status);
        if (status == 416) {
            QCOMPARE(f.header("Content-Range"), QByteArray("bytes */1000"));
            return;
        }
        QVERIFY(f.body == sampleFileBody(to).mid(from));
        QCOMPARE(f.header("Content-Range"), status == 206 ? "bytes " + QByteArray::number(from) + '-' +
                                                                QByteArray::number(to - 1) + "/1000"
                                                          : QByteArray());
    }

    void fileDropsAndValidators()
    {
        // drop=K cuts each answer after K bytes, also a continued one.
        const Fetched cut =
            fetch(m_nam, url(QStringLiteral("/file/bytes-5000.mp3?drop=300")), {{"Range", "bytes=1000-"}});
        QCOMPARE(cut.status(), 206);
        QVERIFY(cut.body == sampleFileBody(1300).mid(1000));
        // The same options in the path, for addresses whose query is dropped.
        const Fetched inPath = get(QStringLiteral("/file/bytes-5000;drop=300;validator=none.mp3"));
        QVERIFY(inPath.body == sampleFileBody(300));
        QVERIFY(inPath.header("ETag").isEmpty());

        // drops=M: only the first M answers to an address. Qt may ask again
        // by itself after an early close, so the answers are counted in the log.
        const QString twice = QStringLiteral("/file/bytes-5000.mp3?drop=300&drops=2");
        Fetched f;
        for (int i = 0; i < 3 && f.body.size() != 5000; ++i) {
            f = get(twice);
            QVERIFY(f.body.size() == 300 || f.body == sampleFileBody(5000));
        }
        QVERIFY(f.body == sampleFileBody(5000));
        const QList<RecordedRequest> log = m_service.requests();
        QCOMPARE(std::count_if(log.cbegin(), log.cend(),
                               [&](const RecordedRequest &r) { return r.target == twice; }),
                 3);

        // Validators: fixed by default, new with every answer on request, none on request.
        const Fetched a = get(QStringLiteral("/file/bytes-5000.mp3"));
        QVERIFY(a.header("ETag").startsWith('"'));
        QCOMPARE(get(QStringLiteral("/file/bytes-5000.mp3")).header("ETag"), a.header("ETag"));
        QVERIFY(!a.header("Date").isEmpty());
        const Fetched b = get(QStringLiteral("/file/bytes-5000.mp3?validator=changing"));
        const Fetched c = get(QStringLiteral("/file/bytes-5000.mp3?validator=changing"));
        QVERIFY(b.header("ETag") != c.header("ETag"));
        QVERIFY(b.header("Last-Modified") != c.header("Last-Modified"));
        const Fetched bare = get(QStringLiteral("/file/bytes-5000.mp3?validator=none"));
        QVERIFY(bare.header("ETag").isEmpty() && bare.header("Last-Modified").isEmpty());
    }
};

QTEST_GUILESS_MAIN(SampleServiceTest)
#include "sample_service_test.moc"
