// Manual harness, not run by CTest: `pack_demo FILE...` shows the real main window with
// those files listed and real dialogs, and starts Pack once it is up.
#include "app/MainWindow.h"
#include "packlist/AddFiles.h"
#include "packlist/ui/PackListView.h"
#include "platform/ui/DesktopShell.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtMessageBoxPresenter.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    kt::QtMessageBoxPresenter messageBoxes;
    kt::QtFileDialogs dialogs;
    kt::DesktopShell desktop;
    kt::installMessageBoxPresenter(&messageBoxes);
    kt::installFileDialogs(&dialogs);
    kt::installShell(&desktop);
    kt::MainWindow window;
    window.load();
    dialogs.setOwner(&window);
    kt::AppendFiles(window.packList(), app.arguments().mid(1), kt::mpegInfoSource(window.file64()));
    window.packListView()->syncFromList();
    window.RefreshPackListCommands();
    window.show();
    QTimer::singleShot(1000, &window, [&window] { window.PackMnu_Click(); });
    return app.exec();
}
