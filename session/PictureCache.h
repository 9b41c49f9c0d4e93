#pragma once

// The decoded pictures of a running test: the one on screen and the next
// task's, which is decoded on a worker thread while the subject looks at the
// current one, so a new task's first presentation does not wait on the disk.
// A picture changed on disk since it was decoded is read again.

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>

#include <future>

class PictureCache
{
public:
    PictureCache() = default;
    ~PictureCache();
    PictureCache(const PictureCache &) = delete;
    PictureCache &operator=(const PictureCache &) = delete;

    // The decoded picture of `path`; throws Failure when it cannot be read.
    QImage picture(const QString &path);
    // Starts decoding `path` in the background; the previous prefetch is
    // finished first.
    void prefetch(const QString &path);
    // Forgets every picture and waits for a prefetch still running.
    void clear();

    // How many pictures are held decoded (at most the current and the next).
    int size() const { return int(m_pictures.size()); }

    // A decoded picture and the file state it was read from.
    struct Entry
    {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QImage image;
    };

private:
    void keep(const Entry &entry);

    QList<Entry> m_pictures;
    QString m_nextPath;
    std::future<Entry> m_next;
};
