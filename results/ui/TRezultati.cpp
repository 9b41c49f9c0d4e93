#include "results/ui/TRezultati.h"

#include "common/Clock.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Regional.h"
#include "common/SafeFile.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "common/ui/ScreenPlacement.h"
#include "results/ArchiveFile.h"
#include "results/ArchiveSheetBuilder.h"
#include "results/AxisLabels.h"
#include "results/CustomPrint.h"
#include "results/ReportSubject.h"
#include "results/ResultsLayout.h"
#include "results/ui/DefaultPrintTarget.h"
#include "results/ui/PrintChart.h"
#include "results/ui/ToolIcons.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QString LoadError = QStringLiteral("Učitavanje arhiviranog testiranja nije uspjelo. Za početak provjerite da li "
                                         "učitavate ispravnu datoteku! Najčešći uzrok ove pogreške je decimalni "
                                         "separator!");
const QString SaveError = QStringLiteral("Došlo je do pogreške pri snimanju rezultata testiranja u datoteku! "
                                         "Datoteka vjerojatno nije ispravno snimljena!");
const QString SaveSeparatorWarning =
    QStringLiteral("Da biste mogli snimiti testiranje morat ćete podesiti decimalni separator na Vašem računalu na "
                   "točku (\".\") ili zarez (\",\"). Trenutno je decimalni separator na Vašem računalu podešen na: ");
const QString LoadSeparatorWarning =
    QStringLiteral("Da biste ispravno učitali arhivirano testiranje morat ćete podesiti decimalni separator na Vašem "
                   "računalu na točku (\".\") ili zarez (\",\"). Trenutno je decimalni separator na Vašem računalu "
                   "podešen na: ");
const QString NoPrinter = QStringLiteral("Na računalu nije instaliran pisač. Ispis je spremljen u datoteku: ");

constexpr int HelpContext = 54;
constexpr int RowHeight = 24;
constexpr int GridLineWidth = 1;
constexpr int ColumnWidth = 128;

bool usableSeparator(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char(',');
}

QFont arial(int points, bool bold)
{
    QFont f(QStringLiteral("Arial"), points);
    f.setBold(bold);
    return f;
}

// The labels of one axis at the given ticks; a category axis needs unique
// labels. Unchanged labels are left alone: replacing them lays the chart out
// again, which would report a changed plot area and come back here.
void setAxisLabels(QCategoryAxis *axis, const QList<double> &ticks, const QString &picture, QChar separator)
{
    QStringList labels;
    QList<double> values;
    for (double t : ticks) {
        const QString label = formatPicture(t, picture, separator);
        if (labels.contains(label))
            continue;
        labels << label;
        values << t;
    }
    bool same = labels == axis->categoriesLabels() && axis->startValue() == axis->min();
    for (qsizetype i = 0; same && i < labels.size(); ++i)
        same = axis->endValue(labels[i]) == values[i];
    if (same)
        return;
    for (const QString &label : axis->categoriesLabels())
        axis->remove(label);
    axis->setStartValue(axis->min());
    for (qsizetype i = 0; i < labels.size(); ++i)
        axis->append(labels[i], values[i]);
}

QString fileNameFor(const Subject &s)
{
    QString name = s.Surname + QLatin1Char(' ') + s.Name;
    name.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char('\\'), QLatin1Char('-'));
    return name;
}

} // namespace

TRezultati::TRezultati(Prompts &prompts, Clock &clock, const Regional &regional, const QString &dataFolder,
                       QWidget *parent)
    : QDialog(parent)
    , m_prompts(prompts)
    , m_regional(regional)
    , m_dataFolder(dataFolder)
    , m_printTarget(std::make_unique<DefaultPrintTarget>(clock, dataFolder))
{
    setUpWindow();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createToolBar(layout);
    createContent(layout);
    createChart();
    createGrid();

    ContextHelp::installRoute(this);
    showSheet(ResultSheet::initial());
    fillAvailableScreen(this);
}

TRezultati::~TRezultati() = default;

