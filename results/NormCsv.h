#pragma once

// Norm groups as CSV text (UTF-8), so that published norms can be typed in
// and groups shared between clinics. One record per line, its kind first:
//   Kalvestrin norme,1
//   opis,<which tests, in words>
//   n,<count>
//   sredina,<mean of M>
//   sd,<standard deviation of M, n - 1 in the denominator>
//   vrijednost,<M>                          every test's M (none, or n of them)
//   centil,<M>,<percentile rank>           a table's points, without values
//   zadatak,<position>,<Q1>,<median>,<Q3>   task efficiencies per position
// Fields are separated by "," and numbers use "."; a file whose first line is
// separated by ";" (as a spreadsheet with decimal commas saves it) is read
// with ";" between fields and "," or "." in numbers. Texts with the
// separator, quotes or line breaks are quoted, inner quotes doubled.

#include <QByteArray>
#include <QString>

struct NormGroup;

namespace NormCsv {

QByteArray write(const NormGroup &group);
// The group in `text`, named `name`. Throws Failure naming the line at fault.
NormGroup read(const QByteArray &text, const QString &name);

} // namespace NormCsv
