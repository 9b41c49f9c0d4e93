#pragma once

// Stores every finished test in the results database (SaveToDatabase) and
// puts the group results grid on it. The end of the test goes on whatever
// happens here.

#include "session/SessionResult.h"

class Prompts;
class Query;
class ResultsDatabase;

class DatabaseResultSink : public ResultSink
{
public:
    inline static const QString NotSavedText =
        QStringLiteral("Program nije snimio rezultate ovog testiranja u Kalvestrin.mdb bazu podataka!");
    inline static const QString SaveFailedText =
        QStringLiteral("Nije uspjelo snimanje rezultata testiranja u bazu podataka! Provjerite status "
                       "Kalvestrim.mdb datoteke koja mora biti u radnom direktoriju programa!");

    DatabaseResultSink(ResultsDatabase &con, Query &query, Prompts &prompts);

    void accept(const SessionResult &result) override { SaveToDatabase(result); }

    // The row goes straight into table Data whatever statement the grid
    // shows, so an analysis left open never costs a subject's result. True
    // when it is stored.
    bool SaveToDatabase(const SessionResult &result);

private:
    ResultsDatabase &m_con;
    Query &m_query;
    Prompts &m_prompts;
};