void TRezultati::setUpWindow()
{
    setWindowTitle(QStringLiteral("Kalvestrin. Forma individualnih rezultata"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);
    QFont own(QStringLiteral("MS Sans Serif"), 8);
    own.setBold(true);
    setFont(own);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    ContextHelp::setHelpContext(this, HelpContext);
}

void TRezultati::createToolBar(QVBoxLayout *layout)
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    layout->addWidget(m_toolBar);
    struct ToolSpec
    {
        const char *hint;
        int icon;
        void (TRezultati::*handler)();
    };
    const ToolSpec tools[5] = {{"Učitavanje rezultata", 1, &TRezultati::Tool1Click},
                               {"Snimanje rezultata", 0, &TRezultati::Tool2Click},
                               {"Ispis tablice i zaglavlja", 2, &TRezultati::Tool3Click},
                               {"Ispis grafa", 8, &TRezultati::Tool4Click},
                               {"Pomoć", 3, &TRezultati::Tool5Click}};
    for (int i = 0; i < 5; ++i) {
        QAction *a = m_toolBar->addAction(toolIcon(tools[i].icon), QString::fromUtf8(tools[i].hint));
        a->setObjectName(QStringLiteral("Tool%1").arg(i + 1));
        a->setToolTip(a->text());
        connectCommand(a, &QAction::triggered, this, tools[i].handler);
        m_tools[i] = a;
    }
    m_tools[1]->setEnabled(false);
    m_report = m_toolBar->addAction(toolIcon(2), QStringLiteral("Izvještaj prema normama"));
    m_report->setObjectName(QStringLiteral("Izvjestaj"));
    m_report->setToolTip(m_report->text());
    m_report->setVisible(false);
    connectCommand(m_report, &QAction::triggered, this, &TRezultati::ReportClick);
}

void TRezultati::setReportCommand(std::function<void(const ReportSubject &)> command)
{
    m_reportCommand = std::move(command);
    m_report->setVisible(bool(m_reportCommand));
}

void TRezultati::ReportClick()
{
    if (m_reportCommand)
        m_reportCommand(ReportSubject::fromSheet(m_sheet));
}

// The scrolled white page that holds the fact labels, the caution, the chart and the table.
void TRezultati::createContent(QVBoxLayout *layout)
{
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setWidgetResizable(false);
    layout->addWidget(m_scroll);
    m_content = new QWidget;
    m_content->setAutoFillBackground(true);
    m_content->setPalette(palette());
    m_scroll->setWidget(m_content);

    for (int i = 0; i < ResultSheet::FactLabelCount; ++i) {
        auto *label = new QLabel(m_content);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 2));
        label->setTextFormat(Qt::PlainText);
        label->setFont(arial(10, false));
        m_labels[i] = label;
    }
    m_caution = new QLabel(ResultSheet::CautionText, m_content);
    m_caution->setObjectName(QStringLiteral("Label1"));
    m_caution->setTextFormat(Qt::PlainText);
    m_caution->setFont(arial(10, false));
    m_caution->adjustSize();
    m_caution->hide();
    m_display = new QLabel(m_content);
    m_display->setObjectName(QStringLiteral("DisplayLine"));
    m_display->setTextFormat(Qt::PlainText);
    m_display->setFont(arial(8, false));
    m_display->hide();
}

