#pragma once

// The course of one test: every task from the coarsest masking level down,
// a correct answer moving to the next task, a wrong one to the next finer
// level, the examiner's step back, and the scoring after the last task.
// Answers count only while a picture awaits one, so a stray key before the
// start or after the end never moves a session.

#include <QString>

class Clock;
class SessionPresenter;
class SessionRecorder;
class SessionState;
class TestDesign;

class TrialSequence
{
public:
    TrialSequence(const TestDesign &design, SessionState &state, SessionPresenter &presenter, const Clock &clock);

    // Sizes the session to the design, resets it and shows task 0 at level 0.
    // The design must have passed StartChecks. A failure of the presentation
    // propagates, leaving no session running.
    void Start();

    // Told of every answer as it is judged (not owned; may be null).
    void setRecorder(SessionRecorder *recorder) { m_recorder = recorder; }

    // Continues a test rebuilt from its recorded answers (ResumePlan): the
    // state as the last answer left it. The time tested before counts on,
    // the time in between does not.
    void Continue(const SessionState &rebuilt, qint64 leadNs);

    // True while a picture is on screen awaiting its answer.
    bool awaitingAnswer() const { return m_awaiting; }
    // Counts presentations; a key pressed under one picture must not answer
    // the next.
    int presentationSerial() const { return m_serial; }

    // Independent mode: the answer box's text, confirmed with its key press
    // at pressNs (the clock's monotonic count).
    void CheckAnswer(const QString &boxText, qint64 pressNs);
    // Assisted mode: the examiner's judgement (Y or N).
    void Judge(bool correct, qint64 pressNs);
    // Assisted mode: F5, the previous picture.
    void ReturnStep(qint64 pressNs);

    // The window closed mid-test: nothing is scored.
    void Drop() { m_awaiting = false; }

private:
    void respond(qint64 pressNs, const QString &key, const QString &typedAnswer, const QString &judgement);
    void awaitDurable();
    void answered();
    void present(int task, int levelIndex);
    void NextTask();
    void finish();

    const TestDesign &m_design;
    SessionState &m_state;
    SessionPresenter &m_presenter;
    const Clock &m_clock;
    SessionRecorder *m_recorder = nullptr;
    bool m_awaiting = false;
    int m_serial = 0;
    qint64 m_firstOnsetNs = -1;
};
