#include "session/JournalSettlingSink.h"

#include "common/Failure.h"
#include "session/ResumePlan.h"
#include "session/SessionJournal.h"

namespace {

void removeStored(SessionJournal &journal, const QUuid &uuid)
{
    try {
        journal.remove(uuid);
    } catch (const Failure &) {
        // Left as finished and not stored: storing it again finds it stored.
    }
}

} // namespace

JournalSettlingSink::JournalSettlingSink(SessionJournal *journal, Store store)
    : m_journal(journal)
    , m_store(std::move(store))
{}

void JournalSettlingSink::accept(const SessionResult &result)
{
    if (m_store(result) && m_journal)
        removeStored(*m_journal, result.session.uuid);
}

int SettleFinishedTests(SessionJournal &journal, const JournalSettlingSink::Store &store)
{
    int stored = 0;
    for (const JournalTest &test : journal.tests()) {
        if (test.state != JournalTest::State::FinishedNotStored)
            continue;
        SessionResult result;
        try {
            result = RebuildResult(test);
        } catch (const Failure &) {
            continue;
        }
        if (store(result)) {
            removeStored(journal, test.info.uuid);
            ++stored;
        }
    }
    return stored;
}
