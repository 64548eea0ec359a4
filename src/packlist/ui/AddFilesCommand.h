#pragma once
// The Add command of the window (menu, toolbar, pop-up menu): the open dialog, the
// chosen files appended, then the list takes the focus and the commands are refreshed,
// also when the dialog was cancelled. Files named when the program starts take the same
// path without the dialog.
#include "packlist/AddFiles.h"

#include <functional>

namespace kt {

class PackListView;

void AddFilesCommand(PackListView& view, const StreamInfoSource& info,
                     const std::function<void()>& refreshCommands);
void AddNamedFilesCommand(PackListView& view, const QStringList& paths, const StreamInfoSource& info,
                          const std::function<void()>& refreshCommands);

} // namespace kt
