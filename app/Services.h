#pragma once

// What the program's windows take from their surroundings: one value the
// composition root (Shell) is built from and hands on, piece by piece, to the
// windows. main() fills it with the real services, tests with scripted ones.
// Nothing else reaches a window from outside, save the prompts the general
// error handler shows its boxes through (KalvestrinApplication's).

#include "common/DataFolder.h"
#include "common/Regional.h"

#include <QSize>
#include <QString>

#include <functional>
#include <optional>

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
    FeedbackSounds *sounds = nullptr; // beeps and feedback sounds; null: silent
    // The Caps Lock state the answers grid checks; empty: the keyboard's.
    // Its warning beeps through `sounds`, as the test window does.
    std::function<bool()> capsLock;
    // Whether a compositor runs on the test's display (nullopt: unknown);
    // empty: the X server's answer.
    std::function<std::optional<bool>()> compositor;
    // The screen's size; empty: the primary screen's.
    std::function<QSize()> screenSize;
    // The connection `con` to the results database, opened at start-up when
    // its file is in the data folder. Null: no engine, the connection stays closed.
    ResultsDatabase *database = nullptr;
    // The decimal separator, date and time formats of every text.
    Regional regional = Regional::fromSystem();
    // Where the database, the help file and the choosers' first folder are,
    // taken when the services are made.
    QString dataFolder = DataFolder::current();
    // The session journal of the data folder; null: tests are not journalled.
    SessionJournal *journal = nullptr;
};
