#include "database/central/CentralSender.h"

#include "database/ConnectionString.h"
#include "database/ResultsDatabase.h"
#include "database/central/CentralStore.h"
#include "database/central/LocalOutbox.h"

#include <QDateTime>

int CentralSender::sendPending(ResultsDatabase &local, PgConnection &server, int batchSize, const StopRequested &stop)
{
    LocalOutbox::prepare(local);
    int sent = 0;
    while (!stop || !stop()) {
        const std::vector<OutgoingTest> batch = LocalOutbox::pending(local, batchSize);
        if (batch.empty())
            return sent;
        {
            PgConnection::Transaction transaction(server);
            CentralStore::storeTests(server, batch);
            transaction.commit();
        }
        QStringList uuids;
        for (const OutgoingTest &test : batch)
            uuids << test.uuid;
        LocalOutbox::markSent(local, uuids, QDateTime::currentDateTimeUtc());
        sent += int(batch.size());
    }
    return sent;
}

int CentralSender::sendPending(const QString &databasePath, const QString &conninfo, int batchSize,
                               const StopRequested &stop)
{
    ResultsDatabase local;
    local.setConnectionString(ConnectionString::forFile(databasePath));
    local.open();
    PgConnection server(conninfo);
    return sendPending(local, server, batchSize, stop);
}
