// Remove, the one-place moves, the selection commands and the last-selected lookup.
#include "PackListOps.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>

namespace kt {

bool RemoveSelected(PackList& list)
{
    if (list.isEmpty() || list.selectedCount() == 0)
        return false;

    // One pass instead of a removal per row: a removal shifts everything after it.
    // `last` counts as if the rows went one at a time: the place the last removed row
    // left, which the row that followed it now fills.
    QVector<PackListRow> kept;
    kept.reserve(list.count() - list.selectedCount());
    int last = 0;
    for (const PackListRow& r : list.rows()) {
        if (r.selected)
            last = int(kept.size()) + 1;
        else
            kept.push_back(r);
    }
    list.setRows(std::move(kept));

    // Nothing is selected now; give the selection (and the focus mark, so that the
    // next Move works from it) to the row after the removed ones, or the new last row.
    int next = 0;
    if (last <= list.count())
        next = last;
    else if (last != 1)
        next = last - 1;
    if (next > 0)
        list.setSelected(next, true);
    list.setCurrentRow(next);
    return true;
}

bool MoveUp(PackList& list)
{
    if (list.isEmpty() || list.selectedCount() == 0) {
        MsgBox(QCoreApplication::translate("kt::PackList", "Nothing to swap."), MB_ICONEXCLAMATION);
        return false;
    }
    if (list.currentRow() < 2)
        return false;
    // Top down: a selected row trades places with the unselected row above it, so a
    // selected block rises as a whole and a block starting at row 1 stays put.
    bool moved = false;
    const int n = list.count();
    for (int i = 2; i <= n; ++i) {
        if (list.isSelected(i) && !list.isSelected(i - 1)) {
            list.exchange(i - 1, i);
            moved = true;
        }
    }
    return moved;
}

bool MoveDown(PackList& list)
{
    if (list.isEmpty() || list.selectedCount() == 0) {
        MsgBox(QCoreApplication::translate("kt::PackList", "Nothing to swap."), MB_ICONEXCLAMATION);
        return false;
    }
    const int n = list.count();
    if (list.currentRow() >= n)
        return false;
    bool moved = false;
    for (int i = n - 1; i >= 1; --i) {
        if (list.isSelected(i) && !list.isSelected(i + 1)) {
            list.exchange(i, i + 1);
            moved = true;
        }
    }
    return moved;
}

void SelectAll(PackList& list)
{
    list.setAllSelected(true);
}

void DeselectAll(PackList& list)
{
    list.setAllSelected(false);
}

void InvertSelection(PackList& list)
{
    const int n = list.count();
    for (int i = 1; i <= n; ++i)
        list.setSelected(i, !list.isSelected(i));
}

int LV_GetLastSelected(const PackList& list)
{
    for (int i = list.count(); i >= 1; --i) {
        if (list.isSelected(i))
            return i;
    }
    return 0;
}

} // namespace kt
