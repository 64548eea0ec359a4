// The main window as the pack command's host: the options it reads from the check marks.
#include "engine/ui/WindowPackHost.h"

#include <QAction>
#include <QMainWindow>
#include <QTest>

using namespace kt;

Q_DECLARE_METATYPE(kt::DeleteAfterAction)

class WindowPackHostTest : public QObject
{
    Q_OBJECT
private slots:
    void options_data();
    void options();
};

void WindowPackHostTest::options_data()
{
    QTest::addColumn<QStringList>("checked"); // "no window": the host has none
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<DeleteAfterAction>("deleteAfter");
    QTest::addColumn<bool>("mpegCheck");
    auto row = [](const char* name, QStringList checked, int block, DeleteAfterAction action, bool mpeg) {
        QTest::newRow(name) << checked << block << action << mpeg;
    };
    using D = DeleteAfterAction;
    row("slow, no", {"SlowSpeedChk", "DelNoMnu"}, 10'000, D::No, false);
    row("normal, prompt", {"NormalSpeedChk", "DelPromptMnu", "MCheckMnu"}, 100'000, D::Prompt, true);
    row("fast, no prompt", {"FastSpeedChk", "DelNoPromptMnu"}, 1'000'000, D::NoPrompt, false);
    row("ultra fast", {"UltraSpeedChk"}, 5'000'000, D::No, false);
    row("prompt wins over no prompt", {"DelNoPromptMnu", "DelPromptMnu"}, 100'000, D::Prompt, false);
    row("no wins over no prompt", {"DelNoMnu", "DelNoPromptMnu"}, 100'000, D::No, false);
    row("no window", {"no window"}, 100'000, D::No, true);
}

void WindowPackHostTest::options()
{
    QFETCH(QStringList, checked);
    QFETCH(int, blockSize);
    QFETCH(DeleteAfterAction, deleteAfter);
    QFETCH(bool, mpegCheck);
    QMainWindow window; // the option items as the real window names them
    for (const char* name : {"MCheckMnu", "SlowSpeedChk", "NormalSpeedChk", "FastSpeedChk", "UltraSpeedChk",
                             "DelNoMnu", "DelPromptMnu", "DelNoPromptMnu"}) {
        auto* action = new QAction(&window);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        action->setChecked(checked.contains(QLatin1String(name)));
    }
    WindowPackHost host(checked.contains("no window") ? nullptr : &window, MainWindowPackHooks{});
    QCOMPARE(host.transferBlock().blockSize, blockSize);
    QCOMPARE(host.deleteAfterAction(), deleteAfter);
    QCOMPARE(host.mpegCheckEnabled(), mpegCheck);
    host.hideLogo(); // hooks left unset are skipped
    host.showPackingFile(QStringLiteral("/tmp/a.mpg"));
    host.setWaitCursor(true);
}

QTEST_MAIN(WindowPackHostTest)
#include "tst_windowpackhost.moc"
