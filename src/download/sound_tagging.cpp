// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/sound_tagging.h"

#include "download/sound_tags.h"
#include "net/http_request.h"
#include "net/picture_limits.h"
#include "net/web_address.h"

#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

SoundTagging::SoundTagging(SoundTags tags, QString coverUrl, QString finalName, QObject *parent)
    : QObject(parent)
    , m_tags(std::move(tags))
    , m_coverUrl(std::move(coverUrl))
    , m_finalName(std::move(finalName))
    , m_coverWait(new QTimer(this))
{
    m_coverWait->setSingleShot(true);
    m_coverWait->setInterval(CoverWaitMs);
    connect(m_coverWait, &QTimer::timeout, this, &SoundTagging::giveUpCover);
    connect(&m_watcher, &QFutureWatcher<TagOutcome>::finished, this, [this] {
        m_done = true;
        emit finished(m_watcher.result());
    });
}

SoundTagging::~SoundTagging()
{
    m_watcher.waitForFinished();
    m_id3Tag.waitForFinished();
}

void SoundTagging::fetchCover()
{
    if (m_coverFetch || m_coverDone)
        return;
    // Handed over by whoever had it already: the window shows it.
    if (!isWebAddress(m_coverUrl) || !m_tags.cover.isEmpty()) {
        coverDone();
        return;
    }
    FetchOptions options;
    options.stallTimeout = std::chrono::milliseconds(CoverWaitMs);
    options.maxBodyBytes = MaxPictureBytes;
    m_coverFetch = new HttpRequest(m_coverUrl, options, BodyAs::Bytes, this);
    connect(m_coverFetch, &HttpRequest::finished, this, &SoundTagging::onCover);
    m_coverFetch->start();
}

qint64 SoundTagging::frontRoomFor(const QByteArray &head) const
{
    if (!m_finalName.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive) || !startsBareMpeg(head))
        return 0;
    constexpr qint64 Step = 4096; // whole blocks, so that more can be inserted in front
    const qint64 wanted =
        m_id3Tag.isValid() && m_id3Tag.isFinished() ? m_id3Tag.result().size() : UsualFrontRoom;
    return std::max(Step, (wanted + Step - 1) / Step * Step);
}

void SoundTagging::tagFile(const QString &path, qint64 frontRoom)
{
    if (!m_path.isEmpty())
        return;
    m_path = path;
    m_frontRoom = frontRoom;
    fetchCover(); // no-op when it already ran
    if (!m_coverDone)
        m_coverWait->start();
    startWhenReady();
}

void SoundTagging::onCover(const FetchResult &result)
{
    // An error page is no cover; coverPictureOf() checks that it is a picture.
    // Checked and converted here, while the body may still be coming.
    if (result && result->httpStatus >= 200 && result->httpStatus < 300)
        m_tags.cover = coverPictureOf(result->bytes).bytes;
    m_coverFetch->deleteLater();
    m_coverFetch = nullptr;
    coverDone();
}

void SoundTagging::coverDone()
{
    m_coverDone = true;
    loadSoundTagWriter(); // here, not on the worker
    if (m_finalName.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
        m_id3Tag = QtConcurrent::run(renderedId3Tag, m_tags);
    startWhenReady();
}

void SoundTagging::giveUpCover()
{
    if (m_coverFetch)
        m_coverFetch->abort(); // its finished() comes back as a failure
}

void SoundTagging::startWhenReady()
{
    if (m_path.isEmpty() || !m_coverDone || m_started)
        return;
    m_started = true;
    m_coverWait->stop();
    m_watcher.setFuture(QtConcurrent::run(
        [path = m_path, name = m_finalName, tags = m_tags, id3 = m_id3Tag, room = m_frontRoom] {
            return writeSoundTags(path, name, tags, id3.isValid() ? id3.result() : QByteArray(), room);
        }));
}
