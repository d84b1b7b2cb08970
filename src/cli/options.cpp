// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/options.h"

#include "net/service_config.h"
#include "net/web_address.h"

#include <QCommandLineParser>
#include <QHash>

namespace Options {

namespace {

const Row *rowNamedBy(const QString &argument)
{
    // "--name" or, as the parsers take long names after one dash, "-name";
    // either may carry its value after "=".
    const QString name = (argument.startsWith(QLatin1String("--")) ? argument.mid(2)
                          : argument.startsWith(u'-')              ? argument.mid(1)
                                                                   : QString())
                             .section(u'=', 0, 0);
    if (name.isEmpty())
        return nullptr;
    for (const Row &row : table()) {
        if (row.option.names().contains(name))
            return &row;
    }
    return nullptr;
}

} // namespace

const QStringList &commands()
{
    static const QStringList names = {QStringLiteral("info"), QStringLiteral("download"),
                                      QStringLiteral("hot"), QStringLiteral("history"),
                                      QStringLiteral("config")};
    return names;
}

const QList<Row> &table()
{
    static const QList<Row> rows = [] {
        const Fronts both = Front::Window | Front::CommandLine;
        const auto help = [](const char *text) { return QString::fromUtf8(text); };
        const QStringList download = {QStringLiteral("download")};
        // The commands that reach the service.
        const QStringList fetching = {QStringLiteral("info"), QStringLiteral("download"),
                                      QStringLiteral("hot")};
        QList<Row> list = {
            {{Json, help(QT_TRANSLATE_NOOP(
                        "Cli", "打印为 JSON：info 打印一个对象，hot 和 history 打印一个数组，每项一个对象；"
                               "计数和创建时间是数字"))},
             Front::CommandLine,
             {QStringLiteral("info"), QStringLiteral("hot"), QStringLiteral("history")}},
            {{JsonStrings, help(QT_TRANSLATE_NOOP(
                               "Cli", "同 --json，但每个值都是字符串：旧的格式，供按字符串读取的脚本使用"))},
             Front::CommandLine,
             {QStringLiteral("info"), QStringLiteral("hot")}},
            {{{QStringLiteral("o"), Output},
              help(QT_TRANSLATE_NOOP("Cli", "存入 DIR，不存在时创建，不用设置中的文件夹")),
              QStringLiteral("DIR")},
             Front::CommandLine,
             download},
            {{NameTemplate,
              help(QT_TRANSLATE_NOOP(
                  "Cli", "按 TEMPLATE 命名保存的文件（默认为 name 设置，最初是 "
                         "“{singer} - {name}”）：字段有 {singer} {name} {id} {date} {ext} "
                         "{shortname} {shortsinger}；“/” 分出子文件夹；未写 {ext} 时自动加上扩展名")),
              QStringLiteral("TEMPLATE")},
             Front::CommandLine,
             download},
            {{NoTags, help(QT_TRANSLATE_NOOP("Cli", "保存时不写标签和封面"))}, Front::CommandLine, download},
            {{Jobs, help(QT_TRANSLATE_NOOP("Cli", "同时下载 N 个（1 到 10，默认为 jobs 设置，最初是 3）")),
              QStringLiteral("N")},
             Front::CommandLine,
             download},
            {{Force, help(QT_TRANSLATE_NOOP("Cli", "历史中已下载过的音乐也重新下载"))},
             Front::CommandLine,
             download},
            {{Hot, help(QT_TRANSLATE_NOOP("Cli", "下载首页的十五首热门音乐"))}, Front::CommandLine, download},
            {{History, help(QT_TRANSLATE_NOOP("Cli", "列出记录下的热门列表（最近 100 次刷新），最新的在前"))},
             Front::CommandLine,
             {QStringLiteral("hot")}},
            {{{QStringLiteral("q"), Quiet},
              help(QT_TRANSLATE_NOOP("Cli", "只打印保存的路径和错误：没有进度、提示和说明"))},
             Front::CommandLine,
             fetching},
            {{Timeout, help(QT_TRANSLATE_NOOP("Cli", "这么久收不到数据就放弃（默认 30）")),
              QStringLiteral("SECONDS")},
             Front::CommandLine,
             fetching},
        };
        // The hosts' own descriptions are for no one: the help has these.
        const QHash<QString, QString> hostHelp = {
            {QStringLiteral("web-host"), help(QT_TRANSLATE_NOOP("Cli", "音乐页面和首页所在的网站主机"))},
            {QStringLiteral("api-host"), help(QT_TRANSLATE_NOOP("Cli", "音乐信息接口所在的主机"))},
            {QStringLiteral("update-host"), help(QT_TRANSLATE_NOOP("Cli", "版本文件所在的主机"))},
        };
        for (QCommandLineOption host : serviceHostOptions()) {
            host.setDescription(hostHelp.value(host.names().constFirst()));
            list.append({host, both, fetching});
        }
        list += QList<Row>{
            {{Demo, help(QT_TRANSLATE_NOOP("Cli", "启动内置的示例服务，所有主机都用它"))}, both, fetching},
            {{Language,
              help(QT_TRANSLATE_NOOP("Cli", "文字的语言：zh_CN、zh_TW 或 en（默认取自系统的语言）")),
              QStringLiteral("LANG")},
             both,
             commands()},
            // Read before either front starts (main.cpp); listed so both accept it.
            {{Verbose, help(QT_TRANSLATE_NOOP("Cli", "也显示 Qt 和所用程序库的警告（如图片解码的警告）"))},
             both,
             commands()},
            {{Address,
              help(QT_TRANSLATE_NOOP("Cli",
                                     "（窗口）启动后分析此地址；使用 --demo 时可以只写示例编号，如 1001")),
              QStringLiteral("ADDRESS")},
             Front::Window},
            {{Screenshot,
              help(QT_TRANSLATE_NOOP("Cli",
                                     "（窗口）启动并完成 --address 的分析后，把窗口存为图片，然后退出")),
              QStringLiteral("FILE")},
             Front::Window},
            {{NewWindow,
              help(QT_TRANSLATE_NOOP("Cli", "（窗口）总是打开新的窗口，不把地址交给已打开的窗口"))},
             Front::Window},
            // The addresses are the positional arguments, so a desktop link's bare one fits too.
            {{Download,
              help(QT_TRANSLATE_NOOP(
                  "Cli", "（窗口）启动后把这些地址的音乐加入下载列表；已有打开的窗口时，交给那个窗口"))},
             Front::Window,
             {},
             false,
             QStringLiteral("--download ADDRESS...")},
            {{{QStringLiteral("h"), Help}, help(QT_TRANSLATE_NOOP("Cli", "显示此帮助"))},
             Front::CommandLine,
             commands(),
             true},
            {{{QStringLiteral("v"), Version}, help(QT_TRANSLATE_NOOP("Cli", "显示版本"))},
             Front::CommandLine,
             {},
             true},
        };
        return list;
    }();
    return rows;
}

QString helpSyntax(const Row &row)
{
    if (!row.syntax.isEmpty())
        return row.syntax;
    QStringList names;
    for (const QString &name : row.option.names())
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    const QString value = row.option.valueName();
    return names.join(QStringLiteral(", ")) + (value.isEmpty() ? QString() : u' ' + value);
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
            if (!row->option.valueName().isEmpty() && !argument.contains(u'='))
                ++i; // its value is not taken for a command
            continue;
        }
        if (argument.size() > 1 && argument.startsWith(u'-'))
            return true; // an option no front knows: the command line tells it in its one line
        if (!argument.startsWith(u'-') && !isWebAddress(argument))
            return true; // a command, known or not: the command line reports it
    }
    return false;
}

} // namespace Options
