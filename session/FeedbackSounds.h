#pragma once

// The test's sounds: the system beep for a refused key and the two feedback
// sounds. Playing never blocks and never fails: a machine without an audio
// device simply stays silent.

#include <QString>

class FeedbackSounds
{
public:
    virtual ~FeedbackSounds() = default;

    virtual void beep() = 0;
    // "ID_DA" (correct) or "ID_NE" (wrong); starting one stops the other.
    virtual void play(const QString &name) = 0;
};
