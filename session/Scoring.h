#pragma once

// The end of a test: a task never recognised scores 2.0 (twice a whole
// picture); the test scores the mean and the sample variance of the task
// values, in extended precision; the result record gathers them with the
// subject and the test's conditions.

#include "session/SessionResult.h"

#include <QDate>

class SessionState;
class TestDesign;

// Sets unrecognised tasks to 2.0 and fills unrecognisedCount, mean and
// variance. Throws Failure for fewer than two tasks: a sample variance needs two.
void ComputeScores(SessionState &state);

// The record of a scored test as every consumer receives it.
SessionResult ComposeSessionResult(const TestDesign &design, const SessionState &state, const Subject &subject,
                                   QDate testDate);
