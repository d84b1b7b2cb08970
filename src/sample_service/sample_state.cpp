// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_state.h"

#include "sample_service/sample_http.h"

void SampleState::setAddress(const QString &bindHost, quint16 port)
{
    m_host = bindHost;
    m_port = port;
}

QString SampleState::hostAndPort() const
{
    QString host = m_host;
    if (host.isEmpty() || host == QLatin1String("0.0.0.0"))
        host = QStringLiteral("127.0.0.1");
    else if (host == QLatin1String("::"))
        host = QStringLiteral("[::1]");
    else if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return host + QLatin1Char(':') + QString::number(m_port);
}

QString SampleState::baseUrl() const
{
    return QStringLiteral("http://") + hostAndPort();
}

void SampleState::setStopping(bool stopping)
{
    {
        std::lock_guard lock(m_waitMutex);
        m_stopping = stopping;
    }
    m_waitCondition.notify_all();
}

bool SampleState::pauseUnlessStopping(double seconds)
{
    std::unique_lock lock(m_waitMutex);
    return m_waitCondition.wait_for(lock, std::chrono::duration<double>(seconds),
                                    [this] { return m_stopping; });
}

void SampleState::passGate(const QByteArray &path)
{
    std::unique_lock lock(m_waitMutex);
    if (!m_closedGates.contains(path))
        return;
    ++m_heldAtGates[path];
    m_waitCondition.wait(lock, [&] { return m_stopping || !m_closedGates.contains(path); });
    --m_heldAtGates[path];
}

void SampleState::closeGate(const QByteArray &path)
{
    std::lock_guard lock(m_waitMutex);
    m_closedGates.insert(path);
}

void SampleState::openGate(const QByteArray &path)
{
    {
        std::lock_guard lock(m_waitMutex);
        m_closedGates.remove(path);
    }
    m_waitCondition.notify_all();
}

int SampleState::heldAtGate(const QByteArray &path) const
{
    std::lock_guard lock(m_waitMutex);
    return m_heldAtGates.value(path);
}

void SampleState::record(const httplib::Request &req)
{
    RecordedRequest r;
    r.method = toBytes(req.method);
    r.target = toBytes(req.target);
    const qsizetype query = r.target.indexOf('?');
    r.path = query < 0 ? r.target : r.target.left(query);
    for (const auto &[name, value] : req.headers) {
        // httplib files the peer addresses as headers; they were never sent.
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT")
            continue;
        r.headers.append({toBytes(name), toBytes(value)});
    }
    std::lock_guard lock(m_requestsMutex);
    m_requests.append(r);
}

QList<RecordedRequest> SampleState::requests() const
{
    std::lock_guard lock(m_requestsMutex);
    return m_requests;
}

void SampleState::clearRequests()
{
    std::lock_guard lock(m_requestsMutex);
    m_requests.clear();
}

void SampleState::setSoundInfo(const QString &soundId, const Body &body)
{
    std::lock_guard lock(m_answersMutex);
    m_soundInfo.insert(soundId, body);
}

std::optional<SampleState::Body> SampleState::soundInfo(const QString &soundId) const
{
    std::lock_guard lock(m_answersMutex);
    const auto it = m_soundInfo.constFind(soundId);
    return it == m_soundInfo.constEnd() ? std::nullopt : std::optional(*it);
}

void SampleState::setVersion(const QByteArray &body)
{
    std::lock_guard lock(m_answersMutex);
    m_version = body;
}

QByteArray SampleState::version() const
{
    std::lock_guard lock(m_answersMutex);
    return m_version;
}

void SampleState::setHomePage(const Body &body)
{
    std::lock_guard lock(m_answersMutex);
    m_homePage = body;
}

std::optional<SampleState::Body> SampleState::homePage() const
{
    std::lock_guard lock(m_answersMutex);
    return m_homePage;
}

void SampleState::setFault(const QByteArray &path, const QByteArray &fault)
{
    std::lock_guard lock(m_answersMutex);
    if (fault.isEmpty())
        m_faults.remove(path);
    else
        m_faults.insert(path, fault);
}

void SampleState::clearFaults()
{
    std::lock_guard lock(m_answersMutex);
    m_faults.clear();
}

QByteArray SampleState::fault(const QByteArray &path) const
{
    std::lock_guard lock(m_answersMutex);
    return m_faults.value(path);
}

QByteArray SampleState::media(const QString &key, const std::function<QByteArray()> &make)
{
    {
        std::lock_guard lock(m_mediaMutex);
        const auto it = m_media.constFind(key);
        if (it != m_media.constEnd())
            return *it;
    }
    // Made outside the lock; two threads racing just do the work twice.
    const QByteArray made = make();
    if (made.isEmpty())
        return made; // a failure is tried again next time
    std::lock_guard lock(m_mediaMutex);
    m_media.insert(key, made);
    return made;
}

int SampleState::countAnswer(const QByteArray &target)
{
    std::lock_guard lock(m_answersMutex);
    return m_answerCounts[target]++;
}
