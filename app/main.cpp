#include "app/Shell.h"
#include "app/TMain_Form.h"
#include "app/help/ChmHelpService.h"
#include "common/Clock.h"
#include "common/DataFolder.h"
#include "common/Failure.h"
#include "common/ui/KalvestrinApplication.h"
#include "common/ui/QtPrompts.h"
#include "database/JournalFile.h"
#include "database/ResultsDatabase.h"
#include "session/ui/QtFeedbackSounds.h"

#include <memory>

int main(int argc, char **argv)
{
    KalvestrinApplication app(argc, argv);
    DataFolder::capture();
    QtPrompts prompts;
    ChmHelpService help(prompts);
    SystemClock clock;
    QtFeedbackSounds sounds;
    ResultsDatabase database; // outlives every window that uses it
    // Without a journal the program still tests; a cut-off test is then lost.
    std::unique_ptr<JournalFile> journal;
    try {
        journal = std::make_unique<JournalFile>(JournalFile::pathIn(DataFolder::path()));
    } catch (const Failure &f) {
        prompts.warning(QStringLiteral("Dnevnik testiranja (%1) ne može se otvoriti: %2 Prekinuto testiranje neće se "
                                       "moći nastaviti.")
                            .arg(QLatin1String(JournalFile::FileName), f.text()));
    }

    Services services;
    services.prompts = &prompts;
    services.help = &help;
    services.clock = &clock;
    services.sounds = &sounds;
    services.database = &database;
    services.journal = journal.get();

    TestDesign design;
    SessionState session;
    Shell shell(services, design, session);
    shell.mainForm().show();
    return app.exec();
}
