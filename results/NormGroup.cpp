#include "results/NormGroup.h"

#include "common/Failure.h"

#include <algorithm>
#include <cmath>

long double NormStatistics::quantile(const QList<double> &sorted, long double p)
{
    if (sorted.isEmpty())
        return 0;
    const long double h = (sorted.size() - 1) * p;
    const auto low = qsizetype(std::floor(h));
    if (low + 1 >= sorted.size())
        return sorted.last();
    const long double a = sorted[low];
    return a + (h - low) * (sorted[low + 1] - a);
}

int NormStatistics::stanine(long double z)
{
    const long double s = std::floor(2 * z + 5.5L);
    return s < 1 ? 1 : (s > 9 ? 9 : int(s));
}

NormGroup NormGroup::fromTests(QList<double> m, const QList<QList<double>> &efficiencies)
{
    NormGroup group;
    std::sort(m.begin(), m.end());
    group.n = m.size();
    if (group.n < 2)
        throw Failure(QStringLiteral("Skupina mora imati barem dva testiranja; uvjetima ih odgovara %1.").arg(group.n));
    long double sum = 0;
    for (double v : m)
        sum += v;
    const long double mean = sum / group.n;
    long double squares = 0;
    for (double v : m)
        squares += (v - mean) * (v - mean);
    group.mean = double(mean);
    group.sd = double(std::sqrt(squares / (group.n - 1)));
    group.values = std::move(m);

    qsizetype positions = 0;
    for (const QList<double> &test : efficiencies)
        positions = std::max(positions, test.size());
    for (qsizetype task = 0; task < positions; ++task) {
        QList<double> column;
        for (const QList<double> &test : efficiencies) {
            if (task < test.size())
                column << test[task];
        }
        std::sort(column.begin(), column.end());
        group.tasks << TaskNorm{double(NormStatistics::quantile(column, 0.25L)),
                                double(NormStatistics::quantile(column, 0.5L)),
                                double(NormStatistics::quantile(column, 0.75L))};
    }
    group.check();
    return group;
}

void NormGroup::check() const
{
    if (n < 2)
        throw Failure(QStringLiteral("Normna skupina mora imati barem dva testiranja (n = %1).").arg(n));
    if (!(sd > 0) || !std::isfinite(sd) || !std::isfinite(mean))
        throw Failure(QStringLiteral("Standardna devijacija normne skupine mora biti veća od nule."));
    if (!values.isEmpty() && values.size() != n)
        throw Failure(QStringLiteral("Normna skupina navodi n = %1, a pojedinačnih vrijednosti ima %2.")
                          .arg(n)
                          .arg(values.size()));
    if (values.isEmpty() && points.size() < 2)
        throw Failure(QStringLiteral("Normna skupina bez pojedinačnih vrijednosti treba barem dvije centilne točke."));
    for (qsizetype i = 1; i < points.size(); ++i) {
        if (!(points[i].m > points[i - 1].m))
            throw Failure(QStringLiteral("Centilne točke moraju ići redom po rastućem M."));
    }
}

long double NormGroup::percentileOf(double m) const
{
    if (!values.isEmpty()) {
        const auto low = std::lower_bound(values.begin(), values.end(), m);
        const auto high = std::upper_bound(low, values.end(), m);
        const long double larger = values.end() - high;
        const long double equal = high - low;
        return 100 * (larger + equal / 2) / values.size();
    }
    if (m <= points.first().m)
        return points.first().percentile;
    if (m >= points.last().m)
        return points.last().percentile;
    const auto upper =
        std::upper_bound(points.begin(), points.end(), m, [](double v, const NormPoint &p) { return v < p.m; });
    const NormPoint &b = *upper;
    const NormPoint &a = *(upper - 1);
    return a.percentile +
           (m - (long double)a.m) / (b.m - (long double)a.m) * (b.percentile - (long double)a.percentile);
}

NormScore NormGroup::score(long double m) const
{
    check();
    NormScore s;
    // The group's values are stored as doubles; a test's own M compares with
    // its stored self as equal.
    s.percentile = percentileOf(double(m));
    s.z = ((long double)mean - m) / sd;
    s.t = 50 + 10 * s.z;
    s.stanine = NormStatistics::stanine(s.z);
    s.n = n;
    s.small = isSmall();
    s.interpolated = interpolates();
    return s;
}
