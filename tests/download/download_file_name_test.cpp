// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/download_file_name.h"

#include <QTest>

class DownloadFileNameTest : public QObject
{
    Q_OBJECT

private slots:
    void extension_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("extension");
        QTest::newRow("wav") << QStringLiteral("http://h/audio/1.wav") << QStringLiteral(".wav");
        QTest::newRow("ape") << QStringLiteral("http://h/audio/1.ape") << QStringLiteral(".ape");
        // Whatever the desktop would open as a page, a picture or a program is saved as a sound.
        QTest::newRow("a page") << QStringLiteral("http://h/audio/1.html") << QStringLiteral(".mp3");
        QTest::newRow("a script") << QStringLiteral("http://h/audio/1.SH") << QStringLiteral(".mp3");
        QTest::newRow("a picture") << QStringLiteral("http://h/1.svg?x=.mp3") << QStringLiteral(".mp3");
        QTest::newRow("a program") << QStringLiteral("http://h/a.exe") << QStringLiteral(".mp3");
        QTest::newRow("upper case, query")
            << QStringLiteral("http://h/a/b.M4A?x=1.ogg") << QStringLiteral(".m4a");
        QTest::newRow("none") << QStringLiteral("http://h/audio/1") << QStringLiteral(".mp3");
        QTest::newRow("dot in a folder only") << QStringLiteral("http://h/a.b/c") << QStringLiteral(".mp3");
        QTest::newRow("too long") << QStringLiteral("http://h/a.abcdefgh") << QStringLiteral(".mp3");
        QTest::newRow("odd characters") << QStringLiteral("http://h/a.m%2F3") << QStringLiteral(".mp3");
        QTest::newRow("not ASCII") << QStringLiteral("http://h/a.音乐") << QStringLiteral(".mp3");
        QTest::newRow("ends in a dot") << QStringLiteral("http://h/a.") << QStringLiteral(".mp3");
    }

    void extension()
    {
        QFETCH(QString, url);
        QFETCH(QString, extension);
        QCOMPARE(fileExtensionOf(url), extension);
    }

    void safeNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("safe");
        QTest::newRow("plain") << QStringLiteral("苏晓棠 - 晨光里的小城.wav")
                               << QStringLiteral("苏晓棠 - 晨光里的小城.wav");
        QTest::newRow("climbing out")
            << QStringLiteral("../../etc/passwd") << QStringLiteral("_.._etc_passwd");
        QTest::newRow("dot dot") << QStringLiteral("..") << QString();
        QTest::newRow("hidden") << QStringLiteral(". .bashrc") << QStringLiteral("bashrc");
        QTest::newRow("trailing dots and spaces") << QStringLiteral("a. .") << QStringLiteral("a");
        QTest::newRow("NUL and controls")
            << QStringLiteral("a") + QChar(0) + QStringLiteral("b\n\tc\x7f") << QStringLiteral("a_b__c_");
        QTest::newRow("characters other systems forbid")
            << QStringLiteral("a\\b:c*d?e\"f<g>h|i") << QStringLiteral("a_b_c_d_e_f_g_h_i");
        QTest::newRow("lone surrogate")
            << QStringLiteral("a") + QChar(0xd800) + QStringLiteral("b") << QStringLiteral("a_b");
        QTest::newRow("pair kept") << QStringLiteral("星🎵") << QStringLiteral("星🎵");
        QTest::newRow("C1 controls") << QStringLiteral("a\u009b31mb\u0085") << QStringLiteral("a_31mb_");
        QTest::newRow("right-to-left override")
            << QStringLiteral("歌\u202egnp.exe.mp3") << QStringLiteral("歌gnp.exe.mp3");
        QTest::newRow("every direction control")
            << QStringLiteral("a\u202a\u202b\u202c\u202d\u2066\u2067\u2068\u2069\u200e\u200f\u061cb")
            << QStringLiteral("ab");
        QTest::newRow("leading dashes")
            << QStringLiteral("-rf --help.mp3") << QStringLiteral("rf --help.mp3");
        QTest::newRow("dashes behind a direction mark")
            << QStringLiteral("\u200e- -x") << QStringLiteral("x");
    }

    void safeNames()
    {
        QFETCH(QString, text);
        QFETCH(QString, safe);
        QCOMPARE(safeFileName(text), safe);
    }

    // Over-long names are cut on a character boundary, keep the extension
    // and fit the limit in bytes.
    void longNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("extension");
        QTest::newRow("Chinese") << QString(200, QChar(0x97f3)) + QStringLiteral(".wav")
                                 << QStringLiteral(".wav");
        QTest::newRow("emoji") << QStringLiteral("🎵").repeated(100) + QStringLiteral(".mp3")
                               << QStringLiteral(".mp3");
        QTest::newRow("no extension") << QString(300, u'x') << QString();
        QTest::newRow("a million characters, from a hostile answer")
            << QStringLiteral(". ").repeated(500000) + QString(1000000, QChar(0x6b4c)) +
                   QStringLiteral(".mp3")
            << QStringLiteral(".mp3");
    }

    void longNames()
    {
        QFETCH(QString, text);
        QFETCH(QString, extension);
        for (int limit : {255, 100, 17}) {
            const QString safe = safeFileName(text, limit);
            QVERIFY(!safe.isEmpty());
            QVERIFY(safe.toUtf8().size() <= limit);
            QVERIFY(safe.endsWith(extension));
            QCOMPARE(QString::fromUtf8(safe.toUtf8()), safe); // no half character
            QVERIFY(text.contains(safe.chopped(extension.size())));
        }
    }

    void soundFileNames_data()
    {
        QTest::addColumn<QString>("singer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("fileName");
        const QString wav = QStringLiteral("http://h/audio/1.wav");
        QTest::newRow("both") << QStringLiteral("苏晓棠") << QStringLiteral("晨光里的小城") << wav
                              << QStringLiteral("苏晓棠 - 晨光里的小城.wav");
        QTest::newRow("no singer") << QString() << QStringLiteral("雨巷") << QStringLiteral("http://h/s")
                                   << QStringLiteral("雨巷.mp3");
        QTest::newRow("nothing") << QString() << QString() << wav << QStringLiteral("未命名音乐.wav");
        QTest::newRow("separators") << QStringLiteral("AC/DC") << QStringLiteral("a/../b") << wav
                                    << QStringLiteral("AC_DC - a_.._b.wav");
        QTest::newRow("dots only") << QStringLiteral("..") << QString() << wav
                                   << QStringLiteral("未命名音乐.wav");
        QTest::newRow("option-like singer") << QStringLiteral("-rf--help") << QStringLiteral("雨") << wav
                                            << QStringLiteral("rf--help - 雨.wav");
    }

    void soundFileNames()
    {
        QFETCH(QString, singer);
        QFETCH(QString, name);
        QFETCH(QString, url);
        QFETCH(QString, fileName);
        QCOMPARE(soundFileName(singer, name, url), fileName);
    }

    void soundFileNameLeavesRoom()
    {
        const QString name = soundFileName(QString(100, QChar(0x6b4c)), QString(100, QChar(0x624b)),
                                           QStringLiteral("http://h/a.flac"));
        QVERIFY(name.endsWith(QStringLiteral(".flac")));
        // The longest file a download writes beside it: its part info's replacement.
        const QString worst = numberedFileName(name, 9999) + QStringLiteral(".part.meta.new");
        QVERIFY(worst.toUtf8().size() <= MaxFileNameBytes);
    }

    void numbered_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("numbered");
        QTest::newRow("extension") << QStringLiteral("a - b.mp3") << 1 << QStringLiteral("a - b (1).mp3");
        QTest::newRow("none") << QStringLiteral("ab") << 12 << QStringLiteral("ab (12)");
        QTest::newRow("dots inside") << QStringLiteral("v1.2 live.wav") << 2
                                     << QStringLiteral("v1.2 live (2).wav");
    }

    void numbered()
    {
        QFETCH(QString, name);
        QFETCH(int, n);
        QFETCH(QString, numbered);
        QCOMPARE(numberedFileName(name, n), numbered);
    }
};

QTEST_GUILESS_MAIN(DownloadFileNameTest)
#include "download_file_name_test.moc"
