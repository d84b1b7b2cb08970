#include "sample_service/sample_service.h"

#include "sample_service/sample_data.h"
#include "sample_service/sample_media.h"

#include <QHash>
#include <QSet>
#include <QStringEncoder>
#include <QUrlQuery>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>
#include <thread>

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

namespace {

// Several stalled requests must not starve the others, so the pool is far
// larger than the handful of faults a test keeps open at once.
constexpr size_t workerThreads = 32;
constexpr size_t streamChunk = 64 * 1024;
constexpr size_t dropAnnounced = 100000;
constexpr size_t dropSent = 1000;
constexpr size_t stallBodyTotal = 10000;
constexpr size_t stallBodySent = 1000;

const char jsonType[] = "application/json; charset=utf-8";
const char htmlType[] = "text/html; charset=utf-8";
const char textType[] = "text/plain; charset=utf-8";

QByteArray toBytes(const std::string &text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

void setBody(httplib::Response &res, const QByteArray &body, const std::string &contentType)
{
    res.set_content(body.constData(), size_t(body.size()), contentType);
}

double numberParam(const httplib::Request &req, const char *key, double fallback, double low, double high)
{
    if (!req.has_param(key))
        return fallback;
    bool ok = false;
    const double value = toBytes(req.get_param_value(key)).toDouble(&ok);
    return ok && std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

// Text that makes up streamed bodies; the line numbers make a cut visible.
const std::string &fillerText()
{
    static const std::string text = [] {
        std::string out;
        out.reserve(streamChunk + 64);
        char line[64];
        for (int i = 0; out.size() < streamChunk; ++i) {
            std::snprintf(line, sizeof line, "vexa sample filler line %06d abcdefghijklmnopqrstuvwxyz\n", i);
            out += line;
        }
        out.resize(streamChunk);
        return out;
    }();
    return text;
}

QByteArray statusPage(int code)
{
    const QByteArray number = QByteArray::number(code);
    const QByteArray text =
        code == 404 ? QByteArrayLiteral("页面不存在") : QByteArrayLiteral("服务暂时不可用，请稍后再试");
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + number +
           "</title></head>\n<body><h1>" + number + "</h1><p>" + text + "</p></body></html>\n";
}

// httplib listens with a backlog of 5; a burst of connections (a test
// opening a dozen stalls) overflows it and the kernel makes the rest retry a
// second later. Listening again on Linux only raises the backlog.
class Server : public httplib::Server
{
public:
    void raiseBacklog() { ::listen(svr_sock_, SOMAXCONN); }
};

// A client that goes away mid-body must not kill the process.
void ignoreSigpipeIfDefault()
{
    struct sigaction current = {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        std::signal(SIGPIPE, SIG_IGN);
}

// Hands out the body pattern straight from its one copy: a large download
// costs the service no memory.
bool writePattern(size_t offset, size_t length, httplib::DataSink &sink)
{
    const QByteArray &pattern = sampleFilePattern();
    const auto at = size_t(qint64(offset) % SampleFilePeriod);
    return sink.write(pattern.constData() + at, std::min(length, size_t(pattern.size()) - at));
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

// A /file/ option from the query, or else from the ";key=value" pieces
// before the extension: the program drops a file address's query, so tests
// that go through it put the options in the path.
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
    const char *type = "audio/mpeg";
    if (kind == "status") {
        res.status = number >= 400 && number <= 599 ? int(number) : 500;
        setBody(res, statusPage(res.status), htmlType);
        return;
    }
    const auto total = size_t(number);
    res.status = 200;
    res.set_content_provider(total, type, [total](size_t offset, size_t length, httplib::DataSink &sink) {
        if (offset >= total / 2)
            return false; // httplib closes the connection
        return writePattern(offset, std::min(length, total / 2 - offset), sink);
    });
}

} // namespace

struct SampleService::Private
{
    std::unique_ptr<Server> server;
    std::thread thread;
    std::atomic<bool> threadDone{true};
    std::atomic<bool> running{false};
    QString host;
    quint16 port = 0;

    // Fault handlers wait on this so stop() can end them at once.
    mutable std::mutex waitMutex;
    std::condition_variable waitCondition;
    bool stopping = false;
    QSet<QByteArray> closedGates;       // guarded by waitMutex
    QHash<QByteArray, int> heldAtGates; // requests waiting at each

    mutable std::mutex requestsMutex;
    QList<RecordedRequest> requests;

    mutable std::mutex overridesMutex;
    QHash<QString, QPair<QByteArray, QByteArray>> soundInfoOverrides;
    QByteArray versionBody = QByteArrayLiteral("vexa:V1.0|当前已是最新版本，感谢使用。");
    std::optional<QPair<QByteArray, QByteArray>> homePageOverride;
    QHash<QByteArray, QByteArray> pathFaults;

    std::mutex fileAnswersMutex;
    QHash<QByteArray, int> fileAnswers; // per address as sent

    std::mutex mediaMutex;
    QHash<int, QByteArray> covers;
    QHash<int, QByteArray> audio;
    QHash<int, QByteArray> longAudio; // by id * 1000 + seconds

    QString clientHost() const
    {
        if (host.isEmpty() || host == QLatin1String("0.0.0.0"))
            return QStringLiteral("127.0.0.1");
        if (host == QLatin1String("::"))
            return QStringLiteral("[::1]");
        if (host.contains(QLatin1Char(':')))
            return QLatin1Char('[') + host + QLatin1Char(']');
        return host;
    }
    QString hostAndPort() const { return clientHost() + QLatin1Char(':') + QString::number(port); }
    QString baseUrl() const { return QStringLiteral("http://") + hostAndPort(); }

    // True when the wait ended because the service is stopping.
    bool pauseUnlessStopping(double seconds)
    {
        std::unique_lock lock(waitMutex);
        return waitCondition.wait_for(lock, std::chrono::duration<double>(seconds),
                                      [this] { return stopping; });
    }

    // Holds a request for a closed path until the gate opens or the service stops.
    void passGate(const QByteArray &path)
    {
        std::unique_lock lock(waitMutex);
        if (!closedGates.contains(path))
            return;
        ++heldAtGates[path];
        waitCondition.wait(lock, [&] { return stopping || !closedGates.contains(path); });
        --heldAtGates[path];
    }

    void record(const httplib::Request &req)
    {
        RecordedRequest r;
        r.method = toBytes(req.method);
        r.target = toBytes(req.target);
        const qsizetype query = r.target.indexOf('?');
        r.path = query < 0 ? r.target : r.target.left(query);
        for (const auto &[name, value] : req.headers) {
            // httplib files the peer addresses as headers; they were never sent.
            if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
                name == "LOCAL_PORT")
                continue;
            r.headers.append({toBytes(name), toBytes(value)});
        }
        std::lock_guard lock(requestsMutex);
        requests.append(r);
    }

    QByteArray firstSoundJson() const { return soundInfoJson(sampleSounds().constFirst(), baseUrl()); }

    QByteArray cachedMedia(QHash<int, QByteArray> &cache, int seed, QByteArray (*make)(int))
    {
        {
            std::lock_guard lock(mediaMutex);
            const auto it = cache.constFind(seed);
            if (it != cache.constEnd())
                return *it;
        }
        // Generated outside the lock; two threads racing just do the work twice.
        const QByteArray made = make(seed);
        std::lock_guard lock(mediaMutex);
        cache.insert(seed, made);
        return made;
    }

    // How many answers went to this address before this one.
    int countFileAnswer(const std::string &target)
    {
        std::lock_guard lock(fileAnswersMutex);
        return fileAnswers[toBytes(target)]++;
    }

    void installRoutes(httplib::Server &svr);
    void serveLongAudio(const httplib::Request &req, httplib::Response &res);
    void serveFile(const httplib::Request &req, httplib::Response &res);
    bool serveFault(const std::string &kind, const httplib::Request &req, httplib::Response &res);
};

bool SampleService::Private::serveFault(const std::string &kind, const httplib::Request &req,
                                        httplib::Response &res)
{
    if (kind == "stall") {
        pauseUnlessStopping(numberParam(req, "seconds", 60, 0, 3600));
        setBody(res, QByteArrayLiteral("late answer\n"), textType);
    } else if (kind == "stall-body") {
        const double seconds = numberParam(req, "seconds", 60, 0, 3600);
        res.set_content_provider(stallBodyTotal, textType,
                                 [this, seconds](size_t offset, size_t length, httplib::DataSink &sink) {
                                     if (offset == 0)
                                         return sink.write(fillerText().data(), stallBodySent);
                                     if (pauseUnlessStopping(seconds))
                                         return false;
                                     return sink.write(fillerText().data() + offset, length);
                                 });
    } else if (kind == "drop") {
        // Returning false from the provider makes httplib close the connection.
        res.set_content_provider(dropAnnounced, textType, [](size_t offset, size_t, httplib::DataSink &sink) {
            return offset == 0 && sink.write(fillerText().data(), dropSent);
        });
    } else if (kind == "status") {
        int code = int(numberParam(req, "code", 500, 0, 999));
        if (code < 200 || code > 599)
            code = 500;
        res.status = code;
        // These statuses carry no body by definition.
        if (code != 204 && code != 304)
            setBody(res, statusPage(code), htmlType);
    } else if (kind == "empty") {
        setBody(res, QByteArray(), textType);
    } else if (kind == "huge") {
        const auto total = size_t(numberParam(req, "mib", 40, 0, 4096) * 1024 * 1024);
        if (total == 0) {
            setBody(res, QByteArray(), textType);
            return true;
        }
        // Streamed so that a 40 MiB answer never sits in memory.
        res.set_content_provider(total, textType, [](size_t offset, size_t length, httplib::DataSink &sink) {
            const std::string &chunk = fillerText();
            return sink.write(chunk.data() + offset % chunk.size(),
                              std::min(length, chunk.size() - offset % chunk.size()));
        });
    } else if (kind == "gbk") {
        QStringEncoder encoder("GBK");
        const QByteArray body = encoder.encode(QString::fromUtf8(firstSoundJson()));
        setBody(res, body, "application/json; charset=GBK");
    } else if (kind == "invalid-utf8") {
        QByteArray body = firstSoundJson();
        // Lone continuation and lead bytes, an overlong form and a surrogate.
        const QByteArray key = R"("info":")";
        body.insert(body.indexOf(key) + key.size(), "\xff\xfe \xc3\x28 \xc0\xaf \xed\xa0\x80 ");
        setBody(res, body, jsonType);
    } else if (kind == "trickle") {
        const auto bytes = size_t(numberParam(req, "bytes", 20, 0, 1 << 20));
        const double interval = numberParam(req, "interval", 100, 0, 60000) / 1000.0;
        // Not a text type: httplib would gzip a text stream, and the compressor
        // holds every byte back until the end, which is no trickle at all.
        res.set_chunked_content_provider(
            "application/octet-stream", [this, bytes, interval](size_t offset, httplib::DataSink &sink) {
                if (offset >= bytes) {
                    sink.done();
                    return true;
                }
                if (pauseUnlessStopping(interval))
                    return false;
                return sink.write(fillerText().data() + offset % fillerText().size(), 1);
            });
    } else if (kind == "redirect") {
        QByteArray to = toBytes(req.get_param_value("to"));
        if (to.isEmpty())
            to = "/sound/info?sound_id=" + sampleSounds().constFirst().id.toUtf8();
        if (!to.startsWith('/'))
            to.prepend('/');
        res.set_redirect(QByteArray(baseUrl().toUtf8() + to).toStdString(), 302);
    } else if (kind == "redirect-loop") {
        res.set_redirect(QByteArray(baseUrl().toUtf8() + toBytes(req.target)).toStdString(), 302);
    } else if (kind == "redirect-scheme") {
        res.set_redirect("file:///etc/passwd", 302);
    } else {
        return false;
    }
    return true;
}

void SampleService::Private::serveFile(const httplib::Request &req, httplib::Response &res)
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
    const int answer = countFileAnswer(req.target);
    const std::string validator = fileOption(req, "validator");
    const std::string rangeMode = fileOption(req, "range");
    std::string etag;
    std::string lastModified;
    if (validator != "none") {
        const int version = validator == "changing" ? answer + 1 : 1;
        etag = (validator == "weak" ? "W/\"bytes-" : "\"bytes-") + std::to_string(total) + "-v" +
               std::to_string(version) + '"';
        res.set_header("ETag", etag);
        if (validator != "weak") {
            lastModified = httpDate(std::time_t(1700000000) + version * 3600);
            res.set_header("Last-Modified", lastModified);
        }
    }
    res.set_header("Date", httpDate(std::time(nullptr)));
    if (rangeMode != "ignore")
        res.set_header("Accept-Ranges", "bytes");

