// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_file_name.h"
#include "download/name_template.h"

#include <QTest>

class NameTemplateTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultNamesAsBefore_data()
    {
        QTest::addColumn<QString>("singer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("url");
        const QString mp3 = QStringLiteral("http://h/f/a.mp3");
        QTest::newRow("both") << QStringLiteral("歌手") << QStringLiteral("歌") << mp3;
        QTest::newRow("no singer") << QString() << QStringLiteral("歌") << mp3;
        QTest::newRow("no name") << QStringLiteral("歌手") << QString() << mp3;
        QTest::newRow("neither") << QString() << QString() << QStringLiteral("http://h/f/a.m4a");
        QTest::newRow("unsafe") << QStringLiteral("a/b:c") << QStringLiteral("..\\x*?") << mp3;
        QTest::newRow("dots only") << QStringLiteral("..") << QStringLiteral(" . ") << mp3;
        QTest::newRow("long") << QString(100, QChar(0x6b4c)) << QString(100, QChar(0x624b))
                              << QStringLiteral("http://h/f/a.flac?x=1");
        QTest::newRow("odd extension")
            << QStringLiteral("s") << QStringLiteral("n") << QStringLiteral("http://h/f/a.toolongext");
    }

    void defaultNamesAsBefore()
    {
        QFETCH(QString, singer);
        QFETCH(QString, name);
        QFETCH(QString, url);
        NameFields fields;
        fields.singer = singer;
        fields.name = name;
        fields.fileUrl = url;
        const auto named = templatedFileName(DefaultNameTemplate, fields);
        QVERIFY(named);
        QCOMPARE(*named, soundFileName(singer, name, url));
    }

    void paths_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("singer");
        QTest::addColumn<QString>("path");
        const QString singer = QStringLiteral("歌手");
        QTest::newRow("subfolder") << QStringLiteral("{singer}/{name}") << singer
                                   << QStringLiteral("歌手/歌.wav");
        QTest::newRow("ext placed") << QStringLiteral("{id}.{ext}") << singer << QStringLiteral("1001.wav");
        QTest::newRow("date and short") << QStringLiteral("{date} {shortsinger}-{shortname}") << singer
                                        << QStringLiteral("2020-01-02 短手-短歌.wav");
        QTest::newRow("empty field takes its joiner")
            << QStringLiteral("{date} {singer} - {name}") << QString() << QStringLiteral("2020-01-02 歌.wav");
        QTest::newRow("climbing") << QStringLiteral("../{singer}/../{name}") << singer
                                  << QStringLiteral("歌手/歌.wav");
        QTest::newRow("absolute, empty parts")
            << QStringLiteral("/{singer}//{name}") << singer << QStringLiteral("歌手/歌.wav");
        QTest::newRow("value climbing")
            << QStringLiteral("{singer}/{name}") << QStringLiteral("..") << QStringLiteral("歌.wav");
        QTest::newRow("value with slash")
            << QStringLiteral("{singer}/{name}") << QStringLiteral("a/b") << QStringLiteral("a_b/歌.wav");
        QTest::newRow("ext in a folder")
            << QStringLiteral("{ext}/{name}") << singer << QStringLiteral("wav/歌.wav");
    }

    void paths()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, singer);
        QFETCH(QString, path);
        const NameFields fields{singer,
                                QStringLiteral("歌"),
                                QStringLiteral("1001"),
                                QStringLiteral("2020-01-02 03:04:05"),
                                QStringLiteral("短歌"),
                                QStringLiteral("短手"),
                                QStringLiteral("http://h/f/a.WAV")};
        const auto named = templatedFileName(pattern, fields);
        QVERIFY2(named, named ? "" : qPrintable(templateProblemText(named.error())));
        QCOMPARE(*named, path);
    }

    void longPartsAreCut()
    {
        NameFields fields;
        fields.singer = QString(200, QChar(0x6b4c));
        fields.name = fields.singer;
        const QStringList parts = templatedFileName(QStringLiteral("{singer}/{name}"), fields)->split(u'/');
        QCOMPARE(parts.size(), 2);
        QVERIFY(parts.at(0).toUtf8().size() <= MaxFileNameBytes);
        QVERIFY(parts.at(1).toUtf8().size() <= MaxFileNameBytes - 12);
        QVERIFY(parts.at(1).endsWith(QStringLiteral(".mp3")));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<TemplateProblem>("problem");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString() << TemplateProblem::Empty << QStringLiteral("模板是空的");
        QTest::newRow("blank") << QStringLiteral("  ") << TemplateProblem::Empty
                               << QStringLiteral("模板是空的");
        QTest::newRow("unknown field") << QStringLiteral("{singer} {title}") << TemplateProblem::UnknownField
                                       << QStringLiteral("未知字段 {title}");
        QTest::newRow("unclosed") << QStringLiteral("{name") << TemplateProblem::UnclosedBrace
                                  << QStringLiteral("没有对应的 “}”");
        QTest::newRow("only dots") << QStringLiteral("..") << TemplateProblem::NoFileName
                                   << QStringLiteral("不剩文件名");
        QTest::newRow("folder only") << QStringLiteral("{singer}/") << TemplateProblem::NoFileName
                                     << QStringLiteral("不剩文件名");
    }

    void refused()
    {
        QFETCH(QString, pattern);
        QFETCH(TemplateProblem, problem);
        QFETCH(QString, text);
        const auto checked = checkNameTemplate(pattern);
        QVERIFY(!checked);
        QCOMPARE(checked.error().reason, problem);
        QVERIFY(templateProblemText(checked.error()).contains(text));
        const auto named = templatedFileName(pattern, NameFields());
        QVERIFY(!named);
        QCOMPARE(named.error().reason, problem);
    }
};

QTEST_GUILESS_MAIN(NameTemplateTest)
#include "name_template_test.moc"
