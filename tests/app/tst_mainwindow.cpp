// The main window, found by its controls' names: fresh start, the command table, busy
// mode, toolbar hints, View, the status bar logos, the layout at this DPI.
#include <QtTest>

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "../support/ScriptedSeams.h"
#include "app/MainWindow.h"
#include "app/StartupValues.h"
#include "packlist/ui/PackListView.h"
#include "settings/OptionState.h"

using namespace kt;

namespace {

StartupValues values(bool normalDpi, qint16 widthAdjust = 100, qint16 heightAdjust = -50)
{
    StartupValues v;
    v.programDir = QStringLiteral("/nonexistent");
    v.normalDpi = normalDpi;
    v.metrics.widthAdjust = widthAdjust;
    v.metrics.heightAdjust = heightAdjust;
    return v;
}

void fill(klivamainfrm& w, int rows, const QList<int>& selected)
{
    PackList& list = w.packList();
    list.clear();
    for (int i = 1; i <= rows; ++i)
        list.append({QStringLiteral("/media/clip%1.mpg").arg(i), QStringLiteral("352 x 240"), QStringLiteral("25"), false});
    for (int r : selected)
        list.setSelected(r, true);
    w.packListView()->syncFromList();
    w.RefreshPackListCommands();
}

QAction* toolbarAction(klivamainfrm& w, const QString& key)
{
    return w.findChild<QAction*>(QStringLiteral("cToolbar1_") + key);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void freshStart();
    void tipOfTheDayAtStart_data();
    void tipOfTheDayAtStart();
    void menuItems_data();
    void menuItems();
    void hiddenItems();
    void commandTable_data();
    void commandTable();
    void busyModeBlocksFileAndActions();
    void toolbarHints();
    void toolbarClicksRunHandlers();
    void viewOpensFirstSelected();
    void viewMessages();
    void logosFollowNormalDpi_data();
    void logosFollowNormalDpi();
    void errorResumeProgram();
    void optionItems();
    void deleteKeyRunsRemoveOnlyWithSelection();
    void rightButtonOpensPopup();
    void layoutAtThisDpi();
    void resizeKeepsEdgesAndFillsLastColumn();
    void firstColumnWidenedByWidthAdjust();
    void preferencesOpenModally();
    void closeUnloads();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<klivamainfrm> m_w;
    std::unique_ptr<test::ScriptedMessageBox> m_boxes;
    std::unique_ptr<test::ScriptedShell> m_shell;
    klivamainfrm& make(const StartupValues& v = values(true));
};

void TestMainWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
}

