// The progress window: its layout, the file text, its paints frame by frame, Cancel, its end after a join.
#include "engine/JoinArithmetic.h"
#include "engine/ui/ProgressRun.h"
#include "engine/ui/ProgressWindow.h"

#include <QtTest>
#include <QtWidgets>

using kt::ProgressWindow;

namespace {

// A join as the window sees it: `blocks` blocks `msPerBlock` apart in `files` equal files, a pass every
// `blocksPerPass` blocks and at each file's ends, frames on by `framesPerStep` every `passesPerStep` passes.
struct JoinPace
{
    int blocks, msPerBlock, blocksPerPass, passesPerStep, framesPerStep, files;
};

// Frames that the test moves on; the next one's signal comes with the next pass, as a timer's does.
struct ManualFrames final : kt::FrameClock
{
    qint64 now = 0;
    bool requested = false;
    qint64 frame() const override { return now; }
    qint64 frameMicroseconds() const override { return 16'667; }
    void requestNextFrame() override { requested = true; }
    void advance(int frames)
    {
        now += frames;
        if (std::exchange(requested, false))
            QMetaObject::invokeMethod(this, &FrameClock::nextFrame, Qt::QueuedConnection);
    }
};

// How often each watched control was painted, and what it showed (text or bar value) at its last paint.
struct PaintLog : QObject
{
    QHash<QWidget*, int> paints;
    QHash<QWidget*, QVariant> shown;
    static QVariant seen(QWidget* w) { return w->property(w->inherits("QProgressBar") ? "value" : "text"); }
    explicit PaintLog(const QList<QWidget*>& widgets)
    {
        for (QWidget* w : widgets)
            shown[w] = seen(w), w->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* w = static_cast<QWidget*>(watched); event->type() == QEvent::Paint)
            ++paints[w], shown[w] = seen(w);
        return false;
    }
};

} // namespace

class ProgressWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void layoutAndFileText()
    {
        ProgressWindow window;
        QVERIFY(window.createProgressBar());
        QList<QWidget*> controls{window.progressBar().ProgBarHwnd()};
        for (const char* name :
             {"TimeRemainingLbl", "percentdone_lbl", "Statusbar_lbl", "Divider_line", "CancelButton"})
            controls << window.findChild<QWidget*>(QLatin1String(name));
        QVERIFY(!controls.contains(nullptr));
        // Inside the window and clear of each other but the bar, level with the time and percent texts.
        for (int i = 0; i < controls.size(); ++i) {
            QVERIFY2(window.rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
            for (int j = i ? i + 1 : 3; j < controls.size(); ++j)
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName()));
        }
        // "100%" is drawn clear of the bar's end; the longest time text and "Cancel" fit.
        const auto width = [&](int i, const char* t) {
            return controls[i]->fontMetrics().horizontalAdvance(t);
        };
        QVERIFY(controls[2]->geometry().right() - width(2, "100%") > controls[0]->geometry().right() &&
                width(1, "23 hours 59 minutes remaining") <= controls[1]->width() &&
                width(5, "Cancel") + 8 <= controls[5]->width());

        // The file's path, cut short to fit, shown as plain text.
        for (const QString& path : {QStringLiteral("/tmp/<b>&amp;.mpg"),
                                    "/srv/media/archive/" + QString(60, 'x') + "/clip number one.mpg"}) {
            ProgressWindow window;
            window.showPackingFile(path);
            window.setProgressBarPos(0); // the pass that draws it
            auto* label = window.findChild<QLabel*>(QStringLiteral("Statusbar_lbl"));
            const QString shown = label->text().mid(9).chopped(1);
            QCOMPARE((std::pair{label->text(), label->textFormat()}),
                     (std::pair{"Packing '" + shown + "'", Qt::PlainText}));
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
            QVERIFY(shown == path ? path.size() < 40
                                  : shown.endsWith("clip number one.mpg") && path.startsWith(shown.left(10)));
        }
    }

    void drawsOncePerFrame_data()
    {
        QTest::addColumn<JoinPace>("pace");
        QTest::newRow("95 blocks a percent, 200 passes a frame") << JoinPace{9438, 3, 1, 200, 1, 3};
        QTest::newRow("95 blocks a percent, a pass a frame") << JoinPace{9438, 3, 95, 1, 1, 3};
        QTest::newRow("a percent a block, three frames a pass") << JoinPace{100, 250, 1, 1, 3, 2};
        QTest::newRow("several percents a block") << JoinPace{7, 4000, 1, 2, 1, 1};
        QTest::newRow("a file a block, 8 passes a frame") << JoinPace{30, 10, 1, 8, 1, 30};
    }
    void drawsOncePerFrame()
    {
        QFETCH(JoinPace, pace);
        ManualFrames frames;
        ProgressWindow window(nullptr, &frames);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.beginJoin();
        QList<QWidget*> watched{window.progressBar().ProgBarHwnd(), &window};
        for (const char* name : {"percentdone_lbl", "TimeRemainingLbl", "Statusbar_lbl"})
            watched << window.findChild<QLabel*>(QLatin1String(name));
        QVERIFY(!watched.contains(nullptr));
        QCoreApplication::processEvents();
        PaintLog log(watched);

        // The latest values given, and whether the last paints show them.
        int p = 0, passes = 0;
        QString name, estimate;
        auto drawn = [&] {
            return log.shown[watched[0]] == p && log.shown[watched[2]] == kt::percentText(p) &&
                   log.shown[watched[3]] == estimate && log.shown[watched[4]] == name;
        };
        // As JoinFiles gives them: the texts of the moment, then the bar with the pass.
        auto pass = [&] {
            window.setPercentText(kt::percentText(p));
            window.setProgressBarPos(p);
            const bool framesFirst = passes % pace.passesPerStep == 0;
            if (++passes % pace.passesPerStep == 0)
                frames.advance(pace.framesPerStep);
            return !framesFirst || drawn(); // a frame's first pass draws the latest values
        };
        const int blocksPerFile = pace.blocks / pace.files;
        for (int k = 1; k <= pace.blocks; ++k) {
            if ((k - 1) % blocksPerFile == 0) {
                const QString path = QStringLiteral("/media/clip %1.mpg").arg((k - 1) / blocksPerFile);
                name = window.packingText(path);
                window.showPackingFile(path);
                QVERIFY2(pass(), qPrintable(QStringLiteral("file start at block %1").arg(k)));
            }
            p = kt::packPercent(quint64(k) * 100'000, quint64(pace.blocks) * 100'000);
            if (p % 2 == 0)
                window.setTimeRemainingText(
                    estimate = kt::timeRemainingText(kt::secondsRemaining(p, k * pace.msPerBlock)));
            if (k % pace.blocksPerPass == 0 || k % blocksPerFile == 0)
                QVERIFY2(pass(), qPrintable(QStringLiteral("block %1").arg(k)));
        }
        // The join no longer lets events through: the next frame still shows the end.
        frames.advance(1);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(p == 100 && drawn());
        for (QWidget* w : watched) // and the first frame's
            QVERIFY2(log.paints[w] <= frames.now + 1, qPrintable(w->objectName()));
    }

    // Escape and the close box (the button: tst_packfromwindow) said once; the window gone after the join.
    void cancelAndClose()
    {
        QWidget owner;
        owner.show();
        for (const bool escape : {true, false}) {
            int runs = 0;
            kt::runJoinInProgressWindow(&owner, [&](kt::ProgressView& view) {
                ++runs;
                auto* window = dynamic_cast<ProgressWindow*>(&view);
                QVERIFY(window && QApplication::activeModalWidget() == window);
                view.beginJoin();
                QSignalSpy cancelled(window, &ProgressWindow::cancelPressed);
                for (int time = 0; time < 2; ++time) {
                    if (escape)
                        QTest::keyClick(window, Qt::Key_Escape);
                    else
                        window->close();
                    QCOMPARE(cancelled.count(), 1);
                    QVERIFY(window->cancelRequested() && window->isVisible());
                }
            });
            QCOMPARE(runs, 1);
            QVERIFY(!QApplication::activeModalWidget() && owner.findChildren<ProgressWindow*>().isEmpty());
        }
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "tst_progresswindow.moc"
