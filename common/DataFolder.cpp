#include "common/DataFolder.h"

#include <QDir>

namespace {
QString &captured()
{
    static QString folder;
    return folder;
}
} // namespace

namespace DataFolder {

void capture()
{
    captured() = QDir::currentPath();
}

QString path()
{
    if (captured().isEmpty())
        capture();
    return captured();
}

} // namespace DataFolder