void TRezultati::createChart()
{
    m_chart = new QChart;
    m_chart->setBackgroundBrush(Qt::white);
    m_chart->legend()->hide();
    m_chart->setTitleFont(arial(8, true));
    m_series = new QLineSeries;
    m_series->setObjectName(QStringLiteral("Series1"));
    m_series->setPen(QPen(Qt::black, 2));
    m_series->setPointsVisible(false);
    m_chart->addSeries(m_series);
    m_categoryAxis = new QCategoryAxis;
    m_valueAxis = new QCategoryAxis;
    for (QCategoryAxis *axis : {m_categoryAxis, m_valueAxis}) {
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setGridLineVisible(false);
        axis->setMinorGridLineVisible(false);
        axis->setTitleFont(arial(8, true));
    }
    m_categoryAxis->setTitleText(QStringLiteral("Redni broj zadatka"));
    m_valueAxis->setTitleText(QStringLiteral("Postotak perceptivne zaokruženosti"));
    m_chart->addAxis(m_categoryAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    m_series->attachAxis(m_categoryAxis);
    m_series->attachAxis(m_valueAxis);
    m_chartView = new QChartView(m_chart, m_content);
    m_chartView->setObjectName(QStringLiteral("Chart1"));
    m_chartView->setFrameShape(QFrame::NoFrame);
    m_chartView->setRubberBand(QChartView::NoRubberBand);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    connect(m_chart, &QChart::plotAreaChanged, this, [this] { updateAxisLabels(); });
}

void TRezultati::createGrid()
{
    m_grid = new QTableWidget(m_content);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->setColumnCount(ResultSheet::ColumnCount);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setDefaultSectionSize(RowHeight + 2 * GridLineWidth);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setFont(arial(10, false));
}

void TRezultati::setPrintTarget(std::unique_ptr<PrintTarget> target)
{
    m_printTarget = std::move(target);
}

void TRezultati::accept(const SessionResult &result)
{
    const Regional &regional = m_regional;
    // Composed first: a result that cannot be archived is not shown either.
    QString text = ComposeArchiveText(result, regional);
    showSheet(ResultSheet::fromResult(result, regional));
    m_archiveText = std::move(text);
    m_archiveFileName = fileNameFor(result.subject);
    m_tools[1]->setEnabled(true);
}

void TRezultati::showSheet(const ResultSheet &sheet)
{
    m_sheet = sheet;
    for (int i = 0; i < ResultSheet::FactLabelCount; ++i) {
        m_labels[i]->setText(sheet.labels[i]);
        m_labels[i]->adjustSize();
    }
    m_caution->setVisible(sheet.cautionShown);
    m_display->setText(sheet.displayLine);
    m_display->adjustSize();
    m_display->setVisible(!sheet.displayLine.isEmpty());

    QStringList title;
    for (const QString &line : sheet.title)
        title << line.toHtmlEscaped();
    m_chart->setTitle(title.join(QStringLiteral("<br>")));
    m_series->replace(sheet.points);
    m_categoryAxis->setRange(0, sheet.categoryMax);
    m_valueAxis->setRange(0, sheet.valueMax());
    m_valuePicture = sheet.valuePicture;
    updateAxisLabels();

    m_grid->clearContents();
    m_grid->setRowCount(int(sheet.cells.size()));
    for (int r = 0; r < sheet.cells.size(); ++r) {
        const QStringList &row = sheet.cells[r];
        for (int c = 0; c < row.size() && c < ResultSheet::ColumnCount; ++c) {
            if (!row[c].isEmpty())
                m_grid->setItem(r, c, new QTableWidgetItem(row[c]));
        }
    }
    FormResize();
}

void TRezultati::updateAxisLabels()
{
    if (m_updatingAxes)
        return;
    m_updatingAxes = true;
    const QChar sep = m_regional.decimalSeparator;
    const QRectF plot = m_chart->plotArea();
    const QFontMetricsF categoryMetrics(m_categoryAxis->labelsFont());
    const QFontMetricsF valueMetrics(m_valueAxis->labelsFont());
    const QList<double> categoryTicks =
        axisTicks(m_categoryAxis->min(), m_categoryAxis->max(), 1, std::max(plot.width(), 100.0), QStringLiteral("###"),
                  [&](const QList<double> &ticks) {
                      double widest = 0;
                      for (double t : ticks)
                          widest = std::max(
                              widest, categoryMetrics.horizontalAdvance(formatPicture(t, QStringLiteral("###"), sep)));
                      return widest;
                  });
    const QList<double> valueTicks =
        axisTicks(m_valueAxis->min(), m_valueAxis->max(), 0.05, std::max(plot.height(), 100.0), m_valuePicture,
                  [&](const QList<double> &) { return valueMetrics.height(); });
    setAxisLabels(m_categoryAxis, categoryTicks, QStringLiteral("###"), sep);
    setAxisLabels(m_valueAxis, valueTicks, m_valuePicture, sep);
    m_updatingAxes = false;
}

void TRezultati::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TRezultati::FormResize()
{
    const int w = frameGeometry().width();
    const ResultsLayout l =
        ResultsLayout::compute(w, m_caution->height(), m_toolBar->height(), ResultSheet::FactLabelCount,
                               m_grid->rowCount(), RowHeight, GridLineWidth);
    for (int i = 0; i < ResultSheet::FactLabelCount; ++i)
        m_labels[i]->move(l.left, l.labelTops[i]);
    m_chartView->setGeometry(l.chart);
    m_caution->move(l.left, l.cautionTop);
    m_grid->setGeometry(l.table);
    // The display line, small, under the table: a note on the test, not one of its facts.
    m_display->move(l.left, l.table.bottom() + 1 + l.step / 2);
    m_content->resize(std::max(w, l.table.right() + 1), l.table.bottom() + 1 + l.step + m_display->height());
    m_scroll->verticalScrollBar()->setValue(0);
}

void TRezultati::Tool1Click()
{
    const QChar sep = m_regional.decimalSeparator;
    if (!usableSeparator(sep))
        m_prompts.warning(LoadSeparatorWarning + sep);

    FileDialogRequest request;
    request.title = QStringLiteral("Kalvestrin");
    request.filters = FileDialogRequest::parseFilter(QStringLiteral("Text Files (*.txt)|*.txt"));
    request.defaultExtension = QStringLiteral("txt");
    request.directory = m_dataFolder;
    request.confirmOverwrite = false;
    request.role = QStringLiteral("archive");
    const QString path = m_prompts.openFile(request);
    if (path.isEmpty())
        return;

    QString text;
    try {
        text = ArchiveFileText(readWholeFile(path));
    } catch (const Failure &) {
        m_prompts.error(LoadError);
        return;
    }
    // The fields read so far are shown even when a later one fails; nothing
    // of the test shown before stays mixed in with them.
    ArchiveSheetBuilder builder(sep);
    bool complete = true;
    try {
        ReadArchive(text, sep, [&](const ArchiveField &f) { builder.apply(f); });
    } catch (const Failure &) {
        complete = false;
    }
    showSheet(builder.sheet());
    if (!complete)
        m_prompts.error(LoadError);
}

void TRezultati::Tool2Click()
{
    if (m_archiveText.isEmpty())
        return;
    const QChar sep = m_regional.decimalSeparator;
    if (!usableSeparator(sep)) {
        m_prompts.warning(SaveSeparatorWarning + sep);
        return;
    }
    FileDialogRequest request;
    request.title = QStringLiteral("Snimite posljednje izvršeno testiranje za arhivu: ");
    request.filters = FileDialogRequest::parseFilter(
        QStringLiteral("Text Files (*.txt)|*.txt|ASCII  Files (*.asc)|*.asc|All Files (*.*)|*.*"));
    request.defaultExtension = QStringLiteral("txt");
    request.directory = m_dataFolder;
    request.fileName = m_archiveFileName;
    request.confirmOverwrite = true;
    request.role = QStringLiteral("archive");
    const QString path = m_prompts.saveFile(request);
    if (path.isEmpty())
        return;
    try {
        SaveArchiveFile(path, m_archiveText);
    } catch (const Failure &) {
        m_prompts.error(SaveError);
    }
}

void TRezultati::reportFile(const QString &file)
{
    if (!file.isEmpty())
        m_prompts.information(NoPrinter + QDir::toNativeSeparators(file));
}

void TRezultati::Tool3Click()
{
    QStringList lines;
    for (QLabel *label : m_labels)
        lines << label->text();
    if (!m_caution->isHidden())
        lines << m_caution->text();

    QList<QStringList> cells;
    cells.reserve(m_grid->rowCount());
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m_grid->columnCount(); ++c) {
            const QTableWidgetItem *item = m_grid->item(r, c);
            row << (item ? item->text() : QString());
        }
        cells << row;
    }
    const int share = roundHalfEven(100.0 / m_grid->columnCount());
    const QList<int> widths(m_grid->columnCount(), share);

    // Nothing else runs while the job is open: a second click would start a
    // second job on the same printer state.
    std::unique_ptr<PrintJob> job = m_printTarget->start(QStringLiteral("Ispis tablice"), QPageLayout::Portrait);
    CustomPrint print(job->painter(), [&job] { job->newPage(); });
    print.PrintCells = cells;
    print.SetPrintFont(m_grid->font());
    print.PrintHeader(lines, QStringLiteral("K A L V E S T R I N"));
    const QList<PrintNotice> notices = print.PrintTable(widths, true, true, true, false);
    const QString file = job->finish();
    for (const PrintNotice &n : notices) {
        if (n.kind == PrintNotice::Kind::Information)
            m_prompts.information(n.text);
        else
            m_prompts.error(n.text);
    }
    reportFile(file);
}

void TRezultati::Tool4Click()
{
    std::unique_ptr<PrintJob> job = m_printTarget->start(QStringLiteral("Ispis grafa"), QPageLayout::Landscape);
    PrintChart(*m_chart, *job);
    reportFile(job->finish());
}

void TRezultati::Tool5Click()
{
    ShowHelpTopic(this, QStringLiteral("54"));
}
