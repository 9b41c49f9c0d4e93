#include "common/DataFolder.h"

#include <QDir>

namespace DataFolder {

QString current()
{
    return QDir::currentPath();
}

} // namespace DataFolder
