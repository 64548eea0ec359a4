// The main window as the pack command's host: options from the check marks, the Save
// dialog, the status texts and the hooks, the cursor.
#include "../support/ScriptedSeams.h"
#include "engine/ui/ProgressWindow.h"
#include "engine/ui/WindowPackHost.h"

#include <QAction>
#include <QMainWindow>
#include <QTest>

using namespace kt;

Q_DECLARE_METATYPE(kt::DeleteAfterAction)

namespace {

// A main window with the option items the host reads, named as in the real one.
struct FakeMainWindow
{
    QMainWindow window;
    QStringList calls;
    QStringList status;

    FakeMainWindow()
    {
        for (const char* name : {"MCheckMnu", "SlowSpeedChk", "NormalSpeedChk", "FastSpeedChk",
                                 "UltraSpeedChk", "DelNoMnu", "DelPromptMnu", "DelNoPromptMnu"}) {
            auto* action = new QAction(&window);
            action->setObjectName(QLatin1String(name));
            action->setCheckable(true);
        }
    }
    QAction* item(const char* name) { return window.findChild<QAction*>(QLatin1String(name)); }
    void check(std::initializer_list<const char*> names)
    {
        for (QAction* action : window.findChildren<QAction*>())
            action->setChecked(false);
        for (const char* name : names)
            item(name)->setChecked(true);
    }
    MainWindowPackHooks hooks()
    {
        MainWindowPackHooks h;
        h.packListPaths = [] { return QStringList{"/a.mpg", "/b.mpg"}; };
        h.hideLogo = [this] { calls << "hideLogo"; };
        h.unhideLogo = [this] { calls << "unhideLogo"; };
        h.busyMode = [this](const QString& op) { calls << "busyMode " + op; };
        h.notBusyMode = [this] { calls << "notBusyMode"; };
        h.errorResumeProgram = [this] { calls << "errorResumeProgram"; };
        h.setStatusText = [this](const QString& text) { status << text; };
        h.destroyMainProgressBar = [this] { calls << "destroyMainProgressBar"; };
        return h;
    }
};

} // namespace

class WindowPackHostTest : public QObject
{
    Q_OBJECT
private slots:
    void transferBlock_data();
    void transferBlock();
    void deleteAfter_data();
    void deleteAfter();
    void mpegCheck();
    void saveDialog();
    void hooksAndTexts();
    void cursor();
};

void WindowPackHostTest::transferBlock_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("digits");
    QTest::newRow("slow") << "SlowSpeedChk" << 10'000 << 4;
    QTest::newRow("normal") << "NormalSpeedChk" << 100'000 << 5;
    QTest::newRow("fast") << "FastSpeedChk" << 1'000'000 << 6;
    QTest::newRow("ultra fast") << "UltraSpeedChk" << 5'000'000 << 7;
}

void WindowPackHostTest::transferBlock()
{
    QFETCH(QString, item);
    QFETCH(int, size);
    QFETCH(int, digits);
    FakeMainWindow main;
    WindowPackHost host(&main.window, main.hooks());
    main.check({qPrintable(item)});
    QCOMPARE(host.transferBlock().blockSize, size);
    QCOMPARE(host.transferBlock().blockDigits, digits);
}

void WindowPackHostTest::deleteAfter_data()
{
    QTest::addColumn<QStringList>("checkedItems");
    QTest::addColumn<DeleteAfterAction>("action");
    QTest::newRow("no") << QStringList{"DelNoMnu"} << DeleteAfterAction::No;
    QTest::newRow("prompt") << QStringList{"DelPromptMnu"} << DeleteAfterAction::Prompt;
    QTest::newRow("no prompt") << QStringList{"DelNoPromptMnu"} << DeleteAfterAction::NoPrompt;
    QTest::newRow("prompt wins") << QStringList{"DelNoPromptMnu", "DelPromptMnu"}
                                 << DeleteAfterAction::Prompt;
    QTest::newRow("no wins") << QStringList{"DelNoMnu", "DelNoPromptMnu"} << DeleteAfterAction::No;
    QTest::newRow("none checked") << QStringList{} << DeleteAfterAction::No;
}

