// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/sound_tags.h"

#include "download/cover_picture.h"
#include "download/sound_tag_writer.h"
#include "util/program_module.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

SoundKind kindOfExtension(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"mp3")
        return SoundKind::Mpeg;
    if (ext == u"m4a" || ext == u"mp4" || ext == u"m4b")
        return SoundKind::Mp4;
    if (ext == u"flac")
        return SoundKind::Flac;
    if (ext == u"ogg" || ext == u"oga")
        return SoundKind::Vorbis;
    if (ext == u"opus")
        return SoundKind::Opus;
    if (ext == u"wav")
        return SoundKind::Wav;
    return SoundKind::None;
}

struct Body
{
    SoundKind kind = SoundKind::None;
    bool id3InFront = false;
};

// What the first bytes say the file is. An ID3 tag in front (MP3, or now
// and then FLAC) is stepped over to the body behind it.
Body bodyOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray head = file.read(64);
    const bool id3 = head.startsWith("ID3") && head.size() >= 10;
    if (id3) {
        const auto byte = [&head](int i) { return qint64(quint8(head.at(i)) & 0x7F); };
        qint64 end = 10 + (byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9));
        if (head.at(5) & 0x10)
            end += 10; // a footer follows the tag
        if (!file.seek(end))
            return {};
        head = file.read(64);
    }
    const auto body = [id3](SoundKind kind) { return Body{kind, id3}; };
    if (head.size() < 12)
        return {};
    if (quint8(head.at(0)) == 0xFF && (quint8(head.at(1)) & 0xE0) == 0xE0)
        return body(SoundKind::Mpeg);
    if (head.startsWith("fLaC"))
        return body(SoundKind::Flac);
    if (head.mid(4, 4) == "ftyp")
        return body(SoundKind::Mp4);
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return body(SoundKind::Wav);
    if (head.startsWith("OggS") && head.size() >= 36) {
        // The first packet of the first page names the codec.
        if (head.mid(28, 7) == "\x01vorbis")
            return body(SoundKind::Vorbis);
        if (head.mid(28, 8) == "OpusHead")
            return body(SoundKind::Opus);
    }
    return {};
}

// TagLib comes with the first tag, not with every start. Loaded once, by
// whichever thread tags first; SoundTagging loads it on the main thread
// before it hands the work to a worker (see loadSoundTagWriter()).
const SoundTagWriter *soundTagWriter()
{
    return moduleLoadedOnce<SoundTagWriter>(QStringLiteral(VEXA_TAGGER_MODULE_FILE),
                                            "sound files are saved without tags");
}

// Sets an ID3v2 header's size field: syncsafe, 7 bits a byte.
void setId3Size(QByteArray &tag, qint64 bodySize)
{
    for (int i = 0; i < 4; ++i)
        tag[6 + i] = char((bodySize >> (7 * (3 - i))) & 0x7F);
}

// The ID3v2 tag goes in front of an MP3: into the room the download left
// for it, or, where that is too small or missing, into whole file-system
// blocks inserted there (ext4, XFS), so a big file is not rewritten behind
// it. The tag is padded to fill its space, as ID3v2 allows. False when
// neither works; the file is then as it was.
bool putTagInFront(const QByteArray &path, const QByteArray &rendered, qint64 room)
{
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info = {};
    bool done = false;
    if (::fstat(fd, &info) == 0 && info.st_blksize > 0) {
        const qint64 block = info.st_blksize;
        const qint64 size =
            qint64(rendered.size()) <= room ? room : (qint64(rendered.size()) + block - 1) / block * block;
        const qint64 inserted = size - room;
        QByteArray tag(size, '\0');
        std::copy(rendered.begin(), rendered.end(), tag.begin());
        setId3Size(tag, size - 10);
        if (size - 10 < (qint64(1) << 28) && inserted % block == 0 &&
            (inserted == 0 || ::fallocate(fd, FALLOC_FL_INSERT_RANGE, 0, inserted) == 0)) {
            done = ::pwrite(fd, tag.constData(), size_t(size), 0) == size;
            if (!done && inserted > 0) // take the gap out again rather than leave a broken file
                ::fallocate(fd, FALLOC_FL_COLLAPSE_RANGE, 0, inserted);
        }
    }
    ::close(fd);
    return done;
}

