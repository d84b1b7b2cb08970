// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

// One request as the sample service received it.
struct RecordedRequest
{
    QByteArray method;
    QByteArray path;   // without the query
    QByteArray target; // path and query as sent
    QList<QPair<QByteArray, QByteArray>> headers;

    // First value of a header, name compared case-insensitively; empty if absent.
    QByteArray header(const QByteArray &name) const;
};

// A real HTTP server on loopback standing in for the Vexa service and the
// maker's update host. It answers on its own threads, so a Qt event loop in
// the same process can fetch from it.
//
// Routes:
//   /sound/info?sound_id=ID   the sound-info answer of a sample sound, or the
//                             service's error answer for an unknown id;
//                             ids "fault-KIND" give the fault KIND below
//   /sound/ID                 the sound's page
//   /?wp, /                   the home page
//   /version/main.txt         the version file ("vexa:V1.0|…" by default)
//   /cover/ID.png             the sound's cover picture
//   /audio/ID.wav             a few seconds of playable audio;
//                             ?seconds=N makes it N seconds long (at most
//                             600), ?stall=K goes silent after K bytes (60 s)
//   /audio/ID.EXT             the same tune encoded as EXT: mp3, m4a, flac,
//                             ogg (Vorbis) or opus, without tags; 503 naming
//                             the GStreamer element when one is missing;
//                             ?size=N repeats the MP3 to at least N bytes
//   /audio/ID.fake.mp3        the WAV bytes, sent as audio/mpeg
//   /file/KIND-N.EXT          generated download bodies (sampleFileBody):
//                             bytes-N, N bytes streamed with their length,
//                             with ETag, Last-Modified and single ranges
//                             (206, If-Range honoured: a stale one gets 200);
//                             drop-N, N bytes announced, half sent, then the
//                             connection closes, no validators, no ranges;
//                             status-N, that error status
//     bytes-N options         in the query, or in the path as
//                             bytes-N;drop=K;drops=M.EXT (file addresses
//                             lose their query on the way through the app)
//                             drop=K     close after K bytes of an answer
//                             stall=K    go silent after K bytes (60 s)
//                             for=S      ... for S seconds instead
//                             drops=M    only the first M answers to this
//                                        address (path and query) drop
//                                        or stall
//                             range=ignore  always 200 with the whole body
//                             range=shift   206 starting at half the asked start
//                             validator=changing  new ETag and date per answer
//                             validator=none|weak  no validators, a weak ETag
//                             body=mp3   sample 1001's MP3 repeated, not the pattern
//   /sound/info?sound_id=file-KIND-N  a record whose file is /file/KIND-N.mp3
//   /sound/info?sound_id=ID-EXT       sample ID with the file /audio/ID.EXT
//                                     (ID-fake: /audio/ID.fake.mp3,
//                                     ID-mp3-bytes-N: /audio/ID-bytes-N.mp3,
//                                     the MP3 repeated to N bytes); also
//                                     as a page, /sound/ID-EXT
//
// Faults, for tests (/fault/KIND):
//   stall?seconds=N           accepts, then sends nothing for N s (default 60)
//   stall-body?seconds=N      sends headers and part of the body, then nothing
//   drop                      announces 100000 bytes, sends 1000, closes
//   status?code=N             that status with an HTML body (default 500)
//   empty                     200 with an empty body
//   huge?mib=N                N MiB of text (default 40)
//   gbk                       Chinese text in GBK, charset=GBK in Content-Type
//   invalid-utf8              bytes that are not UTF-8, charset=utf-8
//   trickle?bytes=N&interval=MS  N bytes, one every MS milliseconds
//   html?type=T&lead=B        200 with an HTML error page (type text/html, no lead)
//   no-length?kib=N           N KiB (default 64) in chunks, no Content-Length
//   two-lengths?first=A&second=B  Content-Length A, then B, over B bytes (3000, 5000)
//   redirect?to=PATH          302 to PATH on this service
//   redirect-loop             302 to itself
//   redirect-scheme           302 to a file: address
// setFault() makes any other path answer with one of these, so each road of
// the program can be sent into a fault at its own address.
// Stalls and trickles end early when the service stops.
class SampleService
{
public:
    SampleService();
    ~SampleService();

    SampleService(const SampleService &) = delete;
    SampleService &operator=(const SampleService &) = delete;

    // Binds to bindAddress:port (0 picks a free port) and serves on
    // background threads. False when the address cannot be bound.
    bool start(quint16 port = 0, const QString &bindAddress = QStringLiteral("127.0.0.1"));
    // Ends waiting fault handlers and joins the server threads. Idempotent.
    void stop();

    bool isRunning() const;
    quint16 port() const;
    QString hostAndPort() const;                        // "127.0.0.1:PORT"
    QString baseUrl() const;                            // "http://127.0.0.1:PORT"
    QString soundPageUrl(const QString &soundId) const; // baseUrl() + "/sound/" + soundId
    // One line for people: where the service is and its sample sound pages.
    QString summary() const;

    // Serve body at /sound/info?sound_id=soundId instead of the built-in answer.
    void
    setSoundInfoBody(const QString &soundId, const QByteArray &body,
                     const QByteArray &contentType = QByteArrayLiteral("application/json; charset=utf-8"));
    void setVersionBody(const QByteArray &body);
    // Serve body as the home page instead of the built-in one.
    void setHomePageBody(const QByteArray &body,
                         const QByteArray &contentType = QByteArrayLiteral("text/html; charset=utf-8"));
    // A closed gate holds every request for path (without the query, e.g.
    // "/sound/info") until it opens, so a test can act while a window waits
    // and then let the answer go. heldAtGate() counts the requests waiting.
    void closeGate(const QByteArray &path);
    void openGate(const QByteArray &path);
    int heldAtGate(const QByteArray &path) const;
    // Answer requests for path (without the query, e.g. "/version/main.txt")
    // as /fault/KIND would, fault being "KIND" or "KIND?PARAMS". An empty
    // fault restores the path's own answer.
    void setFault(const QByteArray &path, const QByteArray &fault);
    void clearFaults();
    // Paces every /file answer to about bytesPerSecond (0, the start:
    // unpaced), so that downloads can be caught mid-way; also answers under
    // way follow a change.
    void setFileRate(qint64 bytesPerSecond);

    QList<RecordedRequest> requests() const;
    void clearRequests();

    // Ids of the built-in sample sounds.
    static QStringList sampleSoundIds();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