    size_t start = 0;
    size_t end = total; // one past the last byte served
    const auto asked = singleRange(req.get_header_value("Range"));
    const std::string ifRange = req.get_header_value("If-Range");
    const bool current = ifRange.empty() || (!etag.starts_with("W/") && ifRange == etag) ||
                         (!lastModified.empty() && ifRange == lastModified);
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
    } else {
        res.status = 200;
    }

    const size_t length = end - start;
    // drop=K closes the connection after K bytes, stall=K goes silent there.
    const std::string stall = fileOption(req, "stall");
    const std::string drop = stall.empty() ? fileOption(req, "drop") : stall;
    const std::string drops = fileOption(req, "drops");
    const bool dropsNow = drops.empty() || answer < std::atoi(drops.c_str());
    const size_t dropAt =
        !drop.empty() && dropsNow ? size_t(std::strtoull(drop.c_str(), nullptr, 10)) : length;
    const bool silent = !stall.empty();
    if (length == 0) {
        setBody(res, QByteArray(), "audio/mpeg");
        return;
    }
    res.set_content_provider(
        length, "audio/mpeg",
        [this, start, dropAt, silent](size_t offset, size_t size, httplib::DataSink &sink) {
            if (offset >= dropAt) {
                if (silent)
                    pauseUnlessStopping(60);
                return false; // httplib closes the connection
            }
            return writePattern(start + offset, std::min(size, dropAt - offset), sink);
        });
}

