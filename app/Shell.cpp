#include "app/Shell.h"

#include "app/TAboutBox.h"
#include "app/TMain_Form.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "database/ui/TForm10.h"
#include "database/ui/TForm9.h"
#include "design/ui/TPagesDlg.h"
#include "results/ui/TRezultati.h"
#include "session/ui/TForm1.h"

Shell::Shell(Services services, TestDesign &design, SessionState &session)
    : m_services(std::move(services))
    , m_design(design)
    , m_session(session)
{
    Prompts &prompts = *m_services.prompts;
    GeneralErrorHandler::setPrompts(&prompts);
    ContextHelp::setService(m_services.help);

    TMain_Form::Setup setup;
    setup.screenSize = m_services.screenSize;
    setup.openDatabase = m_services.openDatabase;
    setup.help = m_services.help;

    // Every window is created once, in this order, and lives until the main
    // window goes: the main window owns the others.
    m_main = std::make_unique<TMain_Form>(m_design, m_session, prompts, setup);
    m_test = new TForm1(m_design, m_session, prompts, m_main.get());
    m_designDialog = new TPagesDlg(m_design, prompts, m_main.get());
    m_results = new TRezultati(prompts, m_main.get());
    m_about = new TAboutBox(m_main.get());
    m_groupResults = new TForm9(prompts, m_main.get());
    m_sqlWindow = new TForm10(prompts, m_main.get());

    m_designDialog->setAboutBox(m_about);
    m_main->setAreas({m_designDialog, m_test, m_results, m_groupResults});
}

Shell::~Shell()
{
    m_main.reset();
    ContextHelp::setService(nullptr);
    GeneralErrorHandler::setPrompts(nullptr);
}
