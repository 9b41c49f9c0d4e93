#pragma once

// The composition root: creates the program's windows once, in the order the
// program has always created them, wires them to each other and to the
// services, and owns them until it is destroyed. main() and the window tests
// build the program through it.

#include "app/Services.h"
#include "design/TestDesign.h"
#include "session/SessionState.h"

#include <memory>

class Clock;
class FeedbackSounds;
class TAboutBox;
class TForm1;
class TForm9;
class TMain_Form;
class TPagesDlg;
class TRezultati;

class CentralSync;
class DatabaseResultSink;
class NormGroupsWindow;
class NormReportCommand;
class JournalSettlingSink;
class ResultsDatabase;

class Shell
{
public:
    // The design and the session state are the run's model; they outlive the shell.
    Shell(Services services, TestDesign &design, SessionState &session);
    ~Shell();

    Shell(const Shell &) = delete;
    Shell &operator=(const Shell &) = delete;

    const Services &services() const { return m_services; }
    TestDesign &design() { return m_design; }
    SessionState &session() { return m_session; }

    TMain_Form &mainForm() { return *m_main; }
    TForm1 &testWindow() { return *m_test; }
    TPagesDlg &designDialog() { return *m_designDialog; }
    TRezultati &results() { return *m_results; }
    TAboutBox &aboutBox() { return *m_about; }
    TForm9 &groupResults() { return *m_groupResults; }
    ResultsDatabase &database() { return *m_database; }
    NormGroupsWindow &normGroups() { return *m_normGroups; }
    NormReportCommand &normReport() { return *m_normReport; }
    // The background sending to the central database; null when the data
    // folder sets no server or the results database is not open.
    CentralSync *centralSync() { return m_centralSync.get(); }

private:
    // Stores the finished tests the journal kept when the database could not take them.
    void storeKeptTests();
    // The norm groups window and the report, offered from the results and group results windows.
    void wireNorms();
    // Starts sending stored tests to the central database the data folder names.
    void startCentralSync();

    Services m_services;
    // Stand-ins when the services bring no clock or no sounds.
    std::unique_ptr<Clock> m_ownClock;
    std::unique_ptr<FeedbackSounds> m_ownSounds;
    TestDesign &m_design;
    SessionState &m_session;
    // The connection when the services bring none: never opened.
    std::unique_ptr<ResultsDatabase> m_closedDatabase;
    ResultsDatabase *m_database = nullptr;
    std::unique_ptr<DatabaseResultSink> m_databaseSink;
    std::unique_ptr<JournalSettlingSink> m_settlingSink;
    std::unique_ptr<CentralSync> m_centralSync;
    std::unique_ptr<TMain_Form> m_main;
    // Owned by the main window (its children).
    TForm1 *m_test = nullptr;
    TPagesDlg *m_designDialog = nullptr;
    TRezultati *m_results = nullptr;
    TAboutBox *m_about = nullptr;
    TForm9 *m_groupResults = nullptr;
    NormGroupsWindow *m_normGroups = nullptr;
    std::unique_ptr<NormReportCommand> m_normReport;
};
