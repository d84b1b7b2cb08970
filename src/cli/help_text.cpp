// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/help_text.h"

#include "cli/cli_output.h"
#include "cli/command_steps.h"
#include "cli/options.h"

#include "library/download_settings.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>

#include <utility>

namespace Cli {

namespace {

using HelpRows = QList<std::pair<QString, QString>>;

struct HelpRow
{
    const char *syntax;
    const char *text; // translated when shown
};

const HelpRow UsageRows[] = {
    {"vexa-helper [OPTIONS]", QT_TRANSLATE_NOOP("Cli", "打开主窗口")},
    {"vexa-helper [OPTIONS] ADDRESS",
     QT_TRANSLATE_NOOP("Cli", "打开主窗口并分析此地址；已有打开的窗口时，交给那个窗口")},
    {"vexa-helper [OPTIONS] COMMAND [ARGUMENTS]", QT_TRANSLATE_NOOP("Cli", "运行一条命令")},
    {"vexa-helper COMMAND --help", QT_TRANSLATE_NOOP("Cli", "显示这条命令的用法、选项和退出状态")},
};

// Each row's command is the first word of its syntax.
const HelpRow CommandRows[] = {
    {"info ADDRESS [--json]", QT_TRANSLATE_NOOP("Cli", "分析音乐页面地址，打印音乐信息（--json：一个对象）；"
                                                       "使用 --demo 时 ADDRESS 可以只写示例编号，如 1001")},
    {"download ADDRESS [-o DIR] [--name TEMPLATE] [--no-tags]",
     QT_TRANSLATE_NOOP("Cli", "分析地址，保存音乐文件（存入下载文件夹或 DIR），打印保存的路径；"
                              "使用 --demo 时 ADDRESS 可以只写示例编号，如 1001")},
    {"download ADDRESS... | - | --hot",
     QT_TRANSLATE_NOOP("Cli", "依次下载多个地址（“-”：从标准输入每行读一个地址；--hot：首页的十五首热门音乐，"
                              "再加上写出的地址），每保存一个打印一行路径；历史中已下载且文件仍在的音乐跳过"
                              "（算作成功），除非加 --force；有失败时最后列出失败的地址和原因")},
    {"hot [--json]", QT_TRANSLATE_NOOP("Cli", "列出首页的十五首热门音乐（--json：一个数组，每首一个对象，"
                                              "文字与截取的完全一致），并标出与上次刷新相比的升降；"
                                              "每次刷新都记入历史")},
    {"hot --history [--json]",
     QT_TRANSLATE_NOOP("Cli", "列出记录下的热门列表刷新，最新的在前：时间和每个名次的音乐"
                              "（--json：一个数组，每次刷新一个对象）")},
    {"history [--json]",
     QT_TRANSLATE_NOOP("Cli", "列出下载历史（窗口与命令行共用），最新的在前：状态、大小、名称、歌手、"
                              "保存的路径或失败原因、时间（--json：一个数组，每项一个对象）")},
    {"config [KEY [VALUE]]",
     QT_TRANSLATE_NOOP("Cli", "以 key=value 行打印下载设置，或打印一项，或设置一项；键：%1")},
};

// What a config key's value may be, beside its name; a key without a note
// is listed bare.
const QHash<QString, const char *> ConfigKeyNotes = {
    {QStringLiteral("name"), QT_TRANSLATE_NOOP("Cli", "默认的 --name 模板")},
    {QStringLiteral("tags"), QT_TRANSLATE_NOOP("Cli", "true/false")},
    {QStringLiteral("id3-version"), QT_TRANSLATE_NOOP("Cli", "3/4")},
    {QStringLiteral("clipboard-offers"), QT_TRANSLATE_NOOP("Cli", "窗口是否提议剪贴板中的地址，true/false")},
    {QStringLiteral("jobs"), QT_TRANSLATE_NOOP("Cli", "同时下载几个，1 到 10")},
};

struct ExitRow
{
    int status;
    const char *text;
    QStringList commands; // empty: every command
};

const QList<ExitRow> &exitRows()
{
    static const QList<ExitRow> rows = {
        {Success, QT_TRANSLATE_NOOP("Cli", "成功"), {}},
        {AddressRejected,
         QT_TRANSLATE_NOOP("Cli", "地址未被接受"),
         {QStringLiteral("info"), QStringLiteral("download")}},
        {FetchFailed,
         QT_TRANSLATE_NOOP("Cli", "未收到回答"),
         {QStringLiteral("info"), QStringLiteral("download"), QStringLiteral("hot")}},
        {ExtractFailed,
         QT_TRANSLATE_NOOP("Cli", "回答中没有音乐信息（hot：页面中没有条目）"),
         {QStringLiteral("info"), QStringLiteral("download"), QStringLiteral("hot")}},
        {DownloadFailed,
         QT_TRANSLATE_NOOP("Cli", "下载失败；下载多个时，有一个失败"),
         {QStringLiteral("download")}},
        {UsageError, QT_TRANSLATE_NOOP("Cli", "用法有误"), {}},
        {Interrupted,
         QT_TRANSLATE_NOOP("Cli", "被 Ctrl-C 中断（终止请求：143），已保留可继续的部分文件"),
         {QStringLiteral("download")}},
        {Failure, QT_TRANSLATE_NOOP("Cli", "其他失败"), {}},
    };
    return rows;
}

constexpr int HelpWidth = 80;
constexpr int SyntaxWidth = 26;

QString translated(const char *text)
{
    return QCoreApplication::translate("Cli", text);
}

// A heading and its rows, (syntax, translated text): the syntax on the
// left, the text wrapped beside it, or below it when the syntax is too wide.
QString helpSection(const char *heading, const HelpRows &rows)
{
    QString out = translated(heading) + u'\n';
    const QString indent(SyntaxWidth, u' ');
    for (const auto &[syntax, text] : rows) {
        QString left = QStringLiteral("  ") + syntax;
        if (left.size() + 1 > SyntaxWidth) {
            out += left + u'\n';
            left.clear();
        }
        for (const QString &line : wrapText(text, HelpWidth - SyntaxWidth)) {
            out += (left.isEmpty() ? indent : left.leftJustified(SyntaxWidth)) + line + u'\n';
            left.clear();
        }
    }
    return out;
}

QString configKeysText()
{
    QStringList keys;
    for (const QString &key : DownloadSettings::keys()) {
        const char *note = ConfigKeyNotes.value(key);
        keys.append(note ? QCoreApplication::translate("Cli", "%1（%2）").arg(key, translated(note)) : key);
    }
    return keys.join(QCoreApplication::translate("Cli", "、"));
}

// The command rows of command, or every one when command is empty.
HelpRows commandRows(const QString &command, const QString &prefix)
{
    HelpRows out;
    for (const HelpRow &row : CommandRows) {
        const QString syntax = QLatin1String(row.syntax);
        if (!command.isEmpty() && syntax.section(u' ', 0, 0) != command)
            continue;
        QString text = translated(row.text);
        if (syntax.startsWith(QLatin1String("config")))
            text = text.arg(configKeysText());
        out.append({prefix + syntax, text});
    }
    return out;
}

// The options' lines come from the options table, which holds their help.
// In the whole help an option of some commands only names them first.
HelpRows optionRows(const QString &command)
{
    HelpRows out;
    for (const Options::Row &row : Options::table()) {
        if (!command.isEmpty() && !row.commands.contains(command))
            continue;
        QString text = translated(row.option.description().toUtf8().constData());
        if (command.isEmpty() && !row.commands.isEmpty() && row.commands != Options::commands())
            text = QCoreApplication::translate("Cli", "（%1）%2").arg(row.commands.join(u'/'), text);
        out.append({Options::helpSyntax(row), text});
    }
    return out;
}

HelpRows exitStatusRows(const QString &command)
{
    HelpRows out;
    for (const ExitRow &row : exitRows()) {
        if (command.isEmpty() || row.commands.isEmpty() || row.commands.contains(command))
            out.append({QString::number(row.status), translated(row.text)});
    }
    return out;
}

} // namespace

QString helpText()
{
    HelpRows usage;
    for (const HelpRow &row : UsageRows)
        usage.append({QLatin1String(row.syntax), translated(row.text)});
    return helpSection(QT_TRANSLATE_NOOP("Cli", "用法："), usage) + u'\n' +
           helpSection(QT_TRANSLATE_NOOP("Cli", "命令："), commandRows({}, {})) + u'\n' +
           helpSection(QT_TRANSLATE_NOOP("Cli", "选项："), optionRows({})) + u'\n' +
           helpSection(QT_TRANSLATE_NOOP("Cli", "退出状态："), exitStatusRows({}));
}

QString commandHelpText(const QString &command)
{
    return helpSection(QT_TRANSLATE_NOOP("Cli", "用法："),
                       commandRows(command, QStringLiteral("vexa-helper "))) +
           u'\n' + helpSection(QT_TRANSLATE_NOOP("Cli", "选项："), optionRows(command)) + u'\n' +
           helpSection(QT_TRANSLATE_NOOP("Cli", "退出状态："), exitStatusRows(command));
}

} // namespace Cli
