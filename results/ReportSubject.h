#pragma once

// The test a report is about, as the results window shows it: its fact lines
// (subject, date, duration, mode, counts, M and V), its M as a number for the
// scores, and each task's efficiency.

#include <QList>
#include <QString>
#include <QStringList>

struct ResultSheet;

struct ReportSubject
{
    QStringList facts;
    long double mean = 0;
    QList<double> efficiencies;
    QStringList taskLabels; // the first accepted answer of each task, where known

    // Throws Failure when the sheet shows no scored test.
    static ReportSubject fromSheet(const ResultSheet &sheet);
};
