#pragma once

// The durable store of the tests being run: written as a test goes, read at
// start to continue or store what a cut-off run left. Writes may complete
// later (off the presentation path); sync() waits for them.

#include "session/JournalTest.h"

#include <QList>
#include <QUuid>

class SessionJournal
{
public:
    virtual ~SessionJournal() = default;

    // A test whose first picture is on screen (no answers yet).
    virtual void begin(const JournalTest &test) = 0;
    // The answer to presentation number `ordinal` (0-based) of test `uuid`.
    virtual void answer(const QUuid &uuid, int ordinal, const Presentation &answer) = 0;
    // The test is scored: it stays until it is stored. Durable on return.
    virtual void finish(const QUuid &uuid, const QDateTime &finishedUtc, qint64 durationNs) = 0;
    // The test is stored or given up. Durable on return.
    virtual void remove(const QUuid &uuid) = 0;
    // Returns once everything handed over is durable. Throws Failure (once)
    // when a write failed.
    virtual void sync() = 0;
    // Every test held with at least one answer, oldest first.
    virtual QList<JournalTest> tests() = 0;
};
