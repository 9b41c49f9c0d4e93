#pragma once

// The user's regional settings the program depends on: the decimal separator
// every floating-point text is written and read with, and the short date and
// long time formats of result texts. The program takes them from the system
// locale at start-up and hands them to its windows; tests make their own.

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

    QString formatDate(const QDate &date) const;
    QString formatTime(const QTime &time) const;
};
