#include "services/sound_download.h"

#include "services/network_access.h"
#include "services/web_address.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimeZone>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
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
// Disk writes are started in steps this big while the body arrives.
constexpr qint64 WriteBackStep = 8 * 1024 * 1024;

const QString FallbackName = QStringLiteral("未命名音乐");
const QString PartSuffix = QStringLiteral(".part");
const QString InfoSuffix = QStringLiteral(".meta");
constexpr qint64 MaxPartInfoBytes = 16 * 1024;
const QByteArray PartInfoTag = QByteArrayLiteral("vexa-part 1");

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

QDateTime httpDate(const QByteArray &text)
{
    QDateTime time = QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()),
                                             QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    time.setTimeZone(QTimeZone::utc());
    return time;
}

// Reads a whole small file; nullopt when missing, unreadable or too big.
std::optional<QByteArray> readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPartInfoBytes)
        return std::nullopt;
    return file.readAll();
}

// Replaces path's content in one step: written beside it, then renamed.
bool writeFileAtomically(const QString &path, const QByteArray &content)
{
    const QString temporary = path + QStringLiteral(".new");
    const QByteArray name = QFile::encodeName(temporary);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    if (::close(fd) != 0 || !written ||
        ::rename(name.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(name.constData());
        return false;
    }
    return true;
}

void removeFile(const QString &path)
{
    ::unlink(QFile::encodeName(path).constData());
}

} // namespace

std::optional<ContentRange> parseContentRange(const QByteArray &value)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*bytes\s+(\d{1,18})-(\d{1,18})/(\d{1,18}|\*)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(value));
    if (!match.hasMatch())
        return std::nullopt;
    ContentRange range;
    range.start = match.captured(1).toLongLong();
    range.end = match.captured(2).toLongLong();
    range.total = match.captured(3) == u'*' ? -1 : match.captured(3).toLongLong();
    if (range.end < range.start || (range.total >= 0 && range.end >= range.total))
        return std::nullopt;
    return range;
}

QByteArray resumeValidator(const QByteArray &etag, const QByteArray &lastModified, const QByteArray &date)
{
    const QByteArray tag = etag.trimmed();
    if (tag.size() >= 2 && tag.startsWith('"') && tag.endsWith('"'))
        return tag;
    const QDateTime modified = httpDate(lastModified);
    const QDateTime answered = httpDate(date);
    if (modified.isValid() && answered.isValid() && modified.secsTo(answered) >= 1)
        return lastModified.trimmed();
    return {};
}

QByteArray partInfoText(const PartInfo &info)
{
    return PartInfoTag + '\n' + info.fileUrl.toUtf8() + '\n' + info.validator + '\n' +
           QByteArray::number(info.total) + '\n';
}

std::optional<PartInfo> parsePartInfo(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() != 5 || lines[0] != PartInfoTag || !lines[4].isEmpty() || lines[1].isEmpty() ||
        lines[2].isEmpty())
        return std::nullopt;
    PartInfo info;
    info.fileUrl = QString::fromUtf8(lines[1]);
    info.validator = lines[2];
    bool ok = false;
    info.total = lines[3].toLongLong(&ok);
    if (!ok || info.total < -1)
        return std::nullopt;
    return info;
}

QString fileExtensionOf(const QString &fileUrl)
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

QString safeFileName(const QString &text, int maxBytes)
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

QString soundFileName(const QString &singer, const QString &soundName, const QString &fileUrl)
{
    const QString base = singer.isEmpty() || soundName.isEmpty()
                             ? QString(singer + soundName)
                             : QString(singer + QStringLiteral(" - ") + soundName);
    const QString extension = fileExtensionOf(fileUrl);
    const int room = MaxFileNameBytes - NumberAndPartBytes - int(extension.size());
    QString safe = safeFileName(base, room);
    if (safe.isEmpty())
        safe = FallbackName;
    return safe + extension;
}

QString numberedFileName(const QString &fileName, int n)
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

SoundDownload::SoundDownload(DownloadRequest request, QObject *parent)
    : QObject(parent)
    , m_request(std::move(request))
    , m_retryTimer(new QTimer(this))
{
    m_retryTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, [this] {
        // Without a validator the part cannot be continued safely.
        if (!m_partInfoSaved)
            restartFromZero();
        if (m_running)
            sendRequest();
    });
}

SoundDownload::~SoundDownload()
{
    if (m_running) {
        m_result.error = DownloadError::Cancelled;
        m_running = false;
    }
    cleanUp(m_result.error == DownloadError::Cancelled && partIsContinuable());
}

