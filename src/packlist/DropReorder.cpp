// Drop-to-reorder: where dragged rows land, and moving them there.
#include "PackListOps.h"

#include <QtGlobal>

namespace kt {

int dropTargetRow(int pointerYTwips, int textHeightTwips, int topIndex)
{
    // Rows are a text height plus 15 twips apart below a 60-twip band; C++ division
    // truncates toward zero, as the row arithmetic expects.
    const int y = pointerYTwips;
    const int h = qMax(textHeightTwips, 1);
    return (y - 60 - 15 * ((y / h) - 1)) / h + topIndex;
}

bool DropReorder(PackList& list, int targetRow)
{
    const int n = list.count();
    if (n == 0 || list.selectedCount() == 0 || targetRow > n)
        return false;
    // Above the first row (over the header, say): the rows go to the top, as if dropped
    // on row 1. Moving only the first of them there would break the block apart.
    const int r = qMax(targetRow, 1);

    const int last = LV_GetLastSelected(list);
    int shift = 0; // signed: negative moves up
    if (r <= last) {
        int first = 1;
        while (!list.isSelected(first))
            ++first;
        if (first <= r)
            return false; // inside the selection's span, or on its first row
        shift = r - first;
    } else {
        shift = r - last;
    }

    // Every selected row moves by `shift`; the rows it passes keep their order and fill
    // the places left free. Done in one pass rather than as single-place exchanges,
    // which would cost a row's distance for every moved row.
    const QVector<PackListRow>& old = list.rows();
    QVector<PackListRow> result(n);
    QVector<bool> taken(n, false);
    for (int k = 0; k < n; ++k) {
        if (old[k].selected) {
            result[k + shift] = old[k];
            taken[k + shift] = true;
        }
    }
    int place = 0;
    for (int k = 0; k < n; ++k) {
        if (old[k].selected)
            continue;
        while (taken[place])
            ++place;
        result[place++] = old[k];
    }
    list.setRows(std::move(result));
    return true;
}

} // namespace kt
