#pragma once

// The results database's consumer of finished tests, with the journal kept
// in step: a finished test leaves the journal only once it is stored, so a
// database that is missing, locked or full at the end loses nothing.

#include "session/SessionResult.h"

#include <functional>

class SessionJournal;

class JournalSettlingSink : public ResultSink
{
public:
    // Stores a finished test; true when it is stored (reports its own failures).
    using Store = std::function<bool(const SessionResult &result)>;

    // `journal` may be null (no journal): then it only stores.
    JournalSettlingSink(SessionJournal *journal, Store store);

    void accept(const SessionResult &result) override;

private:
    SessionJournal *m_journal;
    Store m_store;
};

// Stores every finished test the journal still holds, each taken out of the
// journal once stored; how many were stored. A test that cannot be rebuilt
// stays where it is.
int SettleFinishedTests(SessionJournal &journal, const JournalSettlingSink::Store &store);
