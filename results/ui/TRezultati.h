#pragma once

// The individual results window: shows one finished or reloaded test as fact
// labels, a chart and a table; saves the last test of the run to an archive
// file, loads archive files and prints the table or the chart.

#include "results/ResultSheet.h"
#include "session/SessionResult.h"

#include <QDialog>

#include <functional>
#include <memory>

class Clock;
class Prompts;
class PrintTarget;
class QAction;
class QCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QScrollArea;
class QTableWidget;
class QToolBar;
class QVBoxLayout;
class Regional;
struct ReportSubject;

class TRezultati : public QDialog, public ResultSink
{
    Q_OBJECT
public:
    // Texts follow `regional` (not owned; read at each command); the
    // choosers start in `dataFolder`, the print target made from the clock
    // writes its PDF files there when there is no printer.
    TRezultati(Prompts &prompts, Clock &clock, const Regional &regional, const QString &dataFolder,
               QWidget *parent = nullptr);
    ~TRezultati() override;

    // Where the print commands print; at first the default printer, else a
    // PDF file in the data folder.
    void setPrintTarget(std::unique_ptr<PrintTarget> target);

    // Where "Izvještaj prema normama" sends the test shown; the command is
    // offered once this is set.
    void setReportCommand(std::function<void(const ReportSubject &)> command);
    void ReportClick();

    // A finished test: shown, and its archive text kept for saving.
    void accept(const SessionResult &result) override;
    using QDialog::accept;

    const QString &archiveText() const { return m_archiveText; }

    QChart *chart() const { return m_chart; }
    QLineSeries *series() const { return m_series; }
    QCategoryAxis *categoryAxis() const { return m_categoryAxis; }
    QCategoryAxis *valueAxis() const { return m_valueAxis; }
    const QString &valuePicture() const { return m_valuePicture; }

    void Tool1Click();
    void Tool2Click();
    void Tool3Click();
    void Tool4Click();
    void Tool5Click();
    void FormResize();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showSheet(const ResultSheet &sheet);
    void updateAxisLabels();
    void setUpWindow();
    void createToolBar(QVBoxLayout *layout);
    void createContent(QVBoxLayout *layout);
    void createChart();
    void createGrid();
    void reportFile(const QString &file);

    Prompts &m_prompts;
    const Regional &m_regional;
    const QString m_dataFolder;
    std::unique_ptr<PrintTarget> m_printTarget;
    QString m_archiveText;
    QString m_archiveFileName;
    QString m_valuePicture;
    bool m_updatingAxes = false;

    QToolBar *m_toolBar = nullptr;
    QAction *m_tools[5] = {};
    QAction *m_report = nullptr;
    std::function<void(const ReportSubject &)> m_reportCommand;
    ResultSheet m_sheet;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_content = nullptr;
    QLabel *m_caution = nullptr;                        // Label1
    QLabel *m_labels[ResultSheet::FactLabelCount] = {}; // Label2 .. Label15
    QLabel *m_display = nullptr;                        // the display of a test just finished
    QChartView *m_chartView = nullptr;
    QChart *m_chart = nullptr;
    QLineSeries *m_series = nullptr;
    QCategoryAxis *m_categoryAxis = nullptr;
    QCategoryAxis *m_valueAxis = nullptr;
    QTableWidget *m_grid = nullptr;
};