void TestMainWindow::init()
{
    QFile::remove(m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"));
    // No Tip of the Day unless a test asks for it.
    QSettings(m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"), QSettings::IniFormat).setValue("ShowTod", "0");
    m_boxes = std::make_unique<test::ScriptedMessageBox>();
    m_shell = std::make_unique<test::ScriptedShell>();
}

void TestMainWindow::cleanup()
{
    m_w.reset();
    m_shell.reset();
    m_boxes.reset();
}

klivamainfrm& TestMainWindow::make(const StartupValues& v)
{
    setStartupValues(v);
    m_w = std::make_unique<klivamainfrm>();
    m_w->load();
    return *m_w;
}

void TestMainWindow::freshStart()
{
    klivamainfrm& w = make();
    QCOMPARE(w.objectName(), QStringLiteral("klivamainfrm"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Vantu Kliva TARN v2.5.0"));
    QCOMPARE(w.panelText(1), QStringLiteral("Awaiting for job..."));
    QCOMPARE(w.panelText(2), QStringLiteral("IDLE"));
    // The four options were written by the restore step.
    QSettings s(m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"), QSettings::IniFormat);
    QCOMPARE(s.value("tRate").toString(), QStringLiteral("normal"));
    QCOMPARE(s.value("Delact").toString(), QStringLiteral("No"));
    QCOMPARE(s.value("Owrite").toString(), QStringLiteral("Prompt"));
    QCOMPARE(s.value("MCC").toString(), QStringLiteral("On"));
    // Check marks after the restore.
    for (const char* on : {"NormalSpeedChk", "DelNoMnu", "OverwritePromptMnu", "MCheckMnu"})
        QVERIFY2(w.action(QLatin1String(on))->isChecked(), on);
    for (const char* off : {"SlowSpeedChk", "FastSpeedChk", "UltraSpeedChk", "DelPromptMnu", "DelNoPromptMnu",
                            "OverwriteNoMnu", "OverwriteNoPromptMnu"})
        QVERIFY2(!w.action(QLatin1String(off))->isChecked(), off);
    // Only the add commands of the list are enabled.
    QVERIFY(w.action("AddMnu")->isEnabled());
    QVERIFY(w.action("AddPackWhatSelPopupMnu")->isEnabled());
    QVERIFY(toolbarAction(w, "Add")->isEnabled());
    for (const char* off : {"RemoveMnu", "PackMnu", "MoveUpMnu", "MoveDownMnu", "SelectAllMnu", "DeselectAllMnu",
                            "InvSelMnu", "SortAscendingMnu", "SortDescendingMnu", "ViewMnu", "PlayMpegMnu"})
        QVERIFY2(!w.action(QLatin1String(off))->isEnabled(), off);
    for (const char* key : {"Remove", "Up", "Down", "Pack"})
        QVERIFY2(!toolbarAction(w, QLatin1String(key))->isEnabled(), key);
    QVERIFY(toolbarAction(w, "Options")->isEnabled());
    // Every toolbar button carries caption, tooltip and image.
    auto* bar = w.findChild<QToolBar*>(QStringLiteral("cToolbar1"));
    QVERIFY(bar);
    QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QCOMPARE(toolbarAction(w, "Up")->toolTip(), QStringLiteral("Move selected file(s) up in Pack List"));
    QVERIFY(!toolbarAction(w, "Help")->icon().isNull());
    QVERIFY(w.findChild<QWidget*>(QStringLiteral("cReBar1")));
    QVERIFY(w.findChild<QStatusBar*>(QStringLiteral("StatusBar")));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("packwhat_lbl"))->text(), QStringLiteral("Pack List:"));
}

void TestMainWindow::tipOfTheDayAtStart_data()
{
    QTest::addColumn<QVariant>("showTod");
    QTest::addColumn<bool>("shown");
    QTest::newRow("absent") << QVariant() << true;
    QTest::newRow("empty") << QVariant(QString()) << true;
    QTest::newRow("1") << QVariant(QStringLiteral("1")) << true;
    QTest::newRow("other text") << QVariant(QStringLiteral("no")) << true;
    QTest::newRow("0") << QVariant(QStringLiteral("0")) << false;
}

void TestMainWindow::tipOfTheDayAtStart()
{
    QFETCH(QVariant, showTod);
    QFETCH(bool, shown);
    {
        QSettings s(m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"), QSettings::IniFormat);
        if (showTod.isValid())
            s.setValue("ShowTod", showTod);
        else
            s.remove("ShowTod");
    }
    klivamainfrm& w = make();
    QWidget* tip = w.findChild<QWidget*>(QStringLiteral("Tipfrm"));
    QCOMPARE(tip != nullptr, shown);
    if (tip) {
        QVERIFY(tip->isWindow()); // modeless, owned by the main window
        QVERIFY(!tip->isModal());
    }
}

void TestMainWindow::menuItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    const struct { const char *n, *c, *k; } rows[] = {
        {"FileMnu", "&File", ""}, {"AddMnu", "&Add...", "Ctrl+D"}, {"RemoveMnu", "&Remove", "Del"},
        {"ExitMnu", "E&xit", "Ctrl+Q"}, {"ActionMnu", "&Actions", ""}, {"PackMnu", "&Pack", "Ctrl+P"},
        {"MoveUpMnu", "Move &Up", "Ctrl+U"}, {"MoveDownMnu", "Move Dow&n", "Ctrl+N"},
        {"SelectAllMnu", "Select &All", "Ctrl+A"}, {"DeselectAllMnu", "De&select All", "Ctrl+E"},
        {"InvSelMnu", "&Inverse Select", "Ctrl+I"}, {"SortAscendingMnu", "Sort As&cending", "Ctrl+G"},
        {"SortDescendingMnu", "Sort &Descending", "Ctrl+H"}, {"ViewMnu", "&View", "Ctrl+V"},
        {"OptionMnu", "&Options", ""}, {"GeneralMnu", "&General...", "Ctrl+K"},
        {"DelAfterActionMnu", "&Delete After Action", ""}, {"DelNoMnu", "&Don't Delete", ""},
        {"DelPromptMnu", "&Ask Before Sending To Recycle Bin", ""},
        {"DelNoPromptMnu", "Do&n't Ask Before Sending To Recycle Bin", ""},
        {"MCheckMnu", "&MPEG Compatibility", "Ctrl+M"}, {"HelpMnu", "&Help", ""},
        {"HelpTopicsMnu", "Vantu Kliva &Help Topics", "F1"}, {"TODMnu", "Tip of the Day", ""},
        {"TechMnu", "Technical &Support", ""}, {"VantuOnTheWebMnu", "Websites", ""},
        {"KlivaLESiteMnu", "Vantu Kliva TARN Webpage", ""}, {"KlivaSiteMnu", "Vantu Kliva Webpage", ""},
        {"KlivaFAQMnu", "Vantu Kliva FAQ", ""}, {"AbtMnu", "&About Vantu Kliva TARN...", ""},
        {"SaveMnu", "&Save", ""}, {"OverwriteNoMnu", "&Don't Overwrite Saved File", ""},
        {"OverwritePromptMnu", "&Ask Before Overwrite Saved File", ""},
        {"OverwriteNoPromptMnu", "Do&n't Ask Before Overwrite Saved File", ""},
        {"Spdmnu", "Transfer &Rate", ""}, {"SlowSpeedChk", "&Slow", ""}, {"NormalSpeedChk", "&Normal", ""},
        {"FastSpeedChk", "&Fast", ""}, {"UltraSpeedChk", "&Ultra Fast", ""},
        {"ShowHideStatusBarMnu", "Show Status Bar", ""}, {"AddPackWhatSelPopupMnu", "Add...", ""},
        {"RemovePackWhatSelPopupMnu", "Remove", ""}, {"MoveUpPackWhatSelPopupMnu", "Move Up", ""},
        {"MoveDownPackWhatSelPopupMnu", "Move Down", ""}, {"PlayMpegMnu", "View", ""},
    };
    for (const auto& r : rows)
        QTest::newRow(r.n) << r.n << r.c << r.k;
}

void TestMainWindow::menuItems()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    klivamainfrm& w = make();
    QAction* a = w.action(name);
    QVERIFY(a);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut(), QKeySequence(shortcut));
}

void TestMainWindow::hiddenItems()
{
    klivamainfrm& w = make();
    for (const char* hidden : {"SaveMnu", "Spdmnu", "ShowHideStatusBarMnu"})
        QVERIFY2(!w.action(QLatin1String(hidden))->isVisible(), hidden);
    QVERIFY(w.action("DelAfterActionMnu")->isVisible());
    // The menu bar holds the four menus in order; the pop-up is not among them.
    QStringList top;
    for (QAction* a : w.menuBar()->actions())
        top << a->objectName();
    QCOMPARE(top, (QStringList{"FileMnu", "ActionMnu", "OptionMnu", "HelpMnu"}));
    auto* popup = w.findChild<QMenu*>(QStringLiteral("PackWhatSelPopupMnu"));
    QStringList items;
    for (QAction* a : popup->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    QCOMPARE(items, (QStringList{"AddPackWhatSelPopupMnu", "RemovePackWhatSelPopupMnu", "-", "MoveUpPackWhatSelPopupMnu",
                                 "MoveDownPackWhatSelPopupMnu", "-", "PlayMpegMnu"}));
}

void TestMainWindow::commandTable_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("selected");
    // pack+sort, selection, remove, move, view
    QTest::addColumn<QList<bool>>("states");
    QTest::newRow("empty") << 0 << QList<int>{} << QList<bool>{false, false, false, false, false};
    QTest::newRow("one row, none selected") << 1 << QList<int>{} << QList<bool>{false, true, false, false, false};
    QTest::newRow("one row, selected") << 1 << QList<int>{1} << QList<bool>{false, true, true, false, true};
    QTest::newRow("two rows, none selected") << 2 << QList<int>{} << QList<bool>{true, true, false, false, false};
    QTest::newRow("two rows, one selected") << 2 << QList<int>{2} << QList<bool>{true, true, true, true, true};
    QTest::newRow("two rows, both selected") << 2 << QList<int>{1, 2} << QList<bool>{true, true, true, true, false};
    QTest::newRow("seven rows, 2 and 5") << 7 << QList<int>{2, 5} << QList<bool>{true, true, true, true, false};
}

void TestMainWindow::commandTable()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, selected);
    QFETCH(QList<bool>, states);
    klivamainfrm& w = make();
    fill(w, rows, selected);
    const struct { int group; QStringList actions; QStringList keys; QStringList buttons; } groups[] = {
        {0, {"PackMnu", "SortAscendingMnu", "SortDescendingMnu"}, {"Pack"}, {"packlst_SortAsc_cmd", "packlst_SortDes_cmd"}},
        {1, {"SelectAllMnu", "DeselectAllMnu", "InvSelMnu"}, {}, {"packlst_SelectAll_cmd", "packlst_DeselectAll_cmd", "packlst_InvSel_cmd"}},
        {2, {"RemoveMnu", "RemovePackWhatSelPopupMnu"}, {"Remove"}, {}},
        {3, {"MoveUpMnu", "MoveDownMnu", "MoveUpPackWhatSelPopupMnu", "MoveDownPackWhatSelPopupMnu"}, {"Up", "Down"}, {}},
        {4, {"ViewMnu", "PlayMpegMnu"}, {}, {}},
    };
    for (const auto& g : groups) {
        const bool on = states[g.group];
        for (const QString& a : g.actions)
            QVERIFY2(w.action(a)->isEnabled() == on, qPrintable(a));
        for (const QString& k : g.keys)
            QVERIFY2(toolbarAction(w, k)->isEnabled() == on, qPrintable(k));
        for (const QString& b : g.buttons)
            QVERIFY2(w.findChild<QPushButton*>(b)->isEnabled() == on, qPrintable(b));
    }
    // Never touched by the table.
    QVERIFY(w.action("AddMnu")->isEnabled());
    QVERIFY(w.findChild<QPushButton*>(QStringLiteral("selposup_cmd"))->isEnabled());
    QVERIFY(w.findChild<QPushButton*>(QStringLiteral("selposdown_cmd"))->isEnabled());
}

