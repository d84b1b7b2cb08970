// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_downloads.h"

#include "sample_service/sample_encodings.h"
#include "sample_service/sample_http.h"
#include "sample_service/sample_media.h"
#include "sample_service/sample_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

// Hands out a body repeating one copy of its period: a large download costs
// the service no memory.
bool writeRepeated(const QByteArray &period, size_t offset, size_t length, httplib::DataSink &sink)
{
    const auto at = size_t(qint64(offset) % period.size());
    return sink.write(period.constData() + at, std::min(length, size_t(period.size()) - at));
}

bool writePattern(size_t offset, size_t length, httplib::DataSink &sink)
{
    return writeRepeated(sampleFilePattern(), offset, length, sink);
}

// "Tue, 14 Nov 2023 22:13:20 GMT", spelled out so no locale changes it.
std::string httpDate(std::time_t time)
{
    static const char *const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t = {};
    ::gmtime_r(&time, &t);
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", days[t.tm_wday], t.tm_mday,
                  months[t.tm_mon], t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

// A single "bytes=S-" or "bytes=S-E" range as first and last byte (E stays
// SIZE_MAX when open); nullopt for anything else, which is then answered in
// full as the standard allows.
std::optional<std::pair<size_t, size_t>> singleRange(const std::string &header)
{
    const QByteArray value = toBytes(header).trimmed();
    const qsizetype dash = value.indexOf('-');
    if (!value.startsWith("bytes=") || value.contains(',') || dash <= 6)
        return std::nullopt;
    bool ok = false;
    const qulonglong first = value.mid(6, dash - 6).toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    if (dash + 1 == value.size())
        return std::pair{size_t(first), SIZE_MAX};
    const qulonglong last = value.mid(dash + 1).toULongLong(&ok);
    return ok && last >= first ? std::optional(std::pair{size_t(first), size_t(last)}) : std::nullopt;
}

// An option from the query, or else from the ";key=value" pieces before the
// extension: the program drops a file address's query, so tests that go
// through it put the options in the path.
std::string fileOption(const httplib::Request &req, const char *key)
{
    if (req.has_param(key))
        return req.get_param_value(key);
    const std::string pieces = req.matches[3];
    const std::string wanted = std::string(";") + key + '=';
    const size_t at = pieces.find(wanted);
    if (at == std::string::npos)
        return {};
    const size_t from = at + wanted.size();
    return pieces.substr(from, pieces.find(';', from) - from);
}

void serveFailingFile(const std::string &kind, long long number, httplib::Response &res)
{
    if (kind == "status") {
        res.status = number >= 400 && number <= 599 ? int(number) : 500;
        setBody(res, statusPage(res.status), htmlType);
        return;
    }
    const auto total = size_t(number);
    res.status = 200;
    res.set_content_provider(total, "audio/mpeg",
                             [total](size_t offset, size_t length, httplib::DataSink &sink) {
                                 if (offset >= total / 2)
                                     return false; // httplib closes the connection
                                 return writePattern(offset, std::min(length, total / 2 - offset), sink);
                             });
}

// ETag and Last-Modified as the options ask; empty when there is none.
std::pair<std::string, std::string> setValidators(const httplib::Request &req, httplib::Response &res,
                                                  size_t total, int answer)
{
    const std::string validator = fileOption(req, "validator");
    if (validator == "none")
        return {};
    const int version = validator == "changing" ? answer + 1 : 1;
    const std::string etag = (validator == "weak" ? "W/\"bytes-" : "\"bytes-") + std::to_string(total) +
                             "-v" + std::to_string(version) + '"';
    res.set_header("ETag", etag);
    if (validator == "weak")
        return {etag, {}};
    const std::string lastModified = httpDate(std::time_t(1700000000) + version * 3600);
    res.set_header("Last-Modified", lastModified);
    return {etag, lastModified};
}

void serveFile(const httplib::Request &req, httplib::Response &res, SampleState &state)
{
    // This route answers ranges itself, so that it can also refuse them.
    const_cast<httplib::Request &>(req).ranges.clear();
    const std::string kind = req.matches[1];
    const long long number = std::stoll(req.matches[2]);
    if (kind != "bytes") {
        serveFailingFile(kind, number, res);
        return;
    }

    const auto total = size_t(number);
    const int answer = state.countAnswer(toBytes(req.target));
    const auto [etag, lastModified] = setValidators(req, res, total, answer);
    const std::string rangeMode = fileOption(req, "range");
    res.set_header("Date", httpDate(std::time(nullptr)));
    if (rangeMode != "ignore")
        res.set_header("Accept-Ranges", "bytes");

    size_t start = 0;
    size_t end = total; // one past the last byte served
    const auto asked = singleRange(req.get_header_value("Range"));
    const std::string ifRange = req.get_header_value("If-Range");
    const bool current = ifRange.empty() || (!etag.starts_with("W/") && ifRange == etag) ||
                         (!lastModified.empty() && ifRange == lastModified);
    res.status = 200;
    if (asked && rangeMode != "ignore" && current && total > 0) {
        if (asked->first >= total) {
            res.status = 416;
            res.set_header("Content-Range", "bytes */" + std::to_string(total));
            return;
        }
        // "shift" answers honestly labelled, but not from where it was asked.
        start = rangeMode == "shift" ? asked->first / 2 : asked->first;
        end = std::min(total - 1, asked->second) + 1;
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(start) + '-' + std::to_string(end - 1) +
                                            '/' + std::to_string(total));
    }

    const size_t length = end - start;
    if (length == 0) {
        setBody(res, QByteArray(), "audio/mpeg");
        return;
    }
    // drop=K closes the connection after K bytes, stall=K goes silent there.
    const std::string stall = fileOption(req, "stall");
    const std::string drop = stall.empty() ? fileOption(req, "drop") : stall;
    const std::string drops = fileOption(req, "drops");
    const bool dropsNow = drops.empty() || answer < std::atoi(drops.c_str());
    const size_t dropAt =
        !drop.empty() && dropsNow ? size_t(std::strtoull(drop.c_str(), nullptr, 10)) : length;
    const bool silent = !stall.empty();
    // for=S: how long the stall lasts, 60 s unless told.
    const std::string quiet = fileOption(req, "for");
    const double silence = quiet.empty() ? 60 : std::clamp(std::atof(quiet.c_str()), 0.0, 3600.0);
    // body=mp3: sample 1001's MP3 repeated instead of the pattern, as
    // /audio/1001-bytes-N.mp3 serves it.
    const QByteArray period =
        fileOption(req, "body") == "mp3"
            ? state.media(QStringLiteral("audio/1001.mp3"),
                          [&state] {
                              const QByteArray wav = state.media(QStringLiteral("audio/1001"),
                                                                 [] { return sampleAudioWav(1001); });
                              return encodeSampleAudio(wav, QStringLiteral("mp3")).bytes;
                          })
            : sampleFilePattern();
    if (period.isEmpty()) {
        res.status = 503;
        return;
    }
    res.set_content_provider(length, "audio/mpeg",
                             [&state, period, start, dropAt, silent, silence](size_t offset, size_t size,
                                                                              httplib::DataSink &sink) {
                                 if (offset >= dropAt) {
                                     if (silent)
                                         state.pauseUnlessStopping(silence);
                                     return false; // httplib closes the connection
                                 }
                                 // Paced: a tenth of a second's bytes, then a tenth's rest.
                                 if (const qint64 rate = state.fileRate(); rate > 0) {
                                     size = std::min(size, size_t(std::max<qint64>(1, rate / 10)));
                                     if (offset > 0 && state.pauseUnlessStopping(0.1))
                                         return false;
                                 }
                                 return writeRepeated(period, start + offset, std::min(size, dropAt - offset),
                                                      sink);
                             });
}

} // namespace

void installDownloadRoute(httplib::Server &svr, SampleState &state)
{
    svr.Get(R"(/file/(bytes|drop|status)-(\d{1,12})((?:;[a-z]+=\w+)*)\.\w+)",
            [&state](const httplib::Request &req, httplib::Response &res) { serveFile(req, res, state); });
}
