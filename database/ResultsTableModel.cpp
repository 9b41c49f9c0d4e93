#include "database/ResultsTableModel.h"

#include "common/Failure.h"
#include "common/NumberText.h"
#include "database/Query.h"

ResultsTableModel::ResultsTableModel(Query &query, QChar decimalSeparator, QObject *parent)
    : QAbstractTableModel(parent)
    , m_query(query)
    , m_separator(decimalSeparator)
{
    connect(&m_query, &Query::aboutToReset, this, [this] { beginResetModel(); });
    connect(&m_query, &Query::resetDone, this, [this] { endResetModel(); });
    connect(&m_query, &Query::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void ResultsTableModel::setReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    if (rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {});
}

int ResultsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_query.rowCount();
}

int ResultsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_query.columnCount();
}

QVariant ResultsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    try {
        const QVariant value = m_query.value(index.row(), index.column());
        return displayText(value, m_query.columns()[index.column()].kind(), m_separator);
    } catch (const Failure &) {
        // A read failing under the view (the file went away) shows empty
        // cells; the next command reports it.
        return {};
    }
}

QVariant ResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columnCount() ? m_query.columns()[section].name : QVariant();
    return section == m_query.currentRow() ? QStringLiteral("▶") : QString();
}

Qt::ItemFlags ResultsTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const StatementColumn &column = m_query.columns()[index.column()];
    // The key addresses the row; it is never typed.
    if (!m_readOnly && m_query.isUpdatable() && column.origin.compare(QLatin1String("ID"), Qt::CaseInsensitive) != 0)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ResultsTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const StatementColumn column = m_query.columns()[index.column()];
    try {
        m_query.setCurrentRow(index.row());
        if (m_query.currentRow() != index.row())
            return false;
        if (m_query.state() == Query::State::Browse)
            m_query.edit();
        const QString text = value.toString();
        const std::optional<QVariant> parsed = parse(text, column, m_separator);
        if (!parsed) {
            Q_EMIT editFailed(QStringLiteral("Vrijednost \"%1\" nije ispravna za stupac %2.").arg(text, column.name));
            return false;
        }
        m_query.setValue(index.column(), *parsed);
        return true;
    } catch (const Failure &failure) {
        Q_EMIT editFailed(failure.text());
        return false;
    }
}

QString ResultsTableModel::displayText(const QVariant &value, ValueKind kind, QChar separator)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::LongLong:
        if (kind == ValueKind::Boolean)
            return value.toLongLong() != 0 ? QStringLiteral("True") : QStringLiteral("False");
        return QString::number(value.toLongLong());
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double: return G(value.toDouble(), separator);
    case QMetaType::QByteArray: return QStringLiteral("(BLOB)");
    default: return value.toString();
    }
}

std::optional<QVariant> ResultsTableModel::parse(const QString &text, const StatementColumn &column, QChar separator)
{
    const QString trimmed = text.trimmed();
    const ValueKind kind = column.kind();
    if (kind != ValueKind::Text && trimmed.isEmpty())
        return QVariant();
    bool ok = false;
    switch (kind) {
    case ValueKind::Integer: {
        const qlonglong n = trimmed.toLongLong(&ok);
        return ok ? std::optional<QVariant>(n) : std::nullopt;
    }
    case ValueKind::Double: {
        // Only the current separator: "1.5" under a comma is refused, not misread.
        if (separator != QLatin1Char('.') && trimmed.contains(QLatin1Char('.')))
            return std::nullopt;
        QString c = trimmed;
        c.replace(separator, QLatin1Char('.'));
        const double d = c.toDouble(&ok);
        return ok && std::isfinite(d) ? std::optional<QVariant>(d) : std::nullopt;
    }
    case ValueKind::Boolean:
        if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || trimmed == QLatin1String("1"))
            return QVariant(true);
        if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || trimmed == QLatin1String("0"))
            return QVariant(false);
        return std::nullopt;
    case ValueKind::Text:
        if (column.maxLength() > 0 && text.size() > column.maxLength())
            return std::nullopt;
        return QVariant(text);
    }
    return std::nullopt;
}