void TestMainWindow::busyModeBlocksFileAndActions()
{
    klivamainfrm& w = make();
    int adds = 0, packs = 0;
    w.addHandler = [&] { ++adds; };
    w.packHandler = [&] { ++packs; };
    fill(w, 3, {1});
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(adds, 1);
    QCOMPARE(packs, 1);

    w.BusyMode(QStringLiteral("pack"));
    QCOMPARE(w.currentOperation(), QStringLiteral("pack"));
    QVERIFY(!w.action("FileMnu")->isEnabled());
    QVERIFY(!w.action("ActionMnu")->isEnabled());
    QSignalSpy exits(w.action("ExitMnu"), &QAction::triggered);
    for (auto key : {Qt::Key_D, Qt::Key_P, Qt::Key_Q, Qt::Key_A, Qt::Key_G, Qt::Key_U})
        QTest::keyClick(&w, key, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_Delete);
    QCOMPARE(adds, 1);
    QCOMPARE(packs, 1);
    QCOMPARE(exits.count(), 0);
    QVERIFY(w.isVisible());
    QCOMPARE(w.packList().selectedCount(), 1); // Ctrl+A did not select all
    // A refresh during the pack does not reopen the menus' items.
    w.RefreshPackListCommands();
    QVERIFY(!w.action("PackMnu")->isEnabled());
    // Other menus and the toolbar stay as they were.
    QVERIFY(w.action("OptionMnu")->isEnabled());
    QVERIFY(toolbarAction(w, "Pack")->isEnabled());
    w.BusyMode(QStringLiteral("idle-talk")); // not an operation word: ignored
    QCOMPARE(w.currentOperation(), QStringLiteral("pack"));

    w.NotBusyMode();
    QVERIFY(w.action("FileMnu")->isEnabled());
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(adds, 2);
    QVERIFY(w.action("PackMnu")->isEnabled());
}