void SoundDownload::start()
{
    if (m_started)
        return;
    m_started = true;
    m_running = true;

    if (!isWebAddress(m_request.fileUrl)) {
        fail(DownloadError::NotWebAddress,
             QStringLiteral("not an http or https address: %1").arg(m_request.fileUrl));
        return;
    }
    if (reserveFile() && m_running)
        sendRequest();
}

void SoundDownload::sendRequest()
{
    QNetworkAccessManager *manager = sharedNetworkManager();
    if (!manager) {
        fail(DownloadError::Cancelled, QStringLiteral("no application object to run the request"));
        return;
    }
    QNetworkRequest request{QUrl(m_request.fileUrl)};
    // As on every request of ours.
    request.setRawHeader("If-Modified-Since", "0");
    // The bytes exactly as served, so Content-Length counts what we write.
    request.setRawHeader("Accept-Encoding", "identity");
    m_rangeStart = m_received;
    if (m_rangeStart > 0) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(m_rangeStart) + '-');
        request.setRawHeader("If-Range", m_validator);
    }
    request.setTransferTimeout(int(m_request.stallTimeout.count()));
    m_answerChecked = false;
    m_answerBytes = 0;
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
    QString name = safeFileName(m_request.fileName, MaxFileNameBytes - NumberAndPartBytes);
    if (name.isEmpty())
        name = FallbackName + fileExtensionOf(m_request.fileUrl);
    const QDir dir(folder);
    for (int n = 0; n <= MaxNumber; ++n) {
        const QString finalPath = dir.filePath(n == 0 ? name : numberedFileName(name, n));
        // A final name is free only while nobody else is writing towards it.
        if (pathExists(finalPath))
            continue;
        const QString partPath = finalPath + PartSuffix;
        const Claim claim = claimPart(partPath);
        if (claim == Claim::Failed) {
            const int error = errno;
            fail(isDiskFull(error) ? DownloadError::DiskFull : DownloadError::Folder,
                 QStringLiteral("cannot write in %1: %2").arg(folder, errnoText(error)));
            return false;
        }
        if (claim == Claim::Busy)
            continue;
        m_finalPath = finalPath;
        m_partPath = partPath;
        if (adoptPart())
            return true;
        // Another address's part, kept for its own later download.
        ::close(m_fd);
        m_fd = -1;
        m_partPath.clear();
    }
    fail(DownloadError::Folder, QStringLiteral("no free file name for %1 in %2").arg(name, folder));
    return false;
}

SoundDownload::Claim SoundDownload::claimPart(const QString &partPath)
{
    const QByteArray path = QFile::encodeName(partPath);
    // A few rounds: another download may rename or remove it between our open and lock.
    for (int round = 0; round < 8; ++round) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            // Not ours to write (a link, a folder, someone else's file): try the next name.
            const int error = errno;
            const bool notOurs = error == ELOOP || error == EISDIR || error == ENXIO ||
                                 ((error == EACCES || error == EPERM) && pathExists(partPath));
            errno = error;
            return notOurs ? Claim::Busy : Claim::Failed;
        }
        // One writer per part file: a download already writing it holds the lock.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return Claim::Busy;
            errno = error;
            return Claim::Failed;
        }
        struct stat opened;
        struct stat named;
        const bool same = ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 &&
                          opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
        if (same && S_ISREG(opened.st_mode)) {
            m_fd = fd;
            return Claim::Taken;
        }
        ::close(fd);
        if (same)
            return Claim::Busy; // not a regular file: leave it alone
    }
    return Claim::Busy;
}

// Continues the locked part file when its info names the same address,
// starts it afresh when it has no usable info; false when it belongs to
// another address.
bool SoundDownload::adoptPart()
{
    struct stat part;
    const qint64 size = ::fstat(m_fd, &part) == 0 ? qint64(part.st_size) : 0;
    const std::optional<QByteArray> text = readSmallFile(m_partPath + InfoSuffix);
    const std::optional<PartInfo> info = text ? parsePartInfo(*text) : std::nullopt;
    if (size > 0 && info && info->fileUrl != m_request.fileUrl)
        return false;
    if (size > 0 && info && (info->total < 0 || size < info->total) &&
        ::lseek(m_fd, size, SEEK_SET) == size) {
        m_validator = info->validator;
        m_total = info->total;
        m_received = m_resumedFrom = size;
        m_partInfoSaved = true;
        return true;
    }
    restartFromZero();
    return true;
}

