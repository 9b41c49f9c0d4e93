#pragma once

// Sending a station's stored tests to the central database: a batch of
// pending tests goes in one server transaction; only after the server has
// committed it does the station mark them sent. A break anywhere before
// that leaves them pending, and sending them again stores nothing twice.

#include <QString>

#include <functional>

class ResultsDatabase;
class PgConnection;

namespace CentralSender {

// Tests per server transaction: large enough that a backlog is not held up
// by one commit per test, small enough that a broken connection costs little.
constexpr int BatchSize = 200;

// Asked between batches: true stops the sending (the program is closing).
using StopRequested = std::function<bool()>;

// Sends every pending test; the number marked sent now. Throws
// CentralFailure (the server) or Failure (the station's own database).
int sendPending(ResultsDatabase &local, PgConnection &server, int batchSize = BatchSize,
                const StopRequested &stop = {});

// The same, opening the station's database `databasePath` and the server of
// `conninfo` for it (what the tool and the background sender do).
int sendPending(const QString &databasePath, const QString &conninfo, int batchSize = BatchSize,
                const StopRequested &stop = {});

} // namespace CentralSender
