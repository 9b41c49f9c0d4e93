#include "design/ui/TasksPage.h"

#include "common/Failure.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "design/ui/StimulusList.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString LimitText =
    QStringLiteral("Dosegnuli ste limit broja podražaja! Maksimalan broj podražaja u nacrtu je 1000!");
const QString ClearStimuliText = QStringLiteral("Izbrisati sve podražaje u listi?");
const QString CloneMaskText = QStringLiteral("Podesi masku za sve zadatke u nacrtu kao za izabrani podražaj?");

// A folder that exists, else the home folder.
QString existingOr(const QString &folder, const QString &fallback)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : fallback;
}

void colourText(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QPushButton *button(const QString &name, const QString &caption, const QString &hint, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QFont listFont()
{
    return QFont(QStringLiteral("Arial"), 8);
}

} // namespace

TasksPage::TasksPage(TestDesign &design, Prompts &prompts, QString dataFolder, QWidget *parent)
    : QWidget(parent)
    , m_design(design)
    , m_prompts(prompts)
    , m_dataFolder(std::move(dataFolder))
{
    // Created in the order Tab walks them: the stimuli, their buttons, the levels.
    QVBoxLayout *right = createStimulusList();
    QHBoxLayout *stimulusButtons = createStimulusButtons();
    QVBoxLayout *left = createLevels();
    left->addSpacing(12);
    left->addLayout(stimulusButtons);
    left->addWidget(m_taskCount);
    createPopup();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 3);
}

QVBoxLayout *TasksPage::createStimulusList()
{
    auto *stimuliLabel = new QLabel(QStringLiteral("Lista podražaja:"), this);
    stimuliLabel->setObjectName(QStringLiteral("Label3"));
    colourText(stimuliLabel, Qt::red);

    m_stimuli = new StimulusList(this);
    m_stimuli->setObjectName(QStringLiteral("Lista_podrazaja"));
    m_stimuli->setFont(listFont());
    colourText(m_stimuli, Qt::red);
    m_stimuli->setContextMenuPolicy(Qt::CustomContextMenu);
    // One line per entry: the view then never measures a thousand rows.
    m_stimuli->setUniformItemSizes(true);
    ContextHelp::setHelpContext(m_stimuli, 4);
    connectCommand(m_stimuli, &QListWidget::itemSelectionChanged, this, &TasksPage::Lista_podrazajaClick);
    connectCommand(m_stimuli, &StimulusList::dropped, this, &TasksPage::Lista_podrazajaDragDrop);
    connectCommand(m_stimuli, &QWidget::customContextMenuRequested, this, &TasksPage::openPopup);

    auto *column = new QVBoxLayout;
    column->addWidget(stimuliLabel);
    column->addWidget(m_stimuli, 1);
    return column;
}

// "Ubaci", "Izbaci" and "Izbriši sve" for the stimuli, and the task count below them.
QHBoxLayout *TasksPage::createStimulusButtons()
{
    auto *insertStimulus = button(QStringLiteral("UbaciPodrazaj"), QStringLiteral("Ubaci"),
                                  QStringLiteral("Ubacuje podražaj u listu"), this);
    m_removeStimulus = button(QStringLiteral("IzbaciPodrazaj"), QStringLiteral("Izbaci"),
                              QStringLiteral("Izbacije podražaj iz liste"), this);
    m_removeStimulus->setEnabled(false);
    auto *clearStimuli = button(QStringLiteral("SpeedButton1"), QStringLiteral("Izbriši sve"),
                                QStringLiteral("Briše sve podražaje iz liste"), this);
    m_taskCount = new QLabel(QStringLiteral("Zadataka: 0"), this);
    m_taskCount->setObjectName(QStringLiteral("Label5"));
    connectCommand(insertStimulus, &QPushButton::clicked, this, &TasksPage::UbaciPodrazajClick);
    connectCommand(m_removeStimulus, &QPushButton::clicked, this, &TasksPage::IzbaciPodrazajClick);
    connectCommand(clearStimuli, &QPushButton::clicked, this, &TasksPage::SpeedButton1Click);

    auto *row = new QHBoxLayout;
    row->addWidget(insertStimulus);
    row->addWidget(m_removeStimulus);
    row->addWidget(clearStimuli);
    return row;
}

