// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/sound_link.h"

#include <QTest>

Q_DECLARE_METATYPE(AddressCheck)

namespace {

const QString WebHost = QStringLiteral("www.vexa.example");
const QString ApiHost = QStringLiteral("api.vexa.example");
const QString EmptyMessage = QStringLiteral("请输入音乐地址..");
// The comma is the full-width U+FF0C, not ASCII.
const QString WrongMessage = QStringLiteral("地址有误\uFF0C请检查..");

} // namespace

class SoundLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void soundPagePrefix_data();
    void soundPagePrefix();
    void checkAddress_data();
    void checkAddress();
    void normalisedAddress_data();
    void normalisedAddress();
    void soundId_data();
    void soundId();
};

void SoundLinkTest::soundPagePrefix_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("named host") << WebHost << QStringLiteral("http://www.vexa.example/sound/");
    QTest::newRow("address with port")
        << QStringLiteral("127.0.0.1:8123") << QStringLiteral("http://127.0.0.1:8123/sound/");
}

void SoundLinkTest::soundPagePrefix()
{
    QFETCH(QString, host);
    QFETCH(QString, prefix);
    QCOMPARE(::soundPagePrefix(host), prefix);
}

void SoundLinkTest::checkAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("host");
    QTest::addColumn<AddressCheck>("outcome");
    QTest::addColumn<QString>("message");

    const auto empty = AddressCheck::Empty;
    const auto wrong = AddressCheck::NotSoundPage;
    const auto ok = AddressCheck::Accepted;

    QTest::newRow("empty") << QString() << WebHost << empty << EmptyMessage;
    QTest::newRow("empty but not null") << QStringLiteral("") << WebHost << empty << EmptyMessage;
    QTest::newRow("one space") << QStringLiteral(" ") << WebHost << empty << EmptyMessage;
    QTest::newRow("white space only") << QStringLiteral(" \t\u3000\n ") << WebHost << empty << EmptyMessage;
    QTest::newRow("hint text") << QStringLiteral("双击粘贴音乐地址") << WebHost << wrong << WrongMessage;
    QTest::newRow("scheme in capitals")
        << QStringLiteral("HTTP://www.vexa.example/sound/123") << WebHost << wrong << WrongMessage;
    QTest::newRow("host in capitals")
        << QStringLiteral("http://WWW.VEXA.EXAMPLE/sound/123") << WebHost << wrong << WrongMessage;
    QTest::newRow("path in capitals")
        << QStringLiteral("http://www.vexa.example/Sound/123") << WebHost << wrong << WrongMessage;
    QTest::newRow("secure scheme") << QStringLiteral("https://www.vexa.example/sound/123") << WebHost << ok
                                   << QString();
    QTest::newRow("secure scheme, word before")
        << QStringLiteral("听 https://www.vexa.example/sound/123") << WebHost << ok << QString();
    QTest::newRow("secure scheme, other host")
        << QStringLiteral("https://127.0.0.1:8123/sound/123") << WebHost << wrong << WrongMessage;
    QTest::newRow("secure scheme in capitals")
        << QStringLiteral("HTTPS://www.vexa.example/sound/123") << WebHost << wrong << WrongMessage;
    QTest::newRow("prefix without its last slash")
        << QStringLiteral("http://www.vexa.example/sound") << WebHost << wrong << WrongMessage;
    QTest::newRow("other page of the host")
        << QStringLiteral("http://www.vexa.example/user/123") << WebHost << wrong << WrongMessage;
    QTest::newRow("plain sound page")
        << QStringLiteral("http://www.vexa.example/sound/123") << WebHost << ok << QString();
    QTest::newRow("bare prefix") << QStringLiteral("http://www.vexa.example/sound/") << WebHost << ok
                                 << QString();
    QTest::newRow("word and space before")
        << QStringLiteral("listen http://www.vexa.example/sound/123") << WebHost << ok << QString();
    QTest::newRow("slash in text before")
        << QStringLiteral("a/b http://www.vexa.example/sound/123") << WebHost << ok << QString();
    QTest::newRow("leading and trailing spaces")
        << QStringLiteral("  http://www.vexa.example/sound/1  ") << WebHost << ok << QString();
    QTest::newRow("page of the default host, other host configured")
        << QStringLiteral("http://www.vexa.example/sound/123") << QStringLiteral("127.0.0.1:8123") << wrong
        << WrongMessage;
    QTest::newRow("host with port") << QStringLiteral("http://127.0.0.1:8123/sound/123")
                                    << QStringLiteral("127.0.0.1:8123") << ok << QString();
    QTest::newRow("host with other port") << QStringLiteral("http://127.0.0.1:8124/sound/123")
                                          << QStringLiteral("127.0.0.1:8123") << wrong << WrongMessage;
}

