#pragma once

// The wiring of a window test, made and undone in one place (as KeePassXC's
// TestGui does in init() and cleanup()): one per test function, in its
// fixture. It installs its prompts as the application's (the general error
// handler's) and takes them out again, so a failing check leaves nothing
// behind. `serve()` gives a window the recorded help; `capsLock()` reads
// `capsLockOn` and counts `beeps`.

#include "common/DataFolder.h"
#include "common/Regional.h"
#include "common/ui/CapsLock.h"
#include "common/ui/KalvestrinApplication.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingHelp.h"
#include "tests/support/ScriptedPrompts.h"

#include <QtTest>

class QWidget;

class TestServices
{
public:
    ScriptedPrompts prompts;
    RecordingHelp help;
    FakeClock clock;
    Regional regional;
    QString dataFolder = DataFolder::current();
    bool capsLockOn = true;
    int beeps = 0;

    TestServices();
    ~TestServices();
    TestServices(const TestServices &) = delete;
    TestServices &operator=(const TestServices &) = delete;

    // Gives `window` and every window under it the recorded help.
    void serve(QWidget *window);
    CapsLock capsLock();
};

// QTEST_MAIN on the program's application object, whose general error
// handler shows its boxes through the test's prompts.
#define KALVESTRIN_TEST_MAIN(TestObject)                                                                               \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        KalvestrinApplication app(argc, argv);                                                                         \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
