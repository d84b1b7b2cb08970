// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/sound_tags.h"
#include "sample_service/sample_encodings.h"
#include "sample_service/sample_media.h"
#include "support/media_reader.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/tpropertymap.h>

namespace {

QByteArray sampleFile(const QString &extension)
{
    const QByteArray wav = sampleAudioWav(1001);
    return extension == u"wav" ? wav : encodeSampleAudio(wav, extension).bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

SoundTags someTags()
{
    SoundTags tags;
    tags.title = QStringLiteral("晨光里的小城");
    tags.artist = QStringLiteral("苏晓棠");
    tags.comment = QStringLiteral("清晨录下的吉他小品。\r\n愿你今天也有好心情。");
    tags.date = QStringLiteral("2023-03-14");
    tags.pageAddress = QStringLiteral("http://www.vexa.example/sound/1001");
    tags.cover = sampleCoverPng(1001);
    return tags;
}

// The page address where GStreamer shows it; it shows neither MP4's
// freeform items nor WAV's ID3 chunk, so TagLib reads those.
QString pageAddressIn(const QString &path, const MediaReading &reading)
{
    const QByteArray name = QFile::encodeName(path);
    if (path.endsWith(u".m4a")) {
        TagLib::MP4::File file(name.constData(), false);
        const TagLib::MP4::Item item =
            file.tag()->item(TagLib::String("----:com.apple.iTunes:") + PageAddressProperty);
        return item.isValid() ? QString::fromStdString(item.toStringList().front().to8Bit(true)) : QString();
    }
    if (path.endsWith(u".wav")) {
        const TagLib::PropertyMap map = TagLib::FileRef(name.constData(), false).file()->properties();
        return map.contains(PageAddressProperty)
                   ? QString::fromStdString(map[PageAddressProperty].front().to8Bit(true))
                   : QString();
    }
    return reading.urls.value(path.endsWith(u".mp3") ? QStringLiteral("WOAS") : PageAddressProperty);
}

} // namespace

class SoundTagsTest : public QObject
{
    Q_OBJECT

private slots:
    void tagged_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("id3Version");
        QTest::addColumn<bool>("coverReadable"); // GStreamer reads no picture from WAV
        QTest::newRow("mp3 v2.4") << "mp3" << 4 << true;
        QTest::newRow("mp3 v2.3") << "mp3" << 3 << true;
        QTest::newRow("m4a") << "m4a" << 4 << true;
        QTest::newRow("flac") << "flac" << 4 << true;
        QTest::newRow("ogg vorbis") << "ogg" << 4 << true;
        QTest::newRow("opus") << "opus" << 4 << true;
        QTest::newRow("wav") << "wav" << 4 << false;
    }

    // Read back by GStreamer, not by TagLib alone; the decoded audio must be
    // the same samples as before.
    void tagged()
    {
        QFETCH(QString, extension);
        QFETCH(int, id3Version);
        QFETCH(bool, coverReadable);
        const QString path = m_dir.filePath(QStringLiteral("tagged.") + extension);
        const QByteArray original = sampleFile(extension);
        QVERIFY(!original.isEmpty());
        QVERIFY(writeFile(path, original));
        const MediaReading before = readMedia(path);
        QVERIFY2(before.ok, qPrintable(before.error));
        QVERIFY(before.title.isEmpty());

        SoundTags tags = someTags();
        tags.id3Version = id3Version;
        const TagOutcome outcome = writeSoundTags(path, path, tags);
        QVERIFY2(outcome.written, qPrintable(outcome.detail));

        const MediaReading after = readMedia(path);
        QVERIFY2(after.ok, qPrintable(after.error));
        QCOMPARE(after.pcm.size(), before.pcm.size());
        QVERIFY(after.pcm == before.pcm);
        QCOMPARE(after.title, tags.title);
        QCOMPARE(after.artist, tags.artist);
        QCOMPARE(after.comment, QStringLiteral("清晨录下的吉他小品。\n愿你今天也有好心情。"));
        QCOMPARE(after.date, tags.date);
        if (coverReadable)
            QCOMPARE(after.cover, tags.cover);
        QCOMPARE(pageAddressIn(path, after), tags.pageAddress);

        const QByteArray bytes = readFile(path);
        if (extension == u"mp3") {
            // The tag sits in front; every byte of the original follows it.
            QCOMPARE(bytes.left(4), QByteArray("ID3") + char(id3Version));
            QVERIFY(bytes.endsWith(original));
        }
        if (extension == u"wav") // the picture is in the ID3 chunk
            QVERIFY(bytes.contains("ID3 ") && bytes.contains("APIC"));
    }

    // Where the file system cannot insert blocks (tmpfs), TagLib rewrites the file.
    void taggedWithoutBlockInsert()
    {
        QTemporaryDir shm(QStringLiteral("/dev/shm/vexa-tags-XXXXXX"));
        if (!shm.isValid())
            QSKIP("no /dev/shm here");
        const QString path = shm.filePath(QStringLiteral("x.mp3"));
        const QByteArray original = sampleFile(QStringLiteral("mp3"));
        QVERIFY(writeFile(path, original));
        QVERIFY(writeSoundTags(path, path, someTags()).written);
        const QByteArray bytes = readFile(path);
        QVERIFY(bytes.startsWith("ID3") && bytes.endsWith(original));
        QCOMPARE(readMedia(path).title, someTags().title);
    }

