#pragma once

// The group results window: browses, edits, queries and exports the stored
// tests, of this station's results database or of the central one.

#include "database/ui/QueryHost.h"

#include <QDialog>

#include <memory>

class DbNavigator;
class QAction;
class Clock;
class Prompts;
class QTableView;
class QToolBar;
class QToolButton;
class Query;
class QuerySource;
class ResultsDatabase;
class ResultsTableModel;
class TForm10;

class TForm9 : public QDialog, public QueryHost
{
    Q_OBJECT
public:
    static constexpr int ToolBarHeight = 29;

    // Runs the creation step: opens "select * from data;" on the last row
    // when `con` is open.
    // The grid shows and reads numbers with `decimalSeparator`, the user's;
    // `clock` dates the files an export writes.
    TForm9(ResultsDatabase &con, Prompts &prompts, QChar decimalSeparator, const Clock &clock,
           QWidget *parent = nullptr);
    ~TForm9() override;

    void setSqlWindow(TForm10 *window) { m_sqlWindow = window; }
    // The folder whose Kalvestrin.ini names the central database.
    void setDataFolder(const QString &folder) { m_dataFolder = folder; }

    // The "Podaci" menu: this station's rows, or the central database's.
    // Opening the central one waits for the server on a thread of its own:
    // the window keeps answering and the station's rows stay in view until
    // the central ones are there; a failure says why and leaves them.
    void showLocal();
    void showCentral();
    bool isConnecting() const { return m_connecting; }
    // The central database's setting (CentralSettingsDialog).
    void centralSettingsClick();
    QToolButton *podaciButton() const { return m_podaci; }

    // The read-only state, as its "Zaključaj" command leaves it. Unlocked at
    // creation; the main window locks it before every opening.
    void Lock() { Tool2Click(); }
    bool isLocked() const { return m_locked; }

    Query &query() override { return *m_query; }
    void focusGrid() override;

    QTableView *grid() const { return m_dbg; }
    ResultsTableModel &model() const { return *m_ds; }
    DbNavigator *navigator() const { return m_nav; }
    QToolButton *tool(int n) const { return m_tools[n - 1]; }
    // Where other windows' commands on the stored tests join the window's own.
    QToolBar *toolBar() const { return m_toolBar; }

    void FormCreate();
    void FormResize();
    void FormShow() {}
    void Tool1Click();
    void Tool2Click();
    void Tool3Click();
    void Tool4Click();
    void Tool5Click();
    void Tool6Click();
    void NavClick(int button);

    // Leaving the window posts a changed row; a row the database refuses
    // keeps the window open with the row in edit.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // Each column as wide as the widest text of the rows in view (within a
    // limit), so scores are read whole; the user may drag them afterwards.
    void fitColumns();
    void showCurrentRow(int row);
    void gridRowChanged(int row);
    void updateNavigator();
    void updateCaption();
    void centralOpened(std::unique_ptr<QuerySource> source, const QString &problem);
    // Closes the result, gives the query `source` and shows all its rows from the last.
    void openAllRows(std::unique_ptr<QuerySource> source);

    ResultsDatabase &m_con;
    Prompts &m_prompts;
    const Clock &m_clock;
    const QChar m_decimalSeparator;
    QString m_dataFolder;
    Query *m_query = nullptr;
    ResultsTableModel *m_ds = nullptr;
    QTableView *m_dbg = nullptr;
    DbNavigator *m_nav = nullptr;
    QToolBar *m_toolBar = nullptr;
    QToolButton *m_tools[6] = {};
    TForm10 *m_sqlWindow = nullptr;
    QToolButton *m_podaci = nullptr;
    QAction *m_localAction = nullptr;
    QAction *m_centralAction = nullptr;
    bool m_connecting = false;
    bool m_locked = false;
    // The export chooser's filter entry (0-based): "Excel 97/2000" until the
    // user confirms another. The entries past the table's formats are those of
    // the presentations ("Podaci svih prikaza").
    int m_exportFilter = 4;
    bool m_syncing = false;
};
