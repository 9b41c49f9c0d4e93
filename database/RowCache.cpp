#include "database/RowCache.h"

const RowCache::Rows *RowCache::find(int page)
{
    const auto it = m_pages.find(page);
    if (it == m_pages.end())
        return nullptr;
    if (m_lru.back() != page) {
        m_lru.remove(page);
        m_lru.push_back(page);
    }
    return &it->second;
}

const RowCache::Rows &RowCache::insert(int page, Rows rows)
{
    if (m_pages.erase(page) > 0) {
        m_lru.remove(page);
    } else if (int(m_pages.size()) >= MaxPages) {
        m_pages.erase(m_lru.front());
        m_lru.pop_front();
    }
    m_lru.push_back(page);
    return m_pages[page] = std::move(rows);
}

void RowCache::clear()
{
    m_pages.clear();
    m_lru.clear();
}

int RowCache::rowCount() const
{
    int n = 0;
    for (const auto &[page, rows] : m_pages)
        n += int(rows.size());
    return n;
}
