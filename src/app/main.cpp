#include "app/Startup.h"
#include "platform/SystemProbe.h"
#include "platform/ui/DesktopShell.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtMessageBoxPresenter.h"

#include <QApplication>
#include <cstdio>

namespace {

// KT_TEST_MSGBOX_STDERR=1 (set only by the tests that start this program as a
// process): message boxes are written to stderr as "MsgBox <style>|<title>|<text>"
// and answered at once with their safe answer, so a test can read what the program
// said and never waits on a window nobody will click.
class StderrMessageBoxes final : public kt::MessageBoxPresenter
{
public:
    int present(const QString& text, int style, const QString& title) override
    {
        std::fprintf(stderr, "MsgBox %d|%s|%s\n", style, qPrintable(title), qPrintable(text));
        std::fflush(stderr);
        return kt::msgSafeAnswer(style);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    // Arguments are ignored, the toolkit's own included (-reverse, -platform, -style):
    // it sees the program name only.
    int toolkitArgc = argc > 0 ? 1 : 0;
    char* toolkitArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    kt::QtMessageBoxPresenter messageBoxes;
    StderrMessageBoxes testMessageBoxes;
    kt::QtFileDialogs dialogs;
    kt::DesktopShell desktop;
    if (qEnvironmentVariableIntValue("KT_TEST_MSGBOX_STDERR") == 1)
        kt::installMessageBoxPresenter(&testMessageBoxes);
    else
        kt::installMessageBoxPresenter(&messageBoxes);
    kt::installFileDialogs(&dialogs);
    kt::installShell(&desktop);

    const kt::SystemProbe probe(kt::SystemProbe::runningSystemFacts(kt::displayDpi()));
    kt::installSystemProbe(&probe);

    return kt::Main(app);
}
