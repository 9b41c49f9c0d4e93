#include "database/SelectRule.h"

#include <QLocale>

QString SelectRule::trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

bool SelectRule::beginsWithSelect(const QString &text)
{
    return text.size() >= 6 && QLocale::system().toLower(text.left(6)) == QLatin1String("select");
}
