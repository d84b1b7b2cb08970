#include "services/sound_download.h"

#include "services/network_access.h"
#include "services/web_address.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Room kept for " (9999)" and ".part" beside the name itself.
constexpr int NumberAndPartBytes = 12;
constexpr int MaxNumber = 9999;
// Big enough that a fast loopback transfer costs few reads, small enough to
// keep the process well under its memory budget.
constexpr qint64 ReadChunk = 1024 * 1024;
constexpr qint64 ReplyBufferLimit = 2 * 1024 * 1024;

const QString FallbackName = QStringLiteral("未命名音乐");

bool isUnsafe(char16_t c)
{
    return c < 0x20 || c == 0x7f || QStringView(u"/\\:*?\"<>|").contains(QChar(c));
}

// Position of the extension's dot, or -1 when there is none worth keeping.
qsizetype extensionDot(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || name.size() - dot > 9)
        return -1;
    return dot;
}

QString trimmedEnd(QString text)
{
    while (!text.isEmpty() && (text.back() == u'.' || text.back() == u' '))
        text.chop(1);
    return text;
}

// text cut to at most maxBytes of UTF-8, on a character boundary. One pass:
// names come from the service's answers and may be huge.
QString fitBytes(const QString &text, qsizetype maxBytes)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const char32_t code =
            pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        bytes += code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (bytes > maxBytes)
            return text.left(i);
        i += pair ? 2 : 1;
    }
    return text;
}

bool pathExists(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool isDiskFull(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Renames without ever replacing an existing file; false with errno set.
bool renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: link() refuses an existing target too.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

} // namespace

QString FileExtensionOf(const QString &fileUrl)
{
    const QString path = QUrl(fileUrl).path();
    const QString last = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = last.lastIndexOf(u'.');
    const QString suffix = dot < 0 ? QString() : last.mid(dot + 1);
    const bool plain = !suffix.isEmpty() && suffix.size() <= 5 &&
                       std::all_of(suffix.begin(), suffix.end(),
                                   [](QChar c) { return c.unicode() < 0x80 && c.isLetterOrNumber(); });
    return plain ? u'.' + suffix.toLower() : QStringLiteral(".mp3");
}

QString SafeFileName(const QString &text, int maxBytes)
{
    QString name;
    name.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            name += c;
            name += text.at(++i);
        } else if (c.isSurrogate() || isUnsafe(c.unicode())) {
            name += u'_';
        } else {
            name += c;
        }
    }
    // No hidden files, and neither "." nor "..".
    qsizetype start = 0;
    while (start < name.size() && (name.at(start) == u'.' || name.at(start) == u' '))
        ++start;
    name = trimmedEnd(name.mid(start));
    if (name.toUtf8().size() <= maxBytes)
        return name;

    const qsizetype dot = extensionDot(name);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    const QString stem = dot < 0 ? name : name.left(dot);
    const QString cut = trimmedEnd(fitBytes(stem, maxBytes - extension.toUtf8().size()));
    return cut.isEmpty() ? trimmedEnd(fitBytes(name, maxBytes)) : cut + extension;
}

QString SoundFileName(const QString &singer, const QString &soundName, const QString &fileUrl)
{
    const QString base = singer.isEmpty() || soundName.isEmpty()
                             ? QString(singer + soundName)
                             : QString(singer + QStringLiteral(" - ") + soundName);
    const QString extension = FileExtensionOf(fileUrl);
    const int room = MaxFileNameBytes - NumberAndPartBytes - int(extension.size());
    QString safe = SafeFileName(base, room);
    if (safe.isEmpty())
        safe = FallbackName;
    return safe + extension;
}

QString NumberedFileName(const QString &fileName, int n)
{
    const qsizetype dot = extensionDot(fileName);
    const QString suffix = QStringLiteral(" (%1)").arg(n);
    if (dot < 0)
        return fileName + suffix;
    return fileName.left(dot) + suffix + fileName.mid(dot);
}

QString DownloadResult::fileName() const
{
    return QFileInfo(filePath).fileName();
}

QString DownloadFailureText(const DownloadResult &result)
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

SoundDownload::SoundDownload(DownloadRequest request, QObject *parent)
    : QObject(parent)
    , m_request(std::move(request))
{}

SoundDownload::~SoundDownload()
{
    if (m_running) {
        m_result.error = DownloadError::Cancelled;
        m_running = false;
    }
    cleanUp();
}

void SoundDownload::start()
{
    if (m_started)
        return;
    m_started = true;
    m_running = true;

    if (!IsWebAddress(m_request.fileUrl)) {
        fail(DownloadError::NotWebAddress,
             QStringLiteral("not an http or https address: %1").arg(m_request.fileUrl));
        return;
    }
    if (!reserveFile())
        return;
    QNetworkAccessManager *manager = SharedNetworkManager();
    if (!manager) {
        fail(DownloadError::Cancelled, QStringLiteral("no application object to run the request"));
        return;
    }

    QNetworkRequest request{QUrl(m_request.fileUrl)};
    // As on every request of ours.
    request.setRawHeader("If-Modified-Since", "0");
    // The bytes exactly as served, so Content-Length counts what we write.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setTransferTimeout(int(m_request.stallTimeout.count()));
    m_reply = manager->get(request);
    // Bounded, so a disk slower than the network holds the transfer back
    // instead of filling memory.
    m_reply->setReadBufferSize(ReplyBufferLimit);
    connect(m_reply, &QNetworkReply::readyRead, this, &SoundDownload::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &SoundDownload::onFinished);
    // The manager takes its replies with it when the program ends.
    connect(m_reply, &QObject::destroyed, this,
            [this] { fail(DownloadError::Cancelled, QStringLiteral("the program is ending")); });
}

