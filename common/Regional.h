#pragma once

// The user's regional settings the program depends on: the decimal separator
// every floating-point text is written and read with, and the short date and
// long time formats of result texts. Taken from the system locale once; tests
// install their own with setCurrent().

#include <QChar>
#include <QDate>
#include <QString>
#include <QTime>

class Regional
{
public:
    QChar decimalSeparator = QLatin1Char('.');
    QString shortDateFormat = QStringLiteral("d.M.yyyy");
    QString longTimeFormat = QStringLiteral("H:mm:ss");

    static Regional fromSystem();

    static const Regional &current();
    static void setCurrent(const Regional &regional);

    QString formatDate(const QDate &date) const;
    QString formatTime(const QTime &time) const;
};
