#include "app/InstalledLayout.h"
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

#include <QAbstractButton>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// An installed program works in the user's data folder, which it fills on
// the first start; one run from its build folder works where it was started.
void enterDataFolder(Prompts &prompts)
{
    const QString share = InstalledLayout::shareFolder(QCoreApplication::applicationDirPath());
    if (share.isEmpty())
        return;
    const QString data = InstalledLayout::userDataFolder();
    try {
        InstalledLayout::prepareDataFolder(share, data);
    } catch (const Failure &f) {
        prompts.error(f.text());
    }
    QDir::setCurrent(data);
}

// --smoke-test: once the start-up sequence has shown the buttons, say whether
// "Podaci" is enabled (the results database connected) and end with 0 if so.
void quitWhenReady(const TMain_Form &mainForm)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [&mainForm] {
        const auto *data = mainForm.findChild<QAbstractButton *>(QStringLiteral("Speed4"));
        if (!data || !data->isVisible())
            return;
        const bool enabled = data->isEnabled();
        std::printf("ready\tPodaci %s\n", enabled ? "enabled" : "disabled");
        std::fflush(stdout);
        QCoreApplication::exit(enabled ? 0 : 1);
    });
    poll->start(100);
}

} // namespace

int main(int argc, char **argv)
{
    KalvestrinApplication app(argc, argv);
    app.installQtTranslations();
    QtPrompts prompts;
    app.setPrompts(&prompts);
    enterDataFolder(prompts);
    ChmHelpService help(prompts);
    SystemClock clock;
    QtFeedbackSounds sounds;
    ResultsDatabase database; // outlives every window that uses it
    // Without a journal the program still tests; a cut-off test is then lost.
    std::unique_ptr<JournalFile> journal;
    try {
        journal = std::make_unique<JournalFile>(JournalFile::pathIn(DataFolder::current()));
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
    if (QCoreApplication::arguments().contains(QStringLiteral("--smoke-test")))
        quitWhenReady(shell.mainForm());
    const int status = app.exec();
    app.setPrompts(nullptr);
    return status;
}
