// Norm groups and the clinician's report from the command line:
//   norms DATABASE create NAME [--age FROM-TO] [--gender Z|M] [--field1 TEXT] [--field2 TEXT]
//       [--field3 TEXT] [--from DATE] [--to DATE] [--design SHA256]   prints n, mean, sd
//   norms DATABASE list | delete NAME | rename NAME NEW | export NAME FILE.csv | import NAME FILE.csv
//   norms DATABASE score NAME ID    prints percentile, z, T, stanine, n
//   report DATABASE ID NORMGROUP OUT.pdf [--separator C]

#include "common/Failure.h"
#include "common/Regional.h"
#include "common/SafeFile.h"
#include "database/ConnectionString.h"
#include "database/NormFilter.h"
#include "database/NormStore.h"
#include "database/ResultsDatabase.h"
#include "database/StoredTestSubject.h"
#include "results/NormCsv.h"
#include "results/NormReport.h"
#include "results/ui/PdfPrintTarget.h"
#include "tools/kalvestrin-tool/ToolCommand.h"

#include <QDateTime>
#include <QPainter>

#include <stdexcept>

namespace {

void open(ResultsDatabase &con, const QString &path)
{
    con.setConnectionString(ConnectionString::forFile(path));
    con.open();
}

qint64 parseId(const QString &text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    if (!ok)
        throw Failure(QStringLiteral("ID \"%1\" is not a whole number").arg(text));
    return id;
}

QDate parseDate(const QString &text)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw Failure(QStringLiteral("date \"%1\" is not of the form YYYY-MM-DD").arg(text));
    return date;
}

std::optional<int> parseAge(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int age = text.toInt(&ok);
    if (!ok)
        throw Failure(QStringLiteral("age \"%1\" is not a whole number").arg(text));
    return age;
}

NormFilter parseFilter(QStringList args)
{
    NormFilter f;
    for (qsizetype i = 0; i + 1 < args.size(); i += 2) {
        const QString &name = args[i];
        const QString &value = args[i + 1];
        if (name == QLatin1String("--age")) {
            const qsizetype dash = value.indexOf(QLatin1Char('-'), 1);
            f.ageFrom = parseAge(dash < 0 ? value : value.left(dash));
            f.ageTo = parseAge(dash < 0 ? value : value.mid(dash + 1));
        } else if (name == QLatin1String("--gender") && (value == QLatin1String("Z") || value == QLatin1String("M"))) {
            f.gender = value == QLatin1String("M") ? 1 : 0;
        } else if (name == QLatin1String("--field1")) {
            f.field1 = value;
        } else if (name == QLatin1String("--field2")) {
            f.field2 = value;
        } else if (name == QLatin1String("--field3")) {
            f.field3 = value;
        } else if (name == QLatin1String("--from")) {
            f.from = parseDate(value);
        } else if (name == QLatin1String("--to")) {
            f.to = parseDate(value);
        } else if (name == QLatin1String("--design")) {
            f.designSha256 = value;
        } else {
            throw std::invalid_argument("usage");
        }
    }
    if (args.size() % 2 != 0)
        throw std::invalid_argument("usage");
    return f;
}

int scoreCommand(ResultsDatabase &con, const QString &name, const QString &id)
{
    const NormGroup group = NormStore(con).load(name);
    const Regional regional;
    const NormScore s = group.score(StoredTestSubject::load(con, parseId(id), regional).mean);
    out(QStringList{number17(double(s.percentile)), number17(double(s.z)), number17(double(s.t)),
                    QString::number(s.stanine), QString::number(s.n)}
            .join(QLatin1Char('\t')));
    return 0;
}

} // namespace

int norms(QStringList args)
{
    if (args.size() < 2)
        throw std::invalid_argument("usage");
    ResultsDatabase con;
    open(con, args.takeFirst());
    NormStore store(con);
    const QString command = args.takeFirst();
    if (command == QLatin1String("create") && !args.isEmpty()) {
        const QString name = args.takeFirst();
        NormGroup group = store.compute(name, parseFilter(args));
        store.add(group, QDateTime::currentDateTimeUtc());
        out(QStringList{QString::number(group.n), number17(group.mean), number17(group.sd)}.join(QLatin1Char('\t')));
    } else if (command == QLatin1String("list") && args.isEmpty()) {
        for (const QString &name : store.names()) {
            const NormGroup g = store.load(name);
            out(QStringList{g.name, QString::number(g.n), g.definition}.join(QLatin1Char('\t')));
        }
    } else if (command == QLatin1String("delete") && args.size() == 1) {
        store.remove(args[0]);
    } else if (command == QLatin1String("rename") && args.size() == 2) {
        store.rename(args[0], args[1]);
    } else if (command == QLatin1String("export") && args.size() == 2) {
        writeFileAtomically(args[1], NormCsv::write(store.load(args[0])));
    } else if (command == QLatin1String("import") && args.size() == 2) {
        store.add(NormCsv::read(readWholeFile(args[1]), args[0].trimmed()), QDateTime::currentDateTimeUtc());
    } else if (command == QLatin1String("score") && args.size() == 2) {
        return scoreCommand(con, args[0], args[1]);
    } else {
        throw std::invalid_argument("usage");
    }
    return 0;
}

int report(QStringList args)
{
    Regional regional = Regional::fromSystem();
    regional.shortDateFormat = QStringLiteral("d.M.yyyy");
    const qsizetype i = args.indexOf(QStringLiteral("--separator"));
    if (i >= 0 && i + 1 < args.size() && args[i + 1].size() == 1) {
        regional.decimalSeparator = args[i + 1].front();
        args.remove(i, 2);
    }
    if (args.size() != 4)
        throw std::invalid_argument("usage");
    ResultsDatabase con;
    open(con, args[0]);
    const NormReport page(StoredTestSubject::load(con, parseId(args[1]), regional), NormStore(con).load(args[2]),
                          regional.decimalSeparator);
    PdfPrintTarget target(args[3]);
    std::unique_ptr<PrintJob> job = target.start(QStringLiteral("Izvještaj"), QPageLayout::Portrait);
    const int pages = page.paint(job->painter(), [&job] { job->newPage(); });
    job->finish();
    out(QStringLiteral("%1 pages written into %2").arg(pages).arg(args[3]));
    return 0;
}