// Checked when it arrived; anything but PNG or JPEG is left out.
CoverPicture checkedCover(const SoundTags &tags)
{
    const QByteArray type = coverMimeType(tags.cover);
    return type.isEmpty() ? CoverPicture{} : CoverPicture{tags.cover, type};
}

bool writeKind(const SoundTagWriter &writer, Body body, const QByteArray &path, const SoundTags &tags,
               const CoverPicture &cover, QByteArray rendered, qint64 frontRoom)
{
    // An MP3's tag goes into the room in front, or in front of a bare body;
    // another tag there is left to TagLib.
    if (body.kind == SoundKind::Mpeg && (!body.id3InFront || frontRoom > 0)) {
        if (rendered.isEmpty())
            rendered = writer.renderId3(tags, cover);
        if (!rendered.isEmpty() && putTagInFront(path, rendered, body.id3InFront ? frontRoom : 0))
            return true;
    }
    return writer.write(body.kind, path, tags, cover, pngOrJpegGeometry(cover.bytes));
}

TagOutcome untagged(const QString &why)
{
    return {false, why};
}

void capText(QString &text)
{
    if (text.size() * 3 <= MaxTagTextBytes) // a UTF-16 unit is at most 3 bytes of UTF-8
        return;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        bytes += pair ? 4 : c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
        if (bytes > MaxTagTextBytes) {
            text.truncate(i);
            return;
        }
        i += pair ? 2 : 1;
    }
}

} // namespace

void loadSoundTagWriter()
{
    soundTagWriter();
}

SoundTags cappedTags(SoundTags tags)
{
    for (QString *text : {&tags.title, &tags.artist, &tags.comment, &tags.date, &tags.pageAddress})
        capText(*text);
    return tags;
}

TagOutcome writeSoundTags(const QString &path, const QString &finalName, const SoundTags &givenTags,
                          const QByteArray &id3Tag, qint64 frontRoom)
{
    const SoundTags tags = cappedTags(givenTags);
    const SoundKind kind = kindOfExtension(finalName);
    if (kind == SoundKind::None)
        return untagged(QCoreApplication::translate("SoundTags", "不支持给 .%1 文件写标签")
                            .arg(QFileInfo(finalName).suffix()));
    const Body body = bodyOf(path);
    if (body.kind != kind)
        return untagged(QCoreApplication::translate("SoundTags", "文件内容与扩展名不符"));
    const CoverPicture cover = checkedCover(tags);
    // Growing the file on a full disk could leave it half rewritten.
    struct statvfs disk = {};
    const qint64 needed = 2 * (cover.bytes.size() + 256 * 1024);
    if (::statvfs(QFile::encodeName(path).constData(), &disk) == 0 &&
        qint64(disk.f_bavail) * qint64(disk.f_frsize) < needed)
        return untagged(QCoreApplication::translate("SoundTags", "磁盘空间不足，无法写入标签"));
    const SoundTagWriter *writer = soundTagWriter();
    if (!writer || !writeKind(*writer, body, QFile::encodeName(path), tags, cover, id3Tag, frontRoom))
        return untagged(QCoreApplication::translate("SoundTags", "无法写入标签"));
    return {true, {}};
}

QByteArray renderedId3Tag(const SoundTags &tags)
{
    const SoundTagWriter *writer = soundTagWriter();
    return writer ? writer->renderId3(cappedTags(tags), checkedCover(tags)) : QByteArray();
}

bool startsBareMpeg(const QByteArray &head)
{
    return head.size() >= 2 && quint8(head.at(0)) == 0xFF && (quint8(head.at(1)) & 0xE0) == 0xE0;
}

QByteArray emptyId3Tag(qint64 size, int id3Version)
{
    QByteArray tag(size, '\0');
    tag.replace(0, 4, QByteArray("ID3").append(char(id3Version == 3 ? 3 : 4)));
    setId3Size(tag, size - 10);
    return tag;
}
