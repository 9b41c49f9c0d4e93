#include "session/PictureCache.h"

#include "common/Bitmap.h"
#include "common/Failure.h"

#include <QFileInfo>

namespace {

PictureCache::Entry readPicture(const QString &path)
{
    const QFileInfo info(path);
    PictureCache::Entry e{path, info.size(), info.lastModified(), {}};
    try {
        e.image = loadPicture(path);
    } catch (const Failure &) {
        // Left empty: the presentation reads the file itself and reports it.
    }
    return e;
}

} // namespace

PictureCache::~PictureCache()
{
    clear();
}

QImage PictureCache::picture(const QString &path)
{
    if (m_next.valid() && m_nextPath == path) {
        const Entry next = m_next.get();
        if (!next.image.isNull())
            keep(next);
    }
    // A stat per presentation: a picture changed on disk is read again.
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    for (const Entry &e : std::as_const(m_pictures)) {
        if (e.path == path && e.size == size && e.modified == modified)
            return e.image;
    }
    const Entry e{path, size, modified, loadPicture(path)};
    keep(e);
    return e.image;
}

void PictureCache::keep(const Entry &entry)
{
    m_pictures.append(entry);
    // At most the current picture and the next one stay decoded.
    while (m_pictures.size() > 2)
        m_pictures.removeFirst();
}

void PictureCache::prefetch(const QString &path)
{
    if (m_next.valid())
        m_next.wait();
    m_nextPath = path;
    m_next = std::async(std::launch::async, readPicture, path);
}

void PictureCache::clear()
{
    if (m_next.valid())
        m_next.wait();
    m_next = {};
    m_pictures.clear();
}
