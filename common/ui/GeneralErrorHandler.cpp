#include "common/ui/GeneralErrorHandler.h"

#include "common/Failure.h"
#include "common/ui/KalvestrinApplication.h"
#include "common/ui/Prompts.h"

#include <cstdio>

namespace GeneralErrorHandler {

Prompts *prompts()
{
    const KalvestrinApplication *app = KalvestrinApplication::instance();
    return app ? app->prompts() : nullptr;
}

static void show(const QString &text)
{
    if (Prompts *p = prompts())
        p->error(text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

void report(const std::exception &e)
{
    if (const auto *failure = dynamic_cast<const Failure *>(&e))
        show(failure->text());
    else
        show(QString::fromLocal8Bit(e.what()));
}

void reportUnknown()
{
    show(QStringLiteral("Došlo je do neočekivane pogreške."));
}

bool runCommand(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        report(e);
    } catch (...) {
        reportUnknown();
    }
    return false;
}

} // namespace GeneralErrorHandler
