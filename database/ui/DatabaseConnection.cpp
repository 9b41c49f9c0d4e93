#include "database/ui/DatabaseConnection.h"

#include "common/Failure.h"
#include "common/ui/Prompts.h"
#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"

bool DatabaseConnection::SetConnectionString(ResultsDatabase &con, Prompts &prompts, const QString &directory)
{
    try {
        ConnectionString description = ConnectionString::parse(ConnectionString::stored());
        description.putDirectory(directory);
        con.close();
        con.setConnectionString(description.text());
        con.open();
        return true;
    } catch (const Failure &) {
        con.close();
        prompts.error(ConnectFailedText);
        return false;
    }
}
