#include "ToolbarTable.h"

#include <QCoreApplication>

namespace kt {
namespace {

struct Toolbar
{
    Q_DECLARE_TR_FUNCTIONS(kt::Toolbar)
};

ToolbarEntry button(const char* key, const QString& caption, const QString& tooltip, int xp, int other,
                    ToolbarCommand cmd)
{
    ToolbarEntry e;
    e.key = QLatin1String(key);
    e.caption = caption;
    e.tooltip = tooltip;
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
        return Toolbar::tr("Add file(s)... (multiple selection possible)");
    case ToolbarCommand::Remove:
        return Toolbar::tr("Remove selected file(s).");
    case ToolbarCommand::MoveUp:
        return Toolbar::tr("Move selected file(s) up.");
    case ToolbarCommand::MoveDown:
        return Toolbar::tr("Move selected file(s) down.");
    case ToolbarCommand::Pack:
        return Toolbar::tr("Pack files...");
    case ToolbarCommand::Options:
        return Toolbar::tr("Configure options.");
    case ToolbarCommand::Help:
        return Toolbar::tr("Launch help file.");
    case ToolbarCommand::None:
        break;
    }
    return idleStatusText();
}

} // namespace

QVector<ToolbarEntry> toolbarEntries()
{
    return {
        button("Add", Toolbar::tr("Add"), Toolbar::tr("Add file(s) to Pack List..."), 0, 7,
               ToolbarCommand::Add),
        button("Remove", Toolbar::tr("Remove"), Toolbar::tr("Remove selected file(s) from Pack List"), 1, 8,
               ToolbarCommand::Remove),
        separator(),
        button("Up", Toolbar::tr("Up"), Toolbar::tr("Move selected file(s) up in Pack List"), 2, 9,
               ToolbarCommand::MoveUp),
        button("Down", Toolbar::tr("Down"), Toolbar::tr("Move selected file(s) down in Pack List"), 3, 10,
               ToolbarCommand::MoveDown),
        separator(),
        button("Pack", Toolbar::tr("Pack"), Toolbar::tr("Pack files..."), 4, 11, ToolbarCommand::Pack),
        separator(),
        button("Options", Toolbar::tr("Options"), Toolbar::tr("Configure options"), 5, 12,
               ToolbarCommand::Options),
        separator(),
        button("Help", Toolbar::tr("Help"), Toolbar::tr("Launch help file"), 6, 13, ToolbarCommand::Help),
    };
}

ToolbarCommand toolbarCommandAt(int position)
{
    const QVector<ToolbarEntry> e = toolbarEntries();
    if (position < 0 || position >= e.size())
        return ToolbarCommand::None;
    return e[position].command;
}

QString toolbarHint(int position)
{
    return hintFor(toolbarCommandAt(position));
}

QString idleStatusText()
{
    return Toolbar::tr("Awaiting for job...");
}

} // namespace kt