    void intoFrontRoom_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<qint64>("room");
        QTest::addColumn<bool>("fits");
        const QString disk = m_dir.path();
        QTest::newRow("the tag fits") << disk << qint64(64 * 1024) << true;
        QTest::newRow("too small: blocks inserted") << disk << qint64(4096) << false;
        QTest::newRow("too small, no block insert") << QStringLiteral("/dev/shm") << qint64(4096) << false;
    }

    // The tag replaces the empty one the download left in front, and no
    // empty tag stays between it and the audio.
    void intoFrontRoom()
    {
        QFETCH(QString, folder);
        QFETCH(qint64, room);
        QFETCH(bool, fits);
        QTemporaryDir dir(folder + QStringLiteral("/vexa-room-XXXXXX"));
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("x.mp3"));
        const QByteArray original = sampleFile(QStringLiteral("mp3"));
        QVERIFY(writeFile(path, emptyId3Tag(room, 4) + original));
        QVERIFY(writeSoundTags(path, path, someTags(), renderedId3Tag(someTags()), room).written);
        const QByteArray bytes = readFile(path);
        QCOMPARE(bytes.size() == room + original.size(), fits);
        const auto byte = [&bytes](int i) { return qint64(quint8(bytes.at(i)) & 0x7F); };
        QCOMPARE(10 + (byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9)) + original.size(),
                 bytes.size());
        QVERIFY(bytes.endsWith(original));
        const MediaReading reading = readMedia(path);
        QCOMPARE(reading.title, someTags().title);
        QCOMPARE(reading.cover, someTags().cover);
    }

    // A second tagging replaces the first: one cover, the new title.
    void taggedAgain()
    {
        const QString path = m_dir.filePath(QStringLiteral("again.mp3"));
        QVERIFY(writeFile(path, sampleFile(QStringLiteral("mp3"))));
        QVERIFY(writeSoundTags(path, path, someTags()).written);
        SoundTags second = someTags();
        second.title = QStringLiteral("第二次");
        second.cover = sampleCoverPng(1002);
        QVERIFY(writeSoundTags(path, path, second).written);
        const MediaReading reading = readMedia(path);
        QCOMPARE(reading.title, second.title);
        QCOMPARE(reading.cover, second.cover);
        QCOMPARE(readFile(path).count("APIC"), 1);
    }

    // A huge text from the service is written cut, where a character ends.
    void longTextsCut_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("text");
        QTest::newRow("mp3, ASCII") << "mp3" << QString(1000000, u'a');
        QTest::newRow("mp3, Chinese") << "mp3" << QString(100000, QChar(0x6b4c));
        QTest::newRow("flac, emoji across the limit") << "flac" << u'a' + QStringLiteral("🎵").repeated(20000);
    }

    void longTextsCut()
    {
        QFETCH(QString, extension);
        QFETCH(QString, text);
        const QString path = m_dir.filePath(QStringLiteral("long.") + extension);
        QVERIFY(writeFile(path, sampleFile(extension)));
        SoundTags tags = someTags();
        tags.title = tags.comment = text;
        QVERIFY(writeSoundTags(path, path, tags).written);
        const MediaReading reading = readMedia(path);
        QVERIFY2(reading.ok, qPrintable(reading.error));
        QCOMPARE(reading.artist, tags.artist);
        for (const QString &field : {reading.title, reading.comment}) {
            const qsizetype bytes = field.toUtf8().size();
            QVERIFY2(bytes <= 64 * 1024 && bytes > 64 * 1024 - 4, qPrintable(QString::number(bytes)));
            QVERIFY(text.startsWith(field));
        }
    }

    void untouched_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("a WAV named .mp3") << "x.mp3" << sampleAudioWav(1001);
        QTest::newRow("an MP3 named .flac") << "x.flac" << sampleFile(QStringLiteral("mp3"));
        QTest::newRow("Vorbis named .opus") << "x.opus" << sampleFile(QStringLiteral("ogg"));
        QTest::newRow("a web page named .m4a") << "x.m4a" << QByteArray("<html><body>404</body></html>");
        QTest::newRow("an unknown kind") << "x.aac" << sampleFile(QStringLiteral("mp3"));
        QTest::newRow("empty") << "x.mp3" << QByteArray();
    }

    void untouched()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(fileName);
        QVERIFY(writeFile(path, content));
        const TagOutcome outcome = writeSoundTags(path, path, someTags());
        QVERIFY(!outcome.written);
        QVERIFY(!outcome.detail.isEmpty());
        QCOMPARE(readFile(path), content);
    }

    // Without the tagging module every file stays as it came, an MP3's
    // room in front included. The module, once loaded, stays: a child run
    // of this test looks for it in an empty folder.
    void withoutModule()
    {
        if (qEnvironmentVariableIsEmpty("VEXA_NO_MODULES")) {
            QTemporaryDir none;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_PLUGIN_PATH"), none.path());
            environment.insert(QStringLiteral("VEXA_NO_MODULES"), QStringLiteral("1"));
            QProcess child;
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("withoutModule")});
            QVERIFY(child.waitForFinished(120 * 1000));
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                     child.readAll().constData());
            return;
        }
        QVERIFY(renderedId3Tag(someTags()).isEmpty());
        const QByteArray mp3 = sampleFile(QStringLiteral("mp3"));
        const QList<std::pair<QString, QByteArray>> files = {
            {QStringLiteral("room.mp3"), emptyId3Tag(4096, 4) + mp3},
            {QStringLiteral("bare.mp3"), mp3},
            {QStringLiteral("x.flac"), sampleFile(QStringLiteral("flac"))}};
        for (const auto &[name, content] : files) {
            const QString path = m_dir.filePath(name);
            QVERIFY(writeFile(path, content));
            const qint64 room = name == u"room.mp3" ? 4096 : 0;
            const TagOutcome outcome = writeSoundTags(path, path, someTags(), {}, room);
            QVERIFY(!outcome.written);
            QVERIFY(!outcome.detail.isEmpty());
            QCOMPARE(readFile(path), content);
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(SoundTagsTest)
#include "sound_tags_test.moc"
