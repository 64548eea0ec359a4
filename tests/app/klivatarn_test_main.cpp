// The window program as the tests start it: on stderr "MsgBox <style>|<title>|<text>" (the safe
// answer taken), after files are added "List <path>|<video size>|<frame rate>;..." and "Active
// <objectName>" (again at each change). KT_TEST_RUNTIME_DIR: the lock's and socket's folder.
#include "app/ui/MainWindow.h"
#include "app/ui/Startup.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QWindow>
#include <cstdio>

namespace {
class StderrMessageBoxes final : public kt::MessageBoxPresenter
{
    int present(const QString& text, int style, const QString& title) override
    {
        std::fprintf(stderr, "MsgBox %d|%s|%s\n", style, qPrintable(title), qPrintable(text));
        std::fflush(stderr);
        return kt::msgSafeAnswer(style);
    }
};
void printActive()
{
    const QWidget* active = QApplication::activeWindow();
    std::fprintf(stderr, "Active %s\n", active ? qPrintable(active->objectName()) : "");
    std::fflush(stderr);
}
} // namespace

int main(int argc, char* argv[])
{
    StderrMessageBoxes messageBoxes;
    kt::ProgramSeams seams;
    seams.messageBoxes = &messageBoxes;
    seams.runtimeFolder = qEnvironmentVariable("KT_TEST_RUNTIME_DIR");
    seams.handOverWaitMs = 2000; // a second start's wait, short for the tests
    seams.filesAdded = [](kt::MainWindow& window) {
        QStringList rows;
        for (const kt::PackListRow& row : window.packList().rows())
            rows << QStringList{row.path, row.videoSize, row.frameRate}.join(QLatin1Char('|'));
        std::fprintf(stderr, "List %s\n", qPrintable(rows.join(QLatin1Char(';'))));
        printActive();
        static const auto watch = QObject::connect(qApp, &QGuiApplication::focusWindowChanged, printActive);
    };
    return kt::programMain(argc, argv, seams);
}
