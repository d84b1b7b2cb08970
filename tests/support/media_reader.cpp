// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/media_reader.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStringDecoder>

#include <gst/gst.h>

#include <memory>
#include <mutex>

namespace {

struct GstDeleter
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};
template<typename T> using GstPointer = std::unique_ptr<T, GstDeleter>;

constexpr int frontCover = 1; // GstTagImageType's front cover

QString capsName(GstCaps *caps)
{
    QString name;
    if (caps && !gst_caps_is_empty(caps) && !gst_caps_is_any(caps))
        name = QString::fromUtf8(gst_structure_get_name(gst_caps_get_structure(caps, 0)));
    if (caps)
        gst_caps_unref(caps);
    return name;
}

QString padCapsName(GstElement *element, const char *padName)
{
    GstPointer<GstPad> pad(gst_element_get_static_pad(element, padName));
    return pad ? capsName(gst_pad_get_current_caps(pad.get())) : QString();
}

// The PCM arrives on the streaming thread; it is read only after the
// pipeline has stopped.
void takeBuffer(GstElement *, GstBuffer *buffer, GstPad *pad, gpointer data)
{
    auto *reading = static_cast<MediaReading *>(data);
    if (reading->sampleRate == 0) {
        if (GstCaps *caps = gst_pad_get_current_caps(pad)) {
            const GstStructure *s = gst_caps_get_structure(caps, 0);
            gst_structure_get_int(s, "rate", &reading->sampleRate);
            gst_structure_get_int(s, "channels", &reading->channels);
            gst_caps_unref(caps);
        }
    }
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        reading->pcm.append(reinterpret_cast<const char *>(map.data), qsizetype(map.size));
        gst_buffer_unmap(buffer, &map);
    }
}

void takeString(const GstTagList *tags, const char *tag, QString &into)
{
    gchar *value = nullptr;
    if (into.isEmpty() && gst_tag_list_get_string(tags, tag, &value))
        into = QString::fromUtf8(value);
    g_free(value);
}

void takeDate(const GstTagList *tags, QString &into)
{
    if (!into.isEmpty())
        return;
    GstDateTime *dateTime = nullptr;
    GDate *date = nullptr;
    if (gst_tag_list_get_date_time(tags, GST_TAG_DATE_TIME, &dateTime)) {
        gchar *text = gst_date_time_to_iso8601_string(dateTime);
        into = QString::fromUtf8(text).section(u'T', 0, 0);
        g_free(text);
        gst_date_time_unref(dateTime);
    } else if (gst_tag_list_get_date(tags, GST_TAG_DATE, &date)) {
        into = QStringLiteral("%1-%2-%3")
                   .arg(g_date_get_year(date), 4, 10, QLatin1Char('0'))
                   .arg(int(g_date_get_month(date)), 2, 10, QLatin1Char('0'))
                   .arg(int(g_date_get_day(date)), 2, 10, QLatin1Char('0'));
        g_date_free(date);
    }
}

QByteArray sampleBytes(GstSample *sample)
{
    GstMapInfo map;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return {};
    QByteArray bytes(reinterpret_cast<const char *>(map.data), qsizetype(map.size));
    gst_buffer_unmap(buffer, &map);
    return bytes;
}

void takeCover(const GstTagList *tags, MediaReading &reading, bool &front)
{
    for (guint i = 0; i < gst_tag_list_get_tag_size(tags, GST_TAG_IMAGE) && !front; ++i) {
        GstSample *sample = nullptr;
        if (!gst_tag_list_get_sample_index(tags, GST_TAG_IMAGE, i, &sample))
            continue;
        const GstStructure *info = gst_sample_get_info(sample);
        const GValue *type = info ? gst_structure_get_value(info, "image-type") : nullptr;
        front = type && G_VALUE_HOLDS_ENUM(type) && g_value_get_enum(type) == frontCover;
        if (front || reading.cover.isEmpty())
            reading.cover = sampleBytes(sample);
        gst_sample_unref(sample);
    }
}

