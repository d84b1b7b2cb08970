// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/sound_tags.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

class HttpRequest;
#include "net/http_request.h"
class QTimer;

// The tagging of one download: the cover is fetched while the body comes
// in, then the finished file is tagged on a worker thread so that a big
// file never freezes the window. A cover that cannot be had (not http(s),
// an error, too big, no picture, too slow) only leaves the picture out.
class SoundTagging : public QObject
{
    Q_OBJECT

public:
    // finalName's extension tells the format.
    SoundTagging(SoundTags tags, QString coverUrl, QString finalName, QObject *parent = nullptr);
    // Waits for a tagging under way: the file must not go from under it.
    ~SoundTagging() override;

    void fetchCover();
    // How many bytes the download leaves before a body starting with head,
    // for the tags to be written into later without moving the body: room
    // for the tag when the cover is in, for a cover of a usual size while
    // it comes; none but for an MP3 without a tag of its own.
    qint64 frontRoomFor(const QByteArray &head) const;
    // Tags the file once the cover is in or given up; finished() follows
    // from the event loop, exactly once. frontRoom is the room left in front.
    void tagFile(const QString &path, qint64 frontRoom = 0);
    bool isTagging() const { return !m_path.isEmpty() && !m_done; }

    // How long the cover may still take once the body is whole.
    static constexpr int CoverWaitMs = 10000;
    // Room left while the cover is still coming; a bigger tag takes more
    // space then, at a little cost.
    static constexpr qint64 UsualFrontRoom = 64 * 1024;

signals:
    void finished(const TagOutcome &outcome);

private:
    void onCover(const FetchResult &result);
    void giveUpCover();
    void coverDone();
    void startWhenReady();

    SoundTags m_tags;
    const QString m_coverUrl;
    const QString m_finalName;
    HttpRequest *m_coverFetch = nullptr;
    QTimer *m_coverWait = nullptr;
    QFuture<QByteArray> m_id3Tag; // rendered ahead, for an MP3
    QFutureWatcher<TagOutcome> m_watcher;
    QString m_path;
    qint64 m_frontRoom = 0;
    bool m_coverDone = false;
    bool m_started = false;
    bool m_done = false;
};
