// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// What one run of the vexa-helper executable gave.
struct VexaRun
{
    int exitCode = -1; // -1: did not finish in time, -2: crashed
    QByteArray out;
    QString err;
};

// Runs the built vexa-helper with arguments and no display at all: the
// command line must never need one.
inline VexaRun runVexaHelper(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VEXA_HELPER_EXE), arguments);
    VexaRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The same with every service host pointed at hostAndPort, e.g. a sample
// service in the test.
inline VexaRun runVexaHelperAt(const QString &hostAndPort, const QStringList &arguments)
{
    return runVexaHelper(arguments + QStringList{QStringLiteral("--api-host"), hostAndPort,
                                                 QStringLiteral("--web-host"), hostAndPort,
                                                 QStringLiteral("--update-host"), hostAndPort});
}

// Whether pid names a process that has not ended (an unreaped one has).
inline bool processIsRunning(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z"; // "PID (NAME) STATE ..."
}
