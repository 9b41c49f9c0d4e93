#include "app/Shell.h"

#include "app/ResumeOffer.h"
#include "app/TAboutBox.h"
#include "app/TMain_Form.h"
#include "common/Clock.h"
#include "common/ui/CapsLock.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "database/Query.h"
#include "database/ResultsDatabase.h"
#include "database/StoreFailure.h"
#include "database/central/CentralSync.h"
#include "database/central/ServerSettings.h"
#include "database/ui/DatabaseResultSink.h"
#include "database/ui/NormGroupsWindow.h"
#include "database/ui/NormReportCommand.h"
#include "database/ui/TForm10.h"
#include "database/ui/TForm9.h"
#include "design/ui/TPagesDlg.h"
#include "results/ui/DefaultPrintTarget.h"
#include "results/ui/TRezultati.h"
#include "session/FeedbackSounds.h"
#include "session/JournalSettlingSink.h"
#include "session/ui/TForm1.h"

#include <QAction>
#include <QToolBar>

namespace {

class Silence : public FeedbackSounds
{
public:
    void beep() override {}
    void play(const QString &) override {}
};

} // namespace

Shell::Shell(Services services, TestDesign &design, SessionState &session)
    : m_services(std::move(services))
    , m_design(design)
    , m_session(session)
{
    Prompts &prompts = *m_services.prompts;
    if (!m_services.clock) {
        m_ownClock = std::make_unique<SystemClock>();
        m_services.clock = m_ownClock.get();
    }
    if (!m_services.sounds) {
        m_ownSounds = std::make_unique<Silence>();
        m_services.sounds = m_ownSounds.get();
    }

    m_database = m_services.database;
    if (!m_database) {
        m_closedDatabase = std::make_unique<ResultsDatabase>();
        m_database = m_closedDatabase.get();
    }

    FeedbackSounds *sounds = m_services.sounds;
    const CapsLock capsLock(m_services.capsLock, [sounds] { sounds->beep(); });
    const QChar separator = m_services.regional.decimalSeparator;

    // Every window is created once, in this order, and lives until the main
    // window goes: the main window owns the others, and their help requests
    // reach the help service through it.
    m_main = std::make_unique<TMain_Form>(m_design, m_session, m_services);
    ContextHelp::setService(m_main.get(), m_services.help);
    m_test = new TForm1(m_design, m_session, prompts, *m_services.clock, *sounds, m_main.get());
    m_test->setCompositorProbe(m_services.compositor);
    m_designDialog = new TPagesDlg(m_design, prompts, capsLock, m_services.dataFolder, m_main.get());
    m_results = new TRezultati(prompts, *m_services.clock, m_services.regional, m_services.dataFolder, m_main.get());
    m_about = new TAboutBox(m_main.get());
    m_groupResults = new TForm9(*m_database, prompts, separator, *m_services.clock, m_main.get());
    m_groupResults->setDataFolder(m_services.dataFolder);
    m_groupResults->setSqlWindow(new TForm10(*m_groupResults, prompts, m_groupResults));

    wireNorms();

    m_designDialog->setAboutBox(m_about);
    // Pictures are measured against the test window as it lays itself out.
    m_designDialog->setTestWindowMetrics([test = m_test] { return test->metrics(); });
    m_main->setAreas({m_designDialog, m_test, m_results, m_groupResults});

    // A finished test goes to its consumers in this order: the results
    // window (which also keeps its archive text), then the results database.
    m_test->addResultSink(m_results);
    m_databaseSink = std::make_unique<DatabaseResultSink>(*m_database, m_groupResults->query(), prompts, separator);
    m_databaseSink->setKeepsUnstoredTests(m_services.journal != nullptr);
    // A finished test leaves the journal once the database holds it.
    // A stored test then goes to the central database, if one is set, in the background.
    startCentralSync();
    m_settlingSink = std::make_unique<JournalSettlingSink>(m_services.journal, [this](const SessionResult &result) {
        const bool stored = m_databaseSink->SaveToDatabase(result);
        if (stored && m_centralSync)
            m_centralSync->sendSoon();
        return stored;
    });
    m_test->addResultSink(m_settlingSink.get());
    m_test->setJournal(m_services.journal);
    if (m_services.journal) {
        // A finished test the database could not take is stored, without
        // asking, at the next start and whenever "Podaci" opens.
        QObject::connect(m_main.get(), &TMain_Form::startupFinished, m_main.get(), [this, &prompts] {
            GeneralErrorHandler::runCommand([&] {
                storeKeptTests();
                ResumeOffer::run(*m_services.journal, prompts, m_services.regional, *m_test);
            });
        });
        QObject::connect(m_main.get(), &TMain_Form::groupResultsOpening, m_main.get(),
                         [this] { GeneralErrorHandler::runCommand([this] { storeKeptTests(); }); });
    }
}

void Shell::startCentralSync()
{
    const ServerSettings settings = ServerSettings::read(m_services.dataFolder);
    if (!settings.isConfigured() || !m_database->isOpen())
        return;
    m_centralSync = std::make_unique<CentralSync>(m_database->fileName(), settings.conninfo());
    // Tests stored while the server was away (or by an earlier start) go first.
    m_centralSync->sendSoon();
}

void Shell::storeKeptTests()
{
    if (!m_services.journal || !m_database->isOpen())
        return;
    SettleFinishedTests(*m_services.journal, [this](const SessionResult &result) {
        try {
            m_databaseSink->store(result);
            return true;
        } catch (const StoreFailure &) {
            return false; // kept for the next time
        }
    });
    if (m_centralSync)
        m_centralSync->sendSoon();
}

void Shell::wireNorms()
{
    Prompts &prompts = *m_services.prompts;
    m_normGroups = new NormGroupsWindow(*m_database, prompts, *m_services.clock, m_services.dataFolder, m_groupResults);
    m_normReport = std::make_unique<NormReportCommand>(
        *m_database, prompts, m_services.regional,
        std::make_unique<DefaultPrintTarget>(*m_services.clock, m_services.dataFolder));
    m_normReport->rememberIn(ServerSettings::iniPath(m_services.dataFolder));
    m_results->setReportCommand([this](const ReportSubject &subject) { m_normReport->print(m_results, subject); });

    QToolBar *bar = m_groupResults->toolBar();
    QAction *norms = bar->addAction(QStringLiteral("Norme"));
    norms->setObjectName(QStringLiteral("Norme"));
    connectCommand(norms, &QAction::triggered, m_normGroups, [this](NormGroupsWindow *) {
        m_normGroups->refresh();
        m_normGroups->exec();
    });
    QAction *report = bar->addAction(QStringLiteral("Izvještaj"));
    report->setObjectName(QStringLiteral("Izvjestaj"));
    connectCommand(report, &QAction::triggered, m_groupResults, [this, &prompts](TForm9 *) {
        Query &query = m_groupResults->query();
        const int id = query.isOpen() ? query.columnIndex(QStringLiteral("ID")) : -1;
        const QVariant value = id >= 0 && query.currentRow() >= 0 ? query.value(query.currentRow(), id) : QVariant();
        if (value.isNull())
            prompts.warning(QStringLiteral("Izvještaj se ispisuje za testiranje u označenom retku; rezultat upita "
                                           "mora sadržavati stupac ID."));
        else
            m_normReport->printStored(m_groupResults, value.toLongLong());
    });
}

Shell::~Shell()
{
    m_main.reset();
    m_centralSync.reset();
}