void SoundDownload::restartFromZero()
{
    // The info goes first: it must never describe bytes it does not match.
    removeFile(m_partPath + InfoSuffix);
    m_partInfoSaved = false;
    m_validator.clear();
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0) {
        const int error = errno;
        fail(DownloadError::Write, QStringLiteral("cannot write %1: %2").arg(m_partPath, errnoText(error)));
        return;
    }
    if (m_received != 0) {
        m_received = 0;
        emit progress(m_received, m_total);
    }
}

void SoundDownload::savePartInfo()
{
    if (m_validator.isEmpty())
        return;
    m_partInfoSaved =
        writeFileAtomically(m_partPath + InfoSuffix, partInfoText({m_request.fileUrl, m_validator, m_total}));
}

bool SoundDownload::partIsContinuable() const
{
    return m_fd >= 0 && m_partInfoSaved && m_received > 0 && (m_total < 0 || m_received < m_total);
}

// Looks at the status and headers of an answer before its body is used.
// False when the answer is not used: the download failed, or asked again.
bool SoundDownload::checkAnswer()
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return true; // no answer at all: the transfer error tells why
    m_answerChecked = true;
    m_result.httpStatus = status;
    const auto askAgainFromZero = [this] {
        dropReply();
        restartFromZero();
        if (m_running)
            sendRequest();
        return false;
    };
    // The part outgrew the file, which then changed.
    if (status == 416 && m_rangeStart > 0)
        return askAgainFromZero();
    // Qt follows redirects; one that arrives here was refused (a loop, or a
    // scheme we do not fetch), which is no error of the server's.
    if (status >= 300 && status <= 399) {
        fail(DownloadError::Redirect,
             QStringLiteral("the server redirected it to an address not followed: %1")
                 .arg(m_reply->errorString()));
        return false;
    }
    if (status < 200 || status > 299) {
        fail(DownloadError::HttpStatus, QStringLiteral("the server answered %1").arg(status));
        return false;
    }
    if (status == 206) {
        const std::optional<ContentRange> range = parseContentRange(m_reply->rawHeader("Content-Range"));
        const QByteArray etag = m_reply->rawHeader("ETag");
        const bool sameTag = etag.isEmpty() || !m_validator.startsWith('"') || etag == m_validator;
        const bool fits = range && range->start == m_rangeStart && sameTag &&
                          (m_total < 0 || m_rangeStart == 0 || range->total == m_total);
        if (!fits) {
            if (m_rangeStart > 0)
                return askAgainFromZero();
            fail(DownloadError::HttpStatus,
                 QStringLiteral("the server answered 206 to a whole-file request"));
            return false;
        }
        if (m_rangeStart > 0) {
            if (range->total >= 0)
                m_total = range->total;
            return true;
        }
    }
    // A whole body, also when a range was asked: the file changed or the
    // server does not serve ranges.
    restartFromZero();
    if (status == 206) {
        m_total = parseContentRange(m_reply->rawHeader("Content-Range"))->total;
    } else {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        m_total = length.isValid() ? length.toLongLong() : -1;
    }
    m_validator = resumeValidator(m_reply->rawHeader("ETag"), m_reply->rawHeader("Last-Modified"),
                                  m_reply->rawHeader("Date"));
    savePartInfo();
    return m_running;
}

bool SoundDownload::drain()
{
    if (!m_reply->isOpen()) // aborted by the transfer time-out: nothing left to read
        return true;
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
        m_answerBytes += got;
        m_transferred += got;
    }
    if (m_received != before) {
        startWriteBack();
        emit progress(m_received, m_total);
    }
    return true;
}

// Starts writing what arrived to the disk in the background, so the sync
// before the rename has only the tail left to wait for instead of the whole
// file.
void SoundDownload::startWriteBack()
{
    if (m_writeBackTo > m_received) // the part started again from zero
        m_writeBackTo = 0;
    if (m_received - m_writeBackTo < WriteBackStep)
        return;
    // Only a hint: a file system without it still syncs at the end.
    ::sync_file_range(m_fd, m_writeBackTo, m_received - m_writeBackTo, SYNC_FILE_RANGE_WRITE);
    m_writeBackTo = m_received;
}

void SoundDownload::onReadyRead()
{
    if (!m_running || !m_reply)
        return;
    if (!m_answerChecked && !checkAnswer())
        return;
    drain();
}

