#include "results/ArchiveSheetBuilder.h"

#include "common/NumberText.h"

#include <algorithm>

ArchiveSheetBuilder::ArchiveSheetBuilder(QChar separator)
    : m_separator(separator)
{}

void ArchiveSheetBuilder::apply(const ArchiveField &f)
{
    using namespace ArchiveLayout;
    ResultSheet &s = m_sheet;
    if (f.task > 0) {
        if (f.efficiency) {
            s.points << QPointF(f.task, double(f.value * 100));
            s.setEfficiency(f.task, f.value, m_separator);
            return;
        }
        s.setLabel(f.task, f.text);
        if (f.task == m_taskCount)
            finish();
        return;
    }
    switch (f.number) {
    case Name:
        m_name = f.text;
        s.labels[0] = QStringLiteral("Prezime i ime: ") + f.text;
        break;
    case Age: s.labels[1] = QStringLiteral("Dob: ") + f.text; break;
    case Gender: s.labels[2] = QStringLiteral("Spol: ") + f.text; break;
    case Field1: s.labels[3] = QStringLiteral("Polje1: ") + f.text; break;
    case Field2: s.labels[4] = QStringLiteral("Polje2: ") + f.text; break;
    case Date: s.labels[5] = QStringLiteral("Datum testiranja: ") + f.text; break;
    case Duration: s.labels[6] = QStringLiteral("Trajanje testiranja: ") + f.text; break;
    case Independent: s.labels[7] = QStringLiteral("Samostalno testiranje: ") + f.text; break;
    case Background: s.labels[8] = QStringLiteral("Ignoriranje pozadine: ") + f.text; break;
    case TaskCount:
        m_taskCount = int(f.value);
        s.labels[9] = QStringLiteral("Broj podražaja: ") + f.text;
        s.resetCells(m_taskCount + 3);
        s.categoryMax = std::max(m_taskCount, 1);
        break;
    case Unrecognised: {
        s.labels[10] = QStringLiteral("Neprepoznatih podražaja: ") + f.text;
        bool ok = false;
        const int unrecognised = f.text.trimmed().toInt(&ok);
        s.cautionShown = ok && unrecognised > 0;
        break;
    }
    case Mean:
        m_mean = f.value;
        s.labels[11] = QStringLiteral("Aritmetička sredina: ") + G(f.value, m_separator);
        break;
    case Variance:
        m_variance = f.value;
        s.labels[12] = QStringLiteral("Varijanca: ") + G(f.value, m_separator);
        break;
    case Field3:
        s.labels[13] =
            f.text == QLatin1String("Reserved1") ? QStringLiteral("Polje3: ") : QStringLiteral("Polje3: ") + f.text;
        break;
    case FixedFields:
        // A file of no tasks is complete after its fixed fields.
        if (m_taskCount == 0)
            finish();
        break;
    default: break;
    }
}

void ArchiveSheetBuilder::finish()
{
    m_sheet.setScores(m_taskCount, m_mean, m_variance, m_separator);
    m_sheet.mean = m_mean;
    m_sheet.scored = true;
    m_sheet.title = QStringList{QStringLiteral("Efikasnost prepoznavanja u funkciji rednog broja podražaja za: ") +
                                m_name + QStringLiteral(" M=") + G(m_mean, m_separator) + QStringLiteral(" V=") +
                                G(m_variance, m_separator)};
    m_sheet.valuePicture = QStringLiteral("#.##");
}
