// The progress window: layout at the running resolution, the current-file text, Cancel
// by every route, the start announcement, cursors.
#include "engine/ui/ProgressRun.h"
#include "engine/ui/ProgressWindow.h"
#include "engine/ui/Twips.h"

#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using kt::ProgressWindow;

namespace {

// A click that waits in the event queue, as one made while the join copies a block.
void postClick(QWidget* button)
{
    const QPointF at = QRectF(button->rect()).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            button, new QMouseEvent(type, at, button->mapToGlobal(at), Qt::LeftButton,
                                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                    Qt::NoModifier));
}

QWidget* child(QWidget& window, const char* name)
{
    auto* widget = window.findChild<QWidget*>(QLatin1String(name));
    if (!widget)
        qWarning("no child %s", name);
    return widget;
}

} // namespace

class ProgressWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void layout();
    void barLevelWithPercentage();
    void fileText_data();
    void fileText();
    void percentAndTime();
    void cancelByEveryRoute_data();
    void cancelByEveryRoute();
    void finishCloses();
    void startedOnceOnFirstShow();
    void cursors();
    void beginJoin();
    void joinRunsInsideTheModalWindow();
    void cancelSeenWithinOneBlock();
    void windowClosedWhenTheJoinForgets();
};

void ProgressWindowTest::layout()
{
    ProgressWindow window;
    const double dx = window.dpiX(), dy = window.dpiY();
    QCOMPARE(window.objectName(), QStringLiteral("progressfrm"));
    QCOMPARE(window.size(), QSize(kt::twipsToPixels(5895, dx), kt::twipsToPixels(1710, dy)));

    auto* cancel = qobject_cast<QPushButton*>(child(window, "CancelButton"));
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QCOMPARE(cancel->geometry(), QRect(kt::twipsToPixels(2520, dx), kt::twipsToPixels(1225, dy),
                                       kt::twipsToPixels(1095, dx), kt::twipsToPixels(375, dy)));
    QVERIFY(cancel->fontMetrics().horizontalAdvance(cancel->text()) + 8 <= cancel->width());

    QWidget* time = child(window, "TimeRemainingLbl");
    QWidget* percent = child(window, "percentdone_lbl");
    QWidget* file = child(window, "Statusbar_lbl");
    auto* divider = window.findChild<QFrame*>(QStringLiteral("Divider_line"));
    QVERIFY(time && percent && file && divider);
    QCOMPARE(divider->frameShape(), QFrame::HLine);

    // Every control inside the window, none overlapping another.
    const QList<QWidget*> controls{time, percent, file, divider, cancel};
    for (QWidget* control : controls)
        QVERIFY2(window.rect().contains(control->geometry()), qPrintable(control->objectName()));
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName()));
    // Top to bottom: time, file, divider, Cancel.
    QVERIFY(time->geometry().bottom() < file->geometry().top());
    QVERIFY(file->geometry().bottom() < divider->geometry().top());
    QVERIFY(divider->geometry().bottom() < cancel->geometry().top());

    // Arial or its metric twin, in every label.
    for (QWidget* label : {time, percent, file}) {
        const QString family = QFontInfo(label->font()).family();
        QVERIFY2(family.contains("Arial") || family.contains("Liberation Sans") ||
                     family.contains("Nimbus Sans") || family.contains("Helvetica"),
                 qPrintable(family));
    }
    // Nothing to show before the join starts.
    QVERIFY(time->isHidden());
    QVERIFY(percent->isHidden());
    QVERIFY(!window.progressBar().ProgBarHwnd());

    if (const QByteArray dir = qgetenv("KT_SCREENSHOT_DIR"); !dir.isEmpty()) {
        window.createProgressBar();
        window.progressBar().SetProgBarPos(62);
        window.setPercentText("62%");
        window.setTimeRemainingText(QStringLiteral("2 minutes 1 second remaining"));
        window.showPackingFile(QStringLiteral("/home/someone/Videos/holiday 2026/second week/"
                                              "the long walk to the lighthouse, part three.mpg"));
        window.show();
        const QString path =
            QString::fromLocal8Bit(dir) + QStringLiteral("/progressfrm-%1dpi.png").arg(qRound(dy));
        QVERIFY(window.grab().save(path));
    }
}