void TestMainWindow::toolbarHints()
{
    klivamainfrm& w = make();
    auto* bar = w.findChild<QToolBar*>(QStringLiteral("cToolbar1"));
    const QStringList hints = {"Add file(s)... (multiple selection possible)", "Remove selected file(s).", "Awaiting for job...",
                               "Move selected file(s) up.", "Move selected file(s) down.", "Awaiting for job...",
                               "Pack files...", "Awaiting for job...", "Configure options.", "Awaiting for job...",
                               "Launch help file."};
    const QList<QAction*> actions = bar->actions();
    QCOMPARE(actions.size(), 11);
    for (int pos = 0; pos < actions.size(); ++pos) {
        QWidget* widget = bar->widgetForAction(actions[pos]);
        QVERIFY(widget);
        w.setStatusText(QStringLiteral("something else"));
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(widget, &enter);
        QCOMPARE(w.statusText(), hints[pos]);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
        QCOMPARE(w.statusText(), QStringLiteral("Awaiting for job..."));
    }
    // The pointer over the window's own surface (not a control) shows the idle text.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setStatusText(QStringLiteral("Packing"));
    QWidget* surface = w.centralWidget();
    QTest::mouseMove(surface, QPoint(surface->width() - 3, surface->height() / 2));
    QTRY_COMPARE(w.statusText(), QStringLiteral("Awaiting for job..."));
}

