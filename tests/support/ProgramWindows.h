#pragma once
// Every window of the program as the program builds it, for tests that walk them all: the
// main window loaded (menus, toolbar, status bar), Preferences, About, Tip of the Day and
// Technical Support, each shown. Header only: it needs the widget libraries the test links.
#include "app/MainWindow.h"
#include "app/StartupValues.h"
#include "auxiliary/ui/AboutBox.h"
#include "auxiliary/ui/TechSupportDialog.h"
#include "auxiliary/ui/TipOfTheDay.h"
#include "settings/ui/PreferencesDialog.h"

#include <memory>
#include <vector>

namespace kt::test {

// The windows that other parts of the program build; their names, descriptions and texts
// follow when those parts take them up.
inline const QStringList kWindowsOfOtherParts{
    QStringLiteral("the progress window (engine)"),
    QStringLiteral("the Add and Save file dialogs (platform/ui)"),
};

struct ProgramWindows
{
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<PreferencesDialog> preferences;
    std::unique_ptr<AboutBox> about;
    std::unique_ptr<TipOfTheDay> tips;
    std::unique_ptr<TechSupportDialog> support;

    std::vector<QWidget*> all() const
    {
        return {main.get(), preferences.get(), about.get(), tips.get(), support.get()};
    }
};

// The first tip is shown, so that two builds show the same one. The settings store must be a
// test's own (QSettings::setPath) with ShowTod "0", or the main window opens a tip of its own.
inline ProgramWindows buildProgramWindows(const QString& programDir)
{
    setStartupValues({.programDir = programDir, .normalDpi = true, .metrics = {100, -50}});
    ProgramWindows w;
    w.main = std::make_unique<MainWindow>();
    w.main->load();
    w.preferences = std::make_unique<PreferencesDialog>(w.main->options());
    w.about = std::make_unique<AboutBox>(nullptr);
    w.tips = std::make_unique<TipOfTheDay>(programDir, nullptr, [] { return 0.0; });
    w.support = std::make_unique<TechSupportDialog>(nullptr);
    for (QWidget* window : w.all())
        window->show();
    return w;
}

} // namespace kt::test
