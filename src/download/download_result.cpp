// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_result.h"

#include "net/http_request.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cctype>

QString SavedSound::fileName() const
{
    return QFileInfo(filePath).fileName();
}

bool passes(const DownloadFailure &failure)
{
    switch (failure.reason) {
    case DownloadError::Connection:
    case DownloadError::Incomplete:
    case DownloadError::Stalled:
    case DownloadError::Cancelled:
    case DownloadError::Paused:
        return true;
    case DownloadError::HttpStatus:
        return failure.code >= 500;
    default:
        return false;
    }
}

QString downloadFailureDetail(const DownloadFailure &failure)
{
    return failure.detail.line.isEmpty() ? downloadFailureText(failure) : failure.detail.line;
}

QString downloadFailureText(const DownloadFailure &failure)
{
    switch (failure.reason) {
    case DownloadError::NotWebAddress:
        return QCoreApplication::translate("DownloadResult", "音乐地址无效");
    case DownloadError::Folder:
        return QCoreApplication::translate("DownloadResult", "无法写入下载文件夹");
    case DownloadError::HttpStatus:
        return QCoreApplication::translate("DownloadResult", "服务器返回错误 %1").arg(failure.code);
    case DownloadError::Redirect:
        return QCoreApplication::translate("DownloadResult", "下载地址重定向无效");
    case DownloadError::Empty:
        return QCoreApplication::translate("DownloadResult", "服务器返回空文件");
    case DownloadError::Connection:
    case DownloadError::Incomplete:
        return QCoreApplication::translate("DownloadResult", "网络连接中断");
    case DownloadError::Stalled:
        return QCoreApplication::translate("DownloadResult", "网络超时");
    case DownloadError::DiskFull:
        return QCoreApplication::translate("DownloadResult", "磁盘空间不足");
    case DownloadError::Write:
        return QCoreApplication::translate("DownloadResult", "写入文件失败");
    case DownloadError::NotSound:
        return QCoreApplication::translate("DownloadResult", "不是音频文件");
    case DownloadError::BadAnswer:
        return QCoreApplication::translate("DownloadResult", "服务器回应无效");
    case DownloadError::TooLarge:
        return QCoreApplication::translate("DownloadResult", "文件过大");
    case DownloadError::Cancelled:
        return QCoreApplication::translate("DownloadResult", "已取消");
    case DownloadError::Paused:
        return QCoreApplication::translate("DownloadResult", "已暂停");
    case DownloadError::TakenOver:
        return QCoreApplication::translate("DownloadResult", "另一个程序已接手这个下载");
    }
    return {};
}

bool isWebPageType(const QByteArray &contentType)
{
    const QByteArray type = contentType.split(';').constFirst().trimmed().toLower();
    return type == "text/html" || type == "application/xhtml+xml";
}

BodyStart bodyStartOf(const QByteArray &head)
{
    static const QByteArray bom = "\xef\xbb\xbf";
    QByteArrayView rest(head);
    if (bom.startsWith(rest))
        return BodyStart::TooShort;
    if (rest.startsWith(bom))
        rest = rest.sliced(bom.size());
    while (!rest.isEmpty() && std::isspace(static_cast<unsigned char>(rest.front())))
        rest = rest.sliced(1);
    if (rest.isEmpty())
        return BodyStart::TooShort;
    bool mayBe = false;
    for (const QByteArrayView marker : {QByteArrayView("<!doctype"), QByteArrayView("<html")}) {
        const qsizetype n = std::min(rest.size(), marker.size());
        if (rest.first(n).compare(marker.first(n), Qt::CaseInsensitive) != 0)
            continue;
        if (n == marker.size())
            return BodyStart::WebPage;
        mayBe = true;
    }
    return mayBe ? BodyStart::TooShort : BodyStart::File;
}

QByteArrayList conflictingLengths(const QList<QNetworkReply::RawHeaderPair> &headers)
{
    QByteArrayList values;
    for (const auto &[name, value] : headers) {
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        for (const QByteArray &one : value.split(','))
            values.append(one.trimmed());
    }
    for (const QByteArray &value : values) {
        if (value != values.constFirst())
            return values;
    }
    return {};
}

std::optional<TransferEnd> transferEnd(const TransferFacts &facts)
{
    const double seconds = std::chrono::duration<double>(facts.stallTimeout).count();
    // Only the transfer time-out cancels a reply that we have not aborted.
    const bool silent = facts.error == QNetworkReply::OperationCanceledError;
    if (!facts.answered) { // no answer at all: refused, unknown host, silent server
        if (silent)
            return TransferEnd{DownloadError::Stalled, false,
                               QCoreApplication::translate("DownloadResult", "%1 秒内没有回应").arg(seconds)};
        return TransferEnd{DownloadError::Connection, false, facts.errorText};
    }
    if (silent) {
        // Silence after some data is how a connection that died without a
        // word looks; silence from the start is a server not answering,
        // and waiting for it again would only multiply the wait.
        return TransferEnd{DownloadError::Stalled, facts.answerBytes > 0,
                           fetchFailureText({FetchFailure::Stalled, stalledDetail(facts.stallTimeout)})};
    }
    // A body cut short is told as such, whichever way the transport saw the end.
    const QString counts = QCoreApplication::translate("DownloadResult", "收到 %1 字节，共 %2 字节")
                               .arg(facts.received)
                               .arg(facts.total);
    if (facts.total >= 0 && facts.received < facts.total)
        return TransferEnd{DownloadError::Incomplete, true, counts};
    if (facts.total >= 0 && facts.received > facts.total)
        return TransferEnd{DownloadError::Incomplete, false, counts};
    switch (facts.error) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyConnectionClosedError:
        return TransferEnd{DownloadError::Connection, true, facts.errorText};
    default:
        return TransferEnd{DownloadError::Connection, false, facts.errorText};
    }
    // A sound of no bytes is no sound, whatever the headers said.
    if (facts.received == 0)
        return TransferEnd{DownloadError::Empty, false,
                           QCoreApplication::translate("DownloadResult", "服务器发来的是空文件")};
    return std::nullopt;
}