void TestMainWindow::toolbarClicksRunHandlers()
{
    klivamainfrm& w = make();
    int adds = 0, packs = 0;
    w.addHandler = [&] { ++adds; };
    w.packHandler = [&] { ++packs; };
    fill(w, 2, {});
    toolbarAction(w, "Add")->trigger();
    toolbarAction(w, "Pack")->trigger();
    w.cToolbar1_ButtonClick(2);  // separator
    w.cToolbar1_ButtonClick(11); // outside
    QCOMPARE(adds, 1);
    QCOMPARE(packs, 1);
    w.findChild<QAction*>(QStringLiteral("AddPackWhatSelPopupMnu"))->trigger();
    QCOMPARE(adds, 2);
}

void TestMainWindow::viewOpensFirstSelected()
{
    klivamainfrm& w = make();
    fill(w, 3, {2, 3});
    w.ViewMnu_Click();
    QCOMPARE(m_shell->opened(), QStringList{QStringLiteral("/media/clip2.mpg")});
    fill(w, 3, {});
    w.ViewMnu_Click();
    QCOMPARE(m_shell->opened().size(), 1);
    QVERIFY(m_boxes->asked().isEmpty());
    fill(w, 3, {3});
    w.action("PlayMpegMnu")->trigger();
    QCOMPARE(m_shell->opened().last(), QStringLiteral("/media/clip3.mpg"));
}