void ProgressWindowTest::barLevelWithPercentage()
{
    ProgressWindow window;
    QVERIFY(window.createProgressBar());
    QProgressBar* bar = window.progressBar().ProgBarHwnd();
    QVERIFY(bar);
    QCOMPARE(bar->parentWidget(), &window);
    QCOMPARE(bar->x(), 15);
    QCOMPARE(bar->size(), QSize(340, 15));
    QVERIFY(bar->property("smooth").toBool());
    QCOMPARE(bar->orientation(), Qt::Horizontal);
    const QRect percent = child(window, "percentdone_lbl")->geometry();
    const QRect file = child(window, "Statusbar_lbl")->geometry();
    // Level with the percentage (their rows overlap), above the file text.
    QVERIFY(bar->geometry().top() <= percent.bottom() && percent.top() <= bar->geometry().bottom());
    QVERIFY(bar->geometry().bottom() < file.top());
    // "100%" is drawn clear of the bar's end.
    const QFontMetrics metrics(child(window, "percentdone_lbl")->font());
    QVERIFY(percent.right() - metrics.horizontalAdvance(QStringLiteral("100%")) > bar->geometry().right());
}

void ProgressWindowTest::fileText_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("short") << QStringLiteral("/tmp/a.mpg") << false;
    QTest::newRow("long") << QStringLiteral("/srv/media/archive/") + QString(60, 'x') +
                                 QStringLiteral("/clip number one.mpg")
                          << true;
    QTest::newRow("markup-like") << QStringLiteral("/tmp/<b>&amp;.mpg") << false;
}

void ProgressWindowTest::fileText()
{
    QFETCH(QString, path);
    QFETCH(bool, shortened);
    ProgressWindow window;
    const QString text = window.packingText(path);
    QVERIFY(text.startsWith(QStringLiteral("Packing '")));
    QVERIFY(text.endsWith(QLatin1Char('\'')));
    const QString shown = text.mid(9, text.size() - 10);
    QCOMPARE(shown != path, shortened);
    QVERIFY(window.measureTwips(shown) <= ProgressWindow::kFileTextTwips);
    if (shortened) {
        QVERIFY(shown.endsWith(QStringLiteral("clip number one.mpg")));
        QVERIFY(path.startsWith(shown.left(10)));
    }
    // The whole text fits the label it is shown in, as plain text.
    window.showPackingFile(path);
    auto* label = window.findChild<QLabel*>(QStringLiteral("Statusbar_lbl"));
    QCOMPARE(label->text(), text);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(text) <= label->width());
}

void ProgressWindowTest::percentAndTime()
{
    ProgressWindow window;
    auto* percent = window.findChild<QLabel*>(QStringLiteral("percentdone_lbl"));
    auto* time = window.findChild<QLabel*>(QStringLiteral("TimeRemainingLbl"));
    window.setPercentText(QStringLiteral("0%"));
    QCOMPARE(percent->text(), QStringLiteral("0%"));
    QVERIFY(!percent->isHidden());
    window.setPercentText(QStringLiteral("100%"));
    QCOMPARE(percent->text(), QStringLiteral("100%"));
    window.setPercentText(QString());
    QCOMPARE(percent->text(), QString());
    QVERIFY(percent->isHidden());
    window.setTimeRemainingText(QStringLiteral("6 minutes 20 seconds remaining"));
    QCOMPARE(time->text(), QStringLiteral("6 minutes 20 seconds remaining"));
    QVERIFY(!time->isHidden());
    QVERIFY(QFontMetrics(time->font()).horizontalAdvance(QStringLiteral("23 hours 59 minutes remaining")) <=
            time->width());
}

void ProgressWindowTest::cancelByEveryRoute_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("button") << "button";
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
    auto act = [&] {
        if (route == "button")
            QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
        else if (route == "escape")
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
    };
    act();
    QCOMPARE(cancelled.count(), 1);
    QVERIFY(window.cancelRequested());
    // The window stays until the join has stopped and says so.
    QVERIFY(window.isVisible());
    act();
    QCOMPARE(cancelled.count(), 1);
}

void ProgressWindowTest::finishCloses()
{
    ProgressWindow window;
    QSignalSpy finished(&window, &QDialog::finished);
    window.show();
    window.setBusyCursor(true);
    window.finish();
    QVERIFY(!window.isVisible());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Accepted));
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
}

