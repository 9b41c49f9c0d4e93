#include "results/AxisLabels.h"

#include "common/NumberText.h"

#include <cmath>

int pictureDecimals(const QString &picture)
{
    const qsizetype point = picture.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(picture.size() - point - 1);
}

QString formatPicture(double value, const QString &picture, QChar sep)
{
    const int decimals = pictureDecimals(picture);
    const qsizetype point = picture.indexOf(QLatin1Char('.'));
    const bool grouped = picture.left(point < 0 ? picture.size() : point).contains(QLatin1Char(','));
    // Rounded half away from zero, as every number text of the program.
    QString text = F(value, 17, decimals, QLatin1Char('.'));
    if (text.contains(QLatin1Char('E')))
        return text.replace(QLatin1Char('.'), sep);
    bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    QString whole = text.section(QLatin1Char('.'), 0, 0);
    QString fraction = text.section(QLatin1Char('.'), 1);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (whole == QLatin1String("0"))
        whole.clear();
    if (grouped) {
        const QChar groupSep = sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, groupSep);
    }
    QString out = whole;
    if (!fraction.isEmpty())
        out += sep + fraction;
    if (out.isEmpty())
        return {};
    return negative ? QLatin1Char('-') + out : out;
}

QList<double> axisTicks(double min, double max, double base, double pixels, const QString &picture,
                        const std::function<double(const QList<double> &)> &extent)
{
    if (!(max > min) || !(pixels > 0) || !std::isfinite(max - min))
        return {min};
    if (pictureDecimals(picture) == 0 && base < 1)
        base = 1;
    const double range = max - min;
    static const double Multipliers[] = {1, 2, 5};
    QList<double> ticks;
    for (double decade = 1;; decade *= 10) {
        for (double m : Multipliers) {
            const double step = base * m * decade;
            // More ticks than pixels can never be apart.
            if (range / step > pixels && step < range)
                continue;
            ticks.clear();
            const double first = std::ceil(min / step - 1e-9);
            const double last = std::floor(max / step + 1e-9);
            for (double k = first; k <= last; ++k)
                ticks << k * step;
            if (step >= range || step * pixels / range >= extent(ticks) + 4)
                return ticks;
        }
    }
}
