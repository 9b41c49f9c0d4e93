#include "design/ui/SolutionsPage.h"

#include "common/ui/CharacterValidator.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "design/SolutionsModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Cell editors that refuse what a cell may not hold, and tell the page which
// editor is open so closing the dialog can keep what it holds.
class CellDelegate : public QStyledItemDelegate
{
public:
    CellDelegate(std::function<void(QWidget *)> opened, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_opened(std::move(opened))
    {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *edit = qobject_cast<QLineEdit *>(editor))
            edit->setValidator(new CharacterValidator(&CharacterValidator::isCodePageCharacter, edit));
        m_opened(editor);
        return editor;
    }

private:
    std::function<void(QWidget *)> m_opened;
};

} // namespace

SolutionsPage::SolutionsPage(TestDesign &design, CapsLock capsLock, QWidget *parent)
    : QWidget(parent)
    , m_capsLock(std::move(capsLock))
{
    m_model = new SolutionsModel(design, this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->setModel(m_model);
    m_delegate = new CellDelegate(
        [this](QWidget *editor) {
            m_editor = editor;
            editor->installEventFilter(this);
        },
        this);
    m_grid->setItemDelegate(m_delegate);
    // An editor closed by Enter or by leaving the cell has handed its text over already.
    connect(m_delegate, &QAbstractItemDelegate::closeEditor, this, [this](QWidget *editor) {
        if (editor == m_editor)
            m_editor = nullptr;
    });
    m_grid->horizontalHeader()->setDefaultSectionSize(100);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // A thousand rows of one height: no measuring of every row.
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Typing into a cell starts editing it, as in a spreadsheet.
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->installEventFilter(this);
    ContextHelp::setHelpContext(m_grid, 6);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
}

void SolutionsPage::refresh()
{
    m_model->reload();
}

QWidget *SolutionsPage::firstControl() const
{
    return m_grid;
}

void SolutionsPage::commitOpenEditor()
{
    if (!m_editor)
        return;
    QWidget *editor = m_editor;
    m_editor = nullptr;
    Q_EMIT m_delegate->commitData(editor);
    Q_EMIT m_delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void SolutionsPage::Grid1KeyDown()
{
    QPalette palette = m_grid->palette();
    if (m_capsLock.isOn()) {
        palette.setColor(QPalette::Text, Qt::black);
    } else {
        palette.setColor(QPalette::Text, Qt::red);
        m_capsLock.beep();
    }
    m_grid->setPalette(palette);
}

bool SolutionsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_grid || watched == m_editor))
        GeneralErrorHandler::runCommand([this] { Grid1KeyDown(); });
    return QWidget::eventFilter(watched, event);
}
