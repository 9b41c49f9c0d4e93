#include "database/export/AnalysisLabels.h"

#include "database/export/FileExportSupport.h"

#include <QHash>

namespace AnalysisLabels {

QString variableLabel(const QString &column)
{
    static const QHash<QString, QString> labels = {
        {QStringLiteral("ID"), QStringLiteral("Redni broj zapisa")},
        {QStringLiteral("NAME"), QStringLiteral("Ime")},
        {QStringLiteral("SURNAME"), QStringLiteral("Prezime")},
        {QStringLiteral("AGE"), QStringLiteral("Dob")},
        {QStringLiteral("GENDER"), QStringLiteral("Spol")},
        {QStringLiteral("N"), QStringLiteral("Broj zadataka")},
        {QStringLiteral("M"), QStringLiteral("Aritmetička sredina")},
        {QStringLiteral("V"), QStringLiteral("Varijanca")},
        {QStringLiteral("ITEMS"), QStringLiteral("Efikasnosti zadataka")},
        {QStringLiteral("FIELD1"), QStringLiteral("Polje1")},
        {QStringLiteral("FIELD2"), QStringLiteral("Polje2")},
        {QStringLiteral("FIELD3"), QStringLiteral("Polje3")},
        {QStringLiteral("SESSIONUUID"), QStringLiteral("UUID testiranja")},
        {QStringLiteral("UUID"), QStringLiteral("UUID testiranja")},
        {QStringLiteral("NR"), QStringLiteral("Redni broj prikaza")},
        {QStringLiteral("TASK"), QStringLiteral("Zadatak")},
        {QStringLiteral("LEVELINDEX"), QStringLiteral("Redni broj razine")},
        {QStringLiteral("LEVEL"), QStringLiteral("Razina maskiranja")},
        {QStringLiteral("EFFICIENCY"), QStringLiteral("Efikasnost")},
        {QStringLiteral("ONSETMS"), QStringLiteral("Početak prikaza (ms)")},
        {QStringLiteral("RESPONSEMS"), QStringLiteral("Odgovor (ms)")},
        {QStringLiteral("KEY"), QStringLiteral("Tipka")},
        {QStringLiteral("TYPEDANSWER"), QStringLiteral("Upisani odgovor")},
        {QStringLiteral("JUDGEMENT"), QStringLiteral("Procjena")},
    };
    return labels.value(column.toUpper());
}

bool isGender(const ExportColumn &column)
{
    return column.name.compare(QLatin1String("Gender"), Qt::CaseInsensitive) == 0 &&
           (column.type == ExportColumnType::Boolean || column.type == ExportColumnType::Integer);
}

const QList<QPair<int, QString>> &genderLabels()
{
    static const QList<QPair<int, QString>> labels = {{0, QStringLiteral("Ženski")}, {1, QStringLiteral("Muški")}};
    return labels;
}

namespace {

QString asciiName(const QString &name, const QStringList &reserved)
{
    QString plain;
    for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c == QChar(0x0111) || c == QChar(0x0110))
            plain += c == QChar(0x0111) ? QLatin1Char('d') : QLatin1Char('D');
        else if (c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('_')))
            plain += c;
        else
            plain += QLatin1Char('_');
    }
    if (plain.isEmpty() || !plain.front().isLetter())
        plain.prepend(QLatin1Char('V'));
    if (reserved.contains(plain, Qt::CaseInsensitive))
        plain += QLatin1Char('_');
    return plain;
}

} // namespace

QStringList variableNames(const QList<ExportColumn> &columns, int maxLength, Qt::CaseSensitivity sensitivity,
                          const QStringList &reserved)
{
    return FileExport::columnNames(
        columns, [&reserved](const QString &name) { return asciiName(name, reserved); }, maxLength, sensitivity);
}

} // namespace AnalysisLabels
