#include "database/ui/TForm9.h"

#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "common/ui/ScreenPlacement.h"
#include "database/Query.h"
#include "database/ResultsDatabase.h"
#include "database/ResultsTableModel.h"
#include "database/central/CentralExport.h"
#include "database/central/CentralQuerySource.h"
#include "database/central/ServerSettings.h"
#include "database/export/ExportQuery.h"
#include "database/export/PresentationExport.h"
#include "database/ui/BackgroundCall.h"
#include "database/ui/CentralSettingsDialog.h"
#include "database/ui/DbNavigator.h"
#include "database/ui/TForm10.h"
#include "results/ui/ToolIcons.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QMenu>
#include <QSysInfo>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

const QString AllDataSql = QStringLiteral("SELECT * FROM DATA ORDER BY ID;");
const QString DeleteQuestion = QStringLiteral("Želite li obrisati ovaj zapis?");
const QString Caption = QStringLiteral("Kalvestrin. Forma grupnih rezultata");
const QString NoCentralText =
    QStringLiteral("Središnja baza podataka nije postavljena: upišite je u izborniku \"Podaci\", \"Postavke "
                   "središnje baze podataka...\".");

// What opening the central database gives back to the window.
struct CentralOpening
{
    std::unique_ptr<QuerySource> source;
    QString problem;
};

} // namespace

TForm9::TForm9(ResultsDatabase &con, Prompts &prompts, QChar decimalSeparator, const Clock &clock, QWidget *parent)
    : QDialog(parent)
    , m_con(con)
    , m_prompts(prompts)
    , m_clock(clock)
    , m_decimalSeparator(decimalSeparator)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(Caption);
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
    m_toolBar->addSeparator();
    m_podaci = new QToolButton(m_toolBar);
    m_podaci->setObjectName(QStringLiteral("Podaci"));
    m_podaci->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_podaci->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(m_podaci);
    auto *sources = new QActionGroup(menu);
    m_localAction = menu->addAction(QStringLiteral("Podaci ove stanice"), this, [this] { showLocal(); });
    m_localAction->setObjectName(QStringLiteral("PodaciStanice"));
    m_centralAction = menu->addAction(QStringLiteral("Središnja baza podataka"), this, [this] { showCentral(); });
    m_centralAction->setObjectName(QStringLiteral("SredisnjaBaza"));
    for (QAction *action : {m_localAction, m_centralAction}) {
        action->setCheckable(true);
        sources->addAction(action);
    }
    m_localAction->setChecked(true);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Postavke središnje baze podataka..."), this, [this] { centralSettingsClick(); })
        ->setObjectName(QStringLiteral("PostavkeSredisnje"));
    m_podaci->setMenu(menu);
    m_toolBar->addWidget(m_podaci);

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
    updateCaption();
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
    updateCaption();
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
    auto *central = dynamic_cast<CentralQuerySource *>(&m_query->source());
    if (m_exportFilter >= tableFormats.size()) {
        // The presentations live in this station's own database only.
        if (central)
            throw Failure(QStringLiteral("Podaci svih prikaza izvoze se iz baze podataka ove stanice."));
        const ExportFormat format = presentationFormats().value(m_exportFilter - tableFormats.size(), efXlsx);
        ExportPresentations(&m_con, m_query->sql(), file, format, m_clock, m_decimalSeparator);
        return;
    }
    const ExportFormat format = tableFormats.value(m_exportFilter, efAccess);
    if (central)
        CentralExport::run(central->connection(), m_query->sql(), file, format, QStringLiteral("Data"), m_clock,
                           m_decimalSeparator);
    else
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
    // The stations alone add tests to the central database, and nothing is deleted there.
    if (!q.isLocal()) {
        m_nav->button(DbNavigator::Insert)->setEnabled(false);
        m_nav->button(DbNavigator::Delete)->setEnabled(false);
    }
}

void TForm9::showLocal()
{
    if (m_connecting || m_query->isLocal()) {
        updateCaption();
        return;
    }
    openAllRows(nullptr);
}

void TForm9::showCentral()
{
    // Chosen while shown, it connects anew: the way back after the server
    // went away (libpq does not always know that it has).
    if (m_connecting) {
        updateCaption();
        return;
    }
    const ServerSettings settings = ServerSettings::read(m_dataFolder);
    if (!settings.isConfigured()) {
        updateCaption();
        m_prompts.warning(NoCentralText);
        return;
    }
    m_connecting = true;
    updateCaption();
    const QString station = QSysInfo::machineHostName();
    runInBackground<CentralOpening>(
        this,
        [settings, station] {
            CentralOpening opening;
            try {
                opening.source = std::make_unique<CentralQuerySource>(CentralQuerySource::connect(settings),
                                                                      settings.database, station);
            } catch (const Failure &failure) {
                opening.problem = failure.text();
            }
            return opening;
        },
        [this](CentralOpening opening) { centralOpened(std::move(opening.source), opening.problem); });
}

void TForm9::centralOpened(std::unique_ptr<QuerySource> source, const QString &problem)
{
    m_connecting = false;
    // A row the station's database refuses stays in edit, and in view.
    if (source && !GeneralErrorHandler::runCommand([this] { m_query->postPending(); })) {
        updateCaption();
        return;
    }
    if (source) {
        try {
            openAllRows(std::move(source));
            return;
        } catch (const Failure &failure) {
            m_prompts.error(failure.text());
            // The station's rows come back.
            GeneralErrorHandler::runCommand([this] { openAllRows(nullptr); });
            return;
        }
    }
    updateCaption();
    m_prompts.error(problem);
}

void TForm9::openAllRows(std::unique_ptr<QuerySource> source)
{
    // A row typed into the rows going out of view is stored where it was typed.
    m_query->postPending();
    m_query->setSource(std::move(source));
    updateCaption();
    if (m_query->isLocal() && !m_con.isOpen())
        return;
    m_query->setSQL(QStringLiteral("select * from data;"));
    m_query->open();
    m_query->last();
    if (isVisible())
        fitColumns();
    focusGrid();
}

void TForm9::centralSettingsClick()
{
    CentralSettingsDialog dialog(m_dataFolder, m_prompts, this);
    dialog.exec();
    updateCaption();
}

void TForm9::updateCaption()
{
    const bool local = m_query->isLocal();
    m_localAction->setChecked(local && !m_connecting);
    m_centralAction->setChecked(!local || m_connecting);
    m_localAction->setEnabled(!m_connecting);
    m_centralAction->setEnabled(!m_connecting);
    QString where;
    if (m_connecting)
        where = QStringLiteral("povezivanje sa središnjom bazom podataka...");
    else if (!local)
        where = m_query->source().description();
    else if (ServerSettings::read(m_dataFolder).isConfigured())
        where = QStringLiteral("podaci ove stanice");
    m_podaci->setText(local && !m_connecting ? QStringLiteral("Podaci: ova stanica")
                                             : QStringLiteral("Podaci: središnja baza"));
    setWindowTitle(where.isEmpty() ? Caption : Caption + QStringLiteral(" - ") + where);
}
