#include "database/export/ExportRows.h"

#include "common/Windows1250.h"

#include <algorithm>

namespace {

class HeldCursor : public ExportRows::Cursor
{
public:
    explicit HeldCursor(const std::vector<QVariantList> &rows)
        : m_rows(rows)
    {}
    bool next(QVariantList &row) override
    {
        if (m_next == m_rows.size())
            return false;
        row = m_rows[m_next++];
        return true;
    }

private:
    const std::vector<QVariantList> &m_rows;
    std::size_t m_next = 0;
};

} // namespace

ExportRows::Iterator ExportRows::begin(const QList<int> *columns) const
{
    if (m_open)
        return Iterator(m_open(), columns);
    return Iterator(std::make_shared<HeldCursor>(m_held), columns);
}

void ColumnSummary::add(const QVariant &v, std::size_t row)
{
    switch (v.typeId()) {
    case QMetaType::LongLong:
        lowest = std::min(lowest, qint64(v.toLongLong()));
        highest = std::max(highest, qint64(v.toLongLong()));
        break;
    case QMetaType::QString: {
        const QString &text = *static_cast<const QString *>(v.constData());
        longestText = std::max(longestText, int(text.size()));
        if (unencodableRow == NoRow) {
            unencodable = Windows1250::firstUnencodable(text);
            if (!unencodable.isNull())
                unencodableRow = row;
        }
        break;
    }
    default: break;
    }
}

const std::vector<ColumnSummary> &ExportRows::summary() const
{
    if (m_summarised)
        return m_summary;
    m_summary.clear();
    std::size_t r = 0;
    for (const QVariantList &row : *this) {
        if (m_summary.size() < std::size_t(row.size()))
            m_summary.resize(std::size_t(row.size()));
        for (qsizetype c = 0; c < row.size(); ++c)
            m_summary[std::size_t(c)].add(row[c], r);
        ++r;
    }
    m_summarised = true;
    return m_summary;
}
