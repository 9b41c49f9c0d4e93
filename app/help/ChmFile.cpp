#include "app/help/ChmFile.h"

#include "app/help/ChmExtract.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString objectName(const QString &objectPath)
{
    return objectPath.startsWith(QLatin1Char('/')) ? objectPath : QLatin1Char('/') + objectPath;
}

} // namespace

bool ChmFile::open(const QString &path)
{
    close();
    if (!QFileInfo(path).isFile())
        return false;
    const std::optional<ChmExtract::Objects> objects =
        ChmExtract::extract(QFile::encodeName(path), MaxTotalSize, m_timeLimitMs);
    if (!objects)
        return false;
    for (const auto &[name, bytes] : *objects) {
        m_files.append(QString::fromUtf8(name));
        m_objects.insert(m_files.last(), bytes);
    }
    m_open = true;
    m_path = path;
    return true;
}

void ChmFile::close()
{
    m_open = false;
    m_path.clear();
    m_files.clear();
    m_objects.clear();
}

bool ChmFile::contains(const QString &objectPath) const
{
    return m_objects.contains(objectName(objectPath));
}

std::optional<QByteArray> ChmFile::read(const QString &objectPath) const
{
    const auto found = m_objects.constFind(objectName(objectPath));
    if (found == m_objects.constEnd())
        return std::nullopt;
    return *found;
}

QStringList ChmFile::files() const
{
    return m_files;
}
