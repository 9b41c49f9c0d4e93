#pragma once

// Where the trial sequence reports a running test as it goes, so that every
// answer outlives a cut-off program. The journal's recorder is the real one.

#include "session/SessionResult.h"

class SessionState;

class SessionRecorder
{
public:
    virtual ~SessionRecorder() = default;

    // The first picture of a test is on screen, `leadNs` after its start.
    virtual void begun(const SessionState &state, qint64 leadNs) = 0;
    // Presentation number `ordinal` was answered; `answer` is complete.
    virtual void answered(int ordinal, const Presentation &answer) = 0;
    // Called before a key is acted on: the answers before it are durable
    // when it returns.
    virtual void awaitDurable() = 0;
    // The test is scored.
    virtual void finished(const SessionState &state) = 0;
};
