#include "PackList.h"

#include <algorithm>

namespace kt {

QStringList PackList::paths() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const PackListRow& r : m_rows)
        result << r.path;
    return result;
}

void PackList::append(const PackListRow& row)
{
    m_rows.append(row);
    if (row.selected)
        ++m_selectedCount;
}

void PackList::clear()
{
    m_rows.clear();
    m_selectedCount = 0;
    m_current = 0;
}

void PackList::exchange(int a, int b)
{
    if (a == b)
        return;
    std::swap(m_rows[a - 1], m_rows[b - 1]);
    // The focus mark goes with its row, so keys and the next move carry on from the moved row.
    if (m_current == a)
        m_current = b;
    else if (m_current == b)
        m_current = a;
}

void PackList::setSelected(int position, bool selected)
{
    bool& flag = m_rows[position - 1].selected;
    if (flag != selected) {
        flag = selected;
        m_selectedCount += selected ? 1 : -1;
    }
}

void PackList::setAllSelected(bool selected)
{
    for (PackListRow& r : m_rows)
        r.selected = selected;
    m_selectedCount = selected ? int(m_rows.size()) : 0;
}

void PackList::setRows(QVector<PackListRow> rows)
{
    m_rows = std::move(rows);
    m_selectedCount =
        int(std::count_if(m_rows.cbegin(), m_rows.cend(), [](const PackListRow& r) { return r.selected; }));
    if (m_current > count())
        m_current = 0;
}

PackListCommandStates commandStatesFor(int n, int s)
{
    PackListCommandStates st;
    st.packAndSort = n >= 2;
    st.selection = n >= 1;
    st.remove = n >= 1 && s >= 1;
    st.move = n >= 2 && s >= 1;
    st.view = s == 1;
    return st;
}

} // namespace kt
