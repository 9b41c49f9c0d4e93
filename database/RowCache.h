#pragma once

// The pages of rows a result set has read, at most MaxPages of them: the
// least recently used page goes when another one comes in.

#include <QVariantList>

#include <list>
#include <unordered_map>
#include <vector>

class RowCache
{
public:
    using Rows = std::vector<QVariantList>;

    static constexpr int PageSize = 1024;
    static constexpr int MaxPages = 4;

    // The page's rows, now the most recently used; null when not held.
    const Rows *find(int page);
    // Holds `rows` as `page`, dropping the least recently used page when full.
    const Rows &insert(int page, Rows rows);
    void clear();
    int rowCount() const;

private:
    std::unordered_map<int, Rows> m_pages;
    std::list<int> m_lru; // least recently used first
};
