// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/options.h"

#include "net/service_config.h"
#include "net/web_address.h"

#include <QCommandLineParser>

namespace Options {

namespace {

const Row *rowNamedBy(const QString &argument)
{
    // "--name" or, as the parsers take long names after one dash, "-name".
    const QString name = argument.startsWith(QLatin1String("--")) ? argument.mid(2)
                         : argument.startsWith(u'-')              ? argument.mid(1)
                                                                  : QString();
    if (name.isEmpty())
        return nullptr;
    for (const Row &row : table()) {
        if (row.option.names().contains(name))
            return &row;
    }
    return nullptr;
}

} // namespace

const QList<Row> &table()
{
    static const QList<Row> rows = [] {
        const Fronts both = Front::Window | Front::CommandLine;
        // Descriptions are marked for translation only: the help shows its own texts.
        QList<Row> list = {
            {{Json, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "以 JSON 输出。"))}, Front::CommandLine},
            {{Timeout, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "收不到数据时的等待时限。")),
              QStringLiteral("SECONDS")},
             Front::CommandLine},
            {{Demo, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "使用内置的示例服务。"))}, both},
            {{{QStringLiteral("o"), Output},
              QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "下载文件夹。")),
              QStringLiteral("DIR")},
             Front::CommandLine},
            {{NameTemplate, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "保存的文件的命名模板。")),
              QStringLiteral("TEMPLATE")},
             Front::CommandLine},
            {{NoTags, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "保存文件时不写标签和封面。"))},
             Front::CommandLine},
            {{Jobs, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "同时下载的个数。")), QStringLiteral("N")},
             Front::CommandLine},
            {{Force, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "已下载过的音乐也重新下载。"))},
             Front::CommandLine},
            {{Hot, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "下载首页的十五首热门音乐。"))},
             Front::CommandLine},
            {{{QStringLiteral("h"), Help}, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "帮助。"))},
             Front::CommandLine,
             true},
            {{{QStringLiteral("v"), Version}, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "版本。"))},
             Front::CommandLine,
             true},
            {{Address,
              QString::fromUtf8(
                  QT_TRANSLATE_NOOP("Cli", "启动后分析此地址（使用 --demo 时也可以是示例编号）。")),
              QStringLiteral("ADDRESS")},
             Front::Window},
            {{Screenshot, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "把窗口存为 FILE 后退出。")),
              QStringLiteral("FILE")},
             Front::Window},
            {{NewWindow,
              QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "打开新的窗口，不把地址交给已打开的窗口。"))},
             Front::Window},
            {{Language, QStringLiteral("Language of the texts: zh_CN, zh_TW or en."), QStringLiteral("LANG")},
             both},
            // Read before either front starts (main.cpp); listed so both accept it.
            {{Verbose, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "也显示 Qt 和所用程序库的警告。"))}, both},
            // The addresses are the positional arguments, so a desktop link's bare one fits too.
            {{Download, QString::fromUtf8(QT_TRANSLATE_NOOP("Cli", "把地址的音乐加入下载列表。"))},
             Front::Window},
        };
        for (const QCommandLineOption &host : serviceHostOptions())
            list.append({host, both});
        return list;
    }();
    return rows;
}

void addTo(QCommandLineParser &parser, Front front)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Row &row : table()) {
        if (row.fronts.testFlag(front))
            parser.addOption(row.option);
    }
}

bool wantsCommandLine(const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            return i + 1 < arguments.size();
        if (const Row *row = rowNamedBy(argument)) {
            if (row->question)
                return true;
            if (!row->option.valueName().isEmpty())
                ++i; // its value is not taken for a command
            continue;
        }
        if (!argument.startsWith(u'-') && !isWebAddress(argument))
            return true; // a command, known or not: the command line reports it
    }
    return false;
}

} // namespace Options
