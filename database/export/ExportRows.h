#pragma once

// The rows of one export, walked front to back as often as a writer needs:
// either held in memory, or a source that runs its statement again for each
// walk, so an export of any length holds one row at a time.

#include <QVariantList>

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

// What the values of one column hold, gathered in one walk so that the checks
// and layouts of a format need no walk of their own: the range of its integers
// (qlonglong values), the longest of its texts in characters and in UTF-8
// bytes, the first row with a character Windows-1250 lacks, the first with one
// XML cannot hold and the first with an infinite or undefined double.
struct ColumnSummary
{
    static constexpr std::size_t NoRow = std::numeric_limits<std::size_t>::max();

    qint64 lowest = std::numeric_limits<qint64>::max();
    qint64 highest = std::numeric_limits<qint64>::min();
    int longestText = 0;
    qsizetype longestBytes = 0;
    std::size_t unencodableRow = NoRow;
    QChar unencodable;
    std::size_t xmlRefusedRow = NoRow;
    std::size_t nonFiniteRow = NoRow;

    // Takes in the value of row `row`; rows come in order.
    void add(const QVariant &v, std::size_t row);
};

class ExportRows
{
public:
    // One walk over the rows: next() fills `row` and returns false after the last.
    class Cursor
    {
    public:
        virtual ~Cursor() = default;
        virtual bool next(QVariantList &row) = 0;
        // Asks for these columns only; a cursor may leave the others NULL.
        virtual void only(const QList<int> &columns) { Q_UNUSED(columns); }
    };
    using Open = std::function<std::unique_ptr<Cursor>()>;

    class Iterator
    {
    public:
        Iterator() = default;
        explicit Iterator(std::shared_ptr<Cursor> cursor, const QList<int> *columns = nullptr)
            : m_cursor(std::move(cursor))
        {
            if (columns)
                m_cursor->only(*columns);
            ++*this;
        }
        const QVariantList &operator*() const { return m_row; }
        Iterator &operator++()
        {
            if (m_cursor && !m_cursor->next(m_row))
                m_cursor.reset();
            return *this;
        }
        bool operator==(const Iterator &other) const { return m_cursor == other.m_cursor; }

    private:
        std::shared_ptr<Cursor> m_cursor; // null at the end
        QVariantList m_row;
    };

    ExportRows() = default;
    // `count` rows that each call of `open` walks anew, and what their
    // columns hold.
    ExportRows(std::size_t count, Open open, std::vector<ColumnSummary> summary)
        : m_count(count)
        , m_open(std::move(open))
        , m_summary(std::move(summary))
        , m_summarised(true)
    {}

    std::size_t size() const { return m_open ? m_count : m_held.size(); }
    bool empty() const { return size() == 0; }
    Iterator begin() const { return begin(nullptr); }
    Iterator end() const { return {}; }

    // A walk that needs only some columns: the others may come NULL.
    class Only
    {
    public:
        Iterator begin() const { return m_rows.begin(&m_columns); }
        Iterator end() const { return {}; }

    private:
        friend class ExportRows;
        Only(const ExportRows &rows, QList<int> columns)
            : m_rows(rows)
            , m_columns(std::move(columns))
        {}
        const ExportRows &m_rows;
        const QList<int> m_columns;
    };
    Only only(QList<int> columns) const { return Only(*this, std::move(columns)); }

    // Per column, what its values hold (of held rows: gathered by one walk
    // the first time it is asked for).
    const std::vector<ColumnSummary> &summary() const;

    // Rows held in memory (tests, benchmarks).
    std::vector<QVariantList> &held()
    {
        m_summarised = false;
        return m_held;
    }

private:
    Iterator begin(const QList<int> *columns) const;
    std::vector<QVariantList> m_held;
    std::size_t m_count = 0;
    Open m_open;
    mutable std::vector<ColumnSummary> m_summary;
    mutable bool m_summarised = false;
};
