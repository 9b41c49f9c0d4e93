#pragma once

// What the trial sequence needs from the screen: showing a picture, erasing
// it, feedback, the beep, and the end of the test; and where it tells of
// every answer. The test window is the real one; tests record the calls.

#include <QtGlobal>

struct Presentation;

class SessionPresenter
{
public:
    virtual ~SessionPresenter() = default;

    // Shows task `task` (0-based) at maskLevels[levelIndex], flushed to the
    // screen, and returns the presentation's efficiency. Throws Failure when
    // the picture cannot be shown.
    virtual double PresentStimulus(int task, int levelIndex) = 0;
    // Erases the picture on screen.
    virtual void RepaintWindow() = 0;
    virtual void ShowFeedback(int task, bool correct) = 0;
    virtual void Beep() = 0;
    // A key answered the picture on screen (`answered`, the session's last
    // presentation, with its key): the session state has taken the answer,
    // before the feedback and the next picture.
    virtual void PresentationAnswered(const Presentation &answered) { Q_UNUSED(answered); }
    // The last task has ended and the session is scored.
    virtual void FinishTest() = 0;
};