// The masking levels: their list, the number box and its buttons.
QVBoxLayout *TasksPage::createLevels()
{
    auto *levelsLabel = new QLabel(QStringLiteral("Maskirne razine:"), this);
    levelsLabel->setObjectName(QStringLiteral("Label4"));
    colourText(levelsLabel, Qt::blue);
    m_levels = new QListWidget(this);
    m_levels->setObjectName(QStringLiteral("Lista_maski"));
    m_levels->setFont(listFont());
    colourText(m_levels, Qt::blue);
    m_levels->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_levels->setUniformItemSizes(true);
    ContextHelp::setHelpContext(m_levels, 5);
    connectCommand(m_levels, &QListWidget::itemSelectionChanged, this, &TasksPage::Lista_maskiClick);

    m_level = new QSpinBox(this);
    m_level->setObjectName(QStringLiteral("Edit1"));
    m_level->setRange(1, 100);
    m_level->setSingleStep(1);
    m_level->setValue(1);
    m_level->setWrapping(false);
    // The number changes by its arrows and the Up and Down keys only.
    if (auto *edit = m_level->findChild<QLineEdit *>())
        edit->setReadOnly(true);
    ContextHelp::setHelpContext(m_level, 5);
    auto *insertLevel = button(QStringLiteral("UbaciMasku"), QStringLiteral("Ubaci"), {}, this);
    m_removeLevels = button(QStringLiteral("IzbaciMasku"), QStringLiteral("Izbaci"), {}, this);
    m_removeLevels->setEnabled(false);
    auto *clearLevels = button(QStringLiteral("SpeedButton2"), QStringLiteral("Izbriši sve"), {}, this);
    connectCommand(insertLevel, &QPushButton::clicked, this, &TasksPage::UbaciMaskuClick);
    connectCommand(m_removeLevels, &QPushButton::clicked, this, &TasksPage::IzbaciMaskuClick);
    connectCommand(clearLevels, &QPushButton::clicked, this, &TasksPage::SpeedButton2Click);

    auto *levelButtons = new QHBoxLayout;
    levelButtons->addWidget(insertLevel);
    levelButtons->addWidget(m_removeLevels);
    levelButtons->addWidget(clearLevels);
    auto *column = new QVBoxLayout;
    column->addWidget(levelsLabel);
    column->addWidget(m_levels, 1);
    column->addWidget(m_level);
    column->addLayout(levelButtons);
    return column;
}

// The stimulus list's popup menu.
void TasksPage::createPopup()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("Popup"));
    auto addItem = [this](const QString &name, const QString &caption) {
        QAction *a = m_popup->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    m_maskColour = addItem(QStringLiteral("Item1"), QStringLiteral("Boja maske"));
    m_saveDesign = addItem(QStringLiteral("Item2"), QStringLiteral("Snimi nacrt"));
    m_loadDesign = addItem(QStringLiteral("Item3"), QStringLiteral("Učitaj nacrt"));
    m_cloneMask = addItem(QStringLiteral("Item4"), QStringLiteral("Kloniraj masku"));
    m_maskColour->setEnabled(false);
    m_saveDesign->setEnabled(false);
    connectCommand(m_popup, &QMenu::aboutToShow, this, &TasksPage::PopupPopup);
    connectCommand(m_maskColour, &QAction::triggered, this, &TasksPage::Item1Click);
    connectCommand(m_saveDesign, &QAction::triggered, this, &TasksPage::Item2Click);
    connectCommand(m_loadDesign, &QAction::triggered, this, &TasksPage::Item3Click);
    connectCommand(m_cloneMask, &QAction::triggered, this, &TasksPage::Item4Click);
}

void TasksPage::refresh()
{
    // Rebuilt only when the design differs from what is shown: reopening the
    // dialog over a thousand tasks should not cost a thousand new rows.
    QStringList shown;
    shown.reserve(m_stimuli->count());
    for (int i = 0; i < m_stimuli->count(); ++i)
        shown << m_stimuli->item(i)->text();
    if (shown != m_design.stimuli) {
        m_stimuli->clear();
        m_stimuli->addItems(m_design.stimuli);
    }
    QStringList levels;
    for (int i = 0; i < m_levels->count(); ++i)
        levels << m_levels->item(i)->text();
    if (levels != m_design.maskLevels) {
        m_levels->clear();
        m_levels->addItems(m_design.maskLevels);
    }
    Lista_podrazajaClick();
    Lista_maskiClick();
    showTaskCount();
}

QWidget *TasksPage::firstControl() const
{
    return m_stimuli;
}

void TasksPage::showTaskCount()
{
    m_taskCount->setText(QStringLiteral("Zadataka: %1").arg(m_design.taskCount()));
}

int TasksPage::selectedStimulus() const
{
    const QList<QListWidgetItem *> selected = m_stimuli->selectedItems();
    return selected.isEmpty() ? -1 : m_stimuli->row(selected.first());
}

void TasksPage::UbaciPodrazajClick()
{
    if (m_design.taskCount() >= TestDesign::MaxTasks) {
        m_prompts.warning(LimitText);
        return;
    }
    FileDialogRequest request;
    request.role = QStringLiteral("picture");
    request.filters = FileDialogRequest::parseFilter(QStringLiteral("Bitmaps (*.bmp)|*.bmp"));
    request.defaultExtension = QStringLiteral("bmp");
    request.directory =
        existingOr(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), QDir::homePath());
    const QString path = m_prompts.openFile(request);
    if (path.isEmpty())
        return;
    const QString full = QFileInfo(path).absoluteFilePath();
    m_design.stimuli << full;
    m_stimuli->addItem(full);
    showTaskCount();
}

