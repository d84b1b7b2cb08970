// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/update_check.h"

namespace {

const QString Marker = QStringLiteral("vexa:");

} // namespace

std::optional<QString> versionTagIn(const QString &versionFile)
{
    const qsizetype marker = versionFile.indexOf(Marker);
    if (marker < 0)
        return std::nullopt;
    const qsizetype start = marker + Marker.size();
    // Only the piece up to a second marker is examined.
    const qsizetype nextMarker = versionFile.indexOf(Marker, start);
    const qsizetype end = nextMarker < 0 ? versionFile.size() : nextMarker;
    const qsizetype bar = versionFile.indexOf(u'|', start);
    if (bar < 0 || bar >= end)
        return std::nullopt;
    return versionFile.mid(start, bar - start);
}

UpdateOutcome decideUpdate(const QString &fetchedText)
{
    const std::optional<QString> tag = versionTagIn(fetchedText);
    // An empty tag names no version either; announcing "[]" and quitting
    // would turn a broken file into a forced exit.
    if (!tag || tag->isEmpty())
        return UpdateOutcome::CheckFailed;
    return *tag == CurrentVersionTag ? UpdateOutcome::UpToDate : UpdateOutcome::OtherVersion;
}

QString otherVersionMessage(const QString &tag)
{
    return UpdateCheck::tr("发现最新版本![%1]\r\n \r\n确定后自动打开官方论坛!").arg(tag);
}

UpdateCheck::UpdateCheck(const QString &versionFileUrl, const FetchOptions &options, QObject *parent)
    : QObject(parent)
    , m_request(new HttpRequest(versionFileUrl, options, BodyAs::Text, this))
{
    connect(m_request, &HttpRequest::finished, this, [this](const FetchResult &fetched) {
        // Abandoned only when the program is ending: nobody is left to tell.
        if (isAbandoned(fetched))
            return;
        if (!fetched) {
            emit finished(unexpected(UpdateProblem::Unreachable, fetched.error()));
            return;
        }
        const UpdateOutcome outcome = decideUpdate(fetched->text);
        if (outcome == UpdateOutcome::CheckFailed)
            emit finished(unexpected(UpdateProblem::Unreadable, FetchError{}));
        else
            emit finished(UpdateFinding{outcome, versionTagIn(fetched->text).value_or(QString())});
    });
}

void UpdateCheck::start()
{
    m_request->start();
}