void SoundLinkTest::checkAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, host);
    QFETCH(AddressCheck, outcome);
    QFETCH(QString, message);

    const AddressCheck check = checkSoundAddress(address, host);
    QCOMPARE(check, outcome);
    QCOMPARE(addressCheckMessage(check), message);
}

void SoundLinkTest::normalisedAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("normalised");

    const QString page = QStringLiteral("http://www.vexa.example/sound/123");
    QTest::newRow("as it should be") << page << page;
    QTest::newRow("white space around") << QStringLiteral(" \t") + page + QStringLiteral("  \n") << page;
    QTest::newRow("secure scheme") << QStringLiteral("https://www.vexa.example/sound/123") << page;
    QTest::newRow("share query") << page + QStringLiteral("?from=share&t=1") << page;
    QTest::newRow("fragment") << page + QStringLiteral("#x") << page;
    QTest::newRow("query holding slashes") << page + QStringLiteral("?next=/a/b#c") << page;
    QTest::newRow("space before the query") << page + QStringLiteral(" ?x ") << page;
    QTest::newRow("everything at once")
        << QStringLiteral("  https://www.vexa.example/sound/123?from=share#top  ") << page;
    QTest::newRow("question mark in text before is kept")
        << QStringLiteral("why? ") + page << QStringLiteral("why? ") + page;
    QTest::newRow("further path word kept")
        << page + QStringLiteral("/more?x") << page + QStringLiteral("/more");
    QTest::newRow("secure page of another host kept")
        << QStringLiteral("https://other.example/sound/1") << QStringLiteral("https://other.example/sound/1");
    QTest::newRow("too few pieces to have an id") << QStringLiteral(" a/b?c ") << QStringLiteral("a/b?c");
}

void SoundLinkTest::normalisedAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, normalised);
    QCOMPARE(normalisedSoundAddress(address, WebHost), normalised);
}