void SoundDownload::onFinished()
{
    if (!m_running || !m_reply)
        return;
    if (!m_answerChecked && !checkAnswer())
        return;
    const QNetworkReply::NetworkError error = m_reply->error();
    if (!m_answerChecked) { // no answer at all: refused, unknown host, silent server
        if (error == QNetworkReply::OperationCanceledError)
            fail(DownloadError::Stalled,
                 QStringLiteral("no answer for %1 s")
                     .arg(std::chrono::duration<double>(m_request.stallTimeout).count()));
        else
            fail(DownloadError::Connection, m_reply->errorString());
        return;
    }
    if (!drain())
        return;
    // Only the transfer time-out cancels a reply that we have not aborted.
    if (error == QNetworkReply::OperationCanceledError) {
        const auto seconds = std::chrono::duration<double>(m_request.stallTimeout).count();
        const QString detail = QStringLiteral("no data received for %1 s").arg(seconds);
        // Silence after some data is how a connection that died without a
        // word looks; silence from the start is a server not answering,
        // and waiting for it again would only multiply the wait.
        if (m_answerBytes > 0)
            retryOrFail(DownloadError::Stalled, detail);
        else
            fail(DownloadError::Stalled, detail);
        return;
    }
    // A body cut short is told as such, whichever way the transport saw the end.
    if (m_total >= 0 && m_received < m_total) {
        retryOrFail(DownloadError::Incomplete,
                    QStringLiteral("received %1 of %2 bytes").arg(m_received).arg(m_total));
        return;
    }
    if (m_total >= 0 && m_received > m_total) {
        fail(DownloadError::Incomplete,
             QStringLiteral("received %1 of %2 bytes").arg(m_received).arg(m_total));
        return;
    }
    switch (error) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyConnectionClosedError:
        retryOrFail(DownloadError::Connection, m_reply->errorString());
        return;
    default:
        fail(DownloadError::Connection, m_reply->errorString());
        return;
    }
    // A sound of no bytes is no sound, whatever the headers said.
    if (m_received == 0) {
        fail(DownloadError::Empty, QStringLiteral("the server sent an empty file"));
        return;
    }
    if (!commit())
        return;
    m_result.bytes = m_received;
    m_result.filePath = m_finalPath;
    m_running = false;
    cleanUp(false);
    announceEnd();
}

void SoundDownload::announceEnd()
{
    // From the event loop, so a caller's start() or abort() has returned first.
    QMetaObject::invokeMethod(
        this, [this] { emit finished(m_result); }, Qt::QueuedConnection);
}

void SoundDownload::retryOrFail(DownloadError error, const QString &detail)
{
    if (m_retries >= m_request.retryDelays.size()) {
        fail(error, detail);
        return;
    }
    dropReply();
    m_retryTimer->start(m_request.retryDelays[m_retries++]);
    emit retrying(int(m_retries) + 1, int(m_request.retryDelays.size()) + 1);
}

bool SoundDownload::commit()
{
    // Written through before the name says the file is whole.
    if (::fdatasync(m_fd) != 0 && errno != EINVAL) {
        const int error = errno;
        fail(isDiskFull(error) ? DownloadError::DiskFull : DownloadError::Write,
             QStringLiteral("cannot write %1: %2").arg(m_partPath, errnoText(error)));
        return false;
    }
    // Someone may have taken the name meanwhile: move on, never overwrite.
    const QFileInfo wanted(m_finalPath);
    const QString name = wanted.fileName();
    for (int n = 0; n <= MaxNumber; ++n) {
        const QString target = n == 0 ? m_finalPath : wanted.dir().filePath(numberedFileName(name, n));
        if (renameNoReplace(m_partPath, target)) {
            m_finalPath = target;
            removeFile(m_partPath + InfoSuffix);
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
    // What a later download can continue stays: after a lost connection, a
    // cancel or a server in trouble. A full disk gets its space back, and a
    // file the server refuses (4xx) will not be continued.
    const bool transient = error == DownloadError::Connection || error == DownloadError::Incomplete ||
                           error == DownloadError::Stalled || error == DownloadError::Cancelled ||
                           (error == DownloadError::HttpStatus && m_result.httpStatus >= 500);
    cleanUp(transient && partIsContinuable());
    announceEnd();
}

void SoundDownload::dropReply()
{
    discardReply(std::exchange(m_reply, nullptr), this);
}

void SoundDownload::cleanUp(bool keepPart)
{
    m_retryTimer->stop();
    dropReply();
    if (m_fd < 0)
        return;
    // Removed while still locked, so no other download has taken it meanwhile.
    if (keepPart) {
        m_result.partPath = m_partPath;
    } else if (!m_partPath.isEmpty()) {
        removeFile(m_partPath + InfoSuffix);
        removeFile(m_partPath);
    }
    m_partPath.clear();
    ::close(m_fd);
    m_fd = -1;
}
