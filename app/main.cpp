#include "ChmHelpService.h"
#include "ContextHelp.h"
#include "GeneralErrorHandler.h"
#include "QtPrompts.h"
#include "SessionState.h"
#include "TAboutBox.h"
#include "TForm1.h"
#include "TForm10.h"
#include "TForm9.h"
#include "TMain_Form.h"
#include "TPagesDlg.h"
#include "TRezultati.h"
#include "TestDesign.h"

int main(int argc, char **argv)
{
    KalvestrinApplication app(argc, argv);
    QtPrompts prompts;
    GeneralErrorHandler::setPrompts(&prompts);
    ContextHelp::setHelpFilePath(QString());
    ChmHelpService help(prompts);
    ContextHelp::setService(&help);

    TestDesign design;
    SessionState session;

    // Every window is created once, in this order, and lives until the main
    // window closes: the main window owns the others.
    TMain_Form mainForm(design, session, prompts);
    auto *testWindow = new TForm1(design, session, prompts, &mainForm);
    auto *designDialog = new TPagesDlg(design, prompts, &mainForm);
    auto *results = new TRezultati(prompts, &mainForm);
    auto *about = new TAboutBox(&mainForm);
    auto *groupResults = new TForm9(prompts, &mainForm);
    new TForm10(prompts, &mainForm);

    designDialog->setAboutBox(about);
    mainForm.setAreas({designDialog, testWindow, results, groupResults});
    mainForm.show();
    const int exitCode = app.exec();
    ContextHelp::setService(nullptr);
    return exitCode;
}