// /audio/ID.wav?seconds=N&stall=K: N seconds of the sound's tune (at most
// 600), going silent after K bytes when asked. Served in slices, with ranges.
void SampleService::Private::serveLongAudio(const httplib::Request &req, httplib::Response &res)
{
    const SampleSound *sound = findSampleSound(QString::fromStdString(req.matches[1]));
    if (!sound) {
        res.status = 404;
        setBody(res, statusPage(404), htmlType);
        return;
    }
    const double seconds = req.has_param("seconds") ? std::atof(req.get_param_value("seconds").c_str()) : 3.0;
    const int key = sound->id.toInt() * 1000 + int(std::clamp(seconds, 0.0, 600.0));
    const QByteArray body =
        cachedMedia(longAudio, key, [](int k) { return sampleAudioWav(k / 1000, k % 1000); });
    const size_t stallAt = req.has_param("stall")
                               ? std::strtoull(req.get_param_value("stall").c_str(), nullptr, 10)
                               : size_t(body.size());
    res.set_header("Accept-Ranges", "bytes");
    res.set_content_provider(size_t(body.size()), "audio/wav",
                             [this, body, stallAt](size_t offset, size_t size, httplib::DataSink &sink) {
                                 if (offset >= stallAt) {
                                     pauseUnlessStopping(60);
                                     return false;
                                 }
                                 const size_t n = std::min({size, stallAt - offset, size_t(64 * 1024)});
                                 return sink.write(body.constData() + offset, n);
                             });
}

