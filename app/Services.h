#pragma once

// What the program's windows take from their surroundings: one value the
// composition root (Shell) is built from. main() fills it with the real
// services, tests with scripted ones.

#include <QSize>
#include <QString>

#include <functional>

class Clock;
class FeedbackSounds;
class HelpService;
class Prompts;

struct Services
{
    Prompts *prompts = nullptr;       // every box and chooser
    HelpService *help = nullptr;      // opens help topics; may be null (no help)
    Clock *clock = nullptr;           // wall and monotonic time; null: the system clock
    FeedbackSounds *sounds = nullptr; // beep and feedback sounds; null: silent
    // The screen's size; empty: the primary screen's.
    std::function<QSize()> screenSize;
    // Opens the connection to the results database file at `path` (it
    // exists); true when open. Empty: the connection stays closed.
    std::function<bool(const QString &path)> openDatabase;
};