void SoundLinkTest::soundId_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("apiHost");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("url");

    const QString api = QStringLiteral("http://api.vexa.example/sound/info?sound_id=");

    QTest::newRow("plain") << QStringLiteral("http://www.vexa.example/sound/123456") << ApiHost
                           << QStringLiteral("123456") << api + QStringLiteral("123456");
    QTest::newRow("id not digits") << QStringLiteral("http://www.vexa.example/sound/abc") << ApiHost
                                   << QStringLiteral("abc") << api + QStringLiteral("abc");
    QTest::newRow("word and space before") << QStringLiteral("listen http://www.vexa.example/sound/77")
                                           << ApiHost << QStringLiteral("77") << api + QStringLiteral("77");
    QTest::newRow("leading spaces") << QStringLiteral("  http://www.vexa.example/sound/77") << ApiHost
                                    << QStringLiteral("77") << api + QStringLiteral("77");
    // Pieces: "a", "b http:", "", host, "sound".
    QTest::newRow("slash before prefix") << QStringLiteral("a/b http://www.vexa.example/sound/77") << ApiHost
                                         << QStringLiteral("sound") << api + QStringLiteral("sound");
    QTest::newRow("query string") << QStringLiteral("http://www.vexa.example/sound/123?from=share&x=1")
                                  << ApiHost << QStringLiteral("123") << api + QStringLiteral("123");
    QTest::newRow("fragment") << QStringLiteral("http://www.vexa.example/sound/123#top") << ApiHost
                              << QStringLiteral("123") << api + QStringLiteral("123");
    QTest::newRow("secure scheme, query and fragment")
        << QStringLiteral("https://www.vexa.example/sound/123?a=/b#c") << ApiHost << QStringLiteral("123")
        << api + QStringLiteral("123");
    QTest::newRow("question mark before the prefix")
        << QStringLiteral("why? http://www.vexa.example/sound/77") << ApiHost << QStringLiteral("77")
        << api + QStringLiteral("77");
    QTest::newRow("only a query") << QStringLiteral("http://www.vexa.example/sound/?x=1") << ApiHost
                                  << QString() << api;
    QTest::newRow("trailing slash") << QStringLiteral("http://www.vexa.example/sound/123/") << ApiHost
                                    << QStringLiteral("123") << api + QStringLiteral("123");
    QTest::newRow("further path word") << QStringLiteral("http://www.vexa.example/sound/123/more") << ApiHost
                                       << QStringLiteral("123") << api + QStringLiteral("123");
    QTest::newRow("bare prefix") << QStringLiteral("http://www.vexa.example/sound/") << ApiHost << QString()
                                 << QStringLiteral("http://api.vexa.example/sound/info?sound_id=");
    QTest::newRow("trailing white space") << QStringLiteral("http://www.vexa.example/sound/123 \t\u3000")
                                          << ApiHost << QStringLiteral("123") << api + QStringLiteral("123");
    QTest::newRow("space before a further path word")
        << QStringLiteral("http://www.vexa.example/sound/123 /more") << ApiHost << QStringLiteral("123")
        << api + QStringLiteral("123");
    // No percent-encoding: the id goes into the request address as typed.
    QTest::newRow("non-ASCII and space kept verbatim")
        << QStringLiteral("http://www.vexa.example/sound/音乐 1") << ApiHost << QStringLiteral("音乐 1")
        << QStringLiteral("http://api.vexa.example/sound/info?sound_id=音乐 1");
    QTest::newRow("host with port") << QStringLiteral("http://127.0.0.1:8123/sound/42")
                                    << QStringLiteral("127.0.0.1:8124") << QStringLiteral("42")
                                    << QStringLiteral("http://127.0.0.1:8124/sound/info?sound_id=42");
    QTest::newRow("empty") << QString() << ApiHost << QString() << api;
    QTest::newRow("four pieces") << QStringLiteral("http://www.vexa.example/sound") << ApiHost << QString()
                                 << api;
    QTest::newRow("four pieces, no scheme") << QStringLiteral("a/b/c/d") << ApiHost << QString() << api;
    QTest::newRow("five pieces, last empty") << QStringLiteral("a/b/c/d/") << ApiHost << QString() << api;
    QTest::newRow("five pieces") << QStringLiteral("a/b/c/d/e") << ApiHost << QStringLiteral("e")
                                 << api + QStringLiteral("e");
    QTest::newRow("empty pieces kept")
        << QStringLiteral("////x") << ApiHost << QStringLiteral("x") << api + QStringLiteral("x");
    QTest::newRow("backslash is no separator")
        << QStringLiteral("a\\b/c/d/e/f") << ApiHost << QStringLiteral("f") << api + QStringLiteral("f");
}

void SoundLinkTest::soundId()
{
    QFETCH(QString, address);
    QFETCH(QString, apiHost);
    QFETCH(QString, id);
    QFETCH(QString, url);

    QCOMPARE(soundIdFromAddress(address), id);
    QCOMPARE(soundInfoUrl(id, apiHost), url);

    // The window and the command line check the normalised address but
    // take the id from the one given: both must find the same id.
    QCOMPARE(soundIdFromAddress(normalisedSoundAddress(address, WebHost)), id);

    const SoundLink link = SoundLink::fromAddress(address, apiHost);
    QCOMPARE(link.address, address);
    QCOMPARE(link.soundId, id);
    QCOMPARE(link.infoUrl, url);
}

QTEST_APPLESS_MAIN(SoundLinkTest)
#include "sound_link_test.moc"