void SampleService::Private::installRoutes(httplib::Server &svr)
{
    // Recorded before routing, so a test sees a stalled request while it waits.
    svr.set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
        record(req);
        passGate(toBytes(req.path));
        QByteArray fault;
        {
            std::lock_guard lock(overridesMutex);
            fault = pathFaults.value(toBytes(req.path));
        }
        if (fault.isEmpty())
            return httplib::Server::HandlerResponse::Unhandled;
        // The fault's own parameters stand in for the request's.
        const qsizetype query = fault.indexOf('?');
        httplib::Request faulted = req;
        faulted.params.clear();
        if (query >= 0) {
            for (const auto &[key, value] : QUrlQuery(QString::fromUtf8(fault.mid(query + 1))).queryItems())
                faulted.params.emplace(key.toStdString(), value.toStdString());
        }
        if (!serveFault(fault.left(query < 0 ? fault.size() : query).toStdString(), faulted, res)) {
            res.status = 404;
            setBody(res, statusPage(404), htmlType);
        }
        return httplib::Server::HandlerResponse::Handled;
    });

    // Registered before /sound/ID, which would also match "info".
    svr.Get("/sound/info", [this](const httplib::Request &req, httplib::Response &res) {
        const QString id = QString::fromStdString(req.get_param_value("sound_id"));
        {
            std::lock_guard lock(overridesMutex);
            const auto it = soundInfoOverrides.constFind(id);
            if (it != soundInfoOverrides.constEnd()) {
                setBody(res, it->first, it->second.toStdString());
                return;
            }
        }
        if (id.startsWith(QLatin1String("fault-")) && serveFault(id.mid(6).toStdString(), req, res))
            return;
        if (const SampleSound *sound = findSampleSound(id))
            setBody(res, soundInfoJson(*sound, baseUrl()), jsonType);
        else if (const std::optional<SampleSound> download = downloadSampleSound(id))
            setBody(res, soundInfoJson(*download, baseUrl()), jsonType);
        else
            setBody(res, soundNotFoundJson(id), jsonType); // the service answers 200 even then
    });

    svr.Get(R"(/sound/([^/]+))", [this](const httplib::Request &req, httplib::Response &res) {
        if (const SampleSound *sound = findSampleSound(QString::fromStdString(req.matches[1]))) {
            setBody(res, soundPageHtml(*sound, baseUrl()), htmlType);
        } else {
            res.status = 404;
            setBody(res, statusPage(404), htmlType);
        }
    });

    svr.Get("/", [this](const httplib::Request &, httplib::Response &res) {
        // The page as it was when asked for, however long the answer is held.
        std::optional<QPair<QByteArray, QByteArray>> page;
        {
            std::lock_guard lock(overridesMutex);
            page = homePageOverride;
        }
        if (page)
            setBody(res, page->first, page->second.toStdString());
        else
            setBody(res, homePageHtml(), htmlType);
    });

    svr.Get("/version/main.txt", [this](const httplib::Request &, httplib::Response &res) {
        std::lock_guard lock(overridesMutex);
        setBody(res, versionBody, textType);
    });

    const auto media = [this](QHash<int, QByteArray> &cache, QByteArray (*make)(int), const char *type) {
        return [this, &cache, make, type](const httplib::Request &req, httplib::Response &res) {
            if (const SampleSound *sound = findSampleSound(QString::fromStdString(req.matches[1]))) {
                setBody(res, cachedMedia(cache, sound->id.toInt(), make), type);
            } else {
                res.status = 404;
                setBody(res, statusPage(404), htmlType);
            }
        };
    };
    svr.Get(R"(/cover/([^/]+)\.png)", media(covers, &sampleCoverPng, "image/png"));
    const auto shortAudio = media(
        audio, [](int seed) { return sampleAudioWav(seed); }, "audio/wav");
    svr.Get(R"(/audio/([^/]+)\.wav)",
            [this, shortAudio](const httplib::Request &req, httplib::Response &res) {
                if (req.has_param("seconds") || req.has_param("stall"))
                    serveLongAudio(req, res);
                else
                    shortAudio(req, res);
            });

    svr.Get(R"(/file/(bytes|drop|status)-(\d{1,12})((?:;[a-z]+=\w+)*)\.\w+)",
            [this](const httplib::Request &req, httplib::Response &res) { serveFile(req, res); });

    svr.Get(R"(/fault/([^/]+))", [this](const httplib::Request &req, httplib::Response &res) {
        if (!serveFault(req.matches[1], req, res)) {
            res.status = 404;
            setBody(res, statusPage(404), htmlType);
        }
    });
}

