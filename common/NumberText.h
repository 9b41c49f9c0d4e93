#pragma once

// The one place numbers become text. Scores are computed in long double and
// every conversion here works on the exact binary value of its argument, so a
// score prints the same on every machine.
//
// F(x, p, d): fixed point. x is rounded to p significant digits, that result
//   to d decimals, both times with ties away from zero (0.125 with 2 decimals
//   is 0,13). When the integer part has more than p digits the exponent form
//   d.ddddE+dddd is written instead.
// G(x): the shortest general form with at most 15 significant digits, no
//   trailing zeros; exponent form (1E-6, 1,5E20) below 0.00001 or beyond 15
//   integer digits.
// Both use the decimal separator given (the user's regional one, or a fixed
// one in files that prescribe it).

#include <QChar>
#include <QString>

QString F(long double x, int precision, int decimals, QChar separator);

QString G(long double x, QChar separator);

// Layout positions: nearest integer, halves to the even neighbour (460.5 -> 460,
// 461.5 -> 462), whatever the floating-point rounding mode.
int roundHalfEven(double v);
