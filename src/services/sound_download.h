#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <vector>

class QNetworkReply;

// Longest file name the file systems we save to accept, in bytes.
constexpr int MaxFileNameBytes = 255;

// The extension of the file an address names, with its dot (".wav"); ".mp3"
// when the path has none or an odd one.
QString FileExtensionOf(const QString &fileUrl);

// text made safe as one file name: no separators, NUL or control characters,
// none of the characters other systems forbid, no leading dots or trailing
// dots and spaces, at most maxBytes of UTF-8 (cut on a character boundary,
// the extension kept). Empty when nothing usable is left.
QString SafeFileName(const QString &text, int maxBytes = MaxFileNameBytes);

// "singer - name.ext" for a sound, made safe, leaving room for a " (n)"
// and the ".part" of the file being written.
QString SoundFileName(const QString &singer, const QString &soundName, const QString &fileUrl);

// "name (n).ext" for the n-th alternative to an existing file.
QString NumberedFileName(const QString &fileName, int n);

struct DownloadRequest
{
    QString fileUrl;  // http or https only
    QString folder;   // created when missing
    QString fileName; // wanted name; made safe again and numbered on collision
    std::chrono::milliseconds stallTimeout = std::chrono::seconds(30);
};

enum class DownloadError {
    None,
    NotWebAddress, // the address is not http(s)
    Folder,        // the folder cannot be created or written
    HttpStatus,    // the server answered with an error status
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

    bool ok() const { return error == DownloadError::None; }
    QString fileName() const;
};

// Short Chinese reason for the status line.
QString DownloadFailureText(const DownloadResult &result);

// One file downloaded asynchronously from the shared network manager: the
// body is streamed into "NAME.part", reserved exclusively next to a free
// final name, and renamed without overwriting when it is whole. On any
// failure the part file is removed and no file exists under the final name.
// Deleting a running download aborts it the same way.
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
    qint64 total() const { return m_total; } // -1 while unknown
    const DownloadResult &result() const { return m_result; }

signals:
    void progress(qint64 received, qint64 total);
    // Delete the download later (deleteLater), not from inside this signal.
    void finished();

private:
    bool reserveFile();
    void onMetaData();
    void onReadyRead();
    void onFinished();
    bool drain();
    bool commit();
    void fail(DownloadError error, const QString &detail);
    void cleanUp();

    DownloadRequest m_request;
    DownloadResult m_result;
    QPointer<QNetworkReply> m_reply;
    QString m_finalPath;
    QString m_partPath;
    int m_fd = -1;
    bool m_started = false;
    bool m_running = false;
    qint64 m_received = 0;
    qint64 m_total = -1;
    std::vector<char> m_buffer;
};
