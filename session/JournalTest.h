#pragma once

// One test as the session journal holds it: enough to continue it after the
// program was cut off, or to store it when the results database was not
// there at its end. The design is a copy taken when the test began, so a
// later change of the design file cannot spoil a continuation.

#include "design/TestDesign.h"
#include "session/SessionResult.h"

#include <QList>

struct JournalTest
{
    enum class State { Running, FinishedNotStored };

    State state = State::Running;
    SessionInfo info; // uuid, station, design file and hash, start, display
    Subject subject;
    TestDesign design;
    QDateTime startTime; // local
    // From the start of the test to its first picture on screen.
    qint64 leadNs = 0;
    // Every answered picture, in order; times as in Presentation.
    QList<Presentation> answers;

    // Once finished: when (local), and the time tested.
    QDateTime endTime;
    qint64 durationNs = 0;

    static QString stateName(State state)
    {
        return state == State::Running ? QStringLiteral("running") : QStringLiteral("finished-not-stored");
    }
};
