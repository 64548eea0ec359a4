#include "AddFilesCommand.h"

#include "PackListView.h"

namespace kt {
namespace {

void addRows(PackListView& view, const std::function<int(PackList&)>& append,
             const std::function<void()>& refreshCommands)
{
    const int firstNew = view.list().count() + 1;
    if (append(view.list()) > 0)
        view.rowsAppended(firstNew);
    view.setFocus(Qt::OtherFocusReason);
    if (refreshCommands)
        refreshCommands();
}

} // namespace

void AddFilesCommand(PackListView& view, const StreamInfoSource& info,
                     const std::function<void()>& refreshCommands)
{
    addRows(
        view, [&](PackList& list) { return ShowAddFilesDialog(list, info); }, refreshCommands);
}

void AddNamedFilesCommand(PackListView& view, const QStringList& paths, const StreamInfoSource& info,
                          const std::function<void()>& refreshCommands)
{
    addRows(
        view, [&](PackList& list) { return AppendFiles(list, paths, info); }, refreshCommands);
}

} // namespace kt
