// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/sound_tags.h"

#include "download/cover_picture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

enum class Kind { None, Mpeg, Mp4, Flac, Vorbis, Opus, Wav };

Kind kindOfExtension(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"mp3")
        return Kind::Mpeg;
    if (ext == u"m4a" || ext == u"mp4" || ext == u"m4b")
        return Kind::Mp4;
    if (ext == u"flac")
        return Kind::Flac;
    if (ext == u"ogg" || ext == u"oga")
        return Kind::Vorbis;
    if (ext == u"opus")
        return Kind::Opus;
    if (ext == u"wav")
        return Kind::Wav;
    return Kind::None;
}

struct Body
{
    Kind kind = Kind::None;
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
    const auto body = [id3](Kind kind) { return Body{kind, id3}; };
    if (head.size() < 12)
        return {};
    if (quint8(head.at(0)) == 0xFF && (quint8(head.at(1)) & 0xE0) == 0xE0)
        return body(Kind::Mpeg);
    if (head.startsWith("fLaC"))
        return body(Kind::Flac);
    if (head.mid(4, 4) == "ftyp")
        return body(Kind::Mp4);
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return body(Kind::Wav);
    if (head.startsWith("OggS") && head.size() >= 36) {
        // The first packet of the first page names the codec.
        if (head.mid(28, 7) == "\x01vorbis")
            return body(Kind::Vorbis);
        if (head.mid(28, 8) == "OpusHead")
            return body(Kind::Opus);
    }
    return {};
}

TagLib::String tagText(const QString &text)
{
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

TagLib::ByteVector tagBytes(const QByteArray &bytes)
{
    return TagLib::ByteVector(bytes.constData(), uint(bytes.size()));
}

// Our fields over whatever the file carried, the rest of its tags kept.
TagLib::PropertyMap withOurFields(TagLib::PropertyMap map, const SoundTags &tags, bool withPageAddress)
{
    const auto put = [&map](const char *key, const QString &value) {
        if (value.isEmpty())
            map.erase(key);
        else
            map.replace(key, TagLib::StringList(tagText(value)));
    };
    QString comment = tags.comment;
    comment.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    put("TITLE", tags.title);
    put("ARTIST", tags.artist);
    put("COMMENT", comment);
    put("DATE", tags.date);
    if (withPageAddress)
        put(PageAddressProperty, tags.pageAddress);
    return map;
}

void setTextFields(TagLib::File &file, const SoundTags &tags, bool withPageAddress)
{
    file.setProperties(withOurFields(file.properties(), tags, withPageAddress));
}

void setId3Cover(TagLib::ID3v2::Tag &tag, const CoverPicture &cover)
{
    if (cover.bytes.isEmpty())
        return;
    tag.removeFrames("APIC");
    auto *frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType(cover.mimeType.constData());
    frame->setPicture(tagBytes(cover.bytes));
    tag.addFrame(frame); // the tag owns it
}

// A FLAC picture block, as FLAC and Ogg comments carry it. Owned by the
// caller until handed to the file or comment.
std::unique_ptr<TagLib::FLAC::Picture> flacPicture(const CoverPicture &cover)
{
    const PictureGeometry geometry = pngOrJpegGeometry(cover.bytes);
    auto picture = std::make_unique<TagLib::FLAC::Picture>();
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(cover.mimeType.constData());
    picture->setData(tagBytes(cover.bytes));
    picture->setWidth(geometry.width);
    picture->setHeight(geometry.height);
    picture->setColorDepth(geometry.depth);
    return picture;
}

void setXiphCover(TagLib::Ogg::XiphComment &comment, const CoverPicture &cover)
{
    if (cover.bytes.isEmpty())
        return;
    comment.removeAllPictures();
    comment.addPicture(flacPicture(cover).release());
}

TagLib::ID3v2::Version id3Version(const SoundTags &tags)
{
    return tags.id3Version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
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

bool writeMpeg(const QByteArray &path, const SoundTags &tags, const CoverPicture &cover, bool id3InFront,
               QByteArray rendered, qint64 frontRoom)
{
    // The room is the empty tag in front; another tag there is left to TagLib.
    if (!id3InFront || frontRoom > 0) {
        if (rendered.isEmpty())
            rendered = renderedId3Tag(tags);
        if (putTagInFront(path, rendered, id3InFront ? frontRoom : 0))
            return true;
    }
    TagLib::MPEG::File file(path.constData(), false);
    if (!file.isValid())
        return false;
    setTextFields(file, tags, true);
    setId3Cover(*file.ID3v2Tag(true), cover);
    // ID3v2 only: an ID3v1 tag at the end would be one more thing to keep in step.
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, id3Version(tags),
                     TagLib::File::DoNotDuplicate);
}

bool writeWav(const QByteArray &path, const SoundTags &tags, const CoverPicture &cover)
{
    TagLib::RIFF::WAV::File file(path.constData(), false);
    if (!file.isValid())
        return false;
    setTextFields(file, tags, true);
    setId3Cover(*file.ID3v2Tag(), cover);
    // INFO takes only a year from the property map; the day is known.
    if (!tags.date.isEmpty())
        file.InfoTag()->setFieldText("ICRD", tagText(tags.date));
    // The ID3 chunk carries everything; the INFO list repeats the text for
    // readers that know no other (GStreamer among them).
    return file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripNone, id3Version(tags));
}

