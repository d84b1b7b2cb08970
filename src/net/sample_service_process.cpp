// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/sample_service_process.h"

#include "build_config.h"
#include "net/service_config.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const QString ExecutableName = QStringLiteral("vexa-sample-service");
// The first four lines of the child: its address, its line for people, its
// sample ids, and the address its sound pages start with.
const QString ListeningPrefix = QStringLiteral("vexa-sample-service listening on http://");
const QString SoundsPrefix = QStringLiteral("sample sounds: ");
const QString PagesPrefix = QStringLiteral("sound pages: ");
constexpr int ReadyLines = 4;

} // namespace

SampleServiceProcess::SampleServiceProcess(QObject *parent)
    : QObject(parent)
{
    m_readyTimer.setSingleShot(true);
    m_readyTimer.setInterval(15s);
    connect(&m_readyTimer, &QTimer::timeout, this, [this] {
        fail(QCoreApplication::translate("SampleServiceProcess", "%1 在 %2 秒内没有告知端口")
                 .arg(m_process.program())
                 .arg(double(m_readyTimer.interval()) / 1000));
    });
    // Its complaints are the user's to read; its standard output is ours.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setArguments({QStringLiteral("--end-with-stdin")});
    const pid_t parentId = ::getpid();
    m_process.setChildProcessModifier([parentId] {
        // Only async-signal-safe calls between fork and exec. A program that
        // died before the request took hold is no longer the parent.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parentId)
            ::_exit(1);
    });
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SampleServiceProcess::readLines);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fail(QCoreApplication::translate("SampleServiceProcess", "%1 未能运行：%2")
                     .arg(m_process.program(), m_process.errorString()));
    });
    connect(&m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        fail(status == QProcess::NormalExit
                 ? QCoreApplication::translate("SampleServiceProcess", "%1 已退出，状态码 %2")
                       .arg(m_process.program())
                       .arg(exitCode)
                 : QCoreApplication::translate("SampleServiceProcess", "%1 崩溃了").arg(m_process.program()));
    });
}

SampleServiceProcess::~SampleServiceProcess()
{
    m_process.disconnect(this);
    if (m_process.state() == QProcess::NotRunning)
        return;
    // Bounded: the service ends at once on a termination request.
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

QStringList SampleServiceProcess::searchPaths()
{
    const QString bin = QCoreApplication::applicationDirPath();
    return {bin + u'/' + ExecutableName,
            QDir::cleanPath(bin + u'/' + QStringLiteral(VEXA_LIBEXEC_FROM_BIN) + u'/' + ExecutableName)};
}

void SampleServiceProcess::start(const QString &program)
{
    QString executable = program;
    if (executable.isEmpty()) {
        const QStringList paths = searchPaths();
        for (const QString &path : paths) {
            if (QFileInfo(path).isExecutable()) {
                executable = path;
                break;
            }
        }
        if (executable.isEmpty()) {
            fail(QCoreApplication::translate("SampleServiceProcess", "在 %2 找不到 %1")
                     .arg(ExecutableName,
                          paths.join(QCoreApplication::translate("SampleServiceProcess", " 或 "))));
            return;
        }
    }
    m_process.setProgram(executable);
    m_readyTimer.start();
    m_process.start();
}

void SampleServiceProcess::setReadyTimeout(std::chrono::milliseconds timeout)
{
    m_readyTimer.setInterval(timeout);
}

qint64 SampleServiceProcess::processId() const
{
    return m_process.processId();
}

QString SampleServiceProcess::hostAndPort() const
{
    return m_hostAndPort;
}

QString SampleServiceProcess::summary() const
{
    // Ours rather than the service's line, which is in English only.
    if (m_sampleSoundIds.isEmpty())
        return {};
    return QCoreApplication::translate("SampleServiceProcess", "http://%1，音乐页面 %2 至 %3")
        .arg(m_hostAndPort, soundPageUrl(m_sampleSoundIds.first()), soundPageUrl(m_sampleSoundIds.last()));
}

QStringList SampleServiceProcess::sampleSoundIds() const
{
    return m_sampleSoundIds;
}

QString SampleServiceProcess::soundPageUrl(const QString &soundId) const
{
    return m_pagePrefix + soundId;
}

QString SampleServiceProcess::pageAddress(const QString &address) const
{
    // Nothing given stays nothing, to be refused as such by both fronts.
    const QString given = address.trimmed();
    return given.isEmpty() || given.contains(QLatin1String("://")) ? given : soundPageUrl(given);
}

void SampleServiceProcess::readLines()
{
    if (m_settled) {
        m_process.readAllStandardOutput(); // nothing more is expected; keep the pipe from filling
        return;
    }
    while (m_process.canReadLine() && m_lines.size() < ReadyLines)
        m_lines.append(QString::fromUtf8(m_process.readLine()).trimmed());
    if (!m_lines.isEmpty() && !m_lines.first().startsWith(ListeningPrefix)) {
        fail(QCoreApplication::translate("SampleServiceProcess", "%1 输出了 “%2”，而不是它的端口")
                 .arg(m_process.program(), m_lines.first()));
        return;
    }
    if (m_lines.size() < ReadyLines)
        return;
    const QString host = m_lines.at(0).mid(ListeningPrefix.size());
    const QStringList ids = m_lines.at(2).startsWith(SoundsPrefix)
                                ? m_lines.at(2).mid(SoundsPrefix.size()).split(u' ', Qt::SkipEmptyParts)
                                : QStringList();
    const QString pages = m_lines.at(3);
    if (!isValidHost(host) || m_lines.at(1).isEmpty() || ids.isEmpty() ||
        !pages.startsWith(PagesPrefix + QStringLiteral("http://") + host + u'/')) {
        fail(QCoreApplication::translate("SampleServiceProcess", "%1 告知端口的格式未知")
                 .arg(m_process.program()));
        return;
    }
    m_settled = true;
    m_readyTimer.stop();
    m_hostAndPort = host;
    m_sampleSoundIds = ids;
    m_pagePrefix = pages.mid(PagesPrefix.size());
    m_lines.clear();
    emit ready();
}

void SampleServiceProcess::fail(const QString &reason)
{
    if (m_settled)
        return;
    m_settled = true;
    m_readyTimer.stop();
    if (m_process.state() != QProcess::NotRunning)
        m_process.kill(); // reaped when it ends, or at the latest by the destructor
    // Queued, so that a failure found inside start() still comes after it.
    QMetaObject::invokeMethod(
        this, [this, reason] { emit failed(reason); }, Qt::QueuedConnection);
}
