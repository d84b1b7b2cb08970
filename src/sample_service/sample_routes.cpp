// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_routes.h"

#include "sample_service/sample_data.h"
#include "sample_service/sample_downloads.h"
#include "sample_service/sample_encodings.h"
#include "sample_service/sample_faults.h"
#include "sample_service/sample_http.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_state.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr size_t audioSlice = 64 * 1024;

const SampleSound *matchedSound(const httplib::Request &req)
{
    return findSampleSound(QString::fromStdString(req.matches[1]));
}

QByteArray plainAudio(SampleState &state, int id)
{
    return state.media(QStringLiteral("audio/%1").arg(id), [id] { return sampleAudioWav(id); });
}

void serveSoundInfo(const httplib::Request &req, httplib::Response &res, SampleState &state)
{
    const QString id = QString::fromStdString(req.get_param_value("sound_id"));
    if (const std::optional<SampleState::Body> body = state.soundInfo(id)) {
        setBody(res, body->bytes, body->contentType.toStdString());
        return;
    }
    if (id.startsWith(QLatin1String("fault-")) && serveFault(id.mid(6).toStdString(), req, res, state))
        return;
    if (const SampleSound *sound = findSampleSound(id))
        setBody(res, soundInfoJson(*sound, state.baseUrl()), jsonType);
    else if (const std::optional<SampleSound> download = downloadSampleSound(id))
        setBody(res, soundInfoJson(*download, state.baseUrl()), jsonType);
    else if (const std::optional<SampleSound> encoded = encodedSampleSound(id))
        setBody(res, soundInfoJson(*encoded, state.baseUrl()), jsonType);
    else
        setBody(res, soundNotFoundJson(id), jsonType); // the service answers 200 even then
}

// ?seconds=N makes the tune N seconds long (at most 600), ?stall=K goes
// silent after K bytes. Served in slices, with ranges.
void serveAudio(const httplib::Request &req, httplib::Response &res, SampleState &state)
{
    const SampleSound *sound = matchedSound(req);
    if (!sound) {
        answerNotFound(res);
        return;
    }
    const int id = sound->id.toInt();
    const bool plain = !req.has_param("seconds") && !req.has_param("stall");
    if (plain) {
        setBody(res, plainAudio(state, id), "audio/wav");
        return;
    }
    const double asked = req.has_param("seconds") ? std::atof(req.get_param_value("seconds").c_str()) : 3.0;
    const int seconds = int(std::clamp(asked, 0.0, 600.0));
    const QByteArray body = state.media(QStringLiteral("audio/%1/%2").arg(id).arg(seconds),
                                        [id, seconds] { return sampleAudioWav(id, seconds); });
    const size_t stallAt = req.has_param("stall")
                               ? std::strtoull(req.get_param_value("stall").c_str(), nullptr, 10)
                               : size_t(body.size());
    res.set_header("Accept-Ranges", "bytes");
    res.set_content_provider(size_t(body.size()), "audio/wav",
                             [&state, body, stallAt](size_t offset, size_t size, httplib::DataSink &sink) {
                                 if (offset >= stallAt) {
                                     state.pauseUnlessStopping(60);
                                     return false;
                                 }
                                 const size_t n = std::min({size, stallAt - offset, audioSlice});
                                 return sink.write(body.constData() + offset, n);
                             });
}

