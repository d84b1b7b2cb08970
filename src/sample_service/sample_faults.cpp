// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_faults.h"

#include "sample_service/sample_data.h"
#include "sample_service/sample_http.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_state.h"

#include <QStringEncoder>
#include <QUrlQuery>

#include <algorithm>

namespace {

constexpr size_t dropAnnounced = 100000;
constexpr size_t dropSent = 1000;
constexpr size_t stallBodyTotal = 10000;
constexpr size_t stallBodySent = 1000;

const char *filler(size_t offset)
{
    return sampleFillerText().constData() + offset % size_t(sampleFillerText().size());
}

QByteArray firstSoundJson(const SampleState &state)
{
    return soundInfoJson(sampleSounds().constFirst(), state.baseUrl());
}

void serveStatus(const httplib::Request &req, httplib::Response &res)
{
    int code = int(numberParam(req, "code", 500, 0, 999));
    if (code < 200 || code > 599)
        code = 500;
    res.status = code;
    // These statuses carry no body by definition.
    if (code != 204 && code != 304)
        setBody(res, statusPage(code), htmlType);
}

void serveHuge(const httplib::Request &req, httplib::Response &res)
{
    const auto total = size_t(numberParam(req, "mib", 40, 0, 4096) * 1024 * 1024);
    if (total == 0) {
        setBody(res, QByteArray(), textType);
        return;
    }
    // Streamed so that a 40 MiB answer never sits in memory.
    res.set_content_provider(total, textType, [](size_t offset, size_t length, httplib::DataSink &sink) {
        const size_t left = size_t(sampleFillerText().size()) - offset % size_t(sampleFillerText().size());
        return sink.write(filler(offset), std::min(length, left));
    });
}

void serveTrickle(const httplib::Request &req, httplib::Response &res, SampleState &state)
{
    const auto bytes = size_t(numberParam(req, "bytes", 20, 0, 1 << 20));
    const double interval = numberParam(req, "interval", 100, 0, 60000) / 1000.0;
    // Not a text type: httplib would gzip a text stream, and the compressor
    // holds every byte back until the end, which is no trickle at all.
    res.set_chunked_content_provider("application/octet-stream",
                                     [&state, bytes, interval](size_t offset, httplib::DataSink &sink) {
                                         if (offset >= bytes) {
                                             sink.done();
                                             return true;
                                         }
                                         if (state.pauseUnlessStopping(interval))
                                             return false;
                                         return sink.write(filler(offset), 1);
                                     });
}

// An error page sent as a success, as some servers and portals do; type and
// lead (bytes before the page, such as a BOM) can be chosen.
void serveHtml(const httplib::Request &req, httplib::Response &res)
{
    const std::string type = req.has_param("type") ? req.get_param_value("type") : std::string(htmlType);
    setBody(res, toBytes(req.get_param_value("lead")) + statusPage(404), type);
}

// A body of N KiB sent in chunks, so no length is announced.
void serveNoLength(const httplib::Request &req, httplib::Response &res)
{
    const auto bytes = size_t(numberParam(req, "kib", 64, 0, 1 << 22) * 1024);
    res.set_chunked_content_provider("application/octet-stream", [bytes](size_t offset,
                                                                         httplib::DataSink &sink) {
        if (offset >= bytes) {
            sink.done();
            return true;
        }
        const size_t left = size_t(sampleFillerText().size()) - offset % size_t(sampleFillerText().size());
        return sink.write(filler(offset), std::min(bytes - offset, left));
    });
}

// Two Content-Length headers: first, then second, the true length that
// httplib adds itself.
void serveTwoLengths(const httplib::Request &req, httplib::Response &res)
{
    const auto first = size_t(numberParam(req, "first", 3000, 0, 1 << 20));
    const auto second = qsizetype(numberParam(req, "second", 5000, 1, 1 << 20));
    res.set_header("Content-Length", std::to_string(first));
    QByteArray body;
    while (body.size() < second)
        body += sampleFillerText();
    body.truncate(second);
    setBody(res, body, "application/octet-stream");
}

} // namespace

