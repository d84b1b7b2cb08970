// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player/stream_buffer.h"

#include <algorithm>
#include <cstring>

namespace {

// Trimming moves the held bytes, so it waits until this much can go at once.
constexpr qint64 TrimStep = 64 * 1024;

} // namespace

StreamBuffer::StreamBuffer(Limits limits)
    : m_limits(limits)
{}

qint64 StreamBuffer::read(qint64 offset, char *out, qint64 maxBytes)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_interrupted)
            return Interrupted;
        if (m_size >= 0 && offset >= m_size)
            return End;
        const qint64 end = endLocked();
        if (offset >= m_start && offset < end) {
            const qint64 n = std::min(maxBytes, end - offset);
            std::memcpy(out, m_bytes.constData() + (offset - m_start), size_t(n));
            trimBefore(offset + n);
            return n;
        }
        if (m_closed)
            return Failed;
        if (offset >= end && m_finished)
            return End;
        const bool coming = offset >= end && offset - end <= m_limits.waitAhead;
        // A failed fetch is tried again only for a read elsewhere (a seek).
        if (coming && m_failed)
            return Failed;
        if (coming && m_fetching) {
            trimBefore(offset);
        } else if (m_restart != (coming ? end : offset)) {
            // A suspended fetch continues where the bytes end; anything
            // farther away, or behind, is asked for afresh.
            restartLocked(coming ? end : offset);
        }
        m_changed.wait(lock);
    }
}

void StreamBuffer::setInterrupted(bool interrupted)
{
    std::lock_guard lock(m_mutex);
    m_interrupted = interrupted;
    m_changed.notify_all();
}

qint64 StreamBuffer::size() const
{
    std::lock_guard lock(m_mutex);
    return m_size;
}

QString StreamBuffer::failure() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

void StreamBuffer::setWaker(std::function<void()> waker)
{
    std::lock_guard lock(m_mutex);
    m_waker = std::move(waker);
}

std::optional<qint64> StreamBuffer::takeRestart()
{
    std::lock_guard lock(m_mutex);
    if (m_restart)
        m_fetching = true;
    return std::exchange(m_restart, std::nullopt);
}

qint64 StreamBuffer::room()
{
    std::lock_guard lock(m_mutex);
    const qint64 room = m_limits.capacity - m_bytes.size();
    m_fetcherWantsRoom = room <= 0;
    return std::max<qint64>(0, room);
}

bool StreamBuffer::append(qint64 offset, const QByteArray &bytes)
{
    std::lock_guard lock(m_mutex);
    if (offset != endLocked() || m_restart)
        return false;
    m_bytes.append(bytes);
    m_changed.notify_all();
    return true;
}

void StreamBuffer::setSize(qint64 size)
{
    std::lock_guard lock(m_mutex);
    m_size = size;
    m_changed.notify_all();
}

void StreamBuffer::setFetching(bool fetching)
{
    std::lock_guard lock(m_mutex);
    m_fetching = fetching;
    if (fetching) {
        m_failed = false;
        m_failure.clear();
    }
    m_changed.notify_all();
}

void StreamBuffer::finish()
{
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_fetching = false;
    if (m_size < 0)
        m_size = endLocked();
    m_changed.notify_all();
}

void StreamBuffer::fail(const QString &reason)
{
    std::lock_guard lock(m_mutex);
    m_failed = true;
    m_fetching = false;
    m_failure = reason;
    m_changed.notify_all();
}

void StreamBuffer::close()
{
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_waker = nullptr;
    m_changed.notify_all();
}

qint64 StreamBuffer::heldBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes.size();
}

void StreamBuffer::trimBefore(qint64 offset)
{
    const qint64 drop = std::min<qint64>(offset - m_limits.keepBehind - m_start, m_bytes.size());
    if (drop < TrimStep && !(m_fetcherWantsRoom && drop > 0))
        return;
    m_bytes.remove(0, drop);
    m_start += drop;
    if (m_fetcherWantsRoom) {
        m_fetcherWantsRoom = false;
        wakeFetcherLocked();
    }
}

void StreamBuffer::restartLocked(qint64 offset)
{
    if (offset != endLocked()) {
        m_bytes.clear();
        m_start = offset;
    }
    m_restart = offset;
    m_finished = false;
    m_failed = false;
    m_fetcherWantsRoom = false;
    wakeFetcherLocked();
}

void StreamBuffer::wakeFetcherLocked()
{
    if (m_waker)
        m_waker();
}
