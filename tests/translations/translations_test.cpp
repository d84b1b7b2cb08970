// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

// The .ts files kept in git against a fresh lupdate of the sources (run on
// copies, so the source tree is left alone): every text translated in every
// language, and nothing added, changed or gone without update_translations.
class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void complete_data();
    void complete();
    void upToDate_data() { complete_data(); }
    void upToDate();

private:
    static QByteArray read(const QString &path);
    QString freshPath(const QString &language) const;
    QString keptPath(const QString &language) const;

    QTemporaryDir m_fresh;
};

QByteArray TranslationsTest::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString TranslationsTest::freshPath(const QString &language) const
{
    return m_fresh.filePath(QStringLiteral("vexa-helper_%1.ts").arg(language));
}

QString TranslationsTest::keptPath(const QString &language) const
{
    return QStringLiteral(VEXA_TS_DIR "/vexa-helper_%1.ts").arg(language);
}

void TranslationsTest::initTestCase()
{
    QVERIFY(m_fresh.isValid());
    for (const QString &language : {QStringLiteral("en"), QStringLiteral("zh_TW")})
        QVERIFY(QFile::copy(keptPath(language), freshPath(language)));
    QProcess lupdate;
    lupdate.start(QStringLiteral(VEXA_CMAKE),
                  {QStringLiteral("-DLUPDATE=" VEXA_LUPDATE), QStringLiteral("-DSOURCES=" VEXA_TEXT_SOURCES),
                   QStringLiteral("-DTS_DIR=") + m_fresh.path(), QStringLiteral("-P"),
                   QStringLiteral(VEXA_LUPDATE_SCRIPT)});
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);
}

void TranslationsTest::complete_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << QStringLiteral("en");
    QTest::newRow("zh_TW") << QStringLiteral("zh_TW");
}

void TranslationsTest::complete()
{
    QFETCH(QString, language);
    QXmlStreamReader xml(read(freshPath(language)));
    QStringList untranslated;
    int messages = 0;
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.name() == QLatin1String("translation")) {
            ++messages;
            const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            if (xml.readElementText(QXmlStreamReader::IncludeChildElements).isEmpty() || !finished)
                untranslated.append(context + u'|' + source);
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(messages > 50);
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'\n')));
}

void TranslationsTest::upToDate()
{
    QFETCH(QString, language);
    QVERIFY2(read(freshPath(language)) == read(keptPath(language)),
             "out of date with the sources: build the update_translations target");
}

QTEST_GUILESS_MAIN(TranslationsTest)
#include "translations_test.moc"
