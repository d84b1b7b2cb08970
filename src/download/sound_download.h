// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/download_part.h"
#include "download/download_result.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>

#include <vector>

class QNetworkReply;
class QTimer;
class SoundTagging;
struct TagOutcome;

// One file downloaded asynchronously from the shared network manager: the
// body is streamed into "NAME.part", locked by this download, next to a free
// final name, and renamed without overwriting when it is whole and of the
// announced length. A dropped connection (or one that went silent
// mid-body) is retried with back-off, continuing with a range request when
// the server gave a validator and starting again otherwise; an earlier
// download's part file for the same sound is continued the same way, and
// a "NAME.part" it did not make (a browser's, say) is left alone.
// After a dropped connection or a cancel (deleting a running download
// cancels it) a continuable part file stays for a later download; any other
// failure removes it. Nothing but a whole file ever has the final name.
// When the request asks for tags, the whole part is tagged before it is
// named; a file that cannot be tagged is saved as it came.
class SoundDownload : public QObject
{
    Q_OBJECT

public:
    explicit SoundDownload(DownloadRequest request, QObject *parent = nullptr);
    ~SoundDownload() override;

    // Starts once; finished() follows later, from the event loop, exactly once.
    void start();
    void abort();
    // A whole body being tagged or written through is saved now rather than
    // from the event loop, for a caller that is ending: waits for the tagging
    // (the cover is given up) and the writing, and result() then tells the
    // saved file. Nothing otherwise.
    void finishTagging();

    bool isRunning() const { return m_running; }
    qint64 received() const { return m_part.received(); }
    qint64 total() const { return m_part.total(); } // -1 while unknown
    // The part file being written, from start() until the end; empty before and after.
    QString partPath() const { return m_part.path(); }
    // Whether a stop now keeps the part for a later download to continue.
    bool isContinuable() const { return m_part.isContinuable(); }
    // How it ended, once it has (!isRunning()).
    const DownloadResult &result() const { return m_result; }
    const DownloadRequest &request() const { return m_request; }

signals:
    // The connection broke off and try `attempt` of `attempts` follows
    // after a pause; received() may then go back to where the retry starts.
    void retrying(int attempt, int attempts);
    // Delete the download later (deleteLater), not from inside this signal.
    void finished(const DownloadResult &result);

private:
    void sendRequest();
    bool checkAnswer();
    bool checkBody();
    bool checkHead(const char *data, qint64 size);
    void onSpeedCheck();
    void restartFromZero();
    void onReadyRead();
    void onFinished();
    void retryOrFail(DownloadError error, const QString &detail);
    void announceEnd();
    bool drain();
    void onTagged(const TagOutcome &outcome);
    bool leaveFrontRoom(const QByteArray &head);
    // Saves the whole body: written through off this thread, then renamed.
    void save(bool dropRoom);
    void commit();
    bool fail(DownloadError error, const QString &detail); // false, for returning
    // True when the part's step went well; otherwise fail() with its failure.
    bool partDone(const Expected<void, PartFailure> &step);
    void dropReply();
    void cleanUp(bool keepPart);

    DownloadRequest m_request;
    DownloadResult m_result;
    int m_httpStatus = 0; // of the last answer
    QString m_untagged;
    QPointer<QNetworkReply> m_reply;
    QTimer *m_retryTimer = nullptr;
    QTimer *m_speedTimer = nullptr;
    SoundTagging *m_tagging = nullptr; // when tags are wanted
    // While the part is written through.
    QFutureWatcher<Expected<void, PartFailure>> *m_saving = nullptr;
    DownloadPart m_part;
    bool m_started = false;
    bool m_running = false;
    bool m_answerChecked = false;
    bool m_headChecked = false; // whether the body's first bytes were looked at
    size_t m_retries = 0;
    qint64 m_rangeStart = 0;  // the range asked of the current answer
    qint64 m_answerBytes = 0; // body bytes of the current answer
    qint64 m_transferred = 0; // bytes that came over the network
    qint64 m_windowStart = 0; // m_transferred when the speed window began
    QByteArray m_head;        // the body's first bytes, until they tell what it is
    std::vector<char> m_buffer;
};