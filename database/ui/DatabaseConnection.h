#pragma once

// Connecting the results database at start-up: the stored description with
// the working directory put in.

#include <QString>

class Prompts;
class ResultsDatabase;

namespace DatabaseConnection {

inline const QString ConnectFailedText =
    QStringLiteral("Nastali su problemi pri pokušaju priključivanja s Kalvestrin.mdb datotekom u radnom direktoriju "
                   "programa. Provjerite status Kalvestrin.mdb datoteke u radnom direktroiju programa!");

// Puts `directory` into the stored description, closes `con`, gives it the
// description and opens it. On failure shows the connection message and
// leaves it closed. True when open.
bool SetConnectionString(ResultsDatabase &con, Prompts &prompts, const QString &directory);

} // namespace DatabaseConnection
