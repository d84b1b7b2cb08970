// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/expected.h"

#include <QNetworkReply>
#include <QString>

#include <chrono>
#include <optional>

// Why a download ended without its file.
enum class DownloadError {
    NotWebAddress, // the address is not http(s)
    Folder,        // the folder cannot be created or written
    HttpStatus,    // the server answered with an error status
    Redirect,      // a redirect that is not followed: a loop, or to another scheme
    Empty,         // the server sent no bytes at all
    Connection,    // the transfer broke off
    Stalled,       // no data for the stall time-out, or too little for the speed window
    Incomplete,    // fewer bytes than announced
    DiskFull,      // no space (or the file-size limit) while writing
    Write,         // any other write failure
    NotSound,      // the server sent a web page
    BadAnswer,     // the answer's lengths contradict each other
    TooLarge,      // a body of unannounced length went past the limit
    Cancelled,     // aborted, or the program is ending
    Paused,        // by the user, before it started
    TakenOver,     // another program took the download on
};

// A sound saved under its final name.
struct SavedSound
{
    QString filePath;
    qint64 bytes = 0;
    int httpStatus = 0;
    QString untagged; // why the tags that were asked for are not in the file

    QString fileName() const;
};

// What a download that ended without its file leaves behind.
struct DownloadLeftover
{
    QString line;     // what the server, the network or the disk said, when anything
    qint64 bytes = 0; // received and written
    QString partPath; // the part file kept for a later download, if any
};
// code: the HTTP status, 0 when none arrived.
using DownloadFailure = Failure<DownloadError, DownloadLeftover>;
using DownloadResult = Expected<SavedSound, DownloadFailure>;

// A failure that may pass, so what a later download can continue stays: a
// lost connection, a cancel, a server in trouble. A full disk gets its space
// back, and a file the server refuses (4xx) is not continued.
bool passes(const DownloadFailure &failure);

// Short Chinese reason for the status line.
QString downloadFailureText(const DownloadFailure &failure);
// The line that tells most: what was said, else the reason.
QString downloadFailureDetail(const DownloadFailure &failure);

// Whether a Content-Type names a web page rather than a file.
bool isWebPageType(const QByteArray &contentType);

// What the first bytes of a body say: a web page ("<!DOCTYPE" or "<html",
// in any case, after a BOM and white space), not one, or too few to tell.
enum class BodyStart { File, WebPage, TooShort };
BodyStart bodyStartOf(const QByteArray &head);

// Every Content-Length value an answer carries, duplicates merged by Qt
// ("3000, 5000") or not, when they disagree; empty when they agree.
QByteArrayList conflictingLengths(const QList<QNetworkReply::RawHeaderPair> &headers);

// How a transfer ended, as the reply saw it.
struct TransferFacts
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText;
    bool answered = false;  // a status line arrived
    qint64 answerBytes = 0; // body bytes of this answer
    qint64 received = 0;    // bytes in the part file
    qint64 total = -1;      // announced length, -1 while unknown
    std::chrono::milliseconds stallTimeout{};
};

// What the end means when the body is not whole: the error, whether a retry
// may help, and what was seen; nullopt when it is.
struct TransferEnd
{
    DownloadError error = DownloadError::Connection;
    bool retry = false;
    QString detail;
};
std::optional<TransferEnd> transferEnd(const TransferFacts &facts);
