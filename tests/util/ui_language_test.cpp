// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "util/ui_language.h"

#include "hotlist/hot_list_window.h"
#include "shell/main_window.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using OptionalName = std::optional<QString>;
Q_DECLARE_METATYPE(OptionalName)

class UiLanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void fromLocales_data();
    void fromLocales();
    void fromName_data();
    void fromName();
    void option_data();
    void option();
    void windowTexts_data();
    void windowTexts();
    void systemLanguage();
};

void UiLanguageTest::fromLocales_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<QString>("language");
    const QString source;
    QTest::newRow("C") << QStringList{QStringLiteral("C")} << source;
    QTest::newRow("POSIX") << QStringList{QStringLiteral("POSIX")} << source;
    QTest::newRow("zh_CN") << QStringList{QStringLiteral("zh-CN"), QStringLiteral("en-US")} << source;
    QTest::newRow("zh bare") << QStringList{QStringLiteral("zh")} << source;
    QTest::newRow("zh_TW") << QStringList{QStringLiteral("zh-TW")} << UiLanguage::Traditional;
    QTest::newRow("zh_HK") << QStringList{QStringLiteral("zh_HK")} << UiLanguage::Traditional;
    QTest::newRow("zh_MO") << QStringList{QStringLiteral("zh-MO")} << UiLanguage::Traditional;
    QTest::newRow("Hant") << QStringList{QStringLiteral("zh-Hant-SG")} << UiLanguage::Traditional;
    QTest::newRow("Hans in HK") << QStringList{QStringLiteral("zh-Hans-HK")} << source;
    QTest::newRow("en_US") << QStringList{QStringLiteral("en-US")} << UiLanguage::English;
    QTest::newRow("en_GB") << QStringList{QStringLiteral("en-GB"), QStringLiteral("zh-TW")}
                           << UiLanguage::English;
    QTest::newRow("de_DE") << QStringList{QStringLiteral("de-DE")} << source;
    QTest::newRow("de then en") << QStringList{QStringLiteral("de-DE"), QStringLiteral("en-GB")}
                                << UiLanguage::English;
    QTest::newRow("fr then zh_TW") << QStringList{QStringLiteral("fr"), QStringLiteral("zh-TW")}
                                   << UiLanguage::Traditional;
    QTest::newRow("none") << QStringList{} << source;
}

void UiLanguageTest::fromLocales()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(QString, language);
    QCOMPARE(UiLanguage::fromLocales(uiLanguages), language);
}

void UiLanguageTest::fromName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<OptionalName>("language");
    QTest::newRow("en") << QStringLiteral("en") << OptionalName(UiLanguage::English);
    QTest::newRow("en_US") << QStringLiteral("en_US") << OptionalName(UiLanguage::English);
    QTest::newRow("zh_TW") << QStringLiteral("zh_TW") << OptionalName(UiLanguage::Traditional);
    QTest::newRow("zh-hk") << QStringLiteral("zh-hk") << OptionalName(UiLanguage::Traditional);
    QTest::newRow("zh_CN") << QStringLiteral("zh_CN") << OptionalName(QString());
    QTest::newRow("C") << QStringLiteral("C") << OptionalName(QString());
    QTest::newRow("de") << QStringLiteral("de") << OptionalName();
    QTest::newRow("english") << QStringLiteral("english") << OptionalName();
    QTest::newRow("empty") << QString() << OptionalName();
}

void UiLanguageTest::fromName()
{
    QFETCH(QString, name);
    QFETCH(OptionalName, language);
    QCOMPARE(UiLanguage::fromName(name), language);
}

// --lang over the user's languages, through the embedded translations. The
// tests run under LC_ALL=C, which outranks LANGUAGE.
void UiLanguageTest::option_data()
{
    qputenv("LANGUAGE", "en");
    QTest::addColumn<OptionalName>("option");
    QTest::addColumn<QString>("analyse");
    QTest::addColumn<bool>("bad");
    QTest::newRow("none") << OptionalName() << QStringLiteral("分析") << false;
    QTest::newRow("en") << OptionalName(QStringLiteral("en")) << QStringLiteral("Analyse") << false;
    QTest::newRow("zh_TW") << OptionalName(QStringLiteral("zh_TW")) << QStringLiteral("分析") << false;
    QTest::newRow("zh_CN") << OptionalName(QStringLiteral("zh_CN")) << QStringLiteral("分析") << false;
    QTest::newRow("unknown") << OptionalName(QStringLiteral("xx")) << QStringLiteral("分析") << true;
}

void UiLanguageTest::option()
{
    QFETCH(OptionalName, option);
    QFETCH(QString, analyse);
    QFETCH(bool, bad);
    const auto loaded = loadUiLanguage(option);
    QCOMPARE(!loaded, bad);
    if (!bad)
        QCOMPARE(loaded.value()->text("MainWindow", "分析"), analyse);
    if (bad) {
        const QString problem = languageProblemText(*loadUiLanguage(std::nullopt).value(), loaded.error());
        QVERIFY(problem.startsWith(QLatin1String("--lang: ")));
        QVERIFY(problem.contains(QStringLiteral("“xx”")));
        QVERIFY(problem.contains(QLatin1String("zh_CN, zh_TW, en")));
    }
}

