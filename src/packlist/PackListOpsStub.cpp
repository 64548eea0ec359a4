// Placeholder until the list operations are built.
#include "PackListOps.h"

namespace kt {

bool RemoveSelected(PackList&) { return false; }
bool MoveUp(PackList&) { return false; }
bool MoveDown(PackList&) { return false; }
bool SortAscending(PackList&) { return false; }
bool SortDescending(PackList&) { return false; }
void QuickSortAscending(QStringList&, QStringList&, QStringList&, int, int) {}
void QuickSortDescending(QStringList&, QStringList&, QStringList&, int, int) {}
void SelectAll(PackList& list) { list.setAllSelected(true); }
void DeselectAll(PackList& list) { list.setAllSelected(false); }
void InvertSelection(PackList&) {}
int LV_GetLastSelected(const PackList&) { return 0; }
int dropTargetRow(int, int, int) { return 0; }
bool DropReorder(PackList&, int) { return false; }

} // namespace kt
