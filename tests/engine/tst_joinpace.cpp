// The join at the screen's pace: copies that span many blocks, each block counted (the bar,
// the percentage and the estimate as the last of them would have left them), passes at each
// file's start and end and at least once a frame, and Cancel keeping every block counted.
#include "../support/Rows.h"
#include "FakePackHost.h"
#include "engine/JoinArithmetic.h"
#include "engine/JoinFiles.h"

#include <QtTest>

using namespace kt;
using namespace kt::test;

namespace {

const qint64 kFrame = ProgressView::kDefaultFrameMicroseconds;

// Joins that copy several blocks at once: the clock moves `step` microseconds at every
// reading; the Cancel click comes in a pass.
struct Spans
{
    TransferRate rate;
    QList<qint64> sizes;
    qint64 step;
    int cancelAtBar;    // 0: none
    QList<int> bars;    // the bar at each pass, empty: not checked
    qint64 written = 0; // when cancelled
};

struct Crossing
{
    quint64 packed, blocks, blockSize, remainder, total;
    CrossedBlocks crossed;
};

} // namespace

class TestJoinPace : public QObject
{
    Q_OBJECT
private slots:
    void spans_data()
    {
        const TransferRate normal = TransferRate::Normal;
        addRows<Spans>({
            // A clock that stands still: copies grow up to each file's end, passes come at
            // each file's start and end only.
            {"to each file's end", {normal, {1234567, 3000000, 777}, 0, 0, {0, 28, 28, 100, 100, 100}}},
            // A quarter frame a reading: a pass every two copies, of 1 and 4 blocks, then of
            // 16 and 64 (8 MiB moved, the rest of the 85 blocks held back).
            {"cancel before a MiB was moved", {normal, {20012345, 3000000}, kFrame / 4, 2, {}, 500000}},
            {"cancel with bytes held back", {normal, {20012345, 3000000}, kFrame / 4, 3, {}, 8500000}},
        });
    }
    void spans()
    {
        QFETCH(Spans, row);
        PackRig rig;
        SourceSet src;
        JoinJob job{rig.path("out.mpg"), {}, 0, blockSizeFor(row.rate), DeleteAfterAction::No, {}};
        for (int i = 0; i < row.sizes.size(); ++i) {
            job.sources.push_back(
                {src.add(rig.path(QStringLiteral("%1.mpg").arg(i)), row.sizes[i]), quint64(row.sizes[i])});
            job.totalPackSize += quint64(row.sizes[i]);
        }
        rig.host.view.cancelAtBar = row.cancelAtBar;

        const JoinResult r = JoinFiles(job, rig.host, rig.host.view, rig.file,
                                       [step = row.step, now = qint64(0)]() mutable { return now += step; });

        const QByteArray joined = src.joined();
        const QList<int>& bars = rig.host.view.bars;
        if (row.cancelAtBar == 0) {
            QCOMPARE(r.outcome, PackOutcome::Packed);
            QCOMPARE(fileBytes(job.outputPath), joined);
            QCOMPARE(bars, row.bars);
        } else {
            // Every block the copies crossed is counted and written, and nothing more.
            QCOMPARE(r.outcome, PackOutcome::Cancelled);
            QCOMPARE(r.packedBytes, quint64(row.written));
            QCOMPARE(fileBytes(job.outputPath), joined.left(row.written));
            QCOMPARE(bars.size(), row.cancelAtBar);
            QCOMPARE(bars.last(), packPercent(quint64(row.written), quint64(joined.size())));
        }
        // The percentage given with each pass is the bar's.
        QStringList percents{"0%"};
        for (int bar : bars)
            if (percents.last() != percentText(bar))
                percents << percentText(bar);
        QCOMPARE(rig.host.view.percentTexts.mid(0, percents.size()), percents);
    }

    void crossing_data()
    {
        addRows<Crossing>({
            {"three blocks, the last even", {25000, 3, 10000, 0, 67000, {82, 82, 30000}}},
            {"a remainder, shown before it counts", {0, 2, 10000, 5000, 67000, {30, 30, 25000}}},
            {"the last odd: the even one before", {1000, 2, 1000, 0, 100000, {3, 2, 1000}}},
            {"percents skipped, none even", {100000, 2, 100000, 0, 700000, {43, -1, 0}}},
            {"percents skipped, the last even", {400000, 2, 100000, 0, 700000, {86, 86, 200000}}},
        });
    }
    void crossing()
    {
        QFETCH(Crossing, row);
        const CrossedBlocks got =
            crossBlocks(row.packed, row.blocks, row.blockSize, row.remainder, row.total);
        QCOMPARE(got.percent, row.crossed.percent);
        QCOMPARE(got.evenPercent, row.crossed.evenPercent);
        if (got.evenPercent >= 0)
            QCOMPARE(got.evenThrough, row.crossed.evenThrough);
    }
};

QTEST_GUILESS_MAIN(TestJoinPace)
#include "tst_joinpace.moc"