SampleService::SampleService()
    : d(std::make_unique<Private>())
{}

SampleService::~SampleService()
{
    stop();
}

bool SampleService::start(quint16 port, const QString &bindAddress)
{
    if (d->running)
        return false;
    ignoreSigpipeIfDefault();

    auto server = std::make_unique<Server>();
    server->new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
    // stop() joins the workers, and a worker keeping an idle connection alive
    // only notices after the keep-alive timeout; one answer per connection
    // leaves no idle ones behind. The timeout still bounds a silent client.
    server->set_keep_alive_max_count(1);
    server->set_keep_alive_timeout(1);
    // Headers and body go out in separate writes; without this the body
    // waits for a delayed ACK (about 40 ms a request on loopback).
    server->set_tcp_nodelay(true);
    // httplib's default adds SO_REUSEPORT, which lets a second service share
    // a port that is in use instead of failing.
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    d->installRoutes(*server);

    const std::string host = bindAddress.toStdString();
    const int bound =
        port == 0 ? server->bind_to_any_port(host) : (server->bind_to_port(host, port) ? port : -1);
    if (bound <= 0)
        return false;
    server->raiseBacklog();

    {
        std::lock_guard lock(d->waitMutex);
        d->stopping = false;
    }
    d->host = bindAddress;
    d->port = quint16(bound);
    d->server = std::move(server);
    d->threadDone = false;
    d->thread = std::thread([p = d.get()] {
        p->server->listen_after_bind();
        p->threadDone = true;
    });

    // httplib's stop() does nothing until the accept loop runs.
    while (!d->server->is_running() && !d->threadDone)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!d->server->is_running()) {
        d->thread.join();
        d->server.reset();
        return false;
    }
    d->running = true;
    return true;
}

