#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <optional>
#include <vector>

class QNetworkReply;
class QTimer;

// Longest file name the file systems we save to accept, in bytes.
constexpr int MaxFileNameBytes = 255;

// The extension of the file an address names, with its dot (".wav"); ".mp3"
// when the path has none or an odd one.
QString fileExtensionOf(const QString &fileUrl);

// text made safe as one file name: no separators, NUL or control characters,
// none of the characters other systems forbid, no leading dots or trailing
// dots and spaces, at most maxBytes of UTF-8 (cut on a character boundary,
// the extension kept). Empty when nothing usable is left.
QString safeFileName(const QString &text, int maxBytes = MaxFileNameBytes);

// "singer - name.ext" for a sound, made safe, leaving room for a " (n)"
// and the ".part" of the file being written.
QString soundFileName(const QString &singer, const QString &soundName, const QString &fileUrl);

// "name (n).ext" for the n-th alternative to an existing file.
QString numberedFileName(const QString &fileName, int n);

struct DownloadRequest
{
    QString fileUrl;  // http or https only
    QString folder;   // created when missing
    QString fileName; // wanted name; made safe again and numbered on collision
    std::chrono::milliseconds stallTimeout = std::chrono::seconds(30);
    // The pause before each retry after a dropped connection; as many
    // retries as pauses.
    std::vector<std::chrono::milliseconds> retryDelays = {std::chrono::milliseconds(500),
                                                          std::chrono::seconds(1), std::chrono::seconds(2)};
};

// "bytes START-END/TOTAL" of a 206 answer; total is -1 for "*".
struct ContentRange
{
    qint64 start = 0;
    qint64 end = 0;
    qint64 total = -1;
};
std::optional<ContentRange> parseContentRange(const QByteArray &value);

// What to send in If-Range to continue a body safely: the ETag when it is
// strong, else Last-Modified when it is at least a second older than the
// answer's Date (a strong date). Empty when there is neither: a range
// without a validator could splice two versions of a file, so such bodies
// are never continued, only started again.
QByteArray resumeValidator(const QByteArray &etag, const QByteArray &lastModified, const QByteArray &date);

// Kept beside "NAME.part" as "NAME.part.meta" so that a later download can
// continue the part file.
struct PartInfo
{
    QString fileUrl;
    QByteArray validator;
    qint64 total = -1;
};
QByteArray partInfoText(const PartInfo &info);
std::optional<PartInfo> parsePartInfo(const QByteArray &text);

enum class DownloadError {
    None,
    NotWebAddress, // the address is not http(s)
    Folder,        // the folder cannot be created or written
    HttpStatus,    // the server answered with an error status
    Redirect,      // a redirect that is not followed: a loop, or to another scheme
    Empty,         // the server sent no bytes at all
    Connection,    // the transfer broke off
    Stalled,       // no data for the stall time-out
    Incomplete,    // fewer bytes than announced
    DiskFull,      // no space (or the file-size limit) while writing
    Write,         // any other write failure
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

    bool ok() const { return error == DownloadError::None; }
    QString fileName() const;
};

// Short Chinese reason for the status line.
QString downloadFailureText(const DownloadResult &result);

// One file downloaded asynchronously from the shared network manager: the
// body is streamed into "NAME.part", locked by this download, next to a free
// final name, and renamed without overwriting when it is whole and of the
// announced length. A dropped connection (or one that went silent
// mid-body) is retried with back-off, continuing with a range request when
// the server gave a validator and starting again otherwise; an earlier
// download's part file for the same address is continued the same way.
// After a dropped connection or a cancel (deleting a running download
// cancels it) a continuable part file stays for a later download; any other
// failure removes it. Nothing but a whole file ever has the final name.
class SoundDownload : public QObject
{
    Q_OBJECT

public:
    explicit SoundDownload(DownloadRequest request, QObject *parent = nullptr);
    ~SoundDownload() override;

    // Starts once; finished() follows later, from the event loop, exactly once.
    void start();
    void abort();

    bool isRunning() const { return m_running; }
    qint64 received() const { return m_received; }
    qint64 total() const { return m_total; }             // -1 while unknown
    qint64 resumedFrom() const { return m_resumedFrom; } // bytes taken from an earlier part file
    qint64 transferred() const { return m_transferred; } // bytes that came over the network
    const DownloadResult &result() const { return m_result; }
    const DownloadRequest &request() const { return m_request; }

signals:
    void progress(qint64 received, qint64 total);
    // The connection broke off and try `attempt` of `attempts` follows
    // after a pause; progress may then go back to where the retry starts.
    void retrying(int attempt, int attempts);
    // Delete the download later (deleteLater), not from inside this signal.
    void finished(const DownloadResult &result);

private:
    enum class Claim { Taken, Busy, Failed };

    bool reserveFile();
    Claim claimPart(const QString &partPath);
    bool adoptPart();
    void sendRequest();
    bool checkAnswer();
    void restartFromZero();
    void savePartInfo();
    void onReadyRead();
    void onFinished();
    void retryOrFail(DownloadError error, const QString &detail);
    void announceEnd();
    bool drain();
    void startWriteBack();
    bool commit();
    void fail(DownloadError error, const QString &detail);
    void dropReply();
    void cleanUp(bool keepPart);
    bool partIsContinuable() const;

    DownloadRequest m_request;
    DownloadResult m_result;
    QPointer<QNetworkReply> m_reply;
    QTimer *m_retryTimer = nullptr;
    QString m_finalPath;
    QString m_partPath;
    int m_fd = -1;
    bool m_started = false;
    bool m_running = false;
    bool m_answerChecked = false;
    bool m_partInfoSaved = false;
    size_t m_retries = 0;
    qint64 m_rangeStart = 0;  // the range asked of the current answer
    qint64 m_answerBytes = 0; // body bytes of the current answer
    qint64 m_received = 0;    // bytes in the part file
    qint64 m_writeBackTo = 0; // disk writes started up to here
    qint64 m_total = -1;
    qint64 m_resumedFrom = 0;
    qint64 m_transferred = 0;
    QByteArray m_validator;
    std::vector<char> m_buffer;
};