bool serveFault(const std::string &kind, const httplib::Request &req, httplib::Response &res,
                SampleState &state)
{
    if (kind == "stall") {
        state.pauseUnlessStopping(numberParam(req, "seconds", 60, 0, 3600));
        setBody(res, QByteArrayLiteral("late answer\n"), textType);
    } else if (kind == "stall-body") {
        const double seconds = numberParam(req, "seconds", 60, 0, 3600);
        res.set_content_provider(stallBodyTotal, textType,
                                 [&state, seconds](size_t offset, size_t length, httplib::DataSink &sink) {
                                     if (offset == 0)
                                         return sink.write(filler(0), stallBodySent);
                                     if (state.pauseUnlessStopping(seconds))
                                         return false;
                                     return sink.write(filler(offset), length);
                                 });
    } else if (kind == "drop") {
        // Returning false from the provider makes httplib close the connection.
        res.set_content_provider(dropAnnounced, textType, [](size_t offset, size_t, httplib::DataSink &sink) {
            return offset == 0 && sink.write(filler(0), dropSent);
        });
    } else if (kind == "status") {
        serveStatus(req, res);
    } else if (kind == "empty") {
        setBody(res, QByteArray(), textType);
    } else if (kind == "huge") {
        serveHuge(req, res);
    } else if (kind == "gbk") {
        QStringEncoder encoder("GBK");
        setBody(res, encoder.encode(QString::fromUtf8(firstSoundJson(state))),
                "application/json; charset=GBK");
    } else if (kind == "invalid-utf8") {
        QByteArray body = firstSoundJson(state);
        // Lone continuation and lead bytes, an overlong form and a surrogate.
        const QByteArray key = R"("info":")";
        body.insert(body.indexOf(key) + key.size(), "\xff\xfe \xc3\x28 \xc0\xaf \xed\xa0\x80 ");
        setBody(res, body, jsonType);
    } else if (kind == "trickle") {
        serveTrickle(req, res, state);
    } else if (kind == "html") {
        serveHtml(req, res);
    } else if (kind == "no-length") {
        serveNoLength(req, res);
    } else if (kind == "two-lengths") {
        serveTwoLengths(req, res);
    } else if (kind == "redirect") {
        QByteArray to = toBytes(req.get_param_value("to"));
        if (to.isEmpty())
            to = "/sound/info?sound_id=" + sampleSounds().constFirst().id.toUtf8();
        if (!to.startsWith('/'))
            to.prepend('/');
        res.set_redirect(QByteArray(state.baseUrl().toUtf8() + to).toStdString(), 302);
    } else if (kind == "redirect-loop") {
        res.set_redirect(QByteArray(state.baseUrl().toUtf8() + toBytes(req.target)).toStdString(), 302);
    } else if (kind == "redirect-scheme") {
        res.set_redirect("file:///etc/passwd", 302);
    } else {
        return false;
    }
    return true;
}

void serveSetFault(const QByteArray &fault, const httplib::Request &req, httplib::Response &res,
                   SampleState &state)
{
    const qsizetype query = fault.indexOf('?');
    httplib::Request faulted = req;
    faulted.params.clear();
    if (query >= 0) {
        for (const auto &[key, value] : QUrlQuery(QString::fromUtf8(fault.mid(query + 1))).queryItems())
            faulted.params.emplace(key.toStdString(), value.toStdString());
    }
    if (!serveFault(fault.left(query < 0 ? fault.size() : query).toStdString(), faulted, res, state))
        answerNotFound(res);
}

void installFaultRoute(httplib::Server &svr, SampleState &state)
{
    svr.Get(R"(/fault/([^/]+))", [&state](const httplib::Request &req, httplib::Response &res) {
        if (!serveFault(req.matches[1], req, res, state))
            answerNotFound(res);
    });
}
