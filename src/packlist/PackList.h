#pragma once
// The Pack List: the ordered rows a pack joins, positions counted from 1.
//
// A row is three texts (the full path, the video-size text, the frame-rate text) and a
// selection flag; the list also has a current row (the focus mark, 0 when none). The
// window's view shows this list and mirrors its selection; every operation on the rows
// works here, so it runs and is tested without a display.
#include <QString>
#include <QStringList>
#include <QVector>

namespace kt {

struct PackListRow
{
    QString path;
    QString videoSize;
    QString frameRate;
    bool selected = false;
};

class PackList
{
public:
    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const PackListRow& row(int position) const { return m_rows[position - 1]; }
    QString path(int position) const { return m_rows[position - 1].path; }
    QStringList paths() const;

    void append(const PackListRow& row);
    void clear();
    // Exchanges the three cells and the selection flags of two rows; the current row
    // follows its row.
    void exchange(int a, int b);

    bool isSelected(int position) const { return m_rows[position - 1].selected; }
    void setSelected(int position, bool selected);
    void setAllSelected(bool selected);
    int selectedCount() const { return m_selectedCount; }

    int currentRow() const { return m_current; }
    void setCurrentRow(int position) { m_current = position; }

    // Whole-list access for operations that rebuild the order in one pass.
    const QVector<PackListRow>& rows() const { return m_rows; }
    // Replaces every row; the current row stays where it is unless it no longer exists.
    void setRows(QVector<PackListRow> rows);

private:
    QVector<PackListRow> m_rows;
    int m_selectedCount = 0;
    int m_current = 0;
};

// Which list commands are enabled for a row count and a selection count.
struct PackListCommandStates
{
    bool packAndSort = false; // Pack, the sort commands
    bool selection = false;   // select all, deselect all, invert
    bool remove = false;
    bool move = false; // move up, move down
    bool view = false;
    bool operator==(const PackListCommandStates&) const = default;
};

PackListCommandStates commandStatesFor(int rowCount, int selectedCount);

} // namespace kt
