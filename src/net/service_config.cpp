// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/service_config.h"

#include "build_config.h"
#include "util/ui_language.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

const QString WebHostOption = QStringLiteral("web-host");
const QString ApiHostOption = QStringLiteral("api-host");
const QString UpdateHostOption = QStringLiteral("update-host");
const char *const BadHostText = QT_TRANSLATE_NOOP("ServiceConfig", "--%1：“%2” 不是主机名（可带端口）");

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiHexDigit(char16_t c)
{
    return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

ServiceConfig ServiceConfig::defaults()
{
    return {QStringLiteral(VEXA_DEFAULT_WEB_HOST), QStringLiteral(VEXA_DEFAULT_API_HOST),
            QStringLiteral(VEXA_DEFAULT_UPDATE_HOST), QStringLiteral(VEXA_DEFAULT_FORUM_URL),
            QStringLiteral(VEXA_DEFAULT_HOME_PAGE_URL)};
}

ServiceConfig ServiceConfig::allAt(const QString &hostAndPort)
{
    const QString base = QStringLiteral("http://") + hostAndPort;
    return {hostAndPort, hostAndPort, hostAndPort, base + QStringLiteral("/forum/"),
            base + QStringLiteral("/")};
}

QString ServiceConfig::versionFileUrl() const
{
    return QStringLiteral("http://") + updateHost + QStringLiteral("/version/main.txt");
}

QString ServiceConfig::hotPageUrl() const
{
    return QStringLiteral("http://") + webHost + QStringLiteral("/?wp");
}

bool isValidHost(const QString &host)
{
    // Lenient on the name itself (underscores, IDN, IPv6 literals), strict on
    // what would change the address's shape: a scheme, path, query, user part
    // or white space. A port must be a number from 1 to 65535. Read by hand:
    // a regular expression would load PCRE and compile it on every start.
    qsizetype nameEnd = 0;
    if (host.startsWith(u'[')) {
        nameEnd = host.indexOf(u']');
        if (nameEnd < 2)
            return false;
        for (qsizetype i = 1; i < nameEnd; ++i) {
            const char16_t c = host.at(i).unicode();
            if (!isAsciiHexDigit(c) && c != u':' && c != u'.')
                return false;
        }
        ++nameEnd;
    } else {
        static constexpr QStringView Shaping = u"/?#@\\:[]";
        while (nameEnd < host.size() && !host.at(nameEnd).isSpace() && !Shaping.contains(host.at(nameEnd)))
            ++nameEnd;
        if (nameEnd == 0)
            return false;
    }
    if (nameEnd == host.size())
        return true;
    const QStringView port = QStringView(host).sliced(nameEnd);
    if (!port.startsWith(u':') || port.size() < 2 || port.size() > 6)
        return false;
    int number = 0;
    for (const QChar c : port.sliced(1)) {
        if (!isAsciiDigit(c.unicode()))
            return false;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number >= 1 && number <= 65535;
}

QList<QCommandLineOption> serviceHostOptions()
{
    return {
        {WebHostOption, QStringLiteral("Web host of the sound pages and home page."),
         QStringLiteral("HOST[:PORT]")},
        {ApiHostOption, QStringLiteral("Host of the sound-info endpoint."), QStringLiteral("HOST[:PORT]")},
        {UpdateHostOption, QStringLiteral("Host of the version file."), QStringLiteral("HOST[:PORT]")}};
}

void addServiceHostOptions(QCommandLineParser &parser)
{
    parser.addOptions(serviceHostOptions());
}

Expected<ServiceConfig, HostOptionFailure> applyServiceHostOptions(const QCommandLineParser &parser,
                                                                   ServiceConfig base)
{
    struct Override
    {
        const QString &option;
        QString *field;
    };
    const Override overrides[] = {
        {WebHostOption, &base.webHost}, {ApiHostOption, &base.apiHost}, {UpdateHostOption, &base.updateHost}};
    for (const Override &o : overrides) {
        if (!parser.isSet(o.option))
            continue;
        const QString value = parser.value(o.option);
        if (!isValidHost(value))
            return unexpected(HostOptionProblem::NotAHost, BadHostOption{o.option, value});
        *o.field = value;
    }
    return base;
}

QString hostOptionFailureText(const HostOptionFailure &failure, const UiTranslators *translators)
{
    return (translators ? translators->text("ServiceConfig", BadHostText)
                        : QCoreApplication::translate("ServiceConfig", BadHostText))
        .arg(failure.detail.option, failure.detail.value);
}
