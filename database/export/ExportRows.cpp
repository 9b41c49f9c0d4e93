#include "database/export/ExportRows.h"

#include "common/Windows1250.h"
#include "database/export/FileExportSupport.h"

#include <algorithm>
#include <cmath>

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

// Looks for the first character Windows-1250 lacks and the first XML cannot
// hold; printable ASCII, nearly every character of a results table, is both.
void scan(ColumnSummary &s, const QString &text, std::size_t row)
{
    const QChar *chars = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = chars[i].unicode();
        if (u >= 0x20 && u < 0x80)
            continue;
        if (s.unencodableRow == ColumnSummary::NoRow && !Windows1250::canEncode(chars[i])) {
            s.unencodable = chars[i];
            s.unencodableRow = row;
        }
        if (s.xmlRefusedRow != ColumnSummary::NoRow)
            continue;
        if (QChar::isHighSurrogate(u) && i + 1 < size && chars[i + 1].isLowSurrogate())
            ++i; // a character beyond the 16-bit range, which XML holds
        else if (QChar::isSurrogate(u) || !FileExport::isXmlChar(u))
            s.xmlRefusedRow = row;
    }
}

qsizetype utf8Length(const QString &text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += 1;
        } else if (c < 0x800) {
            bytes += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

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
    case QMetaType::Double:
        if (nonFiniteRow == NoRow && !std::isfinite(v.toDouble()))
            nonFiniteRow = row;
        break;
    case QMetaType::QString: {
        const QString &text = *static_cast<const QString *>(v.constData());
        longestText = std::max(longestText, int(text.size()));
        longestBytes = std::max(longestBytes, utf8Length(text));
        if (unencodableRow == NoRow || xmlRefusedRow == NoRow)
            scan(*this, text, row);
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
