#include "common/Regional.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// Qt's long time format carries the time zone ("t"); a duration or a time of
// day in a result has none, so it is dropped with the blank before it.
QString withoutTimeZone(QString format)
{
    static const QRegularExpression zone(QStringLiteral("\\s*t+"));
    return format.remove(zone).trimmed();
}

} // namespace

Regional Regional::fromSystem()
{
    const QLocale locale = QLocale::system();
    Regional r;
    const QString point = locale.decimalPoint();
    r.decimalSeparator = point.isEmpty() ? QLatin1Char('.') : point.front();
    r.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    r.longTimeFormat = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return r;
}

QString Regional::formatDate(const QDate &date) const
{
    return date.toString(shortDateFormat);
}

QString Regional::formatTime(const QTime &time) const
{
    return time.toString(longTimeFormat);
}