void ProgressWindowTest::startedOnceOnFirstShow()
{
    ProgressWindow window;
    QSignalSpy started(&window, &ProgressWindow::started);
    QVERIFY(QTest::qWaitFor([] { return true; }, 1));
    QCOMPARE(started.count(), 0);
    window.show();
    QCOMPARE(started.count(), 0); // not from inside show(): the window paints first
    QTRY_COMPARE(started.count(), 1);
    window.hide();
    window.show();
    QTest::qWait(20);
    QCOMPARE(started.count(), 1);
}

void ProgressWindowTest::cursors()
{
    ProgressWindow window;
    auto* cancel = window.findChild<QPushButton*>(QStringLiteral("CancelButton"));
    auto* file = window.findChild<QWidget*>(QStringLiteral("Statusbar_lbl"));
    window.setBusyCursor(true);
    QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
    QCOMPARE(file->cursor().shape(), Qt::WaitCursor);
    QCOMPARE(cancel->cursor().shape(), Qt::ArrowCursor);
    window.setBusyCursor(false);
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(cancel->cursor().shape(), Qt::ArrowCursor);
}

void ProgressWindowTest::beginJoin()
{
    ProgressWindow window;
    kt::ProgressView& view = window;
    view.beginJoin();
    QProgressBar* bar = window.progressBar().ProgBarHwnd();
    QVERIFY(bar);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
    QVERIFY(!window.findChild<QWidget*>(QStringLiteral("TimeRemainingLbl"))->isHidden());
    view.setProgressBarPos(42);
    QCOMPARE(bar->value(), 42);
    QSignalSpy destroyed(bar, &QObject::destroyed);
    view.destroyProgressBar();
    QCOMPARE(destroyed.count(), 1);
    view.destroyProgressBar();
    view.setProgressBarPos(50); // no bar left: nothing to move
}

void ProgressWindowTest::joinRunsInsideTheModalWindow()
{
    QWidget owner;
    owner.show();
    bool shownAndModal = false;
    QList<int> positions;
    kt::runJoinInProgressWindow(&owner, [&](kt::ProgressView& view) {
        auto& window = dynamic_cast<ProgressWindow&>(view);
        shownAndModal = window.isVisible() && window.parentWidget() == &owner &&
                        QApplication::activeModalWidget() == &window;
        view.beginJoin();
        for (int percent : {0, 50, 100}) {
            view.setProgressBarPos(percent);
            positions << window.progressBar().ProgBarHwnd()->value();
        }
        view.destroyProgressBar();
        view.closeWindow();
    });
    QVERIFY(shownAndModal);
    QCOMPARE(positions, (QList<int>{0, 50, 100}));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(owner.findChildren<ProgressWindow*>().isEmpty()); // gone with the run
}

void ProgressWindowTest::cancelSeenWithinOneBlock()
{
    QWidget owner;
    int blocks = 0;
    bool cancelledBeforeYield = true;
    kt::runJoinInProgressWindow(&owner, [&](kt::ProgressView& view) {
        auto& window = dynamic_cast<ProgressWindow&>(view);
        view.beginJoin();
        for (int block = 0; block < 1000; ++block) {
            if (block == 0) // the user presses Cancel while the first block is copied
                postClick(window.findChild<QPushButton*>(QStringLiteral("CancelButton")));
            ++blocks;
            cancelledBeforeYield = view.cancelRequested();
            view.setProgressBarPos(block / 10);
            if (view.cancelRequested()) {
                view.destroyProgressBar();
                view.closeWindow();
                return;
            }
        }
        view.closeWindow();
    });
    QVERIFY(!cancelledBeforeYield);
    QCOMPARE(blocks, 1);
    QVERIFY(!QApplication::activeModalWidget());
}

void ProgressWindowTest::windowClosedWhenTheJoinForgets()
{
    QWidget owner;
    bool joined = false;
    kt::runJoinInProgressWindow(&owner, [&](kt::ProgressView& view) {
        view.beginJoin();
        joined = true;
    });
    QVERIFY(joined);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(ProgressWindowTest)
#include "tst_progresswindow.moc"