void TestMainWindow::viewMessages()
{
    klivamainfrm& w = make();
    w.ViewMnu_Click();
    QCOMPARE(m_boxes->asked().size(), 1);
    QCOMPARE(m_boxes->asked()[0].text, QStringLiteral("Nothing to view."));
    QCOMPARE(m_boxes->asked()[0].style, 48);
    QCOMPARE(m_boxes->asked()[0].title, QStringLiteral("Vantu Kliva TARN"));
    QVERIFY(m_shell->opened().isEmpty());
    m_shell->openResult = ShellOpenResult::NotFound;
    fill(w, 1, {1});
    w.ViewMnu_Click();
    QCOMPARE(m_boxes->asked().size(), 2);
    QCOMPARE(m_boxes->asked()[1].text, QStringLiteral("'/media/clip1.mpg' was not found!"));
    QCOMPARE(m_boxes->asked()[1].style, 16);
    // Other failures say nothing.
    m_shell->openResult = ShellOpenResult::Failed;
    w.ShowInShell(QStringLiteral("/x"));
    QCOMPARE(m_boxes->asked().size(), 2);
}

void TestMainWindow::logosFollowNormalDpi_data()
{
    QTest::addColumn<bool>("normalDpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("96 dpi or less") << true << 16;
    QTest::newRow("above 96 dpi") << false << 20;
}

void TestMainWindow::logosFollowNormalDpi()
{
    QFETCH(bool, normalDpi);
    QFETCH(int, pixels);
    klivamainfrm& w = make(values(normalDpi));
    auto* panel3 = w.findChild<QLabel*>(QStringLiteral("StatusBar_Panel3"));
    QCOMPARE(panel3->property("logo").toString(), QStringLiteral("idle"));
    const QImage idle = panel3->pixmap().toImage();
    QCOMPARE(idle.size(), QSize(pixels, pixels)); // device pixels, whatever the scale
    w.HideLogo();
    QCOMPARE(w.panelText(2), QStringLiteral("BUSY"));
    const QImage busy = panel3->pixmap().toImage();
    QCOMPARE(busy.size(), idle.size());
    QVERIFY(busy != idle);
    const char* source = normalDpi ? "BusyIconImg" : "BusyIconImg16";
    QCOMPARE(busy, w.findChild<QLabel*>(QLatin1String(source))->pixmap().toImage());
    w.UnhideLogo();
    QCOMPARE(panel3->pixmap().toImage(), idle);
    QCOMPARE(w.panelText(2), QStringLiteral("IDLE"));
}

void TestMainWindow::errorResumeProgram()
{
    klivamainfrm& w = make();
    w.HideLogo();
    w.BusyMode(QStringLiteral("pack"));
    w.setStatusText(QStringLiteral("Packing 'x'"));
    w.setCursor(Qt::WaitCursor);
    w.ErrorResumeProgram();
    QCOMPARE(w.panelText(1), QStringLiteral("Awaiting for job..."));
    QCOMPARE(w.panelText(2), QStringLiteral("IDLE"));
    QVERIFY(!w.isBusy());
    QVERIFY(w.action("FileMnu")->isEnabled());
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
}

void TestMainWindow::optionItems()
{
    klivamainfrm& w = make();
    QSettings s(m_dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"), QSettings::IniFormat);
    w.action("FastSpeedChk")->trigger();
    QVERIFY(w.action("FastSpeedChk")->isChecked());
    QVERIFY(!w.action("NormalSpeedChk")->isChecked());
    QCOMPARE(w.options().blockSize(), 1000000);
    w.action("NormalSpeedChk")->trigger();
    w.action("NormalSpeedChk")->trigger(); // choosing the checked item keeps it checked
    QVERIFY(w.action("NormalSpeedChk")->isChecked());
    QVERIFY(!w.action("FastSpeedChk")->isChecked());
    QCOMPARE(w.options().blockSize(), 100000);
    w.action("DelNoPromptMnu")->trigger();
    QVERIFY(w.action("DelNoPromptMnu")->isChecked() && !w.action("DelNoMnu")->isChecked());
    s.sync();
    QCOMPARE(s.value("Delact").toString(), QStringLiteral("NoPrompt"));
    w.action("MCheckMnu")->trigger();
    QVERIFY(!w.action("MCheckMnu")->isChecked());
    QVERIFY(!w.options().mpegCheck());
    s.sync();
    QCOMPARE(s.value("MCC").toString(), QStringLiteral("Off"));
    w.action("MCheckMnu")->trigger();
    QVERIFY(w.action("MCheckMnu")->isChecked());
    s.sync();
    QCOMPARE(s.value("MCC").toString(), QStringLiteral("On"));
}

void TestMainWindow::deleteKeyRunsRemoveOnlyWithSelection()
{
    klivamainfrm& w = make();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QSignalSpy removes(w.action("RemoveMnu"), &QAction::triggered);
    fill(w, 3, {});
    w.packListView()->setFocus();
    QTest::keyClick(&w, Qt::Key_Delete);
    QCOMPARE(removes.count(), 0);
    fill(w, 3, {2});
    QTest::keyClick(w.packListView(), Qt::Key_Delete);
    QCOMPARE(removes.count(), 1);
}

void TestMainWindow::rightButtonOpensPopup()
{
    klivamainfrm& w = make();
    fill(w, 2, {});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* popup = w.findChild<QMenu*>(QStringLiteral("PackWhatSelPopupMnu"));
    PackListView* view = w.packListView();
    const QRect row2 = view->visualRect(view->model()->index(1, 0));
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, row2.center());
    QTRY_VERIFY(popup->isVisible());
    popup->close();
    QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, row2.center());
}

