#include "database/NormFilter.h"

#include <QStringList>

QString NormFilter::definition() const
{
    QStringList parts;
    if (ageFrom || ageTo)
        parts << QStringLiteral("dob %1-%2")
                     .arg(ageFrom ? QString::number(*ageFrom) : QString(), ageTo ? QString::number(*ageTo) : QString());
    if (gender >= 0)
        parts << (gender == 0 ? QStringLiteral("spol Ženski") : QStringLiteral("spol Muški"));
    const QString *fields[3] = {&field1, &field2, &field3};
    for (int i = 0; i < 3; ++i) {
        if (!fields[i]->isEmpty())
            parts << QStringLiteral("Polje%1 sadrži \"%2\"").arg(i + 1).arg(*fields[i]);
    }
    if (from.isValid() || to.isValid())
        parts << QStringLiteral("testirani od %1 do %2")
                     .arg(from.isValid() ? from.toString(Qt::ISODate) : QStringLiteral("početka"),
                          to.isValid() ? to.toString(Qt::ISODate) : QStringLiteral("danas"));
    if (!designSha256.isEmpty())
        parts << QStringLiteral("nacrt SHA-256 ") + designSha256.toLower();
    return parts.isEmpty() ? QStringLiteral("sva pohranjena testiranja") : parts.join(QStringLiteral("; "));
}

QString NormFilter::where(QVariantList &values) const
{
    QStringList conditions{QStringLiteral("d.M IS NOT NULL")};
    auto condition = [&](const QString &sql, const QVariant &value) {
        values << value;
        conditions << QString(sql).arg(values.size());
    };
    if (ageFrom)
        condition(QStringLiteral("d.Age >= ?%1"), *ageFrom);
    if (ageTo)
        condition(QStringLiteral("d.Age <= ?%1"), *ageTo);
    if (gender >= 0)
        condition(QStringLiteral("d.Gender = ?%1"), gender);
    const QString *fields[3] = {&field1, &field2, &field3};
    for (int i = 0; i < 3; ++i) {
        if (!fields[i]->isEmpty())
            condition(QStringLiteral("instr(d.Field%1, ?%2) > 0").arg(i + 1).arg(QStringLiteral("%1")), *fields[i]);
    }
    // The test's own date where it ran, as the results window shows it.
    const QString session = QStringLiteral("EXISTS (SELECT 1 FROM Sessions s WHERE s.DataID = d.ID AND %1)");
    if (from.isValid())
        condition(session.arg(QStringLiteral("date(s.StartedUTC, 'localtime') >= ?%1")), from.toString(Qt::ISODate));
    if (to.isValid())
        condition(session.arg(QStringLiteral("date(s.StartedUTC, 'localtime') <= ?%1")), to.toString(Qt::ISODate));
    if (!designSha256.isEmpty())
        condition(session.arg(QStringLiteral("lower(s.DesignSHA256) = ?%1")), designSha256.toLower());
    return conditions.join(QStringLiteral(" AND "));
}
