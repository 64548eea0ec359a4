#include <QApplication>

#include "app/MainWindowStub.h"
#include "platform/ui/DesktopShell.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtMessageBoxPresenter.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    kt::QtMessageBoxPresenter messageBoxes;
    kt::QtFileDialogs dialogs;
    kt::DesktopShell desktop;
    kt::installMessageBoxPresenter(&messageBoxes);
    kt::installFileDialogs(&dialogs);
    kt::installShell(&desktop);

    kt::MainWindowStub window;
    dialogs.setOwner(&window);
    window.show();
    return app.exec();
}