void TestMainWindow::layoutAtThisDpi()
{
    klivamainfrm& w = make();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWidget* surface = w.centralWidget();
    // At load the surface has its design size: 6720 + 100 twips wide, 5280 high.
    QCOMPARE(surface->size(), QSize(layout::twipsToPixels(6820, w.dpi()), layout::twipsToPixels(5280, w.dpi())));
    const QRect area = surface->rect();
    auto geo = [&](const char* name) { return w.findChild<QWidget*>(QLatin1String(name))->geometry(); };
    const QRect list = geo("PackList_ListView");
    const QRect band = geo("cReBar1");
    const QRect label = geo("packwhat_lbl");
    QVERIFY(area.contains(list));
    QVERIFY2(band.bottom() < label.top(), "the toolbar band reaches into the caption");
    QVERIFY(label.bottom() < list.top());
    QVERIFY(label.width() >= w.findChild<QLabel*>(QStringLiteral("packwhat_lbl"))->sizeHint().width());
    QVERIFY(w.findChild<QToolBar*>(QStringLiteral("cToolbar1"))->sizeHint().width() <= band.width());
    const char* row[] = {"packlst_SortAsc_cmd", "packlst_SortDes_cmd", "packlst_SelectAll_cmd", "packlst_DeselectAll_cmd",
                         "packlst_InvSel_cmd"};
    for (int i = 0; i < 5; ++i) {
        const QRect b = geo(row[i]);
        QVERIFY2(area.contains(b), row[i]);
        QVERIFY2(b.top() > list.bottom(), row[i]);
        if (i > 0) // neighbours touch at most by the design's 10 twips (one pixel)
            QVERIFY2(geo(row[i - 1]).right() - b.left() <= 1, row[i]);
    }
    // The panels fit the status bar.
    auto* panel1 = w.findChild<QLabel*>(QStringLiteral("StatusBar_Panel1"));
    auto* panel3 = w.findChild<QLabel*>(QStringLiteral("StatusBar_Panel3"));
    QVERIFY(panel3->geometry().right() <= w.statusBar()->width());
    QVERIFY(panel1->width() <= layout::twipsToPixels(w.placement().panel1Width, w.dpi()));
    if (!qEnvironmentVariableIsEmpty("KT_SHOT_DIR")) {
        fill(w, 5, {2, 3});
        w.grab().save(qEnvironmentVariable("KT_SHOT_DIR") + QStringLiteral("/main-%1.png").arg(qRound(w.dpi() * w.devicePixelRatioF())));
    }
}

