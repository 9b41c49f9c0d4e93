#include "app/Shell.h"
#include "app/TMain_Form.h"
#include "app/help/ChmHelpService.h"
#include "common/Clock.h"
#include "common/ui/KalvestrinApplication.h"
#include "common/ui/QtPrompts.h"
#include "database/ResultsDatabase.h"
#include "session/ui/QtFeedbackSounds.h"

int main(int argc, char **argv)
{
    KalvestrinApplication app(argc, argv);
    app.installQtTranslations();
    QtPrompts prompts;
    app.setPrompts(&prompts);
    ChmHelpService help(prompts);
    SystemClock clock;
    QtFeedbackSounds sounds;
    ResultsDatabase database; // outlives every window that uses it

    Services services;
    services.prompts = &prompts;
    services.help = &help;
    services.clock = &clock;
    services.sounds = &sounds;
    services.database = &database;

    TestDesign design;
    SessionState session;
    Shell shell(services, design, session);
    shell.mainForm().show();
    const int status = app.exec();
    app.setPrompts(nullptr);
    return status;
}
