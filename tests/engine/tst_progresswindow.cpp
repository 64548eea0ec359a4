// The progress window: its controls laid out clear of each other, the current-file text,
// Cancel by every route, and the window gone even when the join forgets to close it.
#include "engine/ui/ProgressRun.h"
#include "engine/ui/ProgressWindow.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

using kt::ProgressWindow;

class ProgressWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void layout();
    void fileText_data();
    void fileText();
    void cancelByEveryRoute_data();
    void cancelByEveryRoute();
    void closedWhenTheJoinForgets();
};

void ProgressWindowTest::layout()
{
    ProgressWindow window;
    QVERIFY(window.createProgressBar());
    QWidget* barWidget = window.progressBar().ProgBarHwnd();
    QList<QWidget*> controls;
    for (const char* name :
         {"TimeRemainingLbl", "percentdone_lbl", "Statusbar_lbl", "Divider_line", "CancelButton"})
        controls << window.findChild<QWidget*>(QLatin1String(name));
    QVERIFY(!controls.contains(nullptr));
    for (int i = 0; i < controls.size(); ++i) {
        QVERIFY2(window.rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName()));
    }
    // The bar may touch the time text's last pixel row, as designed, so it is checked apart.
    const QRect bar = barWidget->geometry(), time = controls[0]->geometry(),
                percent = controls[1]->geometry(), file = controls[2]->geometry(),
                divider = controls[3]->geometry(), cancel = controls[4]->geometry();
    // Top to bottom: time, bar level with the percentage, file, divider, Cancel.
    QVERIFY(window.rect().contains(bar) && time.top() < bar.top() && bar.top() <= percent.bottom() &&
            percent.top() <= bar.bottom());
    QVERIFY(bar.bottom() < file.top() && file.bottom() < divider.top() && divider.bottom() < cancel.top());
    // "100%" is drawn clear of the bar's end; the longest time text and "Cancel" fit.
    QVERIFY(percent.right() - controls[1]->fontMetrics().horizontalAdvance("100%") > bar.right());
    QVERIFY(controls[0]->fontMetrics().horizontalAdvance("23 hours 59 minutes remaining") <= time.width());
    QVERIFY(controls[4]->fontMetrics().horizontalAdvance("Cancel") + 8 <= cancel.width());
}

void ProgressWindowTest::fileText_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("short") << QStringLiteral("/tmp/a.mpg") << false;
    QTest::newRow("long") << "/srv/media/archive/" + QString(60, 'x') + "/clip number one.mpg" << true;
    QTest::newRow("markup-like") << QStringLiteral("/tmp/<b>&amp;.mpg") << false;
}

void ProgressWindowTest::fileText()
{
    QFETCH(QString, path);
    QFETCH(bool, shortened);
    ProgressWindow window;
    const QString text = window.packingText(path);
    QVERIFY(text.startsWith("Packing '") && text.endsWith('\''));
    const QString shown = text.mid(9, text.size() - 10);
    QCOMPARE(shown != path, shortened);
    QVERIFY(window.measureTwips(shown) <= ProgressWindow::kFileTextTwips);
    if (shortened)
        QVERIFY(shown.endsWith("clip number one.mpg") && path.startsWith(shown.left(10)));
    window.showPackingFile(path);
    auto* label = window.findChild<QLabel*>(QStringLiteral("Statusbar_lbl"));
    QCOMPARE(label->text(), text);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->width());
}

void ProgressWindowTest::cancelByEveryRoute_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("escape") << "escape";
    QTest::newRow("close box") << "close";
}

void ProgressWindowTest::cancelByEveryRoute()
{
    QFETCH(QString, route);
    ProgressWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy cancelled(&window, &ProgressWindow::cancelPressed);
    for (int time = 0; time < 2; ++time) {
        if (route == "escape") // the button itself is pressed in tst_packfromwindow
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
        // Said once; the window stays until the join has stopped and closes it.
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(window.cancelRequested() && window.isVisible());
    }
}

void ProgressWindowTest::closedWhenTheJoinForgets()
{
    // (A whole join through the window is run in tst_packfromwindow.)
    QWidget owner;
    owner.show();
    int runs = 0;
    kt::runJoinInProgressWindow(&owner, [&](kt::ProgressView& view) {
        ++runs;
        QVERIFY(QApplication::activeModalWidget() == dynamic_cast<QWidget*>(&view));
        view.beginJoin();
        view.setProgressBarPos(50);
    });
    QCOMPARE(runs, 1);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(owner.findChildren<ProgressWindow*>().isEmpty());
}

QTEST_MAIN(ProgressWindowTest)
#include "tst_progresswindow.moc"
