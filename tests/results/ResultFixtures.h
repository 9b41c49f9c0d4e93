#pragma once

// Finished tests built the way the end of a test builds them.

#include "common/Regional.h"
#include "session/SessionResult.h"

#include <QFile>
#include <QStringList>

inline SessionResult finishedTest(const QList<double> &efficiencies, const QStringList &labels = {})
{
    SessionResult r;
    r.subject = {QStringLiteral("ANA"),    QStringLiteral("IVIĆ"), QStringLiteral("23"), 0,
                 QStringLiteral("Ženski"), QStringLiteral("A1")};
    r.testDate = QDate(2009, 5, 3);
    r.duration = 252.0 / 86400.0;
    r.independentMode = true;
    r.modeText = QStringLiteral("Samostalan");
    r.stimulusCount = int(efficiencies.size());
    long double s1 = 0, s2 = 0;
    for (int i = 0; i < efficiencies.size(); ++i) {
        const double e = efficiencies[i];
        r.tasks.append({i < labels.size() ? labels[i] : QStringLiteral("slika%1").arg(i + 1), e != 2.0, e});
        r.unrecognisedCount += e == 2.0;
        s1 += e;
        s2 += (long double)e * e;
    }
    const long double n = r.stimulusCount;
    r.mean = s1 / n;
    r.variance = (s2 - s1 * s1 / n) / (n - 1);
    return r;
}

// The worked example: kuća 0.25 and stol 0.0625, both recognised.
inline SessionResult workedExample()
{
    return finishedTest({0.25, 0.0625}, {QStringLiteral("kuća"), QStringLiteral("stol")});
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// Regional settings with the given separator and the usual Croatian date and time.
inline Regional regional(QChar separator)
{
    Regional r;
    r.decimalSeparator = separator;
    r.shortDateFormat = QStringLiteral("d.M.yyyy");
    r.longTimeFormat = QStringLiteral("H:mm:ss");
    return r;
}
