#include "database/ui/NormReportCommand.h"

#include "common/Regional.h"
#include "common/ui/Prompts.h"
#include "database/NormStore.h"
#include "database/ResultsDatabase.h"
#include "database/StoredTestSubject.h"
#include "database/ui/NormGroupChooser.h"
#include "results/NormReport.h"
#include "results/ui/PrintTarget.h"

#include <QDir>
#include <QPainter>
#include <QSettings>

namespace {

const QString NoGroups = QStringLiteral("U bazi podataka nema normnih skupina. Napravite ih u prozoru Norme "
                                        "(Podaci, gumb Norme).");
const QString NoDatabase = QStringLiteral("Veza s bazom podataka nije otvorena.");
const QString NoPrinter = QStringLiteral("Na računalu nije instaliran pisač. Ispis je spremljen u datoteku: ");

QString chooseInDialog(QWidget *parent, const QStringList &names, const QString &last)
{
    NormGroupChooser dialog(names, last, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : QString();
}

const QString LastGroupKey = QStringLiteral("Norme/ZadnjaSkupina");

} // namespace

NormReportCommand::NormReportCommand(ResultsDatabase &con, Prompts &prompts, const Regional &regional,
                                     std::unique_ptr<PrintTarget> target)
    : m_con(con)
    , m_prompts(prompts)
    , m_regional(regional)
    , m_target(std::move(target))
    , m_chooser(chooseInDialog)
{}

NormReportCommand::~NormReportCommand() = default;

void NormReportCommand::rememberIn(const QString &iniPath)
{
    m_iniPath = iniPath;
    const QString kept = QSettings(iniPath, QSettings::IniFormat).value(LastGroupKey).toString();
    if (!kept.isEmpty())
        m_last = kept;
}

void NormReportCommand::setPrintTarget(std::unique_ptr<PrintTarget> target)
{
    m_target = std::move(target);
}

void NormReportCommand::print(QWidget *parent, const ReportSubject &subject)
{
    if (!m_con.isOpen()) {
        m_prompts.warning(NoDatabase);
        return;
    }
    NormStore store(m_con);
    const QStringList names = store.names();
    if (names.isEmpty()) {
        m_prompts.warning(NoGroups);
        return;
    }
    const QString name = m_chooser(parent, names, m_last);
    if (name.isEmpty())
        return;
    if (!m_iniPath.isEmpty()) {
        // A choice that cannot be kept costs only the preselection next time.
        QSettings(m_iniPath, QSettings::IniFormat).setValue(LastGroupKey, name);
    }
    m_last = name;
    const NormReport report(subject, store.load(name), m_regional.decimalSeparator);
    std::unique_ptr<PrintJob> job = m_target->start(QStringLiteral("Izvještaj"), QPageLayout::Portrait);
    report.paint(job->painter(), [&job] { job->newPage(); });
    const QString file = job->finish();
    if (!file.isEmpty())
        m_prompts.information(NoPrinter + QDir::toNativeSeparators(file));
}

void NormReportCommand::printStored(QWidget *parent, qint64 id)
{
    if (!m_con.isOpen()) {
        m_prompts.warning(NoDatabase);
        return;
    }
    print(parent, StoredTestSubject::load(m_con, id, m_regional));
}
