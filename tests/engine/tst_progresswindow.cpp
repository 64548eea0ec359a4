// The progress window: its controls laid out clear of each other, the current-file text,
// what a join's passes make it paint frame by frame, Cancel by every route (a click during
// a copy seen by the next pass), and the window gone even when the join forgets to close it.
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
#include <utility>

using kt::ProgressWindow;

class ProgressWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void layout();
    void fileText_data();
    void fileText();
    void drawsOncePerFrame_data();
    void drawsOncePerFrame();
    void cancelByEveryRoute_data();
    void cancelByEveryRoute();
    void closedWhenTheJoinForgets();
};

void ProgressWindowTest::layout()
{
    ProgressWindow window;
    QVERIFY(window.createProgressBar());
    QList<QWidget*> controls{window.progressBar().ProgBarHwnd()};
    for (const char* name :
         {"TimeRemainingLbl", "percentdone_lbl", "Statusbar_lbl", "Divider_line", "CancelButton"})
        controls << window.findChild<QWidget*>(QLatin1String(name));
    QVERIFY(!controls.contains(nullptr));
    // Inside the window and clear of each other; the bar may touch the time text's last pixel
    // row and stands level with the percentage's box, as designed.
    for (int i = 0; i < controls.size(); ++i) {
        QVERIFY2(window.rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
        for (int j = i ? i + 1 : 3; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName()));
    }
    // "100%" is drawn clear of the bar's end; the longest time text and "Cancel" fit.
    const QRect bar = controls[0]->geometry(), percent = controls[2]->geometry();
    QVERIFY(percent.right() - controls[2]->fontMetrics().horizontalAdvance("100%") > bar.right());
    QVERIFY(controls[1]->fontMetrics().horizontalAdvance("23 hours 59 minutes remaining") <=
            controls[1]->width());
    QVERIFY(controls[5]->fontMetrics().horizontalAdvance("Cancel") + 8 <= controls[5]->width());
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
    window.setProgressBarPos(0); // the pass that draws it
    auto* label = window.findChild<QLabel*>(QStringLiteral("Statusbar_lbl"));
    QCOMPARE(label->text(), text);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->width());
}

namespace {

// A join as the window sees it: `blocks` equal blocks `msPerBlock` apart in `files` files of
// equal size, a pass every `blocksPerPass` blocks and at each file's start and end, and the
// display's frames moving on by `framesPerStep` after every `passesPerStep` passes.
struct JoinPace
{
    int blocks = 0;
    qint64 msPerBlock = 0;
    int blocksPerPass = 1;
    int passesPerStep = 1;
    int framesPerStep = 1;
    int files = 1;
};

// Frames that the test moves on; the next one's signal comes with the next pass, as a
// timer's does.
class ManualFrames final : public kt::FrameClock
{
public:
    qint64 frame() const override { return m_frame; }
    qint64 frameMicroseconds() const override { return 16'667; }
    void requestNextFrame() override { m_requested = true; }
    void advance(int frames)
    {
        m_frame += frames;
        if (std::exchange(m_requested, false))
            QMetaObject::invokeMethod(
                this, [this] { emit nextFrame(); }, Qt::QueuedConnection);
    }

private:
    qint64 m_frame = 0;
    bool m_requested = false;
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

void ProgressWindowTest::drawsOncePerFrame_data()
{
    QTest::addColumn<JoinPace>("pace");
    QTest::newRow("95 blocks a percent, 200 passes a frame") << JoinPace{9438, 3, 1, 200, 1, 3};
    QTest::newRow("95 blocks a percent, a pass a frame") << JoinPace{9438, 3, 95, 1, 1, 3};
    QTest::newRow("a percent a block, three frames a pass") << JoinPace{100, 250, 1, 1, 3, 2};
    QTest::newRow("several percents a block") << JoinPace{7, 4000, 1, 2, 1, 1};
    QTest::newRow("a file a block, 8 passes a frame") << JoinPace{30, 10, 1, 8, 1, 30};
}

void ProgressWindowTest::drawsOncePerFrame()
{
    QFETCH(JoinPace, pace);
    ManualFrames frames;
    ProgressWindow window(nullptr, &frames);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.beginJoin();
    auto* bar = window.progressBar().ProgBarHwnd();
    auto* percent = window.findChild<QLabel*>(QStringLiteral("percentdone_lbl"));
    auto* time = window.findChild<QLabel*>(QStringLiteral("TimeRemainingLbl"));
    auto* file = window.findChild<QLabel*>(QStringLiteral("Statusbar_lbl"));
    QVERIFY(bar && percent && time && file);
    QCoreApplication::processEvents();
    const QList<QWidget*> watched{bar, percent, time, file, &window};
    PaintLog log(watched);

    // The latest values given, and whether the last paints show them.
    int p = 0;
    QString name, estimate;
    auto drawn = [&] {
        return log.of(bar).shown.toInt() == p && log.of(percent).shown.toString() == kt::percentText(p) &&
               log.of(time).shown.toString() == estimate && log.of(file).shown.toString() == name;
    };
    int framesGone = 0, passes = 0;
    // As JoinFiles gives them: the texts of the moment, then the bar with the pass.
    auto pass = [&] {
        window.setPercentText(kt::percentText(p));
        window.setProgressBarPos(p);
        const bool framesFirst = passes % pace.passesPerStep == 0;
        if (++passes % pace.passesPerStep == 0) {
            frames.advance(pace.framesPerStep);
            framesGone += pace.framesPerStep;
        }
        return !framesFirst || drawn(); // a frame's first pass draws the latest values
    };
    const quint64 total = quint64(pace.blocks) * 100'000;
    const int blocksPerFile = pace.blocks / pace.files;
    for (int k = 1; k <= pace.blocks; ++k) {
        if ((k - 1) % blocksPerFile == 0) {
            name = window.packingText(QStringLiteral("/media/clip %1.mpg").arg((k - 1) / blocksPerFile));
            window.showPackingFile(QStringLiteral("/media/clip %1.mpg").arg((k - 1) / blocksPerFile));
            QVERIFY2(pass(), qPrintable(QStringLiteral("file start at block %1").arg(k)));
        }
        p = kt::packPercent(quint64(k) * 100'000, total);
        if (p % 2 == 0) {
            estimate = kt::timeRemainingText(kt::secondsRemaining(p, k * pace.msPerBlock));
            window.setTimeRemainingText(estimate);
        }
        if (k % pace.blocksPerPass == 0 || k % blocksPerFile == 0)
            QVERIFY2(pass(), qPrintable(QStringLiteral("block %1").arg(k)));
    }
    // The join no longer lets events through: the next frame still shows the end.
    frames.advance(1);
    ++framesGone;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(p, 100);
    QVERIFY(drawn());
    for (QWidget* w : watched) // and the first frame's
        QVERIFY2(log.of(w).paints <= framesGone + 1,
                 qPrintable(QStringLiteral("%1 painted %2 times in %3 frames")
                                .arg(w->objectName())
                                .arg(log.of(w).paints)
                                .arg(framesGone + 1)));
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
