#pragma once

// Which stored tests a norm group is made of: age from-to, gender, text in
// Field1..Field3 (a substring, case as typed), the test's date from-to and
// the design's SHA-256. What is not set does not filter. Dates come from
// Sessions, so a test stored before Sessions existed has none and is left
// out once a date or design filter is set.

#include <QDate>
#include <QString>
#include <QVariantList>

#include <optional>

struct NormFilter
{
    std::optional<int> ageFrom, ageTo;
    int gender = -1; // 0 "Ženski", 1 "Muški", -1 either
    QString field1, field2, field3;
    QDate from, to;
    QString designSha256;

    // The filter in words, as the report prints it: "dob 20-30; spol Ženski".
    QString definition() const;
    // The conditions on `Data d` (with its Sessions) as SQL after WHERE, and
    // the values they bind, in order.
    QString where(QVariantList &values) const;
};
