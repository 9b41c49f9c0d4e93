#include "database/export/ExportRows.h"

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

ExportRows::Iterator ExportRows::begin() const
{
    if (m_open)
        return Iterator(m_open());
    return Iterator(std::make_shared<HeldCursor>(m_held));
}
