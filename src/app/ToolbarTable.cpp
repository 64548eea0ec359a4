#include "ToolbarTable.h"

namespace kt {
namespace {

ToolbarEntry button(const char* key, const char* tooltip, int xp, int other, ToolbarCommand cmd)
{
    ToolbarEntry e;
    e.key = QLatin1String(key);
    e.caption = e.key;
    e.tooltip = QLatin1String(tooltip);
    e.imageXP = xp;
    e.imageOther = other;
    e.command = cmd;
    return e;
}

ToolbarEntry separator()
{
    ToolbarEntry e;
    e.separator = true;
    return e;
}

QString hintFor(ToolbarCommand c)
{
    switch (c) {
    case ToolbarCommand::Add:
        return QStringLiteral("Add file(s)... (multiple selection possible)");
    case ToolbarCommand::Remove:
        return QStringLiteral("Remove selected file(s).");
    case ToolbarCommand::MoveUp:
        return QStringLiteral("Move selected file(s) up.");
    case ToolbarCommand::MoveDown:
        return QStringLiteral("Move selected file(s) down.");
    case ToolbarCommand::Pack:
        return QStringLiteral("Pack files...");
    case ToolbarCommand::Options:
        return QStringLiteral("Configure options.");
    case ToolbarCommand::Help:
        return QStringLiteral("Launch help file.");
    case ToolbarCommand::None:
        break;
    }
    return idleStatusText();
}

} // namespace

const QVector<ToolbarEntry>& toolbarEntries()
{
    static const QVector<ToolbarEntry> entries = {
        button("Add", "Add file(s) to Pack List...", 0, 7, ToolbarCommand::Add),
        button("Remove", "Remove selected file(s) from Pack List", 1, 8, ToolbarCommand::Remove),
        separator(),
        button("Up", "Move selected file(s) up in Pack List", 2, 9, ToolbarCommand::MoveUp),
        button("Down", "Move selected file(s) down in Pack List", 3, 10, ToolbarCommand::MoveDown),
        separator(),
        button("Pack", "Pack files...", 4, 11, ToolbarCommand::Pack),
        separator(),
        button("Options", "Configure options", 5, 12, ToolbarCommand::Options),
        separator(),
        button("Help", "Launch help file", 6, 13, ToolbarCommand::Help),
    };
    return entries;
}

ToolbarCommand toolbarCommandAt(int position)
{
    const auto& e = toolbarEntries();
    if (position < 0 || position >= e.size())
        return ToolbarCommand::None;
    return e[position].command;
}

QString toolbarHint(int position) { return hintFor(toolbarCommandAt(position)); }

QString idleStatusText() { return QStringLiteral("Awaiting for job..."); }

} // namespace kt
