// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "desktop/mpris_adaptors.h"

#include "desktop/mpris_service.h"

#include <QGuiApplication>

MprisRootAdaptor::MprisRootAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(service)
{}

QString MprisRootAdaptor::identity() const
{
    return m_service->identity();
}

QString MprisRootAdaptor::desktopEntry() const
{
    return QGuiApplication::desktopFileName();
}

void MprisRootAdaptor::Raise()
{
    m_service->raise();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service)
    , m_service(service)
{
    connect(service, &MprisService::seeked, this, &MprisPlayerAdaptor::Seeked);
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return m_service->playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return m_service->metadata();
}

double MprisPlayerAdaptor::volume() const
{
    return m_service->volume();
}

void MprisPlayerAdaptor::setVolume(double volume)
{
    m_service->setVolume(volume);
}

qlonglong MprisPlayerAdaptor::position() const
{
    return m_service->position();
}

bool MprisPlayerAdaptor::canPlay() const
{
    return m_service->canPlay();
}

bool MprisPlayerAdaptor::canSeek() const
{
    return m_service->canSeek();
}

void MprisPlayerAdaptor::Pause()
{
    m_service->pause();
}

void MprisPlayerAdaptor::PlayPause()
{
    m_service->playPause();
}

void MprisPlayerAdaptor::Stop()
{
    m_service->stop();
}

void MprisPlayerAdaptor::Play()
{
    m_service->play();
}

void MprisPlayerAdaptor::Seek(qlonglong Offset)
{
    m_service->seekBy(Offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
{
    m_service->setPosition(TrackId, Position);
}
