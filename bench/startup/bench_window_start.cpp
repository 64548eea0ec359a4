// The window's start to its first paint: the program's own start (kt::Main, with the seams
// its main installs), ended at once when the main window's first paint has gone to the
// display. Timed from outside as a whole process (bench_pairs). See bench/README.md.
//
//     build/bin/bench_window_start
#include "app/Startup.h"
#include "platform/SystemProbe.h"
#include "platform/ui/DesktopShell.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtMessageBoxPresenter.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <unistd.h>

namespace {

// The main window's first paint ends the process, once the pass that paints it is over.
class FirstPaint : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("klivamainfrm"))
            QTimer::singleShot(0, [] { ::_exit(0); });
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    int toolkitArgc = argc > 0 ? 1 : 0;
    char* toolkitArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    kt::QtMessageBoxPresenter messageBoxes;
    kt::QtFileDialogs dialogs;
    kt::DesktopShell desktop;
    kt::installMessageBoxPresenter(&messageBoxes);
    kt::installFileDialogs(&dialogs);
    kt::installShell(&desktop);
    const kt::SystemProbe probe(kt::SystemProbe::runningSystemFacts(kt::displayDpi()));
    kt::installSystemProbe(&probe);
    return kt::Main(app);
}
