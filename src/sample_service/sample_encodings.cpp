// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_service/sample_encodings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gst/gst.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

struct Encoding
{
    const char *extension;
    const char *contentType;
    QStringList encoders; // the first one installed is used
    const char *muxer;    // nullptr: the encoder writes the file itself
};

const QList<Encoding> &encodings()
{
    // CBR and no header frame, so copies of the MP3 can be laid end to end;
    // the MP4 index goes first, as streaming services put it.
    static const QList<Encoding> list = {
        {"mp3", "audio/mpeg", {QStringLiteral("lamemp3enc target=bitrate bitrate=128 cbr=true")}, nullptr},
        {"m4a",
         "audio/mp4",
         {QStringLiteral("voaacenc"), QStringLiteral("avenc_aac")},
         "mp4mux faststart=true"},
        {"flac", "audio/flac", {QStringLiteral("flacenc")}, nullptr},
        {"ogg", "audio/ogg", {QStringLiteral("vorbisenc")}, "oggmux"},
        {"opus", "audio/ogg", {QStringLiteral("opusenc")}, "oggmux"},
    };
    return list;
}

const Encoding *findEncoding(const QString &extension)
{
    for (const Encoding &encoding : encodings()) {
        if (extension == QLatin1String(encoding.extension))
            return &encoding;
    }
    return nullptr;
}

struct GstDeleter
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};
template<typename T> using GstPointer = std::unique_ptr<T, GstDeleter>;

QString elementName(const QString &description)
{
    return description.section(u' ', 0, 0);
}

bool installed(const QString &description)
{
    GstElementFactory *factory = gst_element_factory_find(elementName(description).toUtf8().constData());
    if (!factory)
        return false;
    gst_object_unref(factory);
    return true;
}

QString missingMessage(const QStringList &alternatives)
{
    QStringList names;
    for (const QString &description : alternatives)
        names << elementName(description);
    return QStringLiteral("GStreamer element %1 is not installed").arg(names.join(QLatin1String(" or ")));
}

// The launch line, or the error naming what is missing.
EncodedAudio pipelineDescription(const Encoding &encoding)
{
    QStringList chain = {QStringLiteral("filesrc name=src"), QStringLiteral("wavparse"),
                         QStringLiteral("audioconvert"), QStringLiteral("audioresample")};
    for (const QString &name : chain) {
        if (!installed(name))
            return {{}, missingMessage({name})};
    }
    QString encoder;
    for (const QString &candidate : encoding.encoders) {
        if (installed(candidate)) {
            encoder = candidate;
            break;
        }
    }
    if (encoder.isEmpty())
        return {{}, missingMessage(encoding.encoders)};
    chain << encoder;
    if (encoding.muxer) {
        const QString muxer = QString::fromLatin1(encoding.muxer);
        if (!installed(muxer))
            return {{}, missingMessage({muxer})};
        chain << muxer;
    }
    chain << QStringLiteral("filesink name=sink");
    return {chain.join(QLatin1String(" ! ")).toUtf8(), {}};
}

void setLocation(GstElement *pipeline, const char *name, const QString &path)
{
    GstPointer<GstElement> element(gst_bin_get_by_name(GST_BIN(pipeline), name));
    g_object_set(element.get(), "location", QFile::encodeName(path).constData(), nullptr);
}

// Runs the pipeline to its end; the error text, empty on success.
QString runToEnd(GstElement *pipeline)
{
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return QStringLiteral("the encoding pipeline did not start");
    GstPointer<GstBus> bus(gst_element_get_bus(pipeline));
    GstMessage *message = gst_bus_timed_pop_filtered(bus.get(), 60 * GST_SECOND,
                                                     GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    QString error;
    if (!message) {
        error = QStringLiteral("encoding took longer than a minute");
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError *gerror = nullptr;
        gst_message_parse_error(message, &gerror, nullptr);
        error = QString::fromUtf8(gerror->message);
        g_error_free(gerror);
    }
    if (message)
        gst_message_unref(message);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    return error;
}

// The MP4 muxer stamps the time of encoding into the movie, track and media
// headers, which readers show as the file's date; zeroed, the file carries
// no date and encodes the same every time. Walks moov/trak/mdia in place.
void clearMp4Times(QByteArray &file, qsizetype from = 0, qsizetype to = -1)
{
    if (to < 0)
        to = file.size();
    while (from + 8 <= to) {
        const auto size = qsizetype(qFromBigEndian<quint32>(file.constData() + from));
        if (size < 8 || from + size > to)
            return;
        const QByteArray type = file.mid(from + 4, 4);
        if (type == "moov" || type == "trak" || type == "mdia") {
            clearMp4Times(file, from + 8, from + size);
        } else if (type == "mvhd" || type == "tkhd" || type == "mdhd") {
            // Version 1 keeps the two times in 64 bits, version 0 in 32.
            const qsizetype timeBytes = file.at(from + 8) == 1 ? 16 : 8;
            if (size >= 12 + timeBytes)
                std::fill_n(file.data() + from + 12, timeBytes, '\0');
        }
        from += size;
    }
}

} // namespace

const QStringList &sampleEncodingExtensions()
{
    static const QStringList extensions = [] {
        QStringList out;
        for (const Encoding &encoding : encodings())
            out << QString::fromLatin1(encoding.extension);
        return out;
    }();
    return extensions;
}

QByteArray sampleEncodingType(const QString &extension)
{
    const Encoding *encoding = findEncoding(extension);
    return encoding ? QByteArray(encoding->contentType) : QByteArray();
}

EncodedAudio encodeSampleAudio(const QByteArray &wav, const QString &extension)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { gst_init(nullptr, nullptr); });

    const Encoding *encoding = findEncoding(extension);
    if (!encoding)
        return {{}, QStringLiteral("no encoding for .%1").arg(extension)};
    const EncodedAudio description = pipelineDescription(*encoding);
    if (!description.error.isEmpty())
        return description;

    // Files rather than memory: the MP4 muxer seeks back in its output.
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.wav"));
    const QString output = dir.filePath(QStringLiteral("out.") + extension);
    QFile in(input);
    if (!dir.isValid() || !in.open(QIODevice::WriteOnly) || in.write(wav) != wav.size())
        return {{}, QStringLiteral("cannot write a temporary file")};
    in.close();

    GError *parseError = nullptr;
    GstElement *launched = gst_parse_launch(description.bytes.constData(), &parseError);
    const GstPointer<GstElement> pipeline(launched ? GST_ELEMENT(gst_object_ref_sink(launched)) : nullptr);
    if (parseError || !pipeline) {
        const QString text = parseError ? QString::fromUtf8(parseError->message) : QString();
        g_clear_error(&parseError);
        return {{}, text.isEmpty() ? QStringLiteral("the encoding pipeline did not build") : text};
    }
    setLocation(pipeline.get(), "src", input);
    setLocation(pipeline.get(), "sink", output);
    const QString error = runToEnd(pipeline.get());
    if (!error.isEmpty())
        return {{}, error};

    QFile out(output);
    if (!out.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("the encoder wrote nothing")};
    QByteArray bytes = out.readAll();
    if (extension == QLatin1String("m4a"))
        clearMp4Times(bytes);
    return {bytes, {}};
}
