// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/network_access.h"
#include "player/stream_buffer.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <chrono>
#include <memory>

class QNetworkReply;

// How the opening of a sound stream went.
struct SoundStreamOpening
{
    bool ok = false;
    qint64 size = -1; // -1 when the server does not say
    QString reason;   // why it failed, for people
};

// A sound played straight from the network through the program's own
// network manager, so the player's requests get the same proxy, headers,
// address rules and time-outs as every other request. It fills a bounded
// StreamBuffer that the media framework reads from its own thread; reads
// elsewhere in the file become range requests, and a connection that
// drops mid-body is continued where it broke off. Destroying the object
// ends its requests and fails any read still waiting.
class SoundStream : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        std::chrono::milliseconds stallTimeout = DefaultStallTimeout;
        StreamBuffer::Limits limits;
        int retries = 3; // tries in a row that bring no byte before a read fails
    };

    explicit SoundStream(const QUrl &url, QObject *parent = nullptr);
    SoundStream(const QUrl &url, const Options &options, QObject *parent = nullptr);
    ~SoundStream() override;

    // Asks for the sound; opened() tells once the answer's head is in.
    void open();

    QUrl url() const { return m_url; }
    std::shared_ptr<StreamBuffer> buffer() const { return m_buffer; }
    bool isOpen() const { return m_opened; }

signals:
    void opened(const SoundStreamOpening &result);

private:
    void serve();
    void fetchFrom(qint64 offset);
    bool checkAnswer();
    void readBody();
    void onFinished();
    void conclude();
    void fetchFailed(const QString &reason);
    void dropReply();

    const QUrl m_url;
    const Options m_options;
    std::shared_ptr<StreamBuffer> m_buffer;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_validator;  // sent as If-Range with later ranges
    qint64 m_nextOffset = 0; // of the next byte the reply brings
    qint64 m_skip = 0;       // bytes before the wanted ones in a whole-body answer
    bool m_answerChecked = false;
    bool m_replyFinished = false;
    bool m_opened = false;
    bool m_openReported = false;
    bool m_waitingForRoom = false;
    int m_fruitlessTries = 0;
};