void SampleService::stop()
{
    if (!d->server)
        return;
    {
        std::lock_guard lock(d->waitMutex);
        d->stopping = true;
    }
    d->waitCondition.notify_all();
    d->server->stop();
    if (d->thread.joinable())
        d->thread.join();
    d->server.reset();
    d->running = false;
}

bool SampleService::isRunning() const
{
    return d->running;
}

quint16 SampleService::port() const
{
    return d->port;
}

QString SampleService::hostAndPort() const
{
    return d->hostAndPort();
}

QString SampleService::baseUrl() const
{
    return d->baseUrl();
}

void SampleService::setSoundInfoBody(const QString &soundId, const QByteArray &body,
                                     const QByteArray &contentType)
{
    std::lock_guard lock(d->overridesMutex);
    d->soundInfoOverrides.insert(soundId, {body, contentType});
}

void SampleService::setVersionBody(const QByteArray &body)
{
    std::lock_guard lock(d->overridesMutex);
    d->versionBody = body;
}

void SampleService::setHomePageBody(const QByteArray &body, const QByteArray &contentType)
{
    std::lock_guard lock(d->overridesMutex);
    d->homePageOverride = {body, contentType};
}

void SampleService::setFault(const QByteArray &path, const QByteArray &fault)
{
    std::lock_guard lock(d->overridesMutex);
    if (fault.isEmpty())
        d->pathFaults.remove(path);
    else
        d->pathFaults.insert(path, fault);
}

void SampleService::clearFaults()
{
    std::lock_guard lock(d->overridesMutex);
    d->pathFaults.clear();
}

QString SampleService::soundPageUrl(const QString &soundId) const
{
    return baseUrl() + QStringLiteral("/sound/") + soundId;
}

QString SampleService::summary() const
{
    const QStringList ids = sampleSoundIds();
    return QStringLiteral("sample service at %1, sound pages %2 to %3")
        .arg(baseUrl(), soundPageUrl(ids.first()), soundPageUrl(ids.last()));
}

void SampleService::closeGate(const QByteArray &path)
{
    std::lock_guard lock(d->waitMutex);
    d->closedGates.insert(path);
}

void SampleService::openGate(const QByteArray &path)
{
    {
        std::lock_guard lock(d->waitMutex);
        d->closedGates.remove(path);
    }
    d->waitCondition.notify_all();
}

int SampleService::heldAtGate(const QByteArray &path) const
{
    std::lock_guard lock(d->waitMutex);
    return d->heldAtGates.value(path);
}

QList<RecordedRequest> SampleService::requests() const
{
    std::lock_guard lock(d->requestsMutex);
    return d->requests;
}

void SampleService::clearRequests()
{
    std::lock_guard lock(d->requestsMutex);
    d->requests.clear();
}

QStringList SampleService::sampleSoundIds()
{
    QStringList ids;
    for (const SampleSound &sound : sampleSounds())
        ids.append(sound.id);
    return ids;
}
