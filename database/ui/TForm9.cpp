#include "database/ui/TForm9.h"

#include "common/NumberText.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "common/ui/ScreenPlacement.h"
#include "database/Query.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsTableModel.h"
#include "database/export/ExportQuery.h"
#include "database/export/PresentationExport.h"
#include "database/ui/DbNavigator.h"
#include "database/ui/TForm10.h"
#include "results/ui/ToolIcons.h"

#include <QHeaderView>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

const QString AllDataSql = QStringLiteral("SELECT * FROM DATA ORDER BY ID;");
const QString DeleteQuestion = QStringLiteral("Želite li obrisati ovaj zapis?");

} // namespace

TForm9::TForm9(ResultsDatabase &con, Prompts &prompts, QChar decimalSeparator, const Clock &clock, QWidget *parent)
    : QDialog(parent)
    , m_con(con)
    , m_prompts(prompts)
    , m_clock(clock)
    , m_decimalSeparator(decimalSeparator)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Kalvestrin. Forma grupnih rezultata"));
    resize(800, 578);

    m_query = new Query(con, this);
    m_query->setObjectName(QStringLiteral("Query"));
    m_query->setDeferUpdates(true);
    m_ds = new ResultsTableModel(*m_query, decimalSeparator, this);
    m_ds->setObjectName(QStringLiteral("ds"));

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setFixedHeight(ToolBarHeight);
    const QString hints[6] = {QStringLiteral("Otključaj"), QStringLiteral("Zaključaj"),  QStringLiteral("Export"),
                              QStringLiteral("Analize"),   QStringLiteral("Svi podaci"), QStringLiteral("Pomoć")};
    const int icons[6] = {5, 6, 1, 7, 8, 4};
    void (TForm9::*handlers[6])() = {&TForm9::Tool1Click, &TForm9::Tool2Click, &TForm9::Tool3Click,
                                     &TForm9::Tool4Click, &TForm9::Tool5Click, &TForm9::Tool6Click};
    for (int i = 0; i < 6; ++i) {
        auto *button = new QToolButton(m_toolBar);
        button->setObjectName(QStringLiteral("Tool%1").arg(i + 1));
        button->setIcon(toolIcon(icons[i] - 1));
        // "Pomoć" carries its hint without showing it.
        if (i < 5)
            button->setToolTip(hints[i]);
        button->setAccessibleName(hints[i]);
        m_toolBar->addWidget(button);
        connectCommand(button, &QToolButton::clicked, this, handlers[i]);
        m_tools[i] = button;
    }

    m_dbg = new QTableView(this);
    m_dbg->setObjectName(QStringLiteral("dbg"));
    m_dbg->setModel(m_ds);
    m_dbg->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_dbg->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbg->verticalHeader()->setDefaultSectionSize(20);
    m_dbg->verticalHeader()->setFixedWidth(16);

    m_nav = new DbNavigator(this);
    m_nav->setObjectName(QStringLiteral("nav"));
    connectCommand(m_nav, &DbNavigator::clicked, this, &TForm9::NavClick);

    connect(m_query, &Query::currentRowChanged, this, &TForm9::showCurrentRow);
    connect(m_query, &Query::stateChanged, this, &TForm9::updateNavigator);
    connect(m_query, &Query::resetDone, this, &TForm9::updateNavigator);
    connect(m_dbg->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { gridRowChanged(current.row()); });
    connect(m_ds, &QAbstractItemModel::modelReset, this, [this] {
        if (isVisible())
            fitColumns();
    });
    connect(m_ds, &ResultsTableModel::editFailed, this, [this](const QString &message) { m_prompts.error(message); });

    FormCreate();
}

TForm9::~TForm9() = default;

void TForm9::FormCreate()
{
    fillAvailableScreen(this);

    ContextHelp::setHelpContext(m_dbg, 39);
    ContextHelp::setHelpContext(m_toolBar, 28);
    ContextHelp::setHelpContext(m_nav, -12);
    ContextHelp::installRoute(this);

    Tool1Click();
    if (m_con.isOpen()) {
        GeneralErrorHandler::runCommand([this] {
            m_query->close();
            m_query->setSQL(QStringLiteral("select * from data;"));
            m_query->open();
            m_query->last();
        });
    }
    updateNavigator();
}

void TForm9::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TForm9::FormResize()
{
    const QSize outer = frameGeometry().size();
    const int toolTop = 0;
    m_toolBar->setGeometry(0, toolTop, width(), ToolBarHeight);
    const int gridTop = toolTop + ToolBarHeight;
    const int gridHeight = roundHalfEven(0.8 * (outer.height() - ToolBarHeight));
    m_dbg->setGeometry(0, gridTop, width(), gridHeight);
    const int navWidth = roundHalfEven(0.3 * outer.width());
    const int navLeft = roundHalfEven(0.5 * (outer.width() - navWidth));
    const int navHeight = roundHalfEven(0.1 * navWidth);
    // The grid sits under the toolbar, so this leaves a toolbar's height of
    // gap between the grid and the navigator.
    const int navTop = toolTop + ToolBarHeight + gridTop + gridHeight;
    m_nav->setGeometry(navLeft, navTop, navWidth, navHeight);
}

void TForm9::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
    // Tests stored while the window was hidden are read in now.
    GeneralErrorHandler::runCommand([this] { m_query->setDeferUpdates(false); });
    fitColumns();
    showCurrentRow(m_query->currentRow());
}