// The tune as a real MP3, M4A, FLAC, Ogg Vorbis or Opus file, encoded on
// first use. ?size=N (or /audio/ID-bytes-N.mp3) repeats the MP3 until the
// body has at least N bytes (at most 1 GiB), streamed from the one copy.
void serveEncodedAudio(const httplib::Request &req, httplib::Response &res, SampleState &state)
{
    // "ID-bytes-N" names the repeated MP3 in the path, for records (whose
    // file addresses lose their query).
    const QString name = QString::fromStdString(req.matches[1]);
    const qsizetype bytesAt = name.indexOf(QLatin1String("-bytes-"));
    const SampleSound *sound = findSampleSound(bytesAt > 0 ? name.left(bytesAt) : name);
    const qint64 sizeInPath = bytesAt > 0 ? name.mid(bytesAt + 7).toLongLong() : 0;
    if (!sound || (bytesAt > 0 && (sizeInPath <= 0 || req.matches[2] != "mp3"))) {
        answerNotFound(res);
        return;
    }
    const int id = sound->id.toInt();
    const QString extension = QString::fromStdString(req.matches[2]);
    QString error;
    const QByteArray encoded =
        state.media(QStringLiteral("audio/%1.%2").arg(id).arg(extension), [&state, &error, id, extension] {
            EncodedAudio made = encodeSampleAudio(plainAudio(state, id), extension);
            error = made.error;
            return made.bytes;
        });
    if (encoded.isEmpty()) {
        res.status = 503;
        setBody(res, error.toUtf8() + '\n', textType);
        return;
    }
    const std::string type = sampleEncodingType(extension).toStdString();
    res.set_header("Accept-Ranges", "bytes");
    if (extension != QLatin1String("mp3") || (!req.has_param("size") && sizeInPath == 0)) {
        setBody(res, encoded, type);
        return;
    }
    const auto wanted = sizeInPath > 0 ? std::min<qint64>(sizeInPath, 1 << 30)
                                       : qint64(numberParam(req, "size", 0, 0, 1 << 30));
    const qint64 copies = std::max<qint64>(1, (wanted + encoded.size() - 1) / encoded.size());
    res.set_content_provider(size_t(copies * encoded.size()), type,
                             [encoded](size_t offset, size_t size, httplib::DataSink &sink) {
                                 const auto at = size_t(qint64(offset) % encoded.size());
                                 const size_t n = std::min({size, size_t(encoded.size()) - at, audioSlice});
                                 return sink.write(encoded.constData() + at, n);
                             });
}

} // namespace

void installSampleRoutes(httplib::Server &svr, SampleState &state)
{
    // Recorded before routing, so a test sees a stalled request while it waits.
    svr.set_pre_routing_handler([&state](const httplib::Request &req, httplib::Response &res) {
        const QByteArray path = toBytes(req.path);
        state.record(req);
        state.passGate(path);
        const QByteArray fault = state.fault(path);
        if (fault.isEmpty())
            return httplib::Server::HandlerResponse::Unhandled;
        serveSetFault(fault, req, res, state);
        return httplib::Server::HandlerResponse::Handled;
    });

    // Registered before /sound/ID, which would also match "info".
    svr.Get("/sound/info", [&state](const httplib::Request &req, httplib::Response &res) {
        serveSoundInfo(req, res, state);
    });

    svr.Get(R"(/sound/([^/]+))", [&state](const httplib::Request &req, httplib::Response &res) {
        if (const SampleSound *sound = matchedSound(req))
            setBody(res, soundPageHtml(*sound, state.baseUrl()), htmlType);
        else if (const std::optional<SampleSound> encoded =
                     encodedSampleSound(QString::fromStdString(req.matches[1])))
            setBody(res, soundPageHtml(*encoded, state.baseUrl()), htmlType);
        else
            answerNotFound(res);
    });

    svr.Get("/", [&state](const httplib::Request &, httplib::Response &res) {
        // A copy: a test may replace the page while this answer goes out.
        if (const std::optional<SampleState::Body> page = state.homePage())
            setBody(res, page->bytes, page->contentType.toStdString());
        else
            setBody(res, homePageHtml(), htmlType);
    });

    svr.Get("/version/main.txt", [&state](const httplib::Request &, httplib::Response &res) {
        setBody(res, state.version(), textType);
    });

    svr.Get(R"(/cover/([^/]+)\.png)", [&state](const httplib::Request &req, httplib::Response &res) {
        const SampleSound *sound = matchedSound(req);
        if (!sound) {
            answerNotFound(res);
            return;
        }
        const int id = sound->id.toInt();
        setBody(res, state.media(QStringLiteral("cover/%1").arg(id), [id] { return sampleCoverPng(id); }),
                "image/png");
    });

    svr.Get(R"(/audio/([^/]+)\.wav)",
            [&state](const httplib::Request &req, httplib::Response &res) { serveAudio(req, res, state); });
    svr.Get(R"(/audio/([^/.]+)\.(mp3|m4a|flac|ogg|opus))",
            [&state](const httplib::Request &req, httplib::Response &res) {
                serveEncodedAudio(req, res, state);
            });
    // A body that is not what its name says.
    svr.Get(R"(/audio/([^/.]+)\.fake\.mp3)", [&state](const httplib::Request &req, httplib::Response &res) {
        if (const SampleSound *sound = matchedSound(req))
            setBody(res, plainAudio(state, sound->id.toInt()), "audio/mpeg");
        else
            answerNotFound(res);
    });

    installDownloadRoute(svr, state);
    installFaultRoute(svr, state);
}