void TestMainWindow::resizeKeepsEdgesAndFillsLastColumn()
{
    klivamainfrm& w = make();
    fill(w, 4, {});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    PackListView* view = w.packListView();
    const QPoint origin = view->pos();
    const QSize button = w.findChild<QWidget*>(QStringLiteral("packlst_SortAsc_cmd"))->size();
    for (const QSize& s : {QSize(800, 600), QSize(520, 430), QSize(300, 200), QSize(700, 500)}) {
        w.resize(s);
        QCoreApplication::processEvents();
        QCOMPARE(view->pos(), origin);
        QCOMPARE(w.findChild<QWidget*>(QStringLiteral("packlst_SortAsc_cmd"))->size(), button);
        int sum = 0;
        for (int c = 0; c < 3; ++c)
            sum += view->columnWidth(c);
        QVERIFY2(sum >= view->viewport()->width(), qPrintable(QStringLiteral("%1 < %2 at %3x%4").arg(sum).arg(view->viewport()->width()).arg(s.width()).arg(s.height())));
    }
    // The column buttons: max fills, min fits the cells.
    view->setColumnWidth(2, 10);
    w.Command6_Click();
    QVERIFY(view->columnWidth(0) + view->columnWidth(1) + view->columnWidth(2) >= view->viewport()->width());
    // Auto: every column fits cells and header; min: the cells only, so the "Frame
    // Rate" column (cells "25") becomes narrower than its header text.
    w.Command7_Click();
    QVERIFY(view->columnWidth(1) >= view->header()->sectionSizeHint(1));
    QVERIFY(view->columnWidth(2) >= view->header()->sectionSizeHint(2));
    w.Command8_Click();
    QVERIFY(view->columnWidth(2) < view->header()->sectionSizeHint(2));
    QVERIFY(view->columnWidth(0) > view->columnWidth(2)); // paths are longer than "25"
}

void TestMainWindow::firstColumnWidenedByWidthAdjust()
{
    klivamainfrm& plain = make(values(true, 0, 0));
    const int design = plain.packListView()->columnWidth(0);
    m_w.reset();
    klivamainfrm& wide = make(values(true, 2250, 200));
    wide.PackListSetMaxWidth(); // the start-up's second call
    const int expected = design + layout::twipsToPixels(2250, wide.dpi());
    QVERIFY2(qAbs(wide.packListView()->columnWidth(0) - expected) <= 1,
             qPrintable(QStringLiteral("%1 vs %2").arg(wide.packListView()->columnWidth(0)).arg(expected)));
}

void TestMainWindow::preferencesOpenModally()
{
    klivamainfrm& w = make();
    QString seen;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = modal->objectName();
            QVERIFY(!modal->parentWidget()); // no owner window
            static_cast<QDialog*>(modal)->reject();
        }
    });
    w.action("GeneralMnu")->trigger();
    QCOMPARE(seen, QStringLiteral("Preferencesfrm"));
}

void TestMainWindow::closeUnloads()
{
    klivamainfrm& w = make();
    w.show();
    QSignalSpy unloaded(&w, &klivamainfrm::unloaded);
    w.action("ExitMnu")->trigger();
    QCOMPARE(unloaded.count(), 1);
    QVERIFY(!w.isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
