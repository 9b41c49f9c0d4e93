// kalvestrin-tool export DATABASE FORMAT FILE [STATEMENT]: the export of the
// group results window without the window.

#include "common/Failure.h"
#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/export/ExportQuery.h"
#include "tools/kalvestrin-tool/ToolCommand.h"

#include <stdexcept>

namespace {

const char *const FormatNames[] = {"efAccess",   "efExcel3",   "efExcel4", "efExcel5", "efExcel8", "efLotusWK1",
                                   "efLotusWK3", "efLotusWK4", "efDBase3", "efDBase4", "efDBase5", "efParadox3",
                                   "efParadox4", "efParadox5", "efText",   "efHTML",   "efXML"};

ExportFormat formatByName(const QString &name)
{
    for (int i = 0; i < int(std::size(FormatNames)); ++i) {
        if (name.compare(QLatin1String(FormatNames[i]), Qt::CaseInsensitive) == 0)
            return ExportFormat(i);
    }
    throw Failure(QStringLiteral("unknown export format \"%1\"").arg(name));
}

} // namespace

int exportCommand(QStringList args)
{
    if (args.size() < 3 || args.size() > 4)
        throw std::invalid_argument("usage");
    const ExportFormat format = formatByName(args[1]);
    const QString statement = args.size() == 4 ? args[3] : QStringLiteral("SELECT * FROM DATA ORDER BY ID;");
    // Opened as the program opens it, which never creates the file.
    ResultsDatabase con;
    con.setConnectionString(ConnectionString::forFile(args[0]));
    con.open();
    const int rows = ExportQuery(&con, statement, args[2], format, QStringLiteral("Data"));
    out(QStringLiteral("%1 rows written to %2").arg(rows).arg(args[2]));
    return 0;
}
