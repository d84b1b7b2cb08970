// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/http_request.h"

#include <QObject>
#include <QString>

#include <optional>

// The version this build announces itself as in the maker's version file.
// Independent of versionText(), which is for display.
inline const QString CurrentVersionTag = QStringLiteral("V1.0");

// The version tag of a version file: the text after the first "vexa:" up to
// the first "|" that follows it, before any second "vexa:". Nothing is
// trimmed. nullopt when there is no marker or no bar within that piece.
std::optional<QString> versionTagIn(const QString &versionFile);

enum class UpdateOutcome {
    CheckFailed,  // nothing readable: warn, keep the analysis disabled
    UpToDate,     // the file names this version: enable the analysis
    OtherVersion, // the file names another version: announce, open the forum, end
};

// What the check does with the fetched text (empty when the fetch failed).
// A text without a version tag (an error page, a proxy's login page) counts
// as unreadable, not as another version.
UpdateOutcome decideUpdate(const QString &fetchedText);

// The announcement for another version, tag shown verbatim between brackets.
QString otherVersionMessage(const QString &tag);

// A version file that names a version: this one (UpToDate) or another.
struct UpdateFinding
{
    UpdateOutcome outcome = UpdateOutcome::UpToDate;
    QString tag;
};
enum class UpdateProblem {
    Unreachable, // the fetch's failure is the detail
    Unreadable,  // it names no version: an error page, a proxy's login page
};
using UpdateError = Failure<UpdateProblem, FetchError>;
using UpdateCheckResult = Expected<UpdateFinding, UpdateError>;

// The check of the maker's version file: one request, ending in one
// finished(result) from the event loop. Destroying it cancels it quietly.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    UpdateCheck(const QString &versionFileUrl, const FetchOptions &options, QObject *parent = nullptr);
    void start();

signals:
    void finished(const UpdateCheckResult &result);

private:
    HttpRequest *m_request;
};
