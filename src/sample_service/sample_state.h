// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "sample_service/sample_service.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace httplib {
struct Request;
}

// What the sample service's handlers share with the test that runs it. The
// handlers run on the server's worker threads while the test changes the
// answers from its own, so each part has a lock.
class SampleState
{
public:
    // An answer a test put in place of the built-in one.
    struct Body
    {
        QByteArray bytes;
        QByteArray contentType;
    };

    // Only while no server thread runs: the threads read it unguarded.
    void setAddress(const QString &bindHost, quint16 port);
    quint16 port() const { return m_port; }
    QString hostAndPort() const; // as a client writes it: "127.0.0.1:PORT", "[::1]:PORT"
    QString baseUrl() const;

    // Waits that a stopping service ends at once.
    void setStopping(bool stopping);
    // True when the pause ended because the service is stopping.
    bool pauseUnlessStopping(double seconds);
    // Holds a request for a closed path until its gate opens or the service stops.
    void passGate(const QByteArray &path);
    void closeGate(const QByteArray &path);
    void openGate(const QByteArray &path);
    int heldAtGate(const QByteArray &path) const;

    void record(const httplib::Request &req);
    QList<RecordedRequest> requests() const;
    void clearRequests();

    void setSoundInfo(const QString &soundId, const Body &body);
    std::optional<Body> soundInfo(const QString &soundId) const;
    void setVersion(const QByteArray &body);
    QByteArray version() const;
    void setHomePage(const Body &body);
    std::optional<Body> homePage() const;
    // "KIND" or "KIND?PARAMS"; empty removes the path's fault.
    void setFault(const QByteArray &path, const QByteArray &fault);
    void clearFaults();
    QByteArray fault(const QByteArray &path) const;

    // Generated media are made once per key and kept; an empty result is not kept.
    QByteArray media(const QString &key, const std::function<QByteArray()> &make);
    // How many answers went to this address (path and query) before this one.
    int countAnswer(const QByteArray &target);

    // Bytes a second for each generated download answer; 0: as fast as it goes.
    void setFileRate(qint64 bytesPerSecond) { m_fileRate = bytesPerSecond; }
    qint64 fileRate() const { return m_fileRate; }

private:
    QString m_host;
    quint16 m_port = 0;

    mutable std::mutex m_waitMutex;
    std::condition_variable m_waitCondition;
    bool m_stopping = false;
    QSet<QByteArray> m_closedGates;
    QHash<QByteArray, int> m_heldAtGates;

    mutable std::mutex m_requestsMutex;
    QList<RecordedRequest> m_requests;

    mutable std::mutex m_answersMutex;
    QHash<QString, Body> m_soundInfo;
    QByteArray m_version = QByteArrayLiteral("vexa:V1.0|当前已是最新版本，感谢使用。");
    std::optional<Body> m_homePage;
    QHash<QByteArray, QByteArray> m_faults;
    QHash<QByteArray, int> m_answerCounts;

    std::atomic<qint64> m_fileRate = 0;

    std::mutex m_mediaMutex;
    QHash<QString, QByteArray> m_media;
};
