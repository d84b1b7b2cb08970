// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_encodings.h"
#include "sample_service/sample_media.h"
#include "support/media_reader.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray be32(quint32 value, int bytes = 4)
{
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian(value, out.data());
    return out.right(bytes);
}

QByteArray le32(quint32 value)
{
    QByteArray out(4, Qt::Uninitialized);
    qToLittleEndian(value, out.data());
    return out;
}

QByteArray syncSafe(quint32 value)
{
    QByteArray out(4, Qt::Uninitialized);
    for (int i = 0; i < 4; ++i)
        out[i] = char(value >> (7 * (3 - i)) & 0x7f);
    return out;
}

QByteArray id3Frame(const char *id, const QByteArray &data)
{
    return id + syncSafe(quint32(data.size())) + QByteArray(2, '\0') + data;
}

QByteArray utf16(const QString &text)
{
    return QByteArray("\xff\xfe") +
           QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2) + QByteArray(2, '\0');
}

// An ID3v2.4 tag in front of the MP3; a back cover comes before the front one.
QByteArray id3Tagged(const QByteArray &mp3, const QByteArray &front)
{
    const QByteArray utf8 = "\x03";
    const QByteArray frames =
        id3Frame("TIT2", utf8 + "晨光") + id3Frame("TPE1", utf8 + "苏晓棠") +
        id3Frame("COMM", utf8 + "chi" + '\0' + "清晨") + id3Frame("TDRC", utf8 + "2023-03-14") +
        id3Frame("APIC", utf8 + "image/png" + '\0' + '\x04' + '\0' + sampleCoverPng(7)) +
        id3Frame("APIC", utf8 + "image/png" + '\0' + '\x03' + '\0' + front) +
        id3Frame("WOAS", "http://127.0.0.1/sound/1001") +
        id3Frame("WXXX", "\x01" + utf16(QStringLiteral("来源")) + "http://127.0.0.1/x");
    return "ID3\x04" + QByteArray(2, '\0') + syncSafe(quint32(frames.size())) + frames + mp3;
}

QByteArray flacBlock(int type, const QByteArray &data, bool last)
{
    return char(type | (last ? 0x80 : 0)) + be32(quint32(data.size()), 3) + data;
}

// The FLAC's comment block replaced by ours, a picture block added.
QByteArray flacTagged(const QByteArray &flac, const QByteArray &front)
{
    QByteArray comments = le32(1) + "x" + le32(5);
    for (const QByteArray &entry :
         {QByteArray("TITLE=晨光"), QByteArray("ARTIST=苏晓棠"), QByteArray("COMMENT=清晨"),
          QByteArray("DATE=2023-03-14"), QByteArray("WEBSITE=http://127.0.0.1/sound/1001")})
        comments += le32(quint32(entry.size())) + entry;
    const QByteArray picture = be32(3) + be32(9) + "image/png" + be32(0) + be32(200) + be32(200) + be32(24) +
                               be32(0) + be32(quint32(front.size())) + front;
    QList<QByteArray> blocks = {comments, picture};
    QList<int> types = {4, 6};
    qsizetype at = 4;
    bool last = false;
    while (!last && at + 4 <= flac.size()) {
        last = flac[at] & 0x80;
        const int type = flac[at] & 0x7f;
        const qsizetype size = qFromBigEndian<quint32>(flac.constData() + at) & 0xffffff;
        if (type != 4) {
            blocks.insert(type == 0 ? 0 : blocks.size(), flac.mid(at + 4, size));
            types.insert(type == 0 ? 0 : types.size(), type);
        }
        at += 4 + size;
    }
    QByteArray out = "fLaC";
    for (qsizetype i = 0; i < blocks.size(); ++i)
        out += flacBlock(types[i], blocks[i], i + 1 == blocks.size());
    return out + flac.mid(at);
}

} // namespace

class MediaReaderTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    MediaReading read(const QByteArray &bytes, const QString &name)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        file.close();
        return readMedia(file.fileName());
    }

private slots:
    void tags_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("urlKey");
        QTest::newRow("id3") << "mp3"
                             << "WOAS";
        QTest::newRow("vorbis comments") << "flac"
                                         << "WEBSITE";
    }

    void tags()
    {
        QFETCH(QString, extension);
        QFETCH(QString, urlKey);
        const EncodedAudio plain = encodeSampleAudio(sampleAudioWav(1001), extension);
        QVERIFY2(plain.error.isEmpty(), qPrintable(plain.error));
        const QByteArray front = sampleCoverPng(1001);
        const QByteArray tagged = extension == QLatin1String("mp3") ? id3Tagged(plain.bytes, front)
                                                                    : flacTagged(plain.bytes, front);

        const MediaReading before = read(plain.bytes, QStringLiteral("plain.") + extension);
        const MediaReading after = read(tagged, QStringLiteral("tagged.") + extension);
        QVERIFY2(after.ok, qPrintable(after.error));
        QCOMPARE(after.title, QStringLiteral("晨光"));
        QCOMPARE(after.artist, QStringLiteral("苏晓棠"));
        QCOMPARE(after.comment, QStringLiteral("清晨"));
        QCOMPARE(after.date, QStringLiteral("2023-03-14"));
        QVERIFY(after.cover == front);
        QCOMPARE(after.urls.value(urlKey), QStringLiteral("http://127.0.0.1/sound/1001"));
        if (extension == QLatin1String("mp3"))
            QCOMPARE(after.urls.value(QStringLiteral("WXXX:来源")), QStringLiteral("http://127.0.0.1/x"));
        QVERIFY(!after.pcm.isEmpty());
        QVERIFY(after.pcm == before.pcm);
    }

    void notMedia()
    {
        const MediaReading text = read("just some text\n", QStringLiteral("text.mp3"));
        QVERIFY(!text.ok);
        QVERIFY(!text.error.isEmpty());
        QVERIFY(!readMedia(m_dir.filePath(QStringLiteral("missing.mp3"))).ok);
    }
};

QTEST_GUILESS_MAIN(MediaReaderTest)
#include "media_reader_test.moc"