void UiLanguageTest::windowTexts_data()
{
    QTest::addColumn<QString>("language");
    // analyse, download, settings, hot list, title header, Qt's own Cancel
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("source") << QString()
                            << QStringList{QStringLiteral("分析"),     QStringLiteral("下载音乐"),
                                           QStringLiteral("设置"),     QStringLiteral("Vexa热门推荐"),
                                           QStringLiteral("音乐名称"), QStringLiteral("取消")};
    QTest::newRow("en") << UiLanguage::English
                        << QStringList{QStringLiteral("Analyse"),  QStringLiteral("Download"),
                                       QStringLiteral("Settings"), QStringLiteral("Vexa Hot Picks"),
                                       QStringLiteral("Title"),    QStringLiteral("Cancel")};
    QTest::newRow("zh_TW") << UiLanguage::Traditional
                           << QStringList{QStringLiteral("分析"),     QStringLiteral("下載音樂"),
                                          QStringLiteral("設定"),     QStringLiteral("Vexa熱門推薦"),
                                          QStringLiteral("音樂名稱"), QStringLiteral("取消")};
}

void UiLanguageTest::windowTexts()
{
    QFETCH(QString, language);
    QFETCH(QStringList, texts);
    UiTranslators translators(language);
    translators.install();
    const ServiceConfig config = ServiceConfig::allAt(QStringLiteral("127.0.0.1:9"));
    MainWindow main(config);
    HotListWindow hotList(config);
    const QDialogButtonBox qtButtons(QDialogButtonBox::Cancel);
    const QStringList shown = {
        main.findChild<QPushButton *>(QStringLiteral("analyseButton"))->text(),
        main.findChild<QPushButton *>(QStringLiteral("downloadButton"))->text(),
        main.findChild<QLabel *>(QStringLiteral("settingsLink"))->text(),
        main.findChild<QLabel *>(QStringLiteral("hotListLink"))->text(),
        hotList.findChild<QTreeView *>(QStringLiteral("hotListView"))
            ->model()
            ->headerData(HotListModel::NameColumn, Qt::Horizontal)
            .toString(),
        qtButtons.button(QDialogButtonBox::Cancel)->text(),
    };
    QCOMPARE(shown, texts);
    // Wider texts widen the title links and move the ones before them; a
    // link keeps its height and its right edge, less what those after it took.
    for (const char *name : {"downloadsLink", "settingsLink", "hotListLink", "homePageLink"}) {
        const auto *link = main.findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(link->width() >= link->fontMetrics().horizontalAdvance(link->text()), name);
        QCOMPARE(link->geometry().top(), 13);
    }
    const auto *settings = main.findChild<QLabel *>(QStringLiteral("settingsLink"));
    const auto *hotListLink = main.findChild<QLabel *>(QStringLiteral("hotListLink"));
    QCOMPARE(settings->geometry().right(), 543 - (568 - hotListLink->geometry().left()));
}

// Run by CTest once per LANG (see tests/CMakeLists.txt), the language the
// user's environment asks for: the window, the command line's messages and
// its help all follow it.
void UiLanguageTest::systemLanguage()
{
    const QString expected = qEnvironmentVariable("VEXA_EXPECTED_LANGUAGE");
    const std::unique_ptr<UiTranslators> translators = loadUiLanguage(std::nullopt).value();
    translators->install();
    MainWindow main(ServiceConfig::allAt(QStringLiteral("127.0.0.1:9")));
    const QString analyse = main.findChild<QPushButton *>(QStringLiteral("analyseButton"))->text();
    QCOMPARE(analyse, expected == u"en" ? QStringLiteral("Analyse") : QStringLiteral("分析"));
    QCOMPARE(main.findChild<QLabel *>(QStringLiteral("settingsLink"))->text(),
             expected == u"en"      ? QStringLiteral("Settings")
             : expected == u"zh_TW" ? QStringLiteral("設定")
                                    : QStringLiteral("设置"));

    const auto run = [](const QStringList &arguments) {
        QProcess helper;
        helper.start(QStringLiteral(VEXA_HELPER_EXE), arguments);
        helper.waitForFinished(30000);
        return QString::fromUtf8(helper.readAllStandardOutput() + helper.readAllStandardError());
    };
    const QString help = run({QStringLiteral("--help")});
    const QString wrong = run({QStringLiteral("frob")});
    const QString wanted = expected == u"en" ? QStringLiteral("vexa-helper: wrong usage: unknown command")
                           : expected == u"zh_TW" ? QStringLiteral("vexa-helper: 用法有誤: 未知的指令")
                                                  : QStringLiteral("vexa-helper: 用法有误: 未知命令");
    QVERIFY2(wrong.startsWith(wanted), qPrintable(wrong));
    QVERIFY2(help.startsWith(expected == u"en" ? QStringLiteral("Usage:") : QStringLiteral("用法：")),
             qPrintable(help));
    QCOMPARE(help.contains(QLatin1String("open the main window")), expected == u"en");
}

QTEST_MAIN(UiLanguageTest)
#include "ui_language_test.moc"
