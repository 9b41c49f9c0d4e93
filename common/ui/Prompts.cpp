#include "common/ui/Prompts.h"

#include <QStringList>

QList<QPair<QString, QString>> FileDialogRequest::parseFilter(const QString &barSeparated)
{
    QList<QPair<QString, QString>> out;
    const QStringList parts = barSeparated.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out.append({parts[i], parts[i + 1]});
    return out;
}
