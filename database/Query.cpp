#include "database/Query.h"

#include "common/Failure.h"
#include "database/LocalQuerySource.h"

#include <algorithm>

namespace {

const QString NotUpdatableText = QStringLiteral("Ovaj rezultat se ne može mijenjati: zapisi se mijenjaju samo kad "
                                                "svi stupci dolaze izravno iz tablice Data, uz stupac ID.");

} // namespace

Query::Query(ResultsDatabase &con, QObject *parent)
    : QObject(parent)
    , m_con(con)
    , m_source(std::make_unique<LocalQuerySource>(con))
{}

void Query::setSource(std::unique_ptr<QuerySource> source)
{
    close();
    m_source = source ? std::move(source) : std::make_unique<LocalQuerySource>(m_con);
}

Query::~Query() = default;

void Query::setSQL(const QString &text)
{
    close();
    m_sql = text;
}

int Query::columnIndex(const QString &name) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void Query::open()
{
    close();
    QuerySource::Prepared prepared = m_source->prepare(m_sql);
    m_columns = prepared.columns;
    m_idColumn = prepared.idColumn;

    Q_EMIT aboutToReset();
    try {
        m_rowCount = m_source->countRows();
    } catch (...) {
        clearResult();
        Q_EMIT resetDone();
        throw;
    }
    m_current = m_rowCount > 0 ? 0 : -1;
    m_state = State::Browse;
    Q_EMIT resetDone();
    Q_EMIT stateChanged();
    Q_EMIT currentRowChanged(m_current);
}

void Query::close()
{
    if (m_state == State::Closed)
        return;
    Q_EMIT aboutToReset();
    clearResult();
    m_state = State::Closed;
    Q_EMIT resetDone();
    Q_EMIT stateChanged();
    Q_EMIT currentRowChanged(m_current);
}

void Query::clearResult()
{
    m_editRow = -1;
    m_buffer.clear();
    m_changed.clear();
    m_cache.clear();
    m_source->release();
    m_columns.clear();
    m_idColumn = -1;
    m_rowCount = 0;
    m_current = -1;
    m_stale = false;
}

const RowCache::Rows &Query::load(int page)
{
    return m_cache.insert(page, m_source->readPage(page, PageSize));
}

const QVariantList &Query::rowValues(int row)
{
    static const QVariantList none;
    if (row < 0 || row >= m_rowCount)
        return none;
    const int page = row / PageSize;
    const RowCache::Rows *cached = m_cache.find(page);
    const RowCache::Rows &rows = cached ? *cached : load(page);
    const int index = row % PageSize;
    // Rows deleted by another program since the count: shown empty until refreshed.
    return index < int(rows.size()) ? rows[std::size_t(index)] : none;
}

QVariant Query::value(int row, int column)
{
    if (row == m_editRow && column >= 0 && column < m_buffer.size())
        return m_buffer[column];
    return rowValues(row).value(column);
}

qint64 Query::rowId(int row)
{
    if (m_idColumn < 0)
        return -1;
    const QVariant id = rowValues(row).value(m_idColumn);
    return id.isValid() ? id.toLongLong() : -1;
}

int Query::cachedRowCount() const
{
    return m_cache.rowCount();
}

void Query::setCurrentRow(int row)
{
    if (m_state == State::Closed || rowCount() == 0)
        return;
    row = std::clamp(row, 0, rowCount() - 1);
    if (row == m_current)
        return;
    if (m_editRow >= 0)
        postPending();
    row = std::clamp(row, 0, rowCount() - 1);
    m_current = row;
    Q_EMIT currentRowChanged(m_current);
}

void Query::requireUpdatable() const
{
    if (m_state == State::Closed)
        throw Failure(QStringLiteral("Upit nije otvoren."));
    if (m_idColumn < 0)
        throw Failure(NotUpdatableText);
}

void Query::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
}

void Query::startEdit(State state)
{
    m_buffer.clear();
    m_changed.fill(false, m_columns.size());
    if (state == State::Edit) {
        m_editRow = m_current;
        m_buffer = rowValues(m_current);
        while (m_buffer.size() < m_columns.size())
            m_buffer << QVariant();
    } else {
        m_editRow = m_rowCount;
        for (int c = 0; c < m_columns.size(); ++c)
            m_buffer << QVariant();
    }
    setState(state);
}

void Query::append()
{
    requireUpdatable();
    postPending();
    Q_EMIT aboutToReset();
    startEdit(State::Insert);
    m_current = m_editRow;
    Q_EMIT resetDone();
    Q_EMIT currentRowChanged(m_current);
}

