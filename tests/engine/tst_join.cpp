// The join from outside (output bytes, sources, messages, what the host was told), its pace, its arithmetic.
#include "../support/Rows.h"
#include "../support/ScriptedSeams.h"
#include "FakePackHost.h"
#include "engine/JoinArithmetic.h"
#include "engine/PackTexts.h"

#include <QtTest>

using namespace kt;
using namespace kt::test;

namespace {

bool inOrder(const EventLog& log, const QStringList& events)
{
    qsizetype next = 0;
    return std::all_of(events.begin(), events.end(),
                       [&](auto& e) { return (next = log.indexOf(e, next) + 1); });
}

const qint64 kFrame = ProgressView::kDefaultFrameMicroseconds;

// What ends a join other than packing.
enum class Stop {
    Nothing,        // it packs
    Cancel,         // the user presses Cancel at `bar`
    Change,         // at `bar`, source `victim` (-1: the output) is cut or grown to `size` (-1: deleted)
    OutputIsFolder, // a folder stands where the output goes
    CancelCheck,    // the user presses Cancel at `bar` of the read-back pass
    LoseTail,       // the output's storage keeps only its first 30,000 bytes
};

struct JoinCase
{
    Stop what;
    int bar;                 // the progress update (from 1) at which it happens
    QStringList said;        // every message, in order; "@" is the test's folder
    int written = -1;        // bytes the output holds afterwards, -1: any prefix of the sources
    int victim = -1;         // for Change
    qint64 size = 0;         // for Change
    QList<int> answers = {}; // to the questions asked, in order
    const char* output = "out.mpg";
    DeleteAfterAction deleteAfter = DeleteAfterAction::NoPrompt; // never runs unless packed
    bool refuse = false;                                         // the trash refuses the second source
};

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

class TestJoin : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { File64::CloseAllHandles(); }