void TForm9::fitColumns()
{
    constexpr int MaxColumnWidth = 320;
    QHeaderView *header = m_dbg->horizontalHeader();
    const QAbstractItemView *view = m_dbg; // the rows in view, as QTableView measures them
    for (int c = 0; c < header->count(); ++c) {
        const int wanted = std::max(view->sizeHintForColumn(c), header->sectionSizeHint(c));
        header->resizeSection(c, std::clamp(wanted, header->defaultSectionSize(), MaxColumnWidth));
    }
}

void TForm9::hideEvent(QHideEvent *event)
{
    m_query->setDeferUpdates(true);
    QDialog::hideEvent(event);
}

void TForm9::Tool1Click()
{
    m_locked = false;
    m_ds->setReadOnly(false);
    m_dbg->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    m_nav->setEditingShown(true);
    m_tools[0]->setEnabled(false);
    m_tools[1]->setEnabled(true);
    updateNavigator();
}

void TForm9::Tool2Click()
{
    // Nothing typed is dropped: a refused row keeps the window unlocked.
    m_query->postPending();
    m_locked = true;
    m_ds->setReadOnly(true);
    m_dbg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_nav->setEditingShown(false);
    m_tools[1]->setEnabled(false);
    m_tools[0]->setEnabled(true);
    updateNavigator();
}

// Exports exactly what the grid shows, through the statement it shows.
void TForm9::Tool3Click()
{
    FileDialogRequest request; // Save2
    request.title = QStringLiteral("Kalvestrin. Export database table");
    request.fileName = QStringLiteral("Data");
    request.filters = FileDialogRequest::parseFilter(chooserFilters().join(QLatin1Char('|')));
    // The same dialog also offers the presentations of the rows shown, one row per picture.
    const QList<ExportFormat> tableFormats = chooserFormats();
    for (const ExportFormat format : presentationFormats()) {
        const ExportFormatInfo *info = exportFormatInfo(format);
        request.filters.append({QStringLiteral("Podaci svih prikaza, ") + QLatin1String(info->chooserEntry),
                                QStringLiteral("*.") + QLatin1String(info->extension)});
    }
    request.defaultExtension = QStringLiteral("xls");
    request.confirmOverwrite = false;
    request.role = QStringLiteral("export");
    request.selectedFilter = m_exportFilter;
    const QString file = m_prompts.saveFile(request);
    if (file.isEmpty())
        return;
    if (request.selectedFilter >= 0 && request.selectedFilter < request.filters.size())
        m_exportFilter = request.selectedFilter;

    // A row still in edit is part of what the grid shows: it is stored first.
    m_query->postPending();
    if (m_exportFilter >= tableFormats.size()) {
        const ExportFormat format = presentationFormats().value(m_exportFilter - tableFormats.size(), efXlsx);
        ExportPresentations(&m_con, m_query->sql(), file, format, m_clock, m_decimalSeparator);
        return;
    }
    const ExportFormat format = tableFormats.value(m_exportFilter, efAccess);
    ExportQuery(&m_con, m_query->sql(), file, format, QStringLiteral("Data"), m_clock, m_decimalSeparator);
}

void TForm9::Tool4Click()
{
    if (m_sqlWindow)
        m_sqlWindow->exec();
}

void TForm9::Tool5Click()
{
    m_query->postPending();
    m_query->close();
    m_query->setSQL(AllDataSql);
    m_query->open();
    focusGrid();
}

void TForm9::Tool6Click()
{
    ShowHelpTopic(this, QStringLiteral("28"));
}

void TForm9::focusGrid()
{
    m_dbg->setFocus();
}

void TForm9::NavClick(int button)
{
    Query &q = *m_query;
    switch (button) {
    case DbNavigator::First: q.first(); break;
    case DbNavigator::Prior: q.prior(); break;
    case DbNavigator::Next: q.next(); break;
    case DbNavigator::Last: q.last(); break;
    case DbNavigator::Insert: q.append(); break;
    case DbNavigator::Delete:
        if (q.currentRow() >= 0 && m_prompts.question(DeleteQuestion))
            q.remove();
        break;
    case DbNavigator::Edit: q.edit(); break;
    case DbNavigator::Post: q.post(); break;
    case DbNavigator::Cancel: q.cancel(); break;
    case DbNavigator::Refresh: q.refresh(); break;
    default: break;
    }
}

void TForm9::reject()
{
    if (GeneralErrorHandler::runCommand([this] { m_query->postPending(); }))
        QDialog::reject();
}

void TForm9::showCurrentRow(int row)
{
    if (m_syncing)
        return;
    m_syncing = true;
    if (row >= 0 && row < m_ds->rowCount()) {
        const int column = std::max(0, m_dbg->currentIndex().column());
        const QModelIndex index = m_ds->index(row, std::min(column, m_ds->columnCount() - 1));
        m_dbg->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_dbg->scrollTo(index);
    }
    m_ds->headerDataChanged(Qt::Vertical, 0, std::max(0, m_ds->rowCount() - 1));
    m_syncing = false;
    updateNavigator();
}

// The examiner moved to another row in the grid: the result set follows,
// posting the row left behind; a refused row pulls the grid back to it.
void TForm9::gridRowChanged(int row)
{
    if (m_syncing || row < 0 || row == m_query->currentRow())
        return;
    const bool moved = GeneralErrorHandler::runCommand([this, row] { m_query->setCurrentRow(row); });
    if (!moved)
        showCurrentRow(m_query->currentRow());
}

void TForm9::updateNavigator()
{
    const Query &q = *m_query;
    const bool open = q.isOpen();
    const bool editing = q.state() == Query::State::Edit || q.state() == Query::State::Insert;
    m_nav->updateStates(open, open && !m_locked && q.isUpdatable(), editing, q.currentRow() <= 0,
                        q.currentRow() >= q.rowCount() - 1);
}
