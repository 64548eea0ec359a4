#include "AddFilesCommand.h"

#include "PackListView.h"

namespace kt {

void AddFilesCommand(PackListView& view, const StreamInfoSource& info,
                     const std::function<void()>& refreshCommands)
{
    const int firstNew = view.list().count() + 1;
    if (ShowAddFilesDialog(view.list(), info) > 0)
        view.rowsAppended(firstNew);
    view.setFocus(Qt::OtherFocusReason);
    if (refreshCommands)
        refreshCommands();
}

} // namespace kt
