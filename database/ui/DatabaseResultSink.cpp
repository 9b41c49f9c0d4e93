#include "database/ui/DatabaseResultSink.h"

#include "common/Failure.h"
#include "common/Regional.h"
#include "common/ui/Prompts.h"
#include "database/Query.h"
#include "database/ResultsDatabase.h"
#include "database/StoredTest.h"

DatabaseResultSink::DatabaseResultSink(ResultsDatabase &con, Query &query, Prompts &prompts)
    : m_con(con)
    , m_query(query)
    , m_prompts(prompts)
{}

bool DatabaseResultSink::SaveToDatabase(const SessionResult &result)
{
    if (!m_con.isOpen()) {
        m_prompts.warning(NotSavedText);
        return false;
    }
    qint64 id = 0;
    try {
        id = StoredTest::insert(m_con, result, Regional::current().decimalSeparator);
    } catch (const Failure &) {
        m_prompts.error(SaveFailedText);
        return false;
    }
    try {
        m_query.rowAdded(id);
    } catch (const Failure &) {
        // The test is stored; a grid that cannot read its rows now says so
        // on its next command.
    }
    return true;
}
