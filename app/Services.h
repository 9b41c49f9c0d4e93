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
class ResultsDatabase;
class SessionJournal;

struct Services
{
    Prompts *prompts = nullptr;       // every box and chooser
    HelpService *help = nullptr;      // opens help topics; may be null (no help)
    Clock *clock = nullptr;           // wall and monotonic time; null: the system clock
    FeedbackSounds *sounds = nullptr; // beep and feedback sounds; null: silent
    // The screen's size; empty: the primary screen's.
    std::function<QSize()> screenSize;
    // The connection `con` to the results database, opened at start-up when
    // its file is there. Null: no engine, the connection stays closed.
    ResultsDatabase *database = nullptr;
    // The session journal of the data folder; null: tests are not journalled.
    SessionJournal *journal = nullptr;
};
