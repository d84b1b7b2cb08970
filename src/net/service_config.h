// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "util/expected.h"
#include <QList>

#include <QString>

#include <optional>

class QCommandLineOption;
class UiTranslators;
class QCommandLineParser;

// Where the program's remote services live. A host may carry a port
// ("127.0.0.1:8123"); addresses are always built over plain http.
struct ServiceConfig
{
    QString webHost;     // sound pages and the home page
    QString apiHost;     // the sound-info endpoint
    QString updateHost;  // the version file
    QString forumUrl;    // opened when another version is announced
    QString homePageUrl; // the maker's home page

    // The values the build was configured with.
    static ServiceConfig defaults();

    // Every host pointed at one server, e.g. the built-in sample service.
    static ServiceConfig allAt(const QString &hostAndPort);

    QString versionFileUrl() const; // http://UPDATE/version/main.txt
    QString hotPageUrl() const;     // http://WEB/?wp
};

// A host, optionally with a port: no scheme, path, user part or white space.
bool isValidHost(const QString &host);

// --web-host, --api-host, --update-host.
QList<QCommandLineOption> serviceHostOptions();
void addServiceHostOptions(QCommandLineParser &parser);

// A host option whose value is not a host.
struct BadHostOption
{
    QString option;
    QString value;
};
enum class HostOptionProblem { NotAHost };
using HostOptionFailure = Failure<HostOptionProblem, BadHostOption>;

// Applies the host options given on the command line over base.
Expected<ServiceConfig, HostOptionFailure> applyServiceHostOptions(const QCommandLineParser &parser,
                                                                   ServiceConfig base);
// The line that tells the failure, translated by translators when given
// (before the application object exists), else by the installed ones.
QString hostOptionFailureText(const HostOptionFailure &failure, const UiTranslators *translators = nullptr);
