// The main window, found by its controls' names: options, busy mode, hints, View, focus, the Tip.
#include "../packlist/ListFixture.h"
#include "app/ui/ObjectNames.h"
#include "settings/OptionState.h"

using namespace kt;

static const QString kIdle = QStringLiteral("Awaiting for job...");

class TestMainWindow : public QObject, test::WindowFixture
{
    Q_OBJECT
private slots:
    void init()
    {
        QFile::remove(storeFile());
        QSettings(storeFile(), QSettings::IniFormat).setValue("ShowTod", "0"); // no Tip unless asked
    }

    void startOptionsToolbarAndLogos()
    {
        using namespace objectNames;
        MainWindow& w = window(false);
        QCOMPARE(w.windowTitle(), QStringLiteral("Vantu Kliva TARN v2.5.0"));
        QCOMPARE((QStringList{w.panelText(1), w.panelText(2)}), (QStringList{kIdle, "IDLE"}));
        auto checked = [&w] {
            QStringList on;
            for (const QAction* item : w.findChildren<QAction*>())
                if (item->isChecked())
                    on << item->objectName();
            return on;
        };
        // As the restore step left them, then one item per group as the user chooses.
        QCOMPARE(checked(), (QStringList{OverwritePromptMnu, NormalSpeedChk, DelNoMnu, MCheckMnu}));
        w.action(FastSpeedChk)->trigger();
        QCOMPARE(w.options().packOptions().block.blockSize, 1000000); // what the next pack reads
        // Choosing the checked item keeps it checked.
        for (const char* item : {NormalSpeedChk, NormalSpeedChk, DelNoPromptMnu, MCheckMnu, SeamlessMnu})
            w.action(item)->trigger();
        QCOMPARE(checked(), (QStringList{OverwritePromptMnu, NormalSpeedChk, DelNoPromptMnu, SeamlessMnu}));
        QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).value("MCC").toString(), QStringLiteral("Off"));
        QVERIFY(w.options().packOptions().seamless);
        // The toolbar's hints, the separators' the idle text.
        QStringList hints;
        for (QAction* item : w.findChild<QToolBar*>("cToolbar1")->actions()) {
            QWidget* widget = w.findChild<QToolBar*>("cToolbar1")->widgetForAction(item);
            w.setStatusText(QStringLiteral("something else"));
            QEvent enter(QEvent::Enter), leave(QEvent::Leave);
            QCoreApplication::sendEvent(widget, &enter);
            hints << (w.statusText() == kIdle ? "" : w.statusText());
            QCoreApplication::sendEvent(widget, &leave);
            QCOMPARE(w.statusText(), kIdle);
        }
        QCOMPARE(hints.join('|'),
                 "Add file(s)... (multiple selection possible)|Remove selected file(s).||Move "
                 "selected file(s) up.|Move selected file(s) down.||Pack files...||Configure "
                 "options.||Launch help file.");
        // The pointer over the window's own surface shows the idle text.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setStatusText("Packing");
        QWidget* surface = w.centralWidget();
        QTest::mouseMove(surface, QPoint(surface->width() - 3, surface->height() / 2));
        QTRY_COMPARE(w.statusText(), kIdle);
        // 16 x 16 at 96 dpi or less, 20 x 20 above; busy shows the matching busy picture.
        for (const bool normalDpi : {true, false}) {
            MainWindow& dw = window(false, normalDpi);
            auto panel3 = [&dw] { return dw.findChild<QLabel*>("StatusBar_Panel3")->pixmap().toImage(); };
            const QImage idle = panel3();
            QCOMPARE(idle.size(), normalDpi ? QSize(16, 16) : QSize(20, 20));
            dw.HideLogo();
            QCOMPARE(dw.panelText(2), QStringLiteral("BUSY"));
            QCOMPARE(panel3(),
                     dw.findChild<QLabel*>(normalDpi ? "BusyIconImg" : "BusyIconImg16")->pixmap().toImage());
            QVERIFY(panel3() != idle);
            dw.UnhideLogo();
            QCOMPARE(panel3(), idle);
        }
        // On XP the logos come from Busy.ir and Idle.ir beside the program: missing, each is said.
        MainWindow& xp = window(false, true, true);
        QVERIFY(m_boxes->asked().size() == 2 && xp.panelText(2) == "IDLE" &&
                !xp.findChild<QLabel*>("StatusBar_Panel3")->pixmap().isNull());
    }
    // Shown unless ShowTod is "0", once the main window is on screen: centred, with the focus.
    void tipOfTheDayAtStart()
    {
        for (const QVariant& showTod : {QVariant(), QVariant("no"), QVariant("0")}) {
            QSettings(storeFile(), QSettings::IniFormat).setValue("ShowTod", showTod);
            MainWindow& w = window(false);
            auto tip = [&w] { return w.findChild<QWidget*>("Tipfrm"); };
            QVERIFY2(!tip(), "opened before the main window was shown");
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCoreApplication::processEvents();
            QTRY_COMPARE(bool(tip()), showTod != QVariant("0"));
            if (!tip())
                continue;
            const QPoint off = tip()->frameGeometry().center() - w.frameGeometry().center();
            QVERIFY2(qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2, "not centred over the main window");
            QTRY_COMPARE(QApplication::activeWindow(), tip());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QTRY_VERIFY(!tip());
            QVERIFY(w.isVisible());
        }
    }
    // No key acts in busy mode, and a refresh during the pack does not reopen the commands.
    void keysUnlessBusy()
    {
        MainWindow& w = window();
        fill(3, {2});
        int handled = 0;
        w.addHandler = w.packHandler = [&] { ++handled; };
        QSignalSpy exits(w.action("ExitMnu"), &QAction::triggered);
        w.HideLogo();
        w.BusyMode(QStringLiteral("pack"));
        for (auto key : {Qt::Key_D, Qt::Key_P, Qt::Key_Q, Qt::Key_A, Qt::Key_G, Qt::Key_U})
            QTest::keyClick(&w, key, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_Delete);
        QCOMPARE(w.packList().paths() << QString::number(w.packList().selectedCount())
                                      << QString::number(handled + exits.count()),
                 (QStringList{"/v/1", "/v/2", "/v/3", "1", "0"}));
        w.RefreshPackListCommands();
        QVERIFY(!w.action("PackMnu")->isEnabled() && w.action("OptionMnu")->isEnabled());
    }
    // View opens the first selected row, or says why not; a click refreshes, a double-click removes.
    void viewAndMouseOnList()
    {
        MainWindow& w = window();
        w.ViewMnu_Click(); // nothing selected
        fill(3, {2, 3});
        w.ViewMnu_Click(); // the first selected
        fill(3, {3});
        w.action("PlayMpegMnu")->trigger();
        m_shell->openResult = ShellOpenResult::NotFound;
        w.ViewMnu_Click();
        m_shell->openResult = ShellOpenResult::Failed; // nothing can open it: said so
        w.ShowInShell(QStringLiteral("/x"));
        QCOMPARE(m_shell->opened(), (QStringList{"/v/2", "/v/3", "/v/3", "/x"}));
        QStringList said; // with their styles
        for (const test::AskedMessage& m : m_boxes->asked())
            said << QString::number(m.style) + ' ' + m.text;
        QCOMPARE(said, (QStringList{"48 Nothing to view.", "16 '/v/3' was not found!",
                                    "48 " + noProgramToOpenText("/x")}));
        fill(3, {});
        const QPoint row2 = view()->visualRect(index(2)).center();
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, row2);
        QVERIFY(w.action("ViewMnu")->isEnabled());                        // the click refreshed the commands
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, row2); // removes the row
        QCOMPARE(w.packList().paths() << QString::number(view()->model()->rowCount()),
                 (QStringList{"/v/1", "/v/3", "2"}));
        QSignalSpy unloaded(&w, &MainWindow::unloaded);
        w.action("ExitMnu")->trigger();
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!w.isVisible());
    }
    // The move buttons join the Tab chain only once on screen (at the design width they are not);
    // the file being packed is shortened to fit the status bar: the start of its folder, its name.
    void wideAndNarrowWindows()
    {
        for (const auto& [extraTwips, wide] : {std::pair{0, false}, {6000, true}}) {
            MainWindow& w = window();
            fill(3, {2});
            const int width = w.width() + layout::twipsToPixels(extraTwips, w.dpi());
            w.resize(width, w.height());
            const QLabel *panel = w.findChild<QLabel*>("StatusBar_Panel1"),
                         *last = w.findChild<QLabel*>("StatusBar_Panel3");
            QTRY_VERIFY(last->geometry().right() > width - 2 * last->width()); // the panels laid out anew
            QCOMPARE(w.centralWidget()->rect().intersects(w.findChild<QWidget*>("selposup_cmd")->geometry()),
                     wide);
            view()->setFocus();
            QSet<QString> reached;
            for (int i = 0; i < 40 && (i == 0 || QApplication::focusWidget() != view()); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget* f = QApplication::focusWidget();
                QVERIFY2(f && f->isVisible(), qPrintable(f ? f->objectName() : QString()));
                reached << f->objectName();
            }
            QCOMPARE((QList<bool>{reached.contains("selposup_cmd"), reached.contains("selposdown_cmd"),
                                  reached.contains("packlst_SortAsc_cmd")}),
                     (QList<bool>{wide, wide, true}));
            const QString path = "/srv/media/archive/" + QString(40, 'x') + "/clip number one.mpg";
            w.showFileInStatus(path, [](const QString& shown) { return "Packing '" + shown + "'"; });
            const QString text = w.panelText(1);
            QCOMPARE(text == "Packing '" + path + "'", wide);
            QVERIFY(text.startsWith("Packing '/srv/") &&
                    text.endsWith(wide ? "" : ".../clip number one.mpg'"));
            QVERIFY(panel->fontMetrics().horizontalAdvance(text) < panel->contentsRect().width());
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