    void joins_data()
    {
        // Sources of 25,000, 30,000 and 12,000 bytes at the slow rate, a block a copy: a is bars
        // 1-3 (its start, a block, the last block with the remainder of 5,000), b bars 4-7.
        const QString out = "@/out.mpg", b = "@/b.mpg", c = "@/c.mpg", folder = "@/f.mpg", hidden = "@/.h";
        const QString packed = texts::packedSuccessfully(out, 67000), aborted = texts::packingAborted();
        const auto cannotOpen = [](const QString& out) {
            return QStringList{"Error opening '" + out + "'!", texts::cannotOverwrite(out)};
        };
        const QString refused = texts::notTrashed({{b, "refused by the test", {}}});
        const QList<int> retryCancel{IDRETRY, IDCANCEL}, retry{IDRETRY};
        const auto keep = DeleteAfterAction::No, trash = DeleteAfterAction::NoPrompt;
        const Stop change = Stop::Change, nothing = Stop::Nothing, isDir = Stop::OutputIsFolder;
        addRows<JoinCase>({
            {"packed, sources kept", {nothing, 0, {packed}, 67000, -1, 0, {}, "out.mpg", keep}},
            {"packed over a link in the output's place",
             {nothing, 0, {texts::packedSuccessfully("@/link.mpg", 67000)}, 67000, -1, 0, {}, "link.mpg"}},
            {"trash without asking, one refuses",
             {nothing, 0, {refused, packed}, 67000, -1, 0, {}, "out.mpg", trash, true}},
            {"cancel at the first file's start", {Stop::Cancel, 1, {aborted}, 0}},
            {"cancel in a file's last copy", {Stop::Cancel, 3, {aborted}, 25000}},
            {"cancel in the second file", {Stop::Cancel, 5, {aborted}, 35000}},
            {"output is a folder: retry, cancel",
             {isDir, 0, cannotOpen(folder) + cannotOpen(folder) << aborted, -1, -1, 0, retryCancel, "f.mpg"}},
            {"hidden output folder: retry",
             {isDir, 0, cannotOpen(hidden) << texts::hiddenOutput(hidden), -1, -1, 0, retry, ".h"}},
            {"source truncated between two blocks",
             {change, 5, {texts::sourceEndedEarly(b, 15000, 30000)}, -1, 1, 15000}},
            {"source grown before its turn",
             {change, 2, {texts::sourceChangedSize(c, 12000, 50000)}, 55000, 2, 50000}},
            {"source grown while it is copied",
             {change, 5, {texts::sourceChangedWhilePacked(b)}, 55000, 1, 40000}},
            {"source deleted before its turn", {change, 3, {texts::notFound(b)}, 25000, 1, -1}},
            {"output deleted while packing", {change, 2, {texts::outputDeleted(out)}, -1, -1, -1}},
            {"cancel while the output is checked",
             {Stop::CancelCheck, 1, {texts::checkCancelled(out)}, 67000}},
            {"output's storage lost its tail",
             {Stop::LoseTail, 0, {texts::outputDiffers(out, 30000)}, 30000}},
        });
    }
    void joins()
    {
        QFETCH(JoinCase, row);
        PackRig j;
        ScriptedShell trashCan;
        for (const qint64 size : {25000, 30000, 12000})
            j.src.add(j.path(QChar('a' + int(j.src.paths.size())) + QStringLiteral(".mpg")), size);
        const QStringList& p = j.src.paths;
        QVERIFY(writeFile(j.path("target.bin"), "keep") &&
                QFile::link(j.path("target.bin"), j.path("link.mpg")));
        const QString out = j.path(row.output), victim = p.value(row.victim, out);
        QVERIFY(row.what != Stop::OutputIsFolder || QDir().mkdir(out));
        if (row.refuse)
            trashCan.failFor << p[1];
        j.host.view.cancelAtBar = row.what == Stop::Cancel ? row.bar : 0;
        j.host.view.cancelAtCheckBar = row.what == Stop::CancelCheck ? row.bar : 0;
        j.host.view.onCheck = [&] { row.what == Stop::LoseTail&& QFile(out).resize(30000); };
        j.host.view.onBar = [&](int bar) {
            if (row.what == Stop::Change && bar == row.bar)
                row.size < 0 ? QFile::remove(victim) : QFile(victim).resize(row.size);
        };
        j.box.answers << row.answers;
        const QStringList messages = row.said.replaceInStrings("@", j.dir.path());
        const bool done = row.what == Stop::Nothing,
                   cancelled = row.what == Stop::Cancel || row.what == Stop::CancelCheck,
                   failed = !done && !cancelled;

        const JoinResult r =
            j.join(out, blockSizeFor(TransferRate::Slow), row.deleteAfter, kFrame); // a block a copy

        QCOMPARE(r.outcome, done     ? PackOutcome::Packed
                            : failed ? PackOutcome::Failed
                                     : PackOutcome::Cancelled);
        // The output is read back only when sources are about to go, and runs to its end.
        const bool trash = done && row.deleteAfter == DeleteAfterAction::NoPrompt;
        QCOMPARE(j.log.contains("view:check:" + out), trash || row.what >= Stop::CancelCheck);
        if (trash)
            QCOMPARE(j.host.view.checkBars, QList<int>{100});
        QCOMPARE(j.box.texts, messages);
        if (row.what == Stop::Cancel)
            QCOMPARE(j.host.view.bars.size(), row.bar); // nothing moved after the click
        if (row.written >= 0)
            QCOMPARE(fileBytes(out), j.src.joined().left(row.written));
        QVERIFY(j.src.joined().startsWith(fileBytes(out)) && !QFileInfo(out).isSymLink());
        QCOMPARE(fileBytes(j.path("target.bin")), QByteArray("keep"));
        if (done) {
            QCOMPARE(r.packedBytes, quint64(67000));
            // A pass at each file's start and after each copy; a remainder counts after its update.
            QCOMPARE(j.host.view.bars, QList<int>({0, 15, 30, 30, 52, 67, 82, 82, 97}));
            // A text goes to the view only when it changes; the estimate at even percentages.
            QCOMPARE(j.host.view.percentTexts,
                     QStringList({"0%", "15%", "30%", "52%", "67%", "82%", "97%", ""}));
            const QStringList& times = j.host.view.timeTexts;
            QVERIFY(!times.isEmpty() && times.size() <= 3); // at 30, 52 and 82 at most
            QVERIFY(std::adjacent_find(times.begin(), times.end()) == times.end());
            QCOMPARE(j.box.styles.last(), MB_ICONINFORMATION);
            QVERIFY(
                inOrder(j.log, {"view:begin", "host:busy:pack", "host:file:" + p[0], "view:file:" + p[0],
                                "host:file:" + p[1], "host:file:" + p[2], "view:destroyBar", "host:notBusy",
                                "host:unhideLogo", "view:close", "msg:" + messages.last(), "host:arrow"}));
        } else {
            QVERIFY(inOrder(j.log, {"msg:" + messages.last(),
                                    failed ? "host:errorResume" : "host:destroyMainBar", "view:close"}));
        }
        QCOMPARE(j.log.contains("host:errorResume"), failed);
        QCOMPARE(trashCan.trashRequests(), trash ? QList<QStringList>{p} : QList<QStringList>{});
        QVERIFY(j.src.unchanged(row.victim));
        QCOMPARE(QFileInfo::exists(p[1]), victim != p[1] || row.size >= 0); // never recreated by the open
        QCOMPARE(File64::OpenHandleCount(), 0);
    }

