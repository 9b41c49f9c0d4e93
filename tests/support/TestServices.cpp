#include "tests/support/TestServices.h"

#include "common/ui/ContextHelp.h"
#include "common/ui/KalvestrinApplication.h"

TestServices::TestServices()
{
    if (KalvestrinApplication *app = KalvestrinApplication::instance())
        app->setPrompts(&prompts);
    else
        qFatal("a window test runs on KalvestrinApplication (KALVESTRIN_TEST_MAIN)");
}

TestServices::~TestServices()
{
    if (KalvestrinApplication *app = KalvestrinApplication::instance(); app && app->prompts() == &prompts)
        app->setPrompts(nullptr);
}

void TestServices::serve(QWidget *window)
{
    ContextHelp::setService(window, &help);
}

CapsLock TestServices::capsLock()
{
    return CapsLock([this] { return capsLockOn; }, [this] { ++beeps; });
}
