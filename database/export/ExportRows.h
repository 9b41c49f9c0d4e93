#pragma once

// The rows of one export, walked front to back as often as a writer needs:
// either held in memory, or a source that runs its statement again for each
// walk, so an export of any length holds one row at a time.

#include <QVariantList>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class ExportRows
{
public:
    // One walk over the rows: next() fills `row` and returns false after the last.
    class Cursor
    {
    public:
        virtual ~Cursor() = default;
        virtual bool next(QVariantList &row) = 0;
    };
    using Open = std::function<std::unique_ptr<Cursor>()>;

    class Iterator
    {
    public:
        Iterator() = default;
        explicit Iterator(std::shared_ptr<Cursor> cursor)
            : m_cursor(std::move(cursor))
        {
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
    // `count` rows that each call of `open` walks anew.
    ExportRows(std::size_t count, Open open)
        : m_count(count)
        , m_open(std::move(open))
    {}

    std::size_t size() const { return m_open ? m_count : m_held.size(); }
    bool empty() const { return size() == 0; }
    Iterator begin() const;
    Iterator end() const { return {}; }

    // Rows held in memory (tests, benchmarks).
    std::vector<QVariantList> &held() { return m_held; }

private:
    std::vector<QVariantList> m_held;
    std::size_t m_count = 0;
    Open m_open;
};
