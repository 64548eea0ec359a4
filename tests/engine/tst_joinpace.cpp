// The join at the screen's pace: copies that span many blocks, each block counted, passes at each
// file's start and end and at least once a frame, and Cancel keeping every block counted.
#include "../support/Rows.h"
#include "FakePackHost.h"
#include "engine/JoinArithmetic.h"

#include <QtTest>

using namespace kt;
using namespace kt::test;

namespace {

// Joins at the normal rate whose clock moves `step` microseconds at every reading.
struct Spans
{
    QList<qint64> sizes;
    qint64 step;
    int cancelAtBar; // 0: none
    QList<int> bars; // the bar at each pass
    qint64 written;  // bytes in the output at the end
};

} // namespace

class TestJoinPace : public QObject
{
    Q_OBJECT
private slots:
    void spans_data()
    {
        const qint64 quarter = ProgressView::kDefaultFrameMicroseconds / 4;
        addRows<Spans>({
            // A clock that stands still: copies to each file's end, passes at its start and end only.
            {"to each file's end", {{1234567, 3000000, 777}, 0, 0, {0, 28, 28, 100, 100, 100}, 4235344}},
            // A pass every two copies, of 1 and 4 blocks, then 16 and 64 (8 MiB moved, the rest held back).
            {"cancel before a MiB was moved", {{20012345, 3000000}, quarter, 2, {0, 2}, 500000}},
            {"cancel with bytes held back", {{20012345, 3000000}, quarter, 3, {0, 2, 37}, 8500000}},
        });
    }
    void spans()
    {
        QFETCH(Spans, row);
        PackRig rig;
        for (qint64 size : row.sizes)
            rig.src.add(rig.path(QString::number(rig.src.paths.size())), size);
        rig.host.view.cancelAtBar = row.cancelAtBar;
        const QString out = rig.path("out.mpg");

        const JoinResult r =
            rig.join(out, blockSizeFor(TransferRate::Normal), DeleteAfterAction::No, row.step);

        // Every block the copies crossed is counted and written, and nothing more.
        QCOMPARE(r.outcome, row.cancelAtBar ? PackOutcome::Cancelled : PackOutcome::Packed);
        QCOMPARE(r.packedBytes, quint64(row.written));
        QCOMPARE(fileBytes(out), rig.src.joined().left(row.written));
        QCOMPARE(rig.host.view.bars, row.bars);
        // The percentage given with each pass is the bar's.
        QStringList percents{"0%"};
        for (int bar : row.bars)
            if (percents.last() != percentText(bar))
                percents << percentText(bar);
        QCOMPARE(rig.host.view.percentTexts.mid(0, percents.size()), percents);
    }
};

QTEST_GUILESS_MAIN(TestJoinPace)
#include "tst_joinpace.moc"