QString untilNul(const QByteArray &latin1)
{
    const qsizetype nul = latin1.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? latin1 : latin1.left(nul));
}

// GStreamer hands ID3 link frames (WOAS, WXXX, …) over whole, header and all.
void takeId3Links(const GstTagList *tags, QMap<QString, QString> &urls)
{
    for (guint i = 0; i < gst_tag_list_get_tag_size(tags, "private-id3v2-frame"); ++i) {
        GstSample *sample = nullptr;
        if (!gst_tag_list_get_sample_index(tags, "private-id3v2-frame", i, &sample))
            continue;
        const QByteArray frame = sampleBytes(sample);
        gst_sample_unref(sample);
        if (frame.size() <= 10 || frame[0] != 'W')
            continue;
        const QString id = QString::fromLatin1(frame.left(4));
        QByteArray data = frame.mid(10);
        if (id != QLatin1String("WXXX")) {
            urls.insert(id, untilNul(data));
            continue;
        }
        // Text encoding byte, a description in it, then the Latin-1 address.
        const bool wide = data[0] == 1 || data[0] == 2;
        qsizetype end = 1;
        while (end < data.size() &&
               (wide ? !(data[end] == 0 && end + 1 < data.size() && data[end + 1] == 0) : data[end] != 0))
            end += wide ? 2 : 1;
        const QByteArray description = data.mid(1, end - 1);
        QString text = data[0] == 3 ? QString::fromUtf8(description) : QString::fromLatin1(description);
        if (wide)
            text = QStringDecoder(data[0] == 1 ? QStringConverter::Utf16 : QStringConverter::Utf16BE)
                       .decode(description);
        data = data.mid(end + (wide ? 2 : 1));
        urls.insert(id + u':' + text, untilNul(data));
    }
}

// GStreamer hands MP4 atoms it has no name for (purl, ©url, …) over whole:
// size, type, then a data atom holding the text after 16 bytes.
void takeMp4Atoms(const GstTagList *tags, QMap<QString, QString> &urls)
{
    for (guint i = 0; i < gst_tag_list_get_tag_size(tags, "private-qt-tag"); ++i) {
        GstSample *sample = nullptr;
        if (!gst_tag_list_get_sample_index(tags, "private-qt-tag", i, &sample))
            continue;
        const QByteArray atom = sampleBytes(sample);
        gst_sample_unref(sample);
        const QString text = QString::fromUtf8(atom.mid(24));
        if (atom.size() > 24 && atom.mid(12, 4) == "data" && text.contains(QLatin1String("://")))
            urls.insert(QString::fromLatin1(atom.mid(4, 4)), text);
    }
}

void takeUrls(const GstTagList *tags, QMap<QString, QString> &urls)
{
    for (const char *tag : {GST_TAG_LOCATION, GST_TAG_HOMEPAGE, GST_TAG_COPYRIGHT_URI, GST_TAG_LICENSE_URI,
                            GST_TAG_CONTACT, GST_TAG_COPYRIGHT, GST_TAG_GEO_LOCATION_NAME}) {
        QString value;
        takeString(tags, tag, value);
        if (value.contains(QLatin1String("://")))
            urls.insert(QString::fromLatin1(tag), value);
    }
    // Vorbis comments GStreamer has no name for come as "KEY=value".
    for (guint i = 0; i < gst_tag_list_get_tag_size(tags, GST_TAG_EXTENDED_COMMENT); ++i) {
        const gchar *entry = nullptr;
        if (!gst_tag_list_peek_string_index(tags, GST_TAG_EXTENDED_COMMENT, i, &entry))
            continue;
        const QString text = QString::fromUtf8(entry);
        const qsizetype equals = text.indexOf(u'=');
        if (equals > 0 && text.mid(equals + 1).contains(QLatin1String("://")))
            urls.insert(text.left(equals), text.mid(equals + 1));
    }
    takeId3Links(tags, urls);
    takeMp4Atoms(tags, urls);
}

