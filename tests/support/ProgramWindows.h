#pragma once
// Every window of the program as the program builds it, for tests that walk them all: the
// main window loaded (menus, toolbar, status bar), Preferences, About, Tip of the Day,
// Technical Support, the progress window with its bar, and the Add and Save dialogs, each
// shown; the Pack List has two rows. Header only: it needs the widget libraries the test links.
#include "app/StartupValues.h"
#include "app/ui/MainWindow.h"
#include "auxiliary/ui/AboutBox.h"
#include "auxiliary/ui/TechSupportDialog.h"
#include "auxiliary/ui/TipOfTheDay.h"
#include "engine/SaveDialog.h"
#include "engine/ui/ProgressWindow.h"
#include "mpeg/StreamInfo.h"
#include "packlist/AddFiles.h"
#include "packlist/ui/PackListModel.h"
#include "packlist/ui/PackListView.h"
#include "platform/ui/QtFileDialogs.h"
#include "settings/ui/PreferencesDialog.h"

#include <memory>
#include <vector>

namespace kt::test {

struct ProgramWindows
{
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<PreferencesDialog> preferences;
    std::unique_ptr<AboutBox> about;
    std::unique_ptr<TipOfTheDay> tips;
    std::unique_ptr<TechSupportDialog> support;
    std::unique_ptr<ProgressWindow> progress;
    std::unique_ptr<AddFilesDialog> add;
    std::unique_ptr<QFileDialog> save;

    std::vector<QWidget*> all() const
    {
        return {main.get(),    preferences.get(), about.get(), tips.get(),
                support.get(), progress.get(),    add.get(),   save.get()};
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
    // A row with a video's details and one whose details are not available.
    w.main->packList().append(
        {QStringLiteral("/clips/part1.mpg"), QStringLiteral("352 x 240"), QStringLiteral("29.97")});
    w.main->packList().append(
        {programDir + QStringLiteral("/tod.ctd"), notAvailableText(), notAvailableText()});
    w.main->packListView()->packModel()->rowsAppended(1);
    w.preferences = std::make_unique<PreferencesDialog>(w.main->options());
    w.about = std::make_unique<AboutBox>(nullptr);
    w.tips = std::make_unique<TipOfTheDay>(programDir, nullptr, [] { return 0.0; });
    w.support = std::make_unique<TechSupportDialog>(nullptr);
    w.progress = std::make_unique<ProgressWindow>();
    w.progress->createProgressBar();
    const FileDialogRequest save = saveDialogRequest();
    w.add =
        std::make_unique<AddFilesDialog>(nullptr, FileDialogRequest{addFilesDialogTitle(), save.filter, {}});
    w.save = std::make_unique<QFileDialog>(nullptr, save.title, QString(), toQtFilter(save.filter));
    w.save->setAcceptMode(QFileDialog::AcceptSave);
    for (QWidget* window : w.all())
        window->show();
    return w;
}

} // namespace kt::test
