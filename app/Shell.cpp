#include "app/Shell.h"

#include "app/ResumeOffer.h"
#include "app/TAboutBox.h"
#include "app/TMain_Form.h"
#include "common/Clock.h"
#include "common/DataFolder.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "database/ResultsDatabase.h"
#include "database/ui/DatabaseConnection.h"
#include "database/ui/DatabaseResultSink.h"
#include "database/ui/TForm10.h"
#include "database/ui/TForm9.h"
#include "design/ui/TPagesDlg.h"
#include "results/ui/DefaultPrintTarget.h"
#include "results/ui/TRezultati.h"
#include "session/FeedbackSounds.h"
#include "session/JournalSettlingSink.h"
#include "session/ui/TForm1.h"

#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

namespace {

class Silence : public FeedbackSounds
{
public:
    void beep() override {}
    void play(const QString &) override {}
};

// The test window as a test shows it: maximised, so its outer size is the
// screen's available area, with the answer box (Arial) along its bottom.
TestWindowMetrics maximisedTestWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    QLineEdit answerBox;
    answerBox.setFont(QFont(QStringLiteral("Arial")));
    return TestWindowMetrics{screen ? screen->availableGeometry().size() : QSize(800, 600),
                             answerBox.sizeHint().height()};
}

} // namespace

Shell::Shell(Services services, TestDesign &design, SessionState &session)
    : m_services(std::move(services))
    , m_design(design)
    , m_session(session)
{
    Prompts &prompts = *m_services.prompts;
    GeneralErrorHandler::setPrompts(&prompts);
    ContextHelp::setService(m_services.help);
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

    TMain_Form::Setup setup;
    setup.screenSize = m_services.screenSize;
    if (m_services.database) {
        setup.openDatabase = [this, &prompts](const QString &) {
            return DatabaseConnection::SetConnectionString(*m_database, prompts, QDir::currentPath());
        };
    }
    setup.help = m_services.help;

    // Every window is created once, in this order, and lives until the main
    // window goes: the main window owns the others.
    m_main = std::make_unique<TMain_Form>(m_design, m_session, prompts, setup);
    m_test = new TForm1(m_design, m_session, prompts, *m_services.clock, *m_services.sounds, m_main.get());
    m_designDialog = new TPagesDlg(m_design, prompts, m_main.get());
    m_results = new TRezultati(prompts, m_main.get());
    if (m_services.clock)
        m_results->setPrintTarget(std::make_unique<DefaultPrintTarget>(*m_services.clock, DataFolder::path()));
    m_about = new TAboutBox(m_main.get());
    m_groupResults = new TForm9(*m_database, prompts, m_main.get());
    m_sqlWindow = new TForm10(*m_groupResults, prompts, m_groupResults);
    m_groupResults->setSqlWindow(m_sqlWindow);

    m_designDialog->setAboutBox(m_about);
    m_designDialog->setTestWindowMetrics(maximisedTestWindow);
    m_main->setAreas({m_designDialog, m_test, m_results, m_groupResults});

    // A finished test goes to its consumers in this order: the results
    // window (which also keeps its archive text), then the results database.
    m_test->addResultSink(m_results);
    m_databaseSink = std::make_unique<DatabaseResultSink>(*m_database, m_groupResults->query(), prompts);
    // A finished test leaves the journal once the database holds it.
    m_settlingSink = std::make_unique<JournalSettlingSink>(
        m_services.journal, [this](const SessionResult &result) { return m_databaseSink->SaveToDatabase(result); });
    m_test->addResultSink(m_settlingSink.get());
    m_test->setJournal(m_services.journal);
    if (m_services.journal) {
        QObject::connect(m_main.get(), &TMain_Form::startupFinished, m_main.get(), [this, &prompts] {
            GeneralErrorHandler::runCommand([&] { ResumeOffer::run(*m_services.journal, prompts, *m_test); });
        });
    }
}

Shell::~Shell()
{
    m_main.reset();
    ContextHelp::setService(nullptr);
    GeneralErrorHandler::setPrompts(nullptr);
}
