#pragma once

// The one running test: what each task scored and whether it was recognised,
// where the test stands, its times and, once scored, its scores. The tables
// hold one entry per task position; the main window sizes them at start-up
// and every test sizes them to its own number of tasks.

#include "session/SessionResult.h"

#include <QDateTime>
#include <QList>

#include <vector>

class SessionState
{
public:
    std::vector<double> efficiency;
    std::vector<bool> recognised;

    // What is on screen: task taskIndex at maskLevels[levelIndex]. Plain ints:
    // a valid level list may be longer than a 16-bit index reaches.
    int taskIndex = 0;
    int levelIndex = 0;

    // Wall-clock start and end for the record; the duration comes from the
    // monotonic clock so it never runs backwards over midnight.
    QDateTime startTime, endTime;
    qint64 startNs = 0, endNs = 0;
    double duration = 0; // in days

    int unrecognisedCount = 0;
    long double mean = 0;
    long double variance = 0;

    // Every picture shown in this test, in order.
    QList<Presentation> presentations;

    // Which test this is and where it runs; the test window fills it before
    // the start, the sequence adds the start and end in UTC.
    SessionInfo info;

    // Resizes both tables to `tasks` entries; entries added are zero (false).
    void sizeTasks(int tasks);
};