void SoundDownload::abort()
{
    fail(DownloadError::Cancelled, QStringLiteral("cancelled"));
}

bool SoundDownload::reserveFile()
{
    const QString folder = m_request.folder.isEmpty() ? QDir::currentPath() : m_request.folder;
    if (!QDir().mkpath(folder)) {
        fail(DownloadError::Folder, QStringLiteral("cannot create the folder %1").arg(folder));
        return false;
    }
    QString name = SafeFileName(m_request.fileName, MaxFileNameBytes - NumberAndPartBytes);
    if (name.isEmpty())
        name = FallbackName + FileExtensionOf(m_request.fileUrl);
    const QDir dir(folder);
    for (int n = 0; n <= MaxNumber; ++n) {
        const QString finalPath = dir.filePath(n == 0 ? name : NumberedFileName(name, n));
        // A final name is free only while nobody else is writing towards it.
        if (pathExists(finalPath))
            continue;
        const QString partPath = finalPath + QStringLiteral(".part");
        m_fd = ::open(QFile::encodeName(partPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (m_fd >= 0) {
            m_finalPath = finalPath;
            m_partPath = partPath;
            return true;
        }
        if (errno != EEXIST) {
            const int error = errno;
            fail(isDiskFull(error) ? DownloadError::DiskFull : DownloadError::Folder,
                 QStringLiteral("cannot write in %1: %2").arg(folder, errnoText(error)));
            return false;
        }
    }
    fail(DownloadError::Folder, QStringLiteral("no free file name for %1 in %2").arg(name, folder));
    return false;
}

bool SoundDownload::drain()
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299)) {
        m_result.httpStatus = status;
        fail(DownloadError::HttpStatus, QStringLiteral("the server answered %1").arg(status));
        return false;
    }
    if (m_total < 0) {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            m_total = length.toLongLong();
    }
    if (m_buffer.empty())
        m_buffer.resize(size_t(ReadChunk));
    const qint64 before = m_received;
    for (;;) {
        const qint64 got = m_reply->read(m_buffer.data(), qint64(m_buffer.size()));
        if (got <= 0)
            break;
        const char *at = m_buffer.data();
        qint64 left = got;
        while (left > 0) {
            const ssize_t written = ::write(m_fd, at, size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                const int error = written < 0 ? errno : ENOSPC;
                fail(isDiskFull(error) ? DownloadError::DiskFull : DownloadError::Write,
                     QStringLiteral("cannot write %1: %2").arg(m_partPath, errnoText(error)));
                return false;
            }
            at += written;
            left -= written;
        }
        m_received += got;
    }
    if (m_received != before)
        emit progress(m_received, m_total);
    return true;
}

void SoundDownload::onReadyRead()
{
    if (m_running && m_reply)
        drain();
}

void SoundDownload::onFinished()
{
    if (!m_running || !m_reply)
        return;
    m_result.httpStatus = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!drain())
        return;
    const QNetworkReply::NetworkError error = m_reply->error();
    // Only the transfer time-out cancels a reply that we have not aborted.
    if (error == QNetworkReply::OperationCanceledError) {
        const auto seconds = std::chrono::duration<double>(m_request.stallTimeout).count();
        fail(DownloadError::Stalled, QStringLiteral("no data received for %1 s").arg(seconds));
        return;
    }
    // A body cut short is told as such, whichever way the transport saw the end.
    if (m_total >= 0 && m_received != m_total) {
        fail(DownloadError::Incomplete,
             QStringLiteral("received %1 of %2 bytes").arg(m_received).arg(m_total));
        return;
    }
    if (error != QNetworkReply::NoError) {
        fail(DownloadError::Connection, m_reply->errorString());
        return;
    }
    if (!commit())
        return;
    m_result.bytes = m_received;
    m_result.filePath = m_finalPath;
    m_running = false;
    cleanUp();
    QTimer::singleShot(0, this, &SoundDownload::finished);
}

bool SoundDownload::commit()
{
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        fail(isDiskFull(error) ? DownloadError::DiskFull : DownloadError::Write,
             QStringLiteral("cannot write %1: %2").arg(m_partPath, errnoText(error)));
        return false;
    }
    // Someone may have taken the name meanwhile: move on, never overwrite.
    const QFileInfo wanted(m_finalPath);
    const QString name = wanted.fileName();
    for (int n = 0; n <= MaxNumber; ++n) {
        const QString target = n == 0 ? m_finalPath : wanted.dir().filePath(NumberedFileName(name, n));
        if (renameNoReplace(m_partPath, target)) {
            m_finalPath = target;
            m_partPath.clear();
            return true;
        }
        if (errno != EEXIST) {
            const int error = errno;
            fail(DownloadError::Write,
                 QStringLiteral("cannot rename %1: %2").arg(m_partPath, errnoText(error)));
            return false;
        }
    }
    fail(DownloadError::Write, QStringLiteral("no free file name for %1").arg(name));
    return false;
}

void SoundDownload::fail(DownloadError error, const QString &detail)
{
    if (!m_running)
        return;
    m_running = false;
    m_result.error = error;
    m_result.detail = detail;
    m_result.bytes = m_received;
    cleanUp();
    QTimer::singleShot(0, this, &SoundDownload::finished);
}

void SoundDownload::cleanUp()
{
    if (m_reply) {
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        disconnect(reply, nullptr, this, nullptr);
        if (!reply->isFinished())
            reply->abort();
        reply->deleteLater();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_partPath.isEmpty()) {
        ::unlink(QFile::encodeName(m_partPath).constData());
        m_partPath.clear();
    }
}
