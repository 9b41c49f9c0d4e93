#pragma once

// Stores every finished test in the results database (SaveToDatabase) and
// puts the group results grid on it. The end of the test goes on whatever
// happens here; whoever keeps the tests not yet stored learns of every
// outcome from testStored and storeFailed.

#include "database/StoreFailure.h"
#include "session/SessionResult.h"

#include <QObject>

class Prompts;
class Query;
class ResultsDatabase;

class DatabaseResultSink : public QObject, public ResultSink
{
    Q_OBJECT
public:
    inline static const QString NotSavedText =
        QStringLiteral("Program nije snimio rezultate ovog testiranja u Kalvestrin.mdb bazu podataka!");
    inline static const QString &SaveFailedText = StoreFailure::SaveFailedText;
    inline static const QString KeptText =
        QStringLiteral("Rezultati ovog testiranja nisu izgubljeni: program će ih sam snimiti u bazu podataka "
                       "pri sljedećem pokretanju ili otvaranju podataka (\"Podaci\").");

    // Efficiencies are stored with the user's decimal separator.
    DatabaseResultSink(ResultsDatabase &con, Query &query, Prompts &prompts, QChar decimalSeparator,
                       QObject *parent = nullptr);

    void accept(const SessionResult &result) override { SaveToDatabase(result); }

    // The end of a test: store(), and when that fails the message with its
    // reason: a warning when there is no connection, an error otherwise.
    // True when the test is stored.
    bool SaveToDatabase(const SessionResult &result);

    // Stores the test whatever statement the grid shows (so an analysis left
    // open never costs a result) and puts the grid on its row. Says nothing
    // to the user: emits testStored, or storeFailed and throws StoreFailure.
    qint64 store(const SessionResult &result);

    // Set when a test that fails to store is kept to be stored later: the
    // message then says that nothing is lost.
    void setKeepsUnstoredTests(bool keeps) { m_keepsUnstored = keeps; }

Q_SIGNALS:
    // The test is in the database, now or from before (a test is stored once).
    void testStored(const QUuid &uuid, qint64 id);
    void storeFailed(const QUuid &uuid, StoreFailure::Reason reason, const QString &reasonText);

private:
    ResultsDatabase &m_con;
    Query &m_query;
    Prompts &m_prompts;
    bool m_keepsUnstored = false;
    QChar m_separator;
};
