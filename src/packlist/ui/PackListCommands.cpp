#include "PackListCommands.h"

#include "PackListModel.h"
#include "PackListView.h"
#include "packlist/PackListOps.h"

namespace kt {
namespace {

void focusList(PackListView& view)
{
    view.setFocus(Qt::OtherFocusReason);
}

void refreshIfAny(const RefreshCommands& refresh)
{
    if (refresh)
        refresh();
}

// Keeps a row in sight after the rows changed under the view.
void showRow(PackListView& view, int position)
{
    if (position >= 1 && position <= view.list().count())
        view.scrollTo(view.packModel()->index(position - 1, 0));
}

int firstSelected(const PackList& list)
{
    for (int i = 1; i <= list.count(); ++i)
        if (list.isSelected(i))
            return i;
    return 0;
}

void move(PackListView& view, bool up)
{
    PackList& list = view.list();
    if (list.isEmpty() || list.selectedCount() == 0) {
        up ? MoveUp(list) : MoveDown(list); // says "Nothing to swap."
        return;
    }
    if (up ? MoveUp(list) : MoveDown(list)) {
        view.syncFromList();
        showRow(view, up ? firstSelected(list) : LV_GetLastSelected(list));
    }
    focusList(view);
}

void selectionCommand(PackListView& view, void (*op)(PackList&), const RefreshCommands& refresh)
{
    op(view.list());
    view.syncSelectionFromList();
    focusList(view);
    refreshIfAny(refresh);
}

} // namespace

void RemoveCommand(PackListView& view, const RefreshCommands& refresh)
{
    if (!RemoveSelected(view.list()))
        return;
    view.syncFromList();
    showRow(view, view.list().currentRow());
    focusList(view);
    refreshIfAny(refresh);
}

void MoveUpCommand(PackListView& view)
{
    move(view, true);
}

void MoveDownCommand(PackListView& view)
{
    move(view, false);
}

void SortAscendingCommand(PackListView& view)
{
    if (!SortAscending(view.list()))
        return;
    view.syncFromList();
    focusList(view);
}

void SortDescendingCommand(PackListView& view, const RefreshCommands& refresh)
{
    if (!SortDescending(view.list()))
        return;
    view.syncFromList();
    focusList(view);
    refreshIfAny(refresh);
}

void SelectAllCommand(PackListView& view, const RefreshCommands& refresh)
{
    selectionCommand(view, SelectAll, refresh);
}

void DeselectAllCommand(PackListView& view, const RefreshCommands& refresh)
{
    selectionCommand(view, DeselectAll, refresh);
}

void InvertSelectionCommand(PackListView& view, const RefreshCommands& refresh)
{
    selectionCommand(view, InvertSelection, refresh);
}

} // namespace kt
