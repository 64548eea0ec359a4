#pragma once
// The operations on the Pack List's rows: remove, move, sort, selection, drop-to-reorder.
// Messages go through MsgBox; focus and command refresh are the window's business.
#include "packlist/PackList.h"

#include <QStringList>

namespace kt {

// Removes the selected rows and selects the row that followed the last removed one
// (or the new last row). Returns false when nothing was removed.
bool RemoveSelected(PackList& list);

// Each selected row rises (falls) one place, carried with its cells and selection.
// "Nothing to swap." when the list is empty or nothing is selected; returns false then.
bool MoveUp(PackList& list);
bool MoveDown(PackList& list);

// Sorts by path, binary comparison of UTF-16 code units; rows end unselected.
// "Nothing to sort." on an empty list; returns false then.
bool SortAscending(PackList& list);
bool SortDescending(PackList& list);

// The recursive quicksorts over three parallel arrays keyed on paths, indices low..high.
void QuickSortAscending(QStringList& paths, QStringList& sizes, QStringList& rates, int low, int high);
void QuickSortDescending(QStringList& paths, QStringList& sizes, QStringList& rates, int low, int high);

void SelectAll(PackList& list);
void DeselectAll(PackList& list);
void InvertSelection(PackList& list);

// 1-based position of the last selected row, 0 when none.
int LV_GetLastSelected(const PackList& list);

// The row under a drop: y and textHeight in twips, topIndex the 0-based first visible row.
int dropTargetRow(int pointerYTwips, int textHeightTwips, int topIndex);
// Moves the selected rows to targetRow as a drag does; returns false when nothing moved.
bool DropReorder(PackList& list, int targetRow);

} // namespace kt
