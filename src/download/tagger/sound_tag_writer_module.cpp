// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/sound_tag_writer.h"

#include <QObject>

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

#include <memory>

namespace {

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
std::unique_ptr<TagLib::FLAC::Picture> flacPicture(const CoverPicture &cover, const PictureGeometry &geometry)
{
    auto picture = std::make_unique<TagLib::FLAC::Picture>();
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(cover.mimeType.constData());
    picture->setData(tagBytes(cover.bytes));
    picture->setWidth(geometry.width);
    picture->setHeight(geometry.height);
    picture->setColorDepth(geometry.depth);
    return picture;
}

void setXiphCover(TagLib::Ogg::XiphComment &comment, const CoverPicture &cover,
                  const PictureGeometry &geometry)
{
    if (cover.bytes.isEmpty())
        return;
    comment.removeAllPictures();
    comment.addPicture(flacPicture(cover, geometry).release());
}

TagLib::ID3v2::Version id3Version(const SoundTags &tags)
{
    return tags.id3Version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
}

bool writeMpeg(const QByteArray &path, const SoundTags &tags, const CoverPicture &cover)
{
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

bool writeFlac(const QByteArray &path, const SoundTags &tags, const CoverPicture &cover,
               const PictureGeometry &geometry)
{
    TagLib::FLAC::File file(path.constData(), false);
    if (!file.isValid())
        return false;
    file.xiphComment(true);
    setTextFields(file, tags, true);
    if (!cover.bytes.isEmpty()) {
        file.removePictures();
        file.addPicture(flacPicture(cover, geometry).release());
    }
    return file.save();
}

template<typename OggFile>
bool writeOgg(const QByteArray &path, const SoundTags &tags, const CoverPicture &cover,
              const PictureGeometry &geometry)
{
    OggFile file(path.constData(), false);
    if (!file.isValid() || !file.tag())
        return false;
    setTextFields(file, tags, true);
    setXiphCover(*file.tag(), cover, geometry);
    return file.save();
}

} // namespace

class SoundTagWriterModule final : public QObject, public SoundTagWriter
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VexaSoundTagWriterIid)
    Q_INTERFACES(SoundTagWriter)

public:
    bool write(SoundKind kind, const QByteArray &path, const SoundTags &tags, const CoverPicture &cover,
               const PictureGeometry &geometry) const override
    {
        switch (kind) {
        case SoundKind::Mpeg:
            return writeMpeg(path, tags, cover);
        case SoundKind::Wav:
            return writeWav(path, tags, cover);
        case SoundKind::Mp4:
            return writeMp4(path, tags, cover);
        case SoundKind::Flac:
            return writeFlac(path, tags, cover, geometry);
        case SoundKind::Vorbis:
            return writeOgg<TagLib::Ogg::Vorbis::File>(path, tags, cover, geometry);
        case SoundKind::Opus:
            return writeOgg<TagLib::Ogg::Opus::File>(path, tags, cover, geometry);
        case SoundKind::None:
            break;
        }
        return false;
    }

    QByteArray renderId3(const SoundTags &tags, const CoverPicture &cover) const override
    {
        TagLib::ID3v2::Tag tag;
        tag.setProperties(withOurFields({}, tags, true));
        setId3Cover(tag, cover);
        const TagLib::ByteVector rendered = tag.render(id3Version(tags));
        return QByteArray(rendered.data(), qsizetype(rendered.size()));
    }
};

#include "sound_tag_writer_module.moc"
