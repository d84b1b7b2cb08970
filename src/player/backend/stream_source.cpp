// SPDX-FileCopyrightText: 2026 The Vexa helper developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player/backend/stream_source.h"

#include "player/player_backend.h"

#include <QHash>

#include <gst/base/gstbasesrc.h>
#include <gst/gst.h>

#include <mutex>

namespace {

constexpr char Scheme[] = "vexastream";

std::mutex heldMutex;
QHash<quint64, std::shared_ptr<SoundReader>> held;
quint64 lastId = 0;

std::shared_ptr<SoundReader> heldReader(quint64 id)
{
    std::lock_guard lock(heldMutex);
    return held.value(id);
}

// A GStreamer source element (GObject boilerplate follows GLib's own).
struct StreamSource
{
    GstBaseSrc parent;
    std::shared_ptr<SoundReader> *reader; // set from the address
    gchar *uri;
};

struct StreamSourceClass
{
    GstBaseSrcClass parentClass;
};

void stream_source_uri_handler_init(gpointer iface, gpointer);

G_DEFINE_TYPE_WITH_CODE(StreamSource, stream_source, GST_TYPE_BASE_SRC,
                        G_IMPLEMENT_INTERFACE(GST_TYPE_URI_HANDLER, stream_source_uri_handler_init))

StreamSource *self(gpointer object)
{
    return reinterpret_cast<StreamSource *>(object);
}

std::shared_ptr<SoundReader> readerOf(gpointer object)
{
    StreamSource *src = self(object);
    GST_OBJECT_LOCK(src);
    std::shared_ptr<SoundReader> reader = *src->reader;
    GST_OBJECT_UNLOCK(src);
    return reader;
}

void finalize(GObject *object)
{
    delete self(object)->reader;
    g_free(self(object)->uri);
    G_OBJECT_CLASS(stream_source_parent_class)->finalize(object);
}

gboolean getSize(GstBaseSrc *base, guint64 *size)
{
    const std::shared_ptr<SoundReader> reader = readerOf(base);
    const qint64 known = reader ? reader->size() : -1;
    if (known < 0)
        return FALSE;
    *size = guint64(known);
    return TRUE;
}

gboolean isSeekable(GstBaseSrc *base)
{
    const std::shared_ptr<SoundReader> reader = readerOf(base);
    return reader && reader->size() >= 0;
}

// Called from another thread to end a blocked read, and before flushing.
gboolean unlock(GstBaseSrc *base)
{
    if (const std::shared_ptr<SoundReader> reader = readerOf(base))
        reader->setInterrupted(true);
    return TRUE;
}

gboolean unlockStop(GstBaseSrc *base)
{
    if (const std::shared_ptr<SoundReader> reader = readerOf(base))
        reader->setInterrupted(false);
    return TRUE;
}

GstFlowReturn create(GstBaseSrc *base, guint64 offset, guint length, GstBuffer **out)
{
    const std::shared_ptr<SoundReader> reader = readerOf(base);
    if (!reader) {
        GST_ELEMENT_ERROR(base, RESOURCE, NOT_FOUND, ("The sound is no longer there."), (nullptr));
        return GST_FLOW_ERROR;
    }
    GstBuffer *result = gst_buffer_new_allocate(nullptr, length, nullptr);
    GstMapInfo map;
    if (!gst_buffer_map(result, &map, GST_MAP_WRITE)) {
        gst_buffer_unref(result);
        return GST_FLOW_ERROR;
    }
    const qint64 n = reader->read(qint64(offset), reinterpret_cast<char *>(map.data), qint64(length));
    gst_buffer_unmap(result, &map);
    if (n > 0) {
        gst_buffer_set_size(result, gssize(n));
        GST_BUFFER_OFFSET(result) = offset;
        GST_BUFFER_OFFSET_END(result) = offset + guint64(n);
        *out = result;
        return GST_FLOW_OK;
    }
    gst_buffer_unref(result);
    if (n == SoundReader::End)
        return GST_FLOW_EOS;
    if (n == SoundReader::Interrupted)
        return GST_FLOW_FLUSHING;
    GST_ELEMENT_ERROR(base, RESOURCE, READ, ("%s", qPrintable(reader->failure())), (nullptr));
    return GST_FLOW_ERROR;
}

gboolean query(GstBaseSrc *base, GstQuery *query)
{
    // Push mode only, like a network source. In pull mode the reading
    // thread belongs to a downstream element that joins it without first
    // unlocking this source, so a read waiting for the network would
    // deadlock a change of sound.
    if (GST_QUERY_TYPE(query) == GST_QUERY_SCHEDULING) {
        gst_query_set_scheduling(
            query, GstSchedulingFlags(GST_SCHEDULING_FLAG_SEEKABLE | GST_SCHEDULING_FLAG_BANDWIDTH_LIMITED),
            1, -1, 0);
        gst_query_add_scheduling_mode(query, GST_PAD_MODE_PUSH);
        return TRUE;
    }
    return GST_BASE_SRC_CLASS(stream_source_parent_class)->query(base, query);
}

void stream_source_class_init(StreamSourceClass *klass)
{
    G_OBJECT_CLASS(klass)->finalize = finalize;

    GstElementClass *element = GST_ELEMENT_CLASS(klass);
    static GstStaticPadTemplate source =
        GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
    gst_element_class_add_static_pad_template(element, &source);
    gst_element_class_set_static_metadata(element, "Vexa helper sound stream", "Source/Network",
                                          "Reads a sound fetched by the program's own network requests",
                                          "Vexa helper");

    GstBaseSrcClass *base = GST_BASE_SRC_CLASS(klass);
    base->get_size = getSize;
    base->is_seekable = isSeekable;
    base->unlock = unlock;
    base->unlock_stop = unlockStop;
    base->create = create;
    base->query = query;
}

void stream_source_init(StreamSource *src)
{
    src->reader = new std::shared_ptr<SoundReader>();
    src->uri = nullptr;
    gst_base_src_set_format(GST_BASE_SRC(src), GST_FORMAT_BYTES);
}

GstURIType uriType(GType)
{
    return GST_URI_SRC;
}

const gchar *const *uriProtocols(GType)
{
    static const gchar *const protocols[] = {Scheme, nullptr};
    return protocols;
}

gchar *getUri(GstURIHandler *handler)
{
    StreamSource *src = self(handler);
    GST_OBJECT_LOCK(src);
    gchar *uri = g_strdup(src->uri);
    GST_OBJECT_UNLOCK(src);
    return uri;
}

gboolean setUri(GstURIHandler *handler, const gchar *uri, GError **error)
{
    const QUrl url(QString::fromUtf8(uri));
    bool isNumber = false;
    const quint64 id = url.path().mid(1).toULongLong(&isNumber);
    std::shared_ptr<SoundReader> reader = isNumber ? heldReader(id) : nullptr;
    if (url.scheme() != QLatin1String(Scheme) || !reader) {
        g_set_error(error, GST_URI_ERROR, GST_URI_ERROR_BAD_URI, "no sound stream at %s", uri);
        return FALSE;
    }
    StreamSource *src = self(handler);
    GST_OBJECT_LOCK(src);
    *src->reader = std::move(reader);
    g_free(src->uri);
    src->uri = g_strdup(uri);
    GST_OBJECT_UNLOCK(src);
    return TRUE;
}

void stream_source_uri_handler_init(gpointer iface, gpointer)
{
    auto *handler = static_cast<GstURIHandlerInterface *>(iface);
    handler->get_type = uriType;
    handler->get_protocols = uriProtocols;
    handler->get_uri = getUri;
    handler->set_uri = setUri;
}

} // namespace

bool registerStreamSource()
{
    static const bool registered = [] {
        // The media back end has normally started the framework already.
        if (!gst_init_check(nullptr, nullptr, nullptr))
            return false;
        return gst_element_register(nullptr, "vexastreamsrc", GST_RANK_PRIMARY, stream_source_get_type()) ==
               TRUE;
    }();
    return registered;
}

quint64 holdSoundReader(std::shared_ptr<SoundReader> reader)
{
    std::lock_guard lock(heldMutex);
    held.insert(++lastId, std::move(reader));
    return lastId;
}

void releaseSoundReader(quint64 id)
{
    std::lock_guard lock(heldMutex);
    held.remove(id);
}

QUrl streamSourceUrl(quint64 id)
{
    return QUrl(QLatin1String(Scheme) + QStringLiteral(":///") + QString::number(id));
}
