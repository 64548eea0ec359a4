#pragma once
// Runs one join inside a modal progress window owned by a main window.
#include "engine/PackHost.h"

#include <QWidget>
#include <functional>

namespace kt {

// Shows the progress window modally; once it is shown and painted, calls join with it.
// Returns when the window has closed. A join that returns with the window still open
// (it never does unless something went badly wrong) gets it closed here, so the caller
// is never left behind a modal window nobody drives.
void runJoinInProgressWindow(QWidget* owner, const std::function<void(ProgressView&)>& join);

} // namespace kt
