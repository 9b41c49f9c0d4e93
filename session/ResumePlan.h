#pragma once

// Rebuilding a test from its recorded answers. The trial sequence itself runs
// over them, the recorded frames' efficiencies standing in for the pictures,
// so the state it reaches (scores so far, the task and level to show next,
// the step-back history) is exactly the one the answers left.

#include "session/JournalTest.h"
#include "session/SessionState.h"

struct ResumePlan
{
    // As after the last answer: taskIndex and levelIndex name the picture
    // to show next; presentations hold the recorded answers.
    SessionState state;
    // The last answer ended the test: nothing is left to show.
    bool finished = false;

    // Throws Failure when the answers do not fit the test's design.
    static ResumePlan of(const JournalTest &test);

    // Tasks whose answering is over.
    int completedTasks() const { return state.taskIndex; }
};

// The result a finished test was handed on with at its end. Throws Failure
// when the journal does not hold a finished test.
SessionResult RebuildResult(const JournalTest &test);
