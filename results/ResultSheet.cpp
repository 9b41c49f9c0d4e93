#include "results/ResultSheet.h"

#include "common/NumberText.h"
#include "results/ArchiveFile.h"

#include <algorithm>

namespace {

const QStringList Headers{QStringLiteral("Zadatak "), QStringLiteral("Efikasnost"), QStringLiteral("Efikasnost %"),
                          QStringLiteral("Redundantnost"), QStringLiteral("Redundantnost %")};

const QString StartTitle = QStringLiteral("Perceptivna zaokruženost u funkciji rednog broja podražaja za: ");

constexpr int StartRows = 11;

QString decimal(double value, QChar separator)
{
    return QString::number(value, 'g', 4).replace(QLatin1Char('.'), separator);
}

// "Zaslon: 1920 x 1080, 60 Hz, omjer piksela 1, kompozitor: ne"; what is not known is left out.
QString displayText(const SessionInfo &s, QChar separator)
{
    if (s.screenSize.isEmpty())
        return {};
    QStringList parts{QStringLiteral("%1 x %2").arg(s.screenSize.width()).arg(s.screenSize.height())};
    if (s.refreshRate > 0)
        parts << decimal(s.refreshRate, separator) + QStringLiteral(" Hz");
    parts << QStringLiteral("omjer piksela ") + decimal(s.devicePixelRatio, separator);
    if (s.compositor != SessionInfo::Compositor::Unknown)
        parts << (s.compositor == SessionInfo::Compositor::Yes ? QStringLiteral("kompozitor: da")
                                                               : QStringLiteral("kompozitor: ne"));
    return QStringLiteral("Zaslon: ") + parts.join(QStringLiteral(", "));
}

} // namespace

const QString ResultSheet::CautionText = QStringLiteral(
    "Narušene su metrijske karakteristike intervalne ljestvice pa dobivene rezultate treba interpretirati s oprezom! ");

double ResultSheet::valueMax() const
{
    double top = 0;
    for (const QPointF &p : points)
        top = std::max(top, p.y());
    return top > 0 ? top : 100.0;
}

ResultSheet ResultSheet::initial()
{
    ResultSheet s;
    const char *const captions[FactLabelCount] = {
        "Prezime i ime:", "Dob:",      "Spol:",       "Identifikator 1:", "Identifikator 2:",
        "Datum:",         "Trajanje:", "Samostalno:", "Pozadina:",        "Broj podražaja:",
        "Neprepoznatih:", "M:",        "V:",          "Identifikator 3:"};
    for (int i = 0; i < FactLabelCount; ++i)
        s.labels[i] = QString::fromUtf8(captions[i]);
    s.title = QStringList{StartTitle};
    s.resetCells(StartRows);
    return s;
}

void ResultSheet::resetCells(int rows)
{
    cells = QList<QStringList>(std::max(rows, 1), QStringList(ColumnCount));
    cells[0] = Headers;
}

void ResultSheet::setEfficiency(int task, long double e, QChar sep)
{
    if (task < 1 || task >= cells.size())
        return;
    QStringList &row = cells[task];
    row[1] = F(e, 12, 5, sep);
    row[2] = F(e * 100, 12, 2, sep);
    row[3] = F(1 - e, 12, 5, sep);
    row[4] = F((1 - e) * 100, 12, 2, sep);
}

void ResultSheet::setLabel(int task, const QString &label)
{
    if (task < 1 || task >= cells.size())
        return;
    cells[task][0] = QString::number(task) + QLatin1String(".  ") + label;
}

void ResultSheet::setScores(int taskCount, long double m, long double v, QChar sep)
{
    if (taskCount + 2 >= cells.size())
        return;
    cells[taskCount + 1] = QStringList{QStringLiteral(" M="), F(m, 10, 5, sep), F(m * 100, 10, 5, sep),
                                       F(1 - m, 10, 5, sep), F((1 - m) * 100, 10, 5, sep)};
    cells[taskCount + 2] = QStringList{QStringLiteral(" V="), F(v, 10, 5, sep), F(v * 100, 10, 5, sep),
                                       F(v, 10, 5, sep), F(v * 100, 10, 5, sep)};
}

ResultSheet ResultSheet::fromResult(const SessionResult &r, const Regional &regional)
{
    const QChar sep = regional.decimalSeparator;
    const Subject &s = r.subject;
    const QString mean = F(r.mean, 10, 5, sep);
    const QString variance = F(r.variance, 10, 5, sep);
    const QString name = s.Surname + QLatin1Char(' ') + s.Name;

    ResultSheet sheet = initial();
    sheet.labels[0] = QStringLiteral("Prezime i ime: ") + name;
    sheet.labels[1] = QStringLiteral("Dob: ") + s.Age;
    sheet.labels[2] = QStringLiteral("Spol: ") + s.GenderText;
    sheet.labels[3] = QStringLiteral("Polje1: ") + s.Field1;
    sheet.labels[4] = QStringLiteral("Polje2: ") + s.Field2;
    sheet.labels[5] = QStringLiteral("Datum testiranja: ") + regional.formatDate(r.testDate);
    sheet.labels[6] = QStringLiteral("Trajanje testiranja: ") + DurationText(r.duration, regional);
    sheet.labels[7] = QStringLiteral("Samostalno testiranje: ") + r.modeText;
    sheet.labels[8] =
        r.ignoreBackground ? QStringLiteral("Ignoriranje pozadine: Da") : QStringLiteral("Ignoriranje pozadine: Ne");
    sheet.labels[9] = QStringLiteral("Broj podražaja: ") + QString::number(r.stimulusCount);
    sheet.labels[10] = QStringLiteral("Neprepoznatih podražaja: ") + QString::number(r.unrecognisedCount);
    sheet.labels[11] = QStringLiteral("Aritmetička sredina: ") + mean;
    sheet.labels[12] = QStringLiteral("Varijanca: ") + variance;
    sheet.labels[13] = QStringLiteral("Polje3: ") + s.Field3;
    sheet.title = QStringList{StartTitle + name, QStringLiteral(" M=") + mean + QStringLiteral(" V=") + variance};
    sheet.valuePicture = QStringLiteral("#.##");
    sheet.categoryMax = std::max(r.stimulusCount, 1);
    sheet.cautionShown = r.unrecognisedCount != 0;
    sheet.displayLine = displayText(r.session, sep);

    const int n = int(r.tasks.size());
    sheet.points.reserve(n);
    sheet.resetCells(n + 3);
    for (int i = 0; i < n; ++i) {
        const TaskResult &t = r.tasks[i];
        sheet.points << QPointF(i + 1, t.efficiency * 100);
        sheet.setLabel(i + 1, t.label);
        sheet.setEfficiency(i + 1, t.efficiency, sep);
    }
    sheet.setScores(n, r.mean, r.variance, sep);
    sheet.mean = r.mean;
    sheet.scored = true;
    return sheet;
}
