#include "design/SolutionsModel.h"

#include "common/Windows1250.h"
#include "design/TestDesign.h"

SolutionsModel::SolutionsModel(TestDesign &design, QObject *parent)
    : QAbstractTableModel(parent)
    , m_design(design)
{}

bool SolutionsModel::acceptsText(const QString &text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) && Windows1250::canEncode(text);
}

void SolutionsModel::reload()
{
    beginResetModel();
    endResetModel();
}

int SolutionsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_design.solutions.size());
}

int SolutionsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : TestDesign::AnswerSlots;
}

QVariant SolutionsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_design.solutions[std::size_t(index.row())][std::size_t(index.column())];
}

bool SolutionsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    if (!acceptsText(text))
        return false;
    QString &cell = m_design.solutions[std::size_t(index.row())][std::size_t(index.column())];
    if (cell != text) {
        cell = text;
        Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
    return true;
}

Qt::ItemFlags SolutionsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant SolutionsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return QStringLiteral("Identifikator %1").arg(section + 1);
    return QStringLiteral("Zadatak %1").arg(section + 1);
}