void takeTags(GstMessage *message, MediaReading &reading, bool &frontFound)
{
    GstTagList *tags = nullptr;
    gst_message_parse_tag(message, &tags);
    takeString(tags, GST_TAG_TITLE, reading.title);
    takeString(tags, GST_TAG_ARTIST, reading.artist);
    takeString(tags, GST_TAG_COMMENT, reading.comment);
    takeDate(tags, reading.date);
    takeCover(tags, reading, frontFound);
    takeUrls(tags, reading.urls);
    gst_tag_list_unref(tags);
}

void takeType(GstElement *, guint, GstCaps *caps, gpointer data)
{
    static_cast<MediaReading *>(data)->fileType = capsName(gst_caps_ref(caps));
}

// The codec from the decoder's input.
void takeTypes(GstElement *decodebin, MediaReading &reading)
{
    GstIterator *it = gst_bin_iterate_recurse(GST_BIN(decodebin));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto *element = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory *factory = gst_element_get_factory(element);
        const char *klass =
            factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : "";
        if (klass && g_strrstr(klass, "Decoder"))
            reading.codec = padCapsName(element, "sink");
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

} // namespace

MediaReading readMedia(const QString &path, int timeoutMs)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { gst_init(nullptr, nullptr); });

    MediaReading reading;
    if (!QFile::exists(path)) {
        reading.error = QStringLiteral("no such file: ") + path;
        return reading;
    }
    GError *parseError = nullptr;
    GstElement *launched = gst_parse_launch("filesrc name=src ! decodebin name=decode ! audioconvert ! "
                                            "audio/x-raw,format=S16LE ! fakesink name=sink sync=false "
                                            "signal-handoffs=true",
                                            &parseError);
    const GstPointer<GstElement> pipeline(launched ? GST_ELEMENT(gst_object_ref_sink(launched)) : nullptr);
    if (parseError || !pipeline) {
        reading.error = parseError ? QString::fromUtf8(parseError->message) : QStringLiteral("no pipeline");
        g_clear_error(&parseError);
        return reading;
    }
    const GstPointer<GstElement> source(gst_bin_get_by_name(GST_BIN(pipeline.get()), "src"));
    const GstPointer<GstElement> decode(gst_bin_get_by_name(GST_BIN(pipeline.get()), "decode"));
    const GstPointer<GstElement> sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
    g_object_set(source.get(), "location", QFile::encodeName(path).constData(), nullptr);
    g_signal_connect(sink.get(), "handoff", G_CALLBACK(takeBuffer), &reading);
    if (const GstPointer<GstElement> typeFinder{gst_bin_get_by_name(GST_BIN(decode.get()), "typefind")})
        g_signal_connect(typeFinder.get(), "have-type", G_CALLBACK(takeType), &reading);

    const GstPointer<GstBus> bus(gst_element_get_bus(pipeline.get()));
    bool frontFound = false;
    bool done = false;
    const QDeadlineTimer deadline(timeoutMs);
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        reading.error = QStringLiteral("the pipeline did not start");
        done = true;
    }
    while (!done) {
        GstMessage *message =
            gst_bus_timed_pop_filtered(bus.get(), GstClockTime(deadline.remainingTime()) * GST_MSECOND,
                                       GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_TAG));
        if (!message) {
            reading.error = QStringLiteral("timed out after %1 ms").arg(timeoutMs);
            break;
        }
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_TAG:
            takeTags(message, reading, frontFound);
            break;
        case GST_MESSAGE_ERROR: {
            GError *error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            reading.error = QString::fromUtf8(error->message);
            g_error_free(error);
            done = true;
            break;
        }
        default:
            reading.ok = true;
            takeTypes(decode.get(), reading);
            done = true;
        }
        gst_message_unref(message);
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return reading;
}
