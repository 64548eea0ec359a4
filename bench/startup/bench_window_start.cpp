// The window's start to its first paint: the program's own start (kt::programMain, as its
// main calls it), ended at once when the main window's first paint has gone to the display.
// Timed from outside as a whole process (bench_pairs). See bench/README.md.
//
//     build/bin/bench_window_start
#include "app/ui/Startup.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
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

// Watches from the moment the program's own start has made its application object.
void watchFirstPaint()
{
    static FirstPaint firstPaint;
    QCoreApplication::instance()->installEventFilter(&firstPaint);
}
Q_COREAPP_STARTUP_FUNCTION(watchFirstPaint)

} // namespace

int main(int argc, char* argv[])
{
    return kt::programMain(argc, argv);
}
