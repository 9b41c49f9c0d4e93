#include "Sounds.h"

namespace Sounds {

static QByteArray silence()
{
    return QByteArray();
}

QByteArray correctChime()
{
    return silence();
}

QByteArray wrongBuzz()
{
    return silence();
}

} // namespace Sounds
