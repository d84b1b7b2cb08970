// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QNetworkReply>
#include <QString>

#include <chrono>

// What a download came to.
enum class DownloadError {
    None,
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
};

struct DownloadResult
{
    DownloadError error = DownloadError::None;
    QString filePath;   // the saved file when ok()
    QString detail;     // one line for people when !ok()
    int httpStatus = 0; // 0 when none arrived
    qint64 bytes = 0;   // received and written
    QString partPath;   // when !ok(): the part file kept for a later download, if any
    QString untagged;   // when ok(): why the tags that were asked for are not in the file

    bool ok() const { return error == DownloadError::None; }
    // A failure that may pass, so what a later download can continue
    // stays: a lost connection, a cancel, a server in trouble. A full disk
    // gets its space back, and a file the server refuses (4xx) is not
    // continued.
    bool passes() const;
    QString fileName() const;
};

// Short Chinese reason for the status line.
QString downloadFailureText(const DownloadResult &result);

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

// What the end means: None when the body is whole; otherwise the error,
// whether a retry may help, and a line for people.
struct TransferEnd
{
    DownloadError error = DownloadError::None;
    bool retry = false;
    QString detail;
};
TransferEnd transferEnd(const TransferFacts &facts);
