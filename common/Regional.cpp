#include "common/Regional.h"

#include <QLocale>
#include <QRegularExpression>

#include <optional>

namespace {

std::optional<Regional> &installed()
{
    static std::optional<Regional> regional;
    return regional;
}

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

const Regional &Regional::current()
{
    auto &r = installed();
    if (!r)
        r = fromSystem();
    return *r;
}

void Regional::setCurrent(const Regional &regional)
{
    installed() = regional;
}

QString Regional::formatDate(const QDate &date) const
{
    return date.toString(shortDateFormat);
}

QString Regional::formatTime(const QTime &time) const
{
    return time.toString(longTimeFormat);
}