void TasksPage::IzbaciPodrazajClick()
{
    const int row = selectedStimulus();
    if (row < 0)
        return;
    // Colours and answers belong to positions: only the path goes.
    m_design.stimuli.removeAt(row);
    delete m_stimuli->takeItem(row);
    m_stimuli->clearSelection();
    m_stimuli->setCurrentRow(-1);
    Lista_podrazajaClick();
    showTaskCount();
}

void TasksPage::SpeedButton1Click()
{
    if (!m_prompts.question(ClearStimuliText))
        return;
    m_design.stimuli.clear();
    m_stimuli->clear();
    Lista_podrazajaClick();
    showTaskCount();
}

void TasksPage::Lista_podrazajaClick()
{
    m_removeStimulus->setEnabled(selectedStimulus() >= 0);
}

void TasksPage::Lista_podrazajaDragDrop(QObject *source, const QPoint &target)
{
    if (source != m_stimuli)
        return;
    const int from = m_stimuli->currentRow();
    QListWidgetItem *onto = m_stimuli->itemAt(target);
    if (from < 0 || !onto)
        return;
    const int to = m_stimuli->row(onto);
    if (to == from)
        return;
    m_design.stimuli.move(from, to);
    QListWidgetItem *moved = m_stimuli->takeItem(from);
    m_stimuli->insertItem(to, moved);
    m_stimuli->setCurrentItem(moved);
}

void TasksPage::UbaciMaskuClick()
{
    const QString level = QString::number(m_level->value());
    m_design.maskLevels << level;
    m_levels->addItem(level);
}

void TasksPage::IzbaciMaskuClick()
{
    for (int row = m_levels->count() - 1; row >= 0; --row) {
        if (m_levels->item(row)->isSelected()) {
            m_design.maskLevels.removeAt(row);
            delete m_levels->takeItem(row);
        }
    }
    Lista_maskiClick();
}

void TasksPage::SpeedButton2Click()
{
    m_design.maskLevels.clear();
    m_levels->clear();
    Lista_maskiClick();
}

void TasksPage::Lista_maskiClick()
{
    m_removeLevels->setEnabled(!m_levels->selectedItems().isEmpty());
}

void TasksPage::PopupPopup()
{
    const bool selected = selectedStimulus() >= 0;
    m_maskColour->setEnabled(selected);
    m_cloneMask->setEnabled(selected);
    m_saveDesign->setEnabled(m_design.taskCount() >= 2 && !m_design.maskLevels.isEmpty());
    m_loadDesign->setEnabled(true);
}

void TasksPage::openPopup(const QPoint &position)
{
    m_popup->popup(m_stimuli->viewport()->mapToGlobal(position));
}

void TasksPage::Item1Click()
{
    const int row = selectedStimulus();
    if (row < 0)
        return;
    if (row >= int(m_design.maskColours.size()))
        throw Failure(QStringLiteral("Zadatak %1 nema boju maske.").arg(row + 1));
    const auto colour = m_prompts.chooseColour(m_design.maskColours[std::size_t(row)]);
    if (colour)
        m_design.maskColours[std::size_t(row)] = *colour;
}

void TasksPage::Item2Click()
{
    FileDialogRequest request;
    request.role = QStringLiteral("saveDesign");
    request.title = QStringLiteral("Snimite podražajnu situaciju za buduću upotrebu");
    request.filters = FileDialogRequest::parseFilter(QStringLiteral("Text Files (*.txt)|*.txt"));
    request.defaultExtension = QStringLiteral("txt");
    request.directory =
        existingOr(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath());
    request.confirmOverwrite = false;
    const QString path = m_prompts.saveFile(request);
    if (path.isEmpty())
        return;
    SaveDesignFile(m_design, path);
}

void TasksPage::Item3Click()
{
    FileDialogRequest request;
    request.role = QStringLiteral("openDesign");
    request.title = QStringLiteral("Učitajte prethodno snimljenu podražajnu situaciju");
    request.filters = FileDialogRequest::parseFilter(QStringLiteral("Text Files (*.txt)|*.txt"));
    request.defaultExtension = QStringLiteral("txt");
    request.directory = existingOr(QDir(m_dataFolder).filePath(QStringLiteral("Paradigme")), m_dataFolder);
    const QString path = m_prompts.openFile(request);
    if (path.isEmpty())
        return;
    // All or nothing: a failure leaves the design and every control as they were.
    LoadDesignFile(m_design, path);
    Q_EMIT designLoaded();
    // Back to the list, so the popup is one Menu key away for the next command.
    m_stimuli->setFocus(Qt::OtherFocusReason);
}

void TasksPage::Item4Click()
{
    const int row = selectedStimulus();
    if (row < 0 || row >= int(m_design.maskColours.size()))
        return;
    if (!m_prompts.question(CloneMaskText))
        return;
    const Colour colour = m_design.maskColours[std::size_t(row)];
    std::fill(m_design.maskColours.begin(), m_design.maskColours.end(), colour);
}
