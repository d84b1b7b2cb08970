// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "services/download_result.h"

#include <QFileInfo>

QString DownloadResult::fileName() const
{
    return QFileInfo(filePath).fileName();
}

QString downloadFailureText(const DownloadResult &result)
{
    switch (result.error) {
    case DownloadError::None:
        return {};
    case DownloadError::NotWebAddress:
        return QStringLiteral("音乐地址无效");
    case DownloadError::Folder:
        return QStringLiteral("无法写入下载文件夹");
    case DownloadError::HttpStatus:
        return QStringLiteral("服务器返回错误 %1").arg(result.httpStatus);
    case DownloadError::Redirect:
        return QStringLiteral("下载地址重定向无效");
    case DownloadError::Empty:
        return QStringLiteral("服务器返回空文件");
    case DownloadError::Connection:
    case DownloadError::Incomplete:
        return QStringLiteral("网络连接中断");
    case DownloadError::Stalled:
        return QStringLiteral("网络超时");
    case DownloadError::DiskFull:
        return QStringLiteral("磁盘空间不足");
    case DownloadError::Write:
        return QStringLiteral("写入文件失败");
    case DownloadError::Cancelled:
        return QStringLiteral("已取消");
    }
    return {};
}
