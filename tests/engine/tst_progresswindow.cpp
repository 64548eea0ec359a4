// The progress window: its controls laid out clear of each other, the current-file text,
// what a join's blocks make it paint, Cancel by every route (a click during a block seen by
// that block's pass), and the window gone even when the join forgets to close it.
#include "engine/JoinArithmetic.h"
#include "engine/ui/ProgressRun.h"
#include "engine/ui/ProgressWindow.h"

#include <QApplication>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVariant>
#include <algorithm>

using kt::ProgressWindow;

class ProgressWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void layout();
    void fileText_data();
    void fileText();
    void paintsPerVisibleChange_data();
    void paintsPerVisibleChange();
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

namespace {

// A join's blocks as the window sees them: `blocks` equal blocks, `msPerBlock` apart.
struct JoinPace
{
    int blocks = 0;
    qint64 msPerBlock = 0;
};

// What each watched control showed at its last paint, and how often it was painted.
class PaintLog : public QObject
{
public:
    struct Entry
    {
        int paints = 0;
        QVariant shown; // label text or bar value at the last paint
    };
    explicit PaintLog(const QList<QWidget*>& widgets)
    {
        for (QWidget* w : widgets) {
            m_entries[w] = {0, shownBy(w)};
            w->installEventFilter(this);
        }
    }
    Entry of(QWidget* w) const { return m_entries.value(w); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            auto* w = static_cast<QWidget*>(watched);
            m_entries[w] = {m_entries[w].paints + 1, shownBy(w)};
        }
        return false;
    }
    static QVariant shownBy(QWidget* w)
    {
        if (auto* bar = qobject_cast<QProgressBar*>(w))
            return bar->value();
        return qobject_cast<QLabel*>(w) ? QVariant(static_cast<QLabel*>(w)->text()) : QVariant();
    }

private:
    QHash<QWidget*, Entry> m_entries;
};

} // namespace

void ProgressWindowTest::paintsPerVisibleChange_data()
{
    QTest::addColumn<JoinPace>("pace");
    QTest::newRow("95 blocks a percent, estimate moving") << JoinPace{9438, 3};
    QTest::newRow("95 blocks a percent, estimate still") << JoinPace{9438, 0};
    QTest::newRow("a percent a block") << JoinPace{100, 250};
    QTest::newRow("several percents a block") << JoinPace{7, 4000};
}

void ProgressWindowTest::paintsPerVisibleChange()
{
    QFETCH(JoinPace, pace);
    ProgressWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.beginJoin();
    window.setPercentText(kt::percentText(0));
    auto* bar = window.progressBar().ProgBarHwnd();
    auto* percent = window.findChild<QLabel*>(QStringLiteral("percentdone_lbl"));
    auto* time = window.findChild<QLabel*>(QStringLiteral("TimeRemainingLbl"));
    QVERIFY(bar && percent && time);
    QTest::qWait(0);
    QCoreApplication::processEvents();

    const QList<QWidget*> controls{bar, percent, time};
    PaintLog log(controls + QList<QWidget*>{&window});
    // A change repaints its control and at most the controls it overlaps (the design lets
    // the bar touch both labels); the window itself is drawn (and sent to the display) once
    // for each moment something visible changes.
    auto touched = [&](QWidget* w) {
        return 1 + int(std::count_if(controls.begin(), controls.end(), [w](QWidget* other) {
                   return other != w && other->geometry().intersects(w->geometry());
               }));
    };
    int allowed = 0, moments = 0;
    QString percentShown = percent->text(), timeShown = time->text();
    const quint64 total = quint64(pace.blocks) * 100'000;
    // In the join's order: the bar, the estimate at even percentages, the percentage.
    for (int k = 1; k <= pace.blocks; ++k) {
        const int p = kt::packPercent(quint64(k) * 100'000, total);
        window.setProgressBarPos(p);
        // Its pass has drawn the estimate of the last block.
        QCOMPARE(log.of(time).shown.toString(), timeShown);
        bool changed = false;
        if (p % 2 == 0) {
            const QString estimate = kt::timeRemainingText(kt::secondsRemaining(p, k * pace.msPerBlock));
            window.setTimeRemainingText(estimate);
            QCOMPARE(time->text(), estimate);
            if (estimate != timeShown) {
                allowed += touched(time);
                changed = true;
            }
            timeShown = estimate;
        }
        const QString text = kt::percentText(p);
        window.setPercentText(text);
        // At once, the percentage and the bar's position together, and with them the new estimate.
        QCOMPARE(log.of(percent).shown.toString(), text);
        QCOMPARE(log.of(bar).shown.toInt(), p);
        if (text != percentShown) {
            QCOMPARE(log.of(time).shown.toString(), timeShown);
            allowed += touched(bar) + touched(percent);
            changed = true;
        }
        percentShown = text;
        moments += int(changed);
    }
    QCoreApplication::processEvents();
    QCOMPARE(log.of(time).shown.toString(), timeShown);
    const int controlPaints = log.of(bar).paints + log.of(percent).paints + log.of(time).paints;
    QVERIFY2(controlPaints <= allowed,
             qPrintable(QStringLiteral("%1 control paints for %2 blocks, at most %3 expected")
                            .arg(controlPaints)
                            .arg(pace.blocks)
                            .arg(allowed)));
    QVERIFY2(log.of(&window).paints <= moments,
             qPrintable(QStringLiteral("window drawn %1 times for %2 visible changes")
                            .arg(log.of(&window).paints)
                            .arg(moments)));
}

enum class CancelRoute {
    EscapeKey,
    CloseBox,
    ButtonDuringBlock // a click waiting while a block is copied, seen by that block's pass
};

void ProgressWindowTest::cancelByEveryRoute_data()
{
    QTest::addColumn<CancelRoute>("route");
    QTest::newRow("escape") << CancelRoute::EscapeKey;
    QTest::newRow("close box") << CancelRoute::CloseBox;
    QTest::newRow("button during a block") << CancelRoute::ButtonDuringBlock;
}

void ProgressWindowTest::cancelByEveryRoute()
{
    QFETCH(CancelRoute, route);
    ProgressWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.beginJoin();
    auto* button = window.findChild<QPushButton*>(QStringLiteral("CancelButton"));
    QSignalSpy cancelled(&window, &ProgressWindow::cancelPressed);
    for (int time = 0; time < 2; ++time) {
        switch (route) {
        case CancelRoute::EscapeKey:
            QTest::keyClick(&window, Qt::Key_Escape);
            break;
        case CancelRoute::CloseBox:
            window.close();
            break;
        case CancelRoute::ButtonDuringBlock:
            QMetaObject::invokeMethod(
                button, [button] { QTest::mouseClick(button, Qt::LeftButton); }, Qt::QueuedConnection);
            QCOMPARE(window.cancelRequested(), time > 0);
            window.setProgressBarPos(10 + time); // the one pass of the next block
            break;
        }
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