void Query::edit()
{
    requireUpdatable();
    if (m_state != State::Browse)
        return;
    if (m_current < 0)
        throw Failure(QStringLiteral("Nema zapisa za editiranje."));
    startEdit(State::Edit);
}

void Query::setValue(int column, const QVariant &value)
{
    requireUpdatable();
    if (column < 0 || column >= m_columns.size())
        throw Failure(QStringLiteral("Stupac %1 ne postoji.").arg(column));
    if (m_state == State::Browse)
        edit();
    m_buffer[column] = value;
    m_changed[column] = true;
    Q_EMIT rowChanged(m_editRow);
}

void Query::setValue(const QString &column, const QVariant &value)
{
    const int c = columnIndex(column);
    if (c < 0)
        throw Failure(QStringLiteral("Stupac %1 ne postoji u rezultatu.").arg(column));
    setValue(c, value);
}

bool Query::isModified() const
{
    return m_editRow >= 0 && m_changed.contains(true);
}

void Query::endEdit()
{
    m_editRow = -1;
    m_buffer.clear();
    m_changed.clear();
    setState(State::Browse);
}

void Query::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    requireUpdatable();
    QStringList names;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_changed[c]) {
            names << m_columns[c].origin;
            values << m_buffer[c];
        }
    }
    const StatementColumn &key = m_columns[m_idColumn];
    qint64 id;
    if (m_state == State::Insert) {
        id = m_source->insertRow(key.table, names, values);
    } else {
        id = rowId(m_editRow);
        if (!m_source->updateRow(key.table, key.origin, id, names, values))
            throw Failure(QStringLiteral("Zapis više ne postoji u bazi podataka."));
    }
    // A changed ID moves the row with it.
    if (m_changed.value(m_idColumn))
        id = m_buffer[m_idColumn].toLongLong();
    const int fallback = m_editRow;
    endEdit();
    reload(id, fallback);
}

void Query::cancel()
{
    if (m_state == State::Insert) {
        Q_EMIT aboutToReset();
        endEdit();
        m_current = m_rowCount > 0 ? m_rowCount - 1 : -1;
        Q_EMIT resetDone();
        Q_EMIT currentRowChanged(m_current);
    } else if (m_state == State::Edit) {
        const int row = m_editRow;
        endEdit();
        Q_EMIT rowChanged(row);
    }
}

void Query::postPending()
{
    if (isModified())
        post();
    else
        cancel();
}

void Query::remove()
{
    requireUpdatable();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_current < 0)
        return;
    const qint64 id = rowId(m_current);
    endEdit();
    m_source->deleteRow(m_columns[m_idColumn].table, m_columns[m_idColumn].origin, id);
    reload(-1, m_current);
}

void Query::refresh()
{
    if (m_state == State::Closed)
        return;
    postPending();
    reload(rowId(m_current), m_current);
}

void Query::rowAdded(qint64 id)
{
    // A test stored at this station is not among the central rows (yet).
    if (m_state == State::Closed || !m_source->isLocal())
        return;
    // A row the examiner is typing stays in edit; the new one shows on the
    // next refresh.
    if (m_state != State::Browse)
        return;
    if (m_defer) {
        m_stale = true;
        m_pendingId = id;
        return;
    }
    reload(id, m_current);
}

void Query::setDeferUpdates(bool defer)
{
    m_defer = defer;
    if (!defer && m_stale && m_state == State::Browse)
        reload(m_pendingId, m_current);
}

void Query::reload(qint64 keepId, int fallbackRow)
{
    m_stale = false;
    m_pendingId = -1;
    Q_EMIT aboutToReset();
    m_cache.clear();
    try {
        m_rowCount = m_source->countRows();
    } catch (...) {
        m_rowCount = 0;
        m_current = -1;
        Q_EMIT resetDone();
        Q_EMIT currentRowChanged(m_current);
        throw;
    }
    int row = keepId >= 0 ? findRow(keepId, fallbackRow) : -1;
    if (row < 0)
        row = std::clamp(fallbackRow, 0, m_rowCount - 1);
    m_current = m_rowCount > 0 ? row : -1;
    Q_EMIT resetDone();
    Q_EMIT currentRowChanged(m_current);
}

int Query::findRow(qint64 id, int hint)
{
    if (m_idColumn < 0 || m_rowCount == 0)
        return -1;
    // Where a row usually is: where it was, or last (a new row of an ID-ordered result).
    for (int row : {hint, m_rowCount - 1}) {
        if (row >= 0 && row < m_rowCount && rowId(row) == id)
            return row;
    }
    return m_source->findRow(id, m_idColumn);
}
