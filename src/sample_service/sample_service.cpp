// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_service.h"

#include "sample_service/sample_data.h"
#include "sample_service/sample_routes.h"
#include "sample_service/sample_state.h"

#include <httplib.h>

#include <atomic>
#include <csignal>
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

std::unique_ptr<Server> makeServer(SampleState &state)
{
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
    installSampleRoutes(*server, state);
    return server;
}

} // namespace

struct SampleService::Private
{
    // Declared first: the handlers use it until the server is gone.
    SampleState state;
    std::unique_ptr<Server> server;
    std::thread thread;
    std::atomic<bool> threadDone{true};
    std::atomic<bool> running{false};
};

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

    std::unique_ptr<Server> server = makeServer(d->state);
    const std::string host = bindAddress.toStdString();
    const int bound =
        port == 0 ? server->bind_to_any_port(host) : (server->bind_to_port(host, port) ? port : -1);
    if (bound <= 0)
        return false;
    server->raiseBacklog();

    d->state.setStopping(false);
    d->state.setAddress(bindAddress, quint16(bound));
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
    d->state.setStopping(true);
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
    return d->state.port();
}

QString SampleService::hostAndPort() const
{
    return d->state.hostAndPort();
}

QString SampleService::baseUrl() const
{
    return d->state.baseUrl();
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

void SampleService::setSoundInfoBody(const QString &soundId, const QByteArray &body,
                                     const QByteArray &contentType)
{
    d->state.setSoundInfo(soundId, {body, contentType});
}

void SampleService::setVersionBody(const QByteArray &body)
{
    d->state.setVersion(body);
}

void SampleService::setHomePageBody(const QByteArray &body, const QByteArray &contentType)
{
    d->state.setHomePage({body, contentType});
}

void SampleService::closeGate(const QByteArray &path)
{
    d->state.closeGate(path);
}

void SampleService::openGate(const QByteArray &path)
{
    d->state.openGate(path);
}

int SampleService::heldAtGate(const QByteArray &path) const
{
    return d->state.heldAtGate(path);
}

void SampleService::setFault(const QByteArray &path, const QByteArray &fault)
{
    d->state.setFault(path, fault);
}

void SampleService::clearFaults()
{
    d->state.clearFaults();
}

void SampleService::setFileRate(qint64 bytesPerSecond)
{
    d->state.setFileRate(bytesPerSecond);
}

QList<RecordedRequest> SampleService::requests() const
{
    return d->state.requests();
}

void SampleService::clearRequests()
{
    d->state.clearRequests();
}

QStringList SampleService::sampleSoundIds()
{
    QStringList ids;
    for (const SampleSound &sound : sampleSounds())
        ids.append(sound.id);
    return ids;
}