void WindowPackHostTest::deleteAfter()
{
    QFETCH(QStringList, checkedItems);
    QFETCH(DeleteAfterAction, action);
    FakeMainWindow main;
    WindowPackHost host(&main.window, main.hooks());
    main.check({});
    for (const QString& name : checkedItems)
        main.item(qPrintable(name))->setChecked(true);
    QCOMPARE(host.deleteAfterAction(), action);
}

void WindowPackHostTest::mpegCheck()
{
    FakeMainWindow main;
    WindowPackHost host(&main.window, main.hooks());
    main.item("MCheckMnu")->setChecked(true);
    QVERIFY(host.mpegCheckEnabled());
    main.item("MCheckMnu")->setChecked(false); // read at the moment of asking
    QVERIFY(!host.mpegCheckEnabled());
}

void WindowPackHostTest::saveDialog()
{
    FakeMainWindow main;
    WindowPackHost host(&main.window, main.hooks());
    test::ScriptedFileDialogs dialogs;
    dialogs.answerSave(QStringLiteral("  /tmp/out put.mpg  "));
    dialogs.answerSave(QString()); // cancelled
    QCOMPARE(host.askOutputPath(), QStringLiteral("/tmp/out put.mpg"));
    QCOMPARE(host.askOutputPath(), QString());
    QCOMPARE(dialogs.saveRequests().size(), 2);
    QCOMPARE(dialogs.saveRequests()[0].title, QStringLiteral("Save Pack File As"));
    QCOMPARE(dialogs.saveRequests()[0].filter, mediaFileFilter());
    QVERIFY(dialogs.saveRequests()[0].initialDir.isEmpty());
}

void WindowPackHostTest::hooksAndTexts()
{
    FakeMainWindow main;
    WindowPackHost host(&main.window, main.hooks());
    QCOMPARE(host.packListPaths(), (QStringList{"/a.mpg", "/b.mpg"}));
    host.hideLogo();
    host.busyMode(QStringLiteral("pack"));
    host.notBusyMode();
    host.unhideLogo();
    host.errorResumeProgram();
    host.destroyMainProgressBar();
    QCOMPARE(main.calls, (QStringList{"hideLogo", "busyMode pack", "notBusyMode", "unhideLogo",
                                      "errorResumeProgram", "destroyMainProgressBar"}));

    host.setStatusText(QStringLiteral("Checking available freespace..."));
    const QString longPath = QStringLiteral("/srv/") + QString(80, 'd') + QStringLiteral("/clip.mpg");
    host.showPackingFile(longPath);
    host.showPackingFile(QStringLiteral("/tmp/a.mpg"));
    QCOMPARE(main.status.size(), 3);
    QCOMPARE(main.status[0], QStringLiteral("Checking available freespace..."));
    // Panel 1 shows what the progress window's label shows.
    ProgressWindow window;
    QCOMPARE(main.status[1], window.packingText(longPath));
    QVERIFY(main.status[1].endsWith(QStringLiteral("clip.mpg'")));
    QVERIFY(main.status[1].size() < longPath.size());
    QCOMPARE(main.status[2], QStringLiteral("Packing '/tmp/a.mpg'"));

    // A host without hooks does nothing rather than crash.
    WindowPackHost bare(nullptr, {});
    bare.hideLogo();
    bare.setStatusText(QStringLiteral("x"));
    bare.setWaitCursor(true);
    QVERIFY(bare.packListPaths().isEmpty());
    QCOMPARE(bare.transferBlock().blockSize, 100'000);
    QVERIFY(bare.mpegCheckEnabled());
    QCOMPARE(bare.deleteAfterAction(), DeleteAfterAction::No);
}

void WindowPackHostTest::cursor()
{
    FakeMainWindow main;
    WindowPackHost host(&main.window, main.hooks());
    host.setWaitCursor(true);
    QCOMPARE(main.window.cursor().shape(), Qt::WaitCursor);
    host.setWaitCursor(false);
    QCOMPARE(main.window.cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(WindowPackHostTest)
#include "tst_windowpackhost.moc"
