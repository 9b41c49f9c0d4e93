// kalvestrin-tool export DATABASE FORMAT FILE [STATEMENT] [--presentations]:
// the export of the group results window without the window; with
// --presentations, the presentations of the tests the statement selects.

#include "common/Clock.h"
#include "common/Failure.h"
#include "common/Regional.h"
#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/central/ServerSettings.h"
#include "database/export/ExportQuery.h"
#include "database/export/PresentationExport.h"
#include "tools/kalvestrin-tool/ToolCommand.h"

#include <cstdio>
#include <stdexcept>

namespace {

// The formats the tool writes, by their names in the program.
QString formatList()
{
    QStringList names;
    for (const ExportFormatInfo &info : exportFormats())
        names << QString::fromLatin1(info.name) + QStringLiteral(" (.") + QLatin1String(info.extension) +
                     QLatin1Char(')');
    return names.join(QStringLiteral(", "));
}

ExportFormat formatByName(const QString &name)
{
    if (const ExportFormatInfo *info = exportFormatNamed(name))
        return info->format;
    throw Failure(QStringLiteral("unknown export format \"%1\"; FORMAT is one of %2").arg(name, formatList()));
}

} // namespace

int centralExport(const QString &conninfo, ExportFormat format, const QString &file, const QString &statement);

int exportCommand(QStringList args)
{
    const bool presentations = args.removeAll(QStringLiteral("--presentations")) > 0;
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "FORMAT: %s\n", formatList().toUtf8().constData());
        throw std::invalid_argument("usage");
    }
    const ExportFormat format = formatByName(args[1]);
    const QString statement = args.size() == 4 ? args[3] : QStringLiteral("SELECT * FROM DATA ORDER BY ID;");
    if (ServerSettings::looksLikeConninfo(args[0])) {
        const int rows = centralExport(args[0], format, args[2], statement);
        out(QStringLiteral("%1 rows written to %2").arg(rows).arg(args[2]));
        return 0;
    }
    // Opened as the program opens it, which never creates the file.
    ResultsDatabase con;
    con.setConnectionString(ConnectionString::forFile(args[0]));
    con.open();
    const SystemClock clock;
    const QChar decimal = Regional::fromSystem().decimalSeparator;
    const int rows = presentations
                         ? ExportPresentations(&con, statement, args[2], format, clock, decimal)
                         : ExportQuery(&con, statement, args[2], format, QStringLiteral("Data"), clock, decimal);
    out(QStringLiteral("%1 rows written to %2").arg(rows).arg(args[2]));
    return 0;
}
