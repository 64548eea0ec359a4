#include "Startup.h"

#include "app/Artwork.h"
#include "app/MainWindow.h"
#include "app/StartupForm.h"
#include "app/StartupValues.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/Program.h"

#include <QApplication>
#include <QScreen>

namespace kt {

int displayDpi()
{
    // Qt 6 keeps 96 logical DPI and scales by the device pixel ratio (QT_FONT_DPI=120
    // gives 96 x 1.25); a platform may also report a higher logical DPI. Both count.
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX() * screen->devicePixelRatio()) : 96;
}

QString alreadyRunningText()
{
    return QStringLiteral("This program is already running!");
}

void SetWindowIcons(QWidget* window, const QString& resourceName, bool alsoTopOwner)
{
    // One icon group exists, "AAA": the application icon, set on the application at start.
    if (!window || resourceName != QLatin1String("AAA"))
        return;
    const QIcon icon = QApplication::windowIcon();
    if (alsoTopOwner) {
        QWidget* top = window;
        while (top->parentWidget())
            top = top->parentWidget()->window();
        top->setWindowIcon(icon);
    }
    window->setWindowIcon(icon);
}

int Main(QApplication& app)
{
    // Every window of the program takes this icon.
    app.setWindowIcon(programIcon());
    StartupForm startupForm;
    SetWindowIcons(&startupForm, QStringLiteral("AAA"), true);

    // Before anything is read or written: is another copy running?
    InstanceLock lock;
    if (!lock.tryAcquire()) {
        MsgBox(alreadyRunningText(), MB_ICONEXCLAMATION, programTitle());
        return 0;
    }

    setStartupValues(detectStartupValues(QCoreApplication::applicationDirPath()));

    MainWindow window;
    SetWindowIcons(&window, QStringLiteral("AAA"), true);
    window.load();
    window.show();
    QObject::connect(&window, &MainWindow::unloaded, &app, [&] {
        startupForm.close();
        QCoreApplication::quit(); // other windows close with the process
    });

    // A second widening of the first column, now the window is on screen.
    window.PackListSetMaxWidth();

    prepareAboutPictures(startupValues().programDir, startupForm.palette().color(QPalette::Window));
    return app.exec();
}

} // namespace kt
