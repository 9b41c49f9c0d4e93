#pragma once

// `session --data DIR`: the data folder's session journal and results
// database, used as the program uses them. Finished tests the journal still
// holds are stored when it opens.

#include "session/JournalTest.h"

#include <memory>

class DatabaseResultSink;
class JournalFile;
class JournalSettlingSink;
class Prompts;
class Query;
class ResultSink;
class ResultsDatabase;
class SessionJournal;

class SessionDataFolder
{
public:
    // Without `journal`, nothing is journalled (for measuring only).
    SessionDataFolder(const QString &dir, bool journal, Prompts &prompts);
    ~SessionDataFolder();

    SessionJournal *journal() const;
    ResultSink &sink() const;
    // The oldest test that was never finished; throws Failure when none is.
    JournalTest interrupted() const;

private:
    std::unique_ptr<ResultsDatabase> m_con;
    std::unique_ptr<Query> m_query;
    std::unique_ptr<DatabaseResultSink> m_store;
    std::unique_ptr<JournalFile> m_journal;
    std::unique_ptr<JournalSettlingSink> m_sink;
};
