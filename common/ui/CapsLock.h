#pragma once

// The Caps Lock state and the beep, for windows that warn about typing in the
// wrong case. The composition root hands each such window one, built from its
// services: the state probe (tests give their own) and the program's beep.
// Without a probe the state is read from the X keyboard extension where there
// is one, and a state that cannot be read counts as on, so nobody is warned
// wrongly. Without a beeper the system beep sounds.

#include <functional>

class CapsLock
{
public:
    CapsLock() = default;
    CapsLock(std::function<bool()> probe, std::function<void()> beeper);

    bool isOn() const;
    void beep() const;

    // The keyboard's state; one that cannot be read counts as on.
    static bool systemState();

private:
    std::function<bool()> m_probe;
    std::function<void()> m_beeper;
};
