#pragma once

// The Caps Lock state and the system beep, for windows that warn about
// typing in the wrong case. Both can be replaced (tests do); the system's
// state is read from the X keyboard extension where there is one, and a state
// that cannot be read counts as on, so nobody is warned wrongly.

#include <functional>

namespace CapsLock {

bool isOn();
void beep();

// Replace the state probe or the beeper; an empty function restores the system's.
void setProbe(std::function<bool()> probe);
void setBeeper(std::function<void()> beeper);

} // namespace CapsLock
