#include "database/ui/DatabaseResultSink.h"

#include "common/ui/Prompts.h"
#include "database/Query.h"
#include "database/ResultsDatabase.h"
#include "database/StoreFinishedTest.h"

DatabaseResultSink::DatabaseResultSink(ResultsDatabase &con, Query &query, Prompts &prompts, QChar decimalSeparator,
                                       QObject *parent)
    : QObject(parent)
    , m_con(con)
    , m_query(query)
    , m_prompts(prompts)
    , m_separator(decimalSeparator)
{}

bool DatabaseResultSink::SaveToDatabase(const SessionResult &result)
{
    try {
        store(result);
        return true;
    } catch (const StoreFailure &failure) {
        const QString kept = m_keepsUnstored ? QStringLiteral("\n\n") + KeptText : QString();
        if (!m_con.isOpen())
            m_prompts.warning(NotSavedText + QStringLiteral("\n\n") + failure.reasonText() + kept);
        else
            m_prompts.error(failure.text() + kept);
        return false;
    }
}

qint64 DatabaseResultSink::store(const SessionResult &result)
{
    qint64 id = 0;
    try {
        id = StoreFinishedTest(m_con, result, m_separator);
    } catch (const StoreFailure &failure) {
        Q_EMIT storeFailed(result.session.uuid, failure.reason(), failure.reasonText());
        throw;
    }
    Q_EMIT testStored(result.session.uuid, id);
    try {
        m_query.rowAdded(id);
    } catch (const Failure &) {
        // The test is stored; a grid that cannot read its rows now says so
        // on its next command.
    }
    return id;
}
