// The main window as the pack command's host: the options read from the check marks.
// (The dialogs, texts, hooks and cursor are checked end to end in tst_packfromwindow.)
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
    void withoutWindowOrHooks();
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
    WindowPackHost host(&main.window, MainWindowPackHooks{});
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
    WindowPackHost host(&main.window, MainWindowPackHooks{});
    main.check({});
    for (const QString& name : checkedItems)
        main.item(qPrintable(name))->setChecked(true);
    QCOMPARE(host.deleteAfterAction(), action);
}

void WindowPackHostTest::mpegCheck()
{
    FakeMainWindow main;
    WindowPackHost host(&main.window, MainWindowPackHooks{});
    main.item("MCheckMnu")->setChecked(true);
    QVERIFY(host.mpegCheckEnabled());
    main.item("MCheckMnu")->setChecked(false); // read at the moment of asking
    QVERIFY(!host.mpegCheckEnabled());
}

void WindowPackHostTest::withoutWindowOrHooks()
{
    // The defaults of a fresh window, and no crash for what is missing.
    WindowPackHost bare(nullptr, {});
    bare.hideLogo();
    bare.busyMode(QStringLiteral("pack"));
    bare.setStatusText(QStringLiteral("x"));
    bare.showPackingFile(QStringLiteral("/tmp/a.mpg"));
    bare.setWaitCursor(true);
    bare.destroyMainProgressBar();
    QVERIFY(bare.packListPaths().isEmpty());
    QCOMPARE(bare.transferBlock().blockSize, 100'000);
    QVERIFY(bare.mpegCheckEnabled());
    QCOMPARE(bare.deleteAfterAction(), DeleteAfterAction::No);
}

QTEST_MAIN(WindowPackHostTest)
#include "tst_windowpackhost.moc"
