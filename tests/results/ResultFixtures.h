#pragma once

// Finished tests built the way the end of a test builds them.

#include "session/SessionResult.h"

#include <QStringList>

inline SessionResult finishedTest(const QList<double> &efficiencies, const QStringList &labels = {})
{
    SessionResult r;
    r.subject.Surname = QStringLiteral("IVIĆ");
    r.subject.Name = QStringLiteral("ANA");
    r.subject.Age = QStringLiteral("23");
    r.subject.Gender = 0;
    r.subject.GenderText = QStringLiteral("Ženski");
    r.subject.Field1 = QStringLiteral("A1");
    r.testDate = QDate(2009, 5, 3);
    r.duration = 252.0 / 86400.0;
    r.independentMode = true;
    r.modeText = QStringLiteral("Samostalan");
    r.stimulusCount = int(efficiencies.size());
    long double s1 = 0, s2 = 0;
    for (int i = 0; i < efficiencies.size(); ++i) {
        TaskResult t;
        t.label = i < labels.size() ? labels[i] : QStringLiteral("slika%1").arg(i + 1);
        t.efficiency = efficiencies[i];
        t.recognised = efficiencies[i] != 2.0;
        r.unrecognisedCount += t.recognised ? 0 : 1;
        r.tasks << t;
        s1 += efficiencies[i];
        s2 += (long double)efficiencies[i] * efficiencies[i];
    }
    const long double n = r.stimulusCount;
    r.mean = n > 0 ? s1 / n : 0;
    r.variance = n > 1 ? (s2 - s1 * s1 / n) / (n - 1) : 0;
    return r;
}

// The worked example: kuća 0.25 and stol 0.0625, both recognised.
inline SessionResult workedExample()
{
    return finishedTest({0.25, 0.0625}, {QStringLiteral("kuća"), QStringLiteral("stol")});
}
