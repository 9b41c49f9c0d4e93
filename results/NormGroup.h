#pragma once

// A norm group: how M was distributed over a set of tests, frozen when the
// group is made, and where one test's M stands against it. A smaller M is
// the better result (less of the picture was needed; an unrecognised task
// counts 2.0), so the percentile rank counts the group's tests with a larger
// M and z is positive for a result better than the group's mean.

#include "results/NormScore.h"

#include <QList>
#include <QString>

// The task efficiencies at one task position: median and quartiles.
struct TaskNorm
{
    double q1 = 0, median = 0, q3 = 0;
};

// One point of a published table: an M and its percentile rank.
struct NormPoint
{
    double m = 0;
    double percentile = 0;
};

struct NormGroup
{
    // Below this many tests every score carries a caution.
    static constexpr qint64 SmallGroup = 30;

    QString name;
    QString definition; // which tests, in words
    qint64 n = 0;
    double mean = 0;
    double sd = 0; // with n - 1 in the denominator
    // Every test's M, ascending; empty for a table typed in without them.
    QList<double> values;
    // Ascending M; gives the percentile rank by linear interpolation when
    // there are no values.
    QList<NormPoint> points;
    QList<TaskNorm> tasks; // per task position, from the first

    bool isSmall() const { return n < SmallGroup; }
    bool interpolates() const { return values.isEmpty(); }

    // The statistics of the tests whose M are `m` and whose task efficiencies
    // are `efficiencies` (one list per test). Throws Failure for fewer than
    // two tests or when every M is the same.
    static NormGroup fromTests(QList<double> m, const QList<QList<double>> &efficiencies);

    // Refuses (Failure) a group a score cannot be computed against: n under
    // two, a standard deviation that is not positive, values not n, points
    // not strictly ascending in M.
    void check() const;

    long double percentileOf(double m) const;
    NormScore score(long double m) const;
};

namespace NormStatistics {
// The p-quantile of ascending values, interpolated linearly between order
// statistics at (count - 1) p.
long double quantile(const QList<double> &sorted, long double p);
// The stanine of z: min(9, max(1, floor(2z + 5.5))).
int stanine(long double z);
} // namespace NormStatistics
