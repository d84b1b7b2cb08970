// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>

// The built-in sample service for --demo, run as the child process
// vexa-sample-service so that the program itself carries no HTTP server.
// The child ends with this object, and with the program however that ends:
// the kernel sends it SIGTERM when the program dies, and its standard input,
// a pipe from here, closes.
class SampleServiceProcess : public QObject
{
    Q_OBJECT

public:
    explicit SampleServiceProcess(QObject *parent = nullptr);
    ~SampleServiceProcess() override;

    // Where the executable is looked for, in order: beside the program, then
    // the folder the package installs it in, found from the program's own.
    static QStringList searchPaths();

    // Starts program (the first of searchPaths() that exists when empty). Ends
    // in ready() once the child has told its address, or in failed() with a
    // one-line message; neither comes before start() returns.
    void start(const QString &program = QString());
    // How long the child may take to tell its address.
    void setReadyTimeout(std::chrono::milliseconds timeout);

    qint64 processId() const;
    QString hostAndPort() const; // "127.0.0.1:PORT"
    QString summary() const;     // a line for people, in their language
    QStringList sampleSoundIds() const;
    QString soundPageUrl(const QString &soundId) const;
    // address trimmed, or for a bare sample id (no "://") its page; nothing stays nothing.
    QString pageAddress(const QString &address) const;

signals:
    void ready();
    void failed(const QString &message);

private:
    void readLines();
    void fail(const QString &reason);

    QProcess m_process;
    QTimer m_readyTimer;
    QStringList m_lines; // what the child said before it was ready
    bool m_settled = false;
    QString m_hostAndPort;
    QStringList m_sampleSoundIds;
    QString m_pagePrefix; // "http://HOST/sound/"
};