bool writeMp4(const QByteArray &path, const SoundTags &tags, const CoverPicture &cover)
{
    TagLib::MP4::File file(path.constData(), false);
    if (!file.isValid() || !file.tag())
        return false;
    setTextFields(file, tags, false);
    TagLib::MP4::Tag &tag = *file.tag();
    // MP4 has no atom of its own for it; a freeform item as other taggers write.
    const TagLib::String pageKey = TagLib::String("----:com.apple.iTunes:") + PageAddressProperty;
    if (tags.pageAddress.isEmpty())
        tag.removeItem(pageKey);
    else
        tag.setItem(pageKey, TagLib::StringList(tagText(tags.pageAddress)));
    if (!cover.bytes.isEmpty()) {
        const auto format =
            cover.mimeType == "image/png" ? TagLib::MP4::CoverArt::PNG : TagLib::MP4::CoverArt::JPEG;
        TagLib::MP4::CoverArtList covers;
        covers.append(TagLib::MP4::CoverArt(format, tagBytes(cover.bytes)));
        tag.setItem("covr", covers);
    }
    return file.save();
}

bool writeFlac(const QByteArray &path, const SoundTags &tags, const CoverPicture &cover)
{
    TagLib::FLAC::File file(path.constData(), false);
    if (!file.isValid())
        return false;
    file.xiphComment(true);
    setTextFields(file, tags, true);
    if (!cover.bytes.isEmpty()) {
        file.removePictures();
        file.addPicture(flacPicture(cover).release());
    }
    return file.save();
}

template<typename OggFile>
bool writeOgg(const QByteArray &path, const SoundTags &tags, const CoverPicture &cover)
{
    OggFile file(path.constData(), false);
    if (!file.isValid() || !file.tag())
        return false;
    setTextFields(file, tags, true);
    setXiphCover(*file.tag(), cover);
    return file.save();
}

bool writeKind(Body body, const QByteArray &path, const SoundTags &tags, const CoverPicture &cover,
               const QByteArray &id3Tag, qint64 frontRoom)
{
    switch (body.kind) {
    case Kind::Mpeg:
        return writeMpeg(path, tags, cover, body.id3InFront, id3Tag, frontRoom);
    case Kind::Wav:
        return writeWav(path, tags, cover);
    case Kind::Mp4:
        return writeMp4(path, tags, cover);
    case Kind::Flac:
        return writeFlac(path, tags, cover);
    case Kind::Vorbis:
        return writeOgg<TagLib::Ogg::Vorbis::File>(path, tags, cover);
    case Kind::Opus:
        return writeOgg<TagLib::Ogg::Opus::File>(path, tags, cover);
    case Kind::None:
        break;
    }
    return false;
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
    const Kind kind = kindOfExtension(finalName);
    if (kind == Kind::None)
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
    if (!writeKind(body, QFile::encodeName(path), tags, cover, id3Tag, frontRoom))
        return untagged(QCoreApplication::translate("SoundTags", "无法写入标签"));
    return {true, {}};
}

QByteArray renderedId3Tag(const SoundTags &tags)
{
    TagLib::ID3v2::Tag tag;
    tag.setProperties(withOurFields({}, cappedTags(tags), true));
    setId3Cover(tag, checkedCover(tags));
    const TagLib::ByteVector rendered = tag.render(id3Version(tags));
    return QByteArray(rendered.data(), qsizetype(rendered.size()));
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
