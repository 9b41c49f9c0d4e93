#pragma once

// Storing one finished test in the results database: its row of Data, its
// row of Sessions and a row of Presentations for every picture shown, in one
// transaction, so a failure leaves nothing of it behind. A test is stored
// once: its UUID is unique in Sessions, and storing it again returns the ID
// it was first stored under and writes nothing.

#include <QChar>
#include <QtGlobal>

class ResultsDatabase;
struct SessionResult;

// The new (or earlier) Data.ID. Items are written with `separator`, the user's
// decimal separator. Throws StoreFailure naming the file and the reason: the
// connection closed (the file missing, read-only or not ours), the file moved
// or deleted, locked past the busy timeout, read-only, full, or a row the
// database refuses.
qint64 StoreFinishedTest(ResultsDatabase &con, const SessionResult &result, QChar separator);
