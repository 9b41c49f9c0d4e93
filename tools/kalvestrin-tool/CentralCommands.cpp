// The central database on a PostgreSQL server from the command line:
//   server-init CONNINFO           the tables and roles in an empty database
//   server-set DATA_FOLDER CONNINFO  a station's server setting (Kalvestrin.ini)
//   sync DATA_FOLDER               sends the station's pending tests; "sent N"
//   export CONNINFO FORMAT FILE [STATEMENT]  (ExportCommand hands it here)

#include "common/Clock.h"
#include "common/Failure.h"
#include "database/central/CentralExport.h"
#include "database/central/CentralSchema.h"
#include "database/central/CentralSender.h"
#include "database/central/PgConnection.h"
#include "database/central/ServerSettings.h"
#include "database/export/ExportQuery.h"
#include "tools/kalvestrin-tool/ToolCommand.h"

#include <QDir>
#include <QFileInfo>

#include <stdexcept>

int serverInit(QStringList args)
{
    if (args.size() != 1 || !ServerSettings::looksLikeConninfo(args[0]))
        throw std::invalid_argument("usage");
    PgConnection con(args[0]);
    CentralSchema::create(con);
    out(QStringLiteral("central database ready on %1").arg(con.server()));
    return 0;
}

int serverSet(QStringList args)
{
    if (args.size() != 2 || !ServerSettings::looksLikeConninfo(args[1]))
        throw std::invalid_argument("usage");
    if (!QFileInfo(args[0]).isDir())
        throw Failure(QStringLiteral("Mapa podataka \"%1\" ne postoji.").arg(args[0]));
    const ServerSettings settings = ServerSettings::fromConninfo(args[1]);
    settings.write(args[0]);
    out(QStringLiteral("%1: %2").arg(ServerSettings::iniPath(args[0]), settings.conninfo()));
    return 0;
}

int syncCommand(QStringList args)
{
    if (args.size() != 1)
        throw std::invalid_argument("usage");
    const ServerSettings settings = ServerSettings::read(args[0]);
    if (!settings.isConfigured())
        throw Failure(QStringLiteral("U mapi \"%1\" nije postavljena središnja baza podataka (kalvestrin-tool "
                                     "server-set).")
                          .arg(args[0]));
    const int sent =
        CentralSender::sendPending(QDir(args[0]).filePath(QStringLiteral("Kalvestrin.mdb")), settings.conninfo());
    out(QStringLiteral("sent %1").arg(sent));
    return 0;
}

// export CONNINFO FORMAT FILE [STATEMENT] on the server.
int centralExport(const QString &conninfo, ExportFormat format, const QString &file, const QString &statement)
{
    PgConnection con(conninfo);
    return CentralExport::run(con, statement, file, format, QStringLiteral("Data"), SystemClock());
}
