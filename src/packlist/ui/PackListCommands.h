#pragma once
// The window side of the list commands: run the operation on the rows, show the result
// in the view, then give the list the focus and refresh the commands where the command
// does so:
//
//   Remove           focus and refresh after removing; nothing at all when nothing is selected
//   Move Up / Down   focus, unless "Nothing to swap." was shown
//   Sort ascending   focus; the command states stay as they were
//   Sort descending  focus and refresh
//   Select all, Deselect all, Invert selection   focus and refresh
#include <functional>

namespace kt {

class PackListView;

using RefreshCommands = std::function<void()>;

void RemoveCommand(PackListView& view, const RefreshCommands& refresh);
void MoveUpCommand(PackListView& view);
void MoveDownCommand(PackListView& view);
void SortAscendingCommand(PackListView& view);
void SortDescendingCommand(PackListView& view, const RefreshCommands& refresh);
void SelectAllCommand(PackListView& view, const RefreshCommands& refresh);
void DeselectAllCommand(PackListView& view, const RefreshCommands& refresh);
void InvertSelectionCommand(PackListView& view, const RefreshCommands& refresh);

} // namespace kt
