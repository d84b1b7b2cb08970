// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

struct StreamBufferLimits
{
    qint64 capacity = 2 * 1024 * 1024;
    qint64 keepBehind = 256 * 1024;
    // A read this far past the held bytes waits for the running fetch
    // instead of starting another.
    qint64 waitAhead = 256 * 1024;
};

// The bytes of one remote sound on their way from the thread that fetches
// them to the media framework's reading thread. A read blocks its reader
// (never the thread that fetches) until its bytes arrive; a read far from
// what is held asks the fetcher to start again there. At most `capacity`
// bytes are held, a little of it behind the reader for small steps back.
class StreamBuffer
{
public:
    using Limits = StreamBufferLimits;

    // What read() gives besides a byte count.
    static constexpr qint64 End = 0;
    static constexpr qint64 Failed = -1;
    static constexpr qint64 Interrupted = -2;

    explicit StreamBuffer(Limits limits = {});

    // Reader side, any thread. Copies up to maxBytes from offset into out and
    // returns how many, once at least one is there; or End, Failed (the fetch
    // failed, or its owner is gone) or Interrupted.
    qint64 read(qint64 offset, char *out, qint64 maxBytes);
    // While set, every read returns Interrupted at once, waiting ones too.
    void setInterrupted(bool interrupted);
    qint64 size() const; // -1 while unknown
    QString failure() const;

    // Fetcher side. The waker is called, from any thread and with the
    // buffer's lock held, when the fetcher has work: a restart or room.
    void setWaker(std::function<void()> waker);
    // Where the reader wants the fetch to start again, once.
    std::optional<qint64> takeRestart();
    // Free room; when there is none the next read that frees some wakes the fetcher.
    qint64 room();
    // False, and nothing kept, unless offset is where the held bytes end.
    bool append(qint64 offset, const QByteArray &bytes);
    void setSize(qint64 size);
    void setFetching(bool fetching);
    void finish(); // the body ended where the held bytes end
    void fail(const QString &reason);
    void close(); // the fetcher is gone for good

    qint64 heldBytes() const;

private:
    qint64 endLocked() const { return m_start + m_bytes.size(); }
    void trimBefore(qint64 offset);
    void restartLocked(qint64 offset);
    void wakeFetcherLocked();

    const Limits m_limits;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_waker;
    qint64 m_start = 0;
    QByteArray m_bytes;
    qint64 m_size = -1;
    std::optional<qint64> m_restart;
    QString m_failure;
    bool m_failed = false;
    bool m_finished = false;
    bool m_fetching = false;
    bool m_fetcherWantsRoom = false;
    bool m_interrupted = false;
    bool m_closed = false;
};
