#pragma once

// Axis labels of the results chart. Labels follow picture formats: "###" and
// "#,##" give whole numbers ("#,##" grouped in thousands), "#.##" up to two
// decimals without trailing zeros; a picture of "#" only writes no digit that
// is not needed, so 0 gives an empty label and 0.5 gives ",5". Ticks sit at
// the multiples of the smallest step whose labels do not overlap.

#include <QChar>
#include <QList>
#include <QString>

#include <functional>

QString formatPicture(double value, const QString &picture, QChar decimalSeparator);

// The decimals a picture shows.
int pictureDecimals(const QString &picture);

// Tick values from min to max: multiples of base x 1, 2, 5, 10, 20, 50, ...,
// taking the smallest step whose ticks stand at least `extent(ticks)` + 4
// pixels apart on an axis `pixels` long. `extent` gives the largest size of
// the ticks' labels along the axis. A picture without decimals never steps
// by less than 1.
QList<double> axisTicks(double min, double max, double base, double pixels, const QString &picture,
                        const std::function<double(const QList<double> &)> &extent);