    // Copies spanning blocks, each counted; passes at each file's ends and once a frame; Cancel counts all.
    void spans_data()
    {
        addRows<Spans>({
            // A clock that stands still: copies to each file's end, passes at its start and end only.
            {"to each file's end", {{1234567, 3000000, 777}, 0, 0, {0, 28, 28, 100, 100, 100}, 4235344}},
            // A pass every two copies, of 1 and 4 blocks, then 16 and 64 (8 MiB moved, the rest held back).
            {"cancel before a MiB was moved", {{20012345, 3000000}, kFrame / 4, 2, {0, 2}, 500000}},
            {"cancel with bytes held back", {{20012345, 3000000}, kFrame / 4, 3, {0, 2, 37}, 8500000}},
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

        QCOMPARE(r.outcome, row.cancelAtBar ? PackOutcome::Cancelled : PackOutcome::Packed);
        QCOMPARE(r.packedBytes, quint64(row.written));
        QCOMPARE(fileBytes(out), rig.src.joined().left(row.written));
        QCOMPARE(rig.host.view.bars, row.bars);
        QStringList percents{"0%"}; // the percentage given with each pass is the bar's
        for (int bar : row.bars)
            if (percents.last() != percentText(bar))
                percents << percentText(bar);
        QCOMPARE(rig.host.view.percentTexts.mid(0, percents.size()), percents);
    }

    // Disk full, space freed, Retry; the sources elsewhere, then beside the output (the kernel moves blocks).
    void diskFullThenRetry()
    {
        for (const bool sameVolume : {false, true}) {
            PackRig j;
            ScriptedShell trashCan;
            const QString mnt = j.path("small"), filler = mnt + "/filler", out = mnt + "/out.mpg";
            QVERIFY(QDir().mkdir(mnt));
            if (!runTool("mount", {"-t", "tmpfs", "-o", "size=8M", "tmpfs", mnt}))
                QSKIP("cannot mount a tmpfs here (needs root)");
            auto unmount = qScopeGuard([&] { runTool("umount", {mnt}); });
            j.src.add((sameVolume ? mnt : j.dir.path()) + "/a.mpg", 1500000);
            j.src.add((sameVolume ? mnt : j.dir.path()) + "/b.mpg", 1700000);
            QVERIFY(writeFile(filler, QByteArray(QStorageInfo(mnt).bytesAvailable() - 2 * 1024 * 1024, 'f')));
            j.box.answers << IDRETRY;
            j.box.onAsk = [&] { QFile::remove(filler); };

            const JoinResult r =
                j.join(out, blockSizeFor(TransferRate::Fast), DeleteAfterAction::NoPrompt, kFrame);

            QCOMPARE(r.outcome, PackOutcome::Packed);
            QCOMPARE(fileBytes(out), j.src.joined()); // the retried block landed where it belongs
            QCOMPARE(j.box.texts, QStringList({texts::cannotWrite(out, texts::errnoText(ENOSPC)),
                                               texts::packedSuccessfully(out, 3200000)}));
            QCOMPARE(trashCan.trashRequests().size(), 1);
        }
    }

    // Block plans, halves to the even percentage, blocks a copy crossed, estimates rounded and spelt.
    void arithmetic()
    {
        const auto plan = [](TransferRate r, quint64 length) { return planBlocks(length, blockSizeFor(r)); };
        QCOMPARE(plan(TransferRate::Normal, 123456), (BlockPlan{1, 23456}));
        QCOMPARE(plan(TransferRate::UltraFast, 12345678), (BlockPlan{2, 2345678}));
        QCOMPARE(plan(TransferRate::UltraFast, 9999999), (BlockPlan{0, 9999999}));
        QCOMPARE(plan(TransferRate::Fast, 4296015872ull), (BlockPlan{4296, 15872}));
        QCOMPARE((QList<int>{packPercent(1, 200), packPercent(3, 200), packPercent(5, 200)}),
                 QList<int>({0, 2, 2}));
        QCOMPARE(crossBlocks(25000, 3, 10000, 0, 67000), (CrossedBlocks{82, 82, 30000}));
        QCOMPARE(crossBlocks(0, 2, 10000, 5000, 67000), (CrossedBlocks{30, 30, 25000}));
        QCOMPARE(crossBlocks(1000, 2, 1000, 0, 100000), (CrossedBlocks{3, 2, 1000}));
        QCOMPARE(crossBlocks(100000, 2, 100000, 0, 700000), (CrossedBlocks{43, -1, 0})); // none even
        QCOMPARE(crossBlocks(400000, 2, 100000, 0, 700000), (CrossedBlocks{86, 86, 200000}));
        const auto left = [](int p, qint64 ms) { return timeRemainingText(secondsRemaining(p, ms)); };
        QCOMPARE(left(0, 1000), "3 minutes 18 seconds remaining"); // 0% counts as 1%
        QCOMPARE(left(30, 10000), "47 seconds remaining");         // 46.7 s
        QCOMPARE(left(50, 1950000), "1 hour 5 minutes remaining");
        QCOMPARE(left(50, 3600000), "2 hours 0 minute remaining");
        QCOMPARE(left(50, 60500), "2 minutes 1 second remaining");
        QCOMPARE(left(100, 5000), "0 second remaining");
    }
};

QTEST_GUILESS_MAIN(TestJoin)
#include "tst_join.moc"
