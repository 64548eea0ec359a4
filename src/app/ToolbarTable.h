#pragma once
// The main toolbar's entries in order (positions from 0, separators included), with
// their keys, captions, tooltips, image indices and status-bar hints.
#include <QString>
#include <QVector>

namespace kt {

enum class ToolbarCommand { None, Add, Remove, MoveUp, MoveDown, Pack, Options, Help };

struct ToolbarEntry
{
    bool separator = false;
    QString key;
    QString caption;
    QString tooltip;
    int imageXP = -1;    // image index with XP-style images
    int imageOther = -1; // image index elsewhere
    ToolbarCommand command = ToolbarCommand::None;
};

// Eleven entries; captions, tooltips and hints in the user's language, keys in English.
QVector<ToolbarEntry> toolbarEntries();

// Panel 1's text for the hot position: the entry's hint, or the idle text for a
// separator, for no button (-1) and for anything outside 0 to 10.
QString toolbarHint(int position);

// The command a click at `position` runs (None for separators and unknown positions).
ToolbarCommand toolbarCommandAt(int position);

// "Awaiting for job...", panel 1's idle text.
QString idleStatusText();

} // namespace kt
