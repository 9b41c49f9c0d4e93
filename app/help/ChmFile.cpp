#include "app/help/ChmFile.h"

#include <QFile>

#include <chm_lib.h>

namespace {

QByteArray objectName(const QString &objectPath)
{
    QByteArray name = objectPath.toUtf8();
    if (!name.startsWith('/'))
        name.prepend('/');
    return name;
}

// No page, picture or style sheet of a help file comes near this; a larger
// length means a damaged directory entry, not something worth allocating.
constexpr LONGUINT64 MaxObjectSize = 64 * 1024 * 1024;

int collectFile(chmFile *, chmUnitInfo *info, void *context)
{
    static_cast<QStringList *>(context)->append(QString::fromUtf8(info->path));
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

ChmFile::~ChmFile()
{
    close();
}

bool ChmFile::open(const QString &path)
{
    close();
    chmFile *handle = chm_open(QFile::encodeName(path).constData());
    if (!handle)
        return false;
    m_handle = handle;
    m_path = path;
    return true;
}

void ChmFile::close()
{
    if (m_handle)
        chm_close(m_handle);
    m_handle = nullptr;
    m_path.clear();
}

bool ChmFile::contains(const QString &objectPath) const
{
    chmUnitInfo info;
    return m_handle && chm_resolve_object(m_handle, objectName(objectPath).constData(), &info) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmFile::read(const QString &objectPath) const
{
    chmUnitInfo info;
    if (!m_handle || chm_resolve_object(m_handle, objectName(objectPath).constData(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (info.length > MaxObjectSize)
        return std::nullopt;
    QByteArray bytes(qsizetype(info.length), Qt::Uninitialized);
    LONGUINT64 done = 0;
    // chmlib hands out at most one compressed block per call.
    while (done < info.length) {
        const LONGINT64 got =
            chm_retrieve_object(m_handle, &info, reinterpret_cast<unsigned char *>(bytes.data()) + done, done,
                                LONGINT64(info.length - done));
        if (got <= 0)
            return std::nullopt;
        done += LONGUINT64(got);
    }
    return bytes;
}

QStringList ChmFile::files() const
{
    QStringList paths;
    if (m_handle)
        chm_enumerate(m_handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectFile, &paths);
    return paths;
}
