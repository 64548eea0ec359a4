// The join checked from the outside (output bytes, sources, messages, what the host was told),
// and its block arithmetic, percentage and time-remaining texts.
#include "../support/Rows.h"
#include "../support/ScriptedSeams.h"
#include "FakePackHost.h"
#include "engine/JoinArithmetic.h"
#include "engine/JoinFiles.h"
#include "engine/PackTexts.h"

#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <sys/file.h>

using namespace kt;
using namespace kt::test;

namespace {

bool inOrder(const EventLog& log, const QStringList& events)
{
    qsizetype next = 0;
    for (const QString& e : events)
        if ((next = log.indexOf(e, next) + 1) == 0)
            return false;
    return true;
}

const BlockSize kSlow = blockSizeFor(TransferRate::Slow);

// What ends a join other than packing.
enum class Stop {
    Nothing,        // it packs
    Cancel,         // the user presses Cancel at `bar`
    Resize,         // source `victim` is cut or grown to `size` at `bar`
    Remove,         // source `victim` is deleted at `bar`
    RemoveOutput,   // the output is deleted at `bar`
    OutputIsFolder, // a folder stands where the output goes
    OutputLocked,   // another pack is writing the output
    CancelCheck,    // the user presses Cancel at `bar` of the read-back pass
    LoseTail,       // the output's storage keeps only its first 30,000 bytes
};

const qint64 kSizes[] = {25000, 30000, 12000}; // the sources of every join

// What a message is about: the output, the sources, and the one changed (its size before and after).
struct About
{
    QString out, victim;
    qint64 was, now;
    QStringList src;
};
using Said = QString (*)(const About&);
const Said packed = [](const About& a) { return texts::packedSuccessfully(a.out, 67000); };
const Said trashQuestion = [](const About& a) { return texts::trashQuestion(a.src); };
const Said notTrashed = [](const About& a) {
    return texts::notTrashed({{a.src[1], "refused by the test", {}}});
};
const Said aborted = [](const About&) { return texts::packingAborted(); };
const Said errorOpening = [](const About& a) { return "Error opening '" + a.out + "'!"; };
const Said cannotOverwrite = [](const About& a) { return texts::cannotOverwrite(a.out); };
const Said hiddenOutput = [](const About& a) { return texts::hiddenOutput(a.out); };
const Said endedEarly = [](const About& a) { return texts::sourceEndedEarly(a.victim, a.now, a.was); };
const Said changedSize = [](const About& a) { return texts::sourceChangedSize(a.victim, a.was, a.now); };
const Said changedWhilePacked = [](const About& a) { return texts::sourceChangedWhilePacked(a.victim); };
const Said notFound = [](const About& a) { return texts::notFound(a.victim); };
const Said outputDeleted = [](const About& a) { return texts::outputDeleted(a.out); };
const Said checkCancelled = [](const About& a) { return texts::checkCancelled(a.out); };
const Said outputDiffers = [](const About& a) { return texts::outputDiffers(a.out, 30000); };

struct JoinCase
{
    Stop what;
    int bar;            // the progress update (from 1) at which it happens
    QList<Said> said;   // every message, in order
    int written = -1;   // bytes the output holds afterwards, -1: any prefix of the sources
    int victim = -1;    // the source row changed, -1: none
    qint64 size = 0;    // for Resize
    QList<int> answers; // to the questions asked, in order
    const char* output = "out.mpg";
    DeleteAfterAction deleteAfter = DeleteAfterAction::NoPrompt; // never runs unless packed
    bool refuse = false;                                         // the trash refuses the second source
};

struct Blocks
{
    TransferRate rate;
    quint64 length;
    BlockPlan plan;
};

struct Percent
{
    quint64 packed, total;
    int percent;
};

struct Remaining
{
    int percent;
    qint64 elapsedMs;
    QString text;
};

// A clock of the join that moves `step` microseconds at every reading.
MonotonicClock steps(qint64 step)
{
    return [step, now = qint64(0)]() mutable { return now += step; };
}
const qint64 kFrame = ProgressView::kDefaultFrameMicroseconds;

// One join with its fakes; sources are made with add().
struct Join : PackRig
{
    SourceSet src;
    ScriptedShell trash;

    void add(const QString& name, qint64 size) { src.add(path(name), size); }
    // By default each reading of the clock is a frame later: every copy is one block and
    // every block's update lets events through.
    JoinResult run(const QString& output, BlockSize block = kSlow,
                   DeleteAfterAction del = DeleteAfterAction::NoPrompt, MonotonicClock clock = steps(kFrame))
    {
        JoinJob j{output, {}, 0, block, del, {}};
        for (int i = 0; i < src.paths.size(); ++i) {
            j.sources.push_back({src.paths[i], quint64(src.contents[i].size())});
            j.totalPackSize += quint64(src.contents[i].size());
        }
        return JoinFiles(j, host, host.view, file, clock);
    }
};

} // namespace

class TestJoin : public QObject
{
    Q_OBJECT
private slots:
    void init() { QCOMPARE(File64::OpenHandleCount(), 0); }
    void cleanup()
    {
        QCOMPARE(File64::OpenHandleCount(), 0);
        File64::CloseAllHandles();
    }

    void joins_data()
    {
        // Sources of 25,000, 30,000 and 12,000 bytes at the slow rate, a block a copy: a is bars
        // 1-3 (its start, a block, the last block with the remainder of 5,000), b bars 4-7.
        const QList<Said> cannotOpen{errorOpening, cannotOverwrite};
        const QList<int> retryCancel{IDRETRY, IDCANCEL}, retry{IDRETRY};
        const auto keep = DeleteAfterAction::No, ask = DeleteAfterAction::Prompt,
                   trash = DeleteAfterAction::NoPrompt;
        addRows<JoinCase>({
            {"packed, sources kept", {Stop::Nothing, 0, {packed}, 67000, -1, 0, {}, "out.mpg", keep}},
            {"packed over a link in the output's place",
             {Stop::Nothing, 0, {packed}, 67000, -1, 0, {}, "link.mpg"}},
            {"trash after asking, unanswered: kept",
             {Stop::Nothing, 0, {trashQuestion, packed}, 67000, -1, 0, {}, "out.mpg", ask}},
            {"trash without asking, one refuses",
             {Stop::Nothing, 0, {notTrashed, packed}, 67000, -1, 0, {}, "out.mpg", trash, true}},
            {"cancel at the first file's start", {Stop::Cancel, 1, {aborted}, 0}},
            {"cancel in the first block", {Stop::Cancel, 2, {aborted}, 10000}},
            {"cancel in a file's last copy", {Stop::Cancel, 3, {aborted}, 25000}},
            {"cancel in the second file", {Stop::Cancel, 5, {aborted}, 35000}},
            {"output is a folder: retry, cancel",
             {Stop::OutputIsFolder, 0, cannotOpen + cannotOpen + QList{aborted}, -1, -1, 0, retryCancel,
              "f.mpg"}},
            {"hidden output folder: retry",
             {Stop::OutputIsFolder, 0, cannotOpen + QList{hiddenOutput}, -1, -1, 0, retry, ".hidden.mpg"}},
            {"output in use by another pack: retry, cancel",
             {Stop::OutputLocked, 0, {cannotOverwrite, cannotOverwrite, aborted}, 0, -1, 0, retryCancel}},
            {"source truncated between two blocks", {Stop::Resize, 5, {endedEarly}, -1, 1, 15000}},
            {"source grown before its turn", {Stop::Resize, 2, {changedSize}, 55000, 2, 50000}},
            {"source grown while it is copied", {Stop::Resize, 5, {changedWhilePacked}, 55000, 1, 40000}},
            {"source deleted before its turn", {Stop::Remove, 3, {notFound}, 25000, 1}},
            {"output deleted while packing", {Stop::RemoveOutput, 2, {outputDeleted}}},
            {"cancel while the output is checked", {Stop::CancelCheck, 1, {checkCancelled}, 67000}},
            {"output's storage lost its tail", {Stop::LoseTail, 0, {outputDiffers}, 30000}},
        });
    }
    void joins()
    {
        QFETCH(JoinCase, row);
        Join j;
        for (int i = 0; i < 3; ++i)
            j.add(QStringLiteral("%1.mpg").arg(QChar('a' + i)), kSizes[i]);
        const QStringList& p = j.src.paths;
        QVERIFY(writeFile(j.path("target.bin"), "keep") &&
                QFile::link(j.path("target.bin"), j.path("link.mpg")));
        const QString out = j.path(row.output);
        if (row.what == Stop::OutputIsFolder)
            QVERIFY(QDir().mkdir(out));
        QFile otherWriter(out);
        if (row.what == Stop::OutputLocked)
            QVERIFY(otherWriter.open(QIODevice::WriteOnly) && ::flock(otherWriter.handle(), LOCK_EX) == 0);
        if (row.refuse)
            j.trash.failFor << p[1];
        j.host.view.cancelAtBar = row.what == Stop::Cancel ? row.bar : 0;
        j.host.view.cancelAtCheckBar = row.what == Stop::CancelCheck ? row.bar : 0;
        j.host.view.onCheck = [&] {
            if (row.what == Stop::LoseTail)
                QFile(out).resize(30000);
        };
        j.host.view.onBar = [&](int bar) {
            if (bar != row.bar)
                return;
            if (row.what == Stop::Resize)
                QFile(p[row.victim]).resize(row.size);
            else if (row.what == Stop::Remove)
                QFile::remove(p[row.victim]);
            else if (row.what == Stop::RemoveOutput)
                QFile::remove(out);
        };
        j.box.answers << row.answers;
        const About about{out, p.value(row.victim), kSizes[qMax(row.victim, 0)], row.size, p};
        QStringList messages;
        for (Said said : row.said)
            messages << said(about);
        const bool done = row.what == Stop::Nothing,
                   cancelled = row.what == Stop::Cancel || row.what == Stop::CancelCheck,
                   failed = !done && !cancelled;

        const JoinResult r = j.run(out, kSlow, row.deleteAfter);

        QCOMPARE(r.outcome, done     ? PackOutcome::Packed
                            : failed ? PackOutcome::Failed
                                     : PackOutcome::Cancelled);
        // The output is read back only when sources are about to go, and runs to its end.
        const bool trash = done && row.deleteAfter == DeleteAfterAction::NoPrompt;
        const bool checked = trash || row.what == Stop::CancelCheck || row.what == Stop::LoseTail;
        QCOMPARE(j.log.contains("view:check:" + out), checked);
        if (trash)
            QCOMPARE(j.host.view.checkBars, QList<int>{100});
        QCOMPARE(j.box.texts, messages);
        if (row.what == Stop::Cancel)
            QCOMPARE(j.host.view.bars.size(), row.bar); // nothing moved after the click
        if (row.written >= 0)
            QCOMPARE(fileBytes(out), j.src.joined().left(row.written));
        QVERIFY(j.src.joined().startsWith(fileBytes(out)));
        QVERIFY(!QFileInfo(out).isSymLink());
        QCOMPARE(fileBytes(j.path("target.bin")), QByteArray("keep"));
        if (done) {
            QCOMPARE(r.packedBytes, quint64(67000));
            // A pass at each file's start and after each copy; a remainder is counted after
            // its update.
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
        QCOMPARE(j.trash.trashRequests(), trash ? QList<QStringList>{p} : QList<QStringList>{});
        QVERIFY(j.src.unchanged(row.victim));
        QCOMPARE(QFileInfo::exists(p[1]), row.what != Stop::Remove); // never recreated by the open
    }

    void diskFullThenRetry_data() // Cancel after a failed write is in the packer's fault table
    {
        QTest::addColumn<bool>("sourcesOnSameVolume"); // blocks then move inside the kernel
        QTest::newRow("sources elsewhere") << false;
        QTest::newRow("sources on the same volume") << true;
    }
    void diskFullThenRetry()
    {
        QFETCH(bool, sourcesOnSameVolume);
        Join j;
        const QString mnt = j.path("small"), filler = mnt + "/filler", out = mnt + "/out.mpg";
        QVERIFY(QDir().mkdir(mnt));
        if (!runTool("mount", {"-t", "tmpfs", "-o", "size=8M", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { runTool("umount", {mnt}); });
        j.add(sourcesOnSameVolume ? "small/a.mpg" : "a.mpg", 1500000);
        j.add(sourcesOnSameVolume ? "small/b.mpg" : "b.mpg", 1700000);
        QVERIFY(writeFile(filler, QByteArray(QStorageInfo(mnt).bytesAvailable() - 2 * 1024 * 1024, 'f')));
        j.box.answers << IDRETRY;
        j.box.onAsk = [&](const QString&) { QFile::remove(filler); }; // the user frees space, then retries

        QCOMPARE(j.run(out, blockSizeFor(TransferRate::Fast)).outcome, PackOutcome::Packed);
        QCOMPARE(fileBytes(out), j.src.joined()); // the retried block landed where it belongs
        QCOMPARE(j.box.texts, QStringList({texts::cannotWrite(out, texts::errnoText(ENOSPC)),
                                           texts::packedSuccessfully(out, 3200000)}));
        QCOMPARE(j.trash.trashRequests().size(), 1);
    }

    void blocks_data()
    {
        addRows<Blocks>({{"123,456, normal", {TransferRate::Normal, 123456, {1, 23456}}},
                         {"12,345,678, ufast", {TransferRate::UltraFast, 12345678, {2, 2345678}}},
                         {"9,999,999, ufast", {TransferRate::UltraFast, 9999999, {0, 9999999}}},
                         {"over 4 GiB, fast", {TransferRate::Fast, 4296015872ull, {4296, 15872}}}});
    }
    void blocks()
    {
        QFETCH(Blocks, row);
        QCOMPARE(planBlocks(row.length, blockSizeFor(row.rate)), row.plan);
    }

    void percent_data()
    {
        addRows<Percent>({
            {"0.5 rounds to 0", {1, 200, 0}},
            {"1.5 rounds to 2", {3, 200, 2}},
            {"2.5 rounds to 2", {5, 200, 2}},
        });
    }
    void percent()
    {
        QFETCH(Percent, row);
        QCOMPARE(packPercent(row.packed, row.total), row.percent);
    }

    void timeRemaining_data()
    {
        addRows<Remaining>({{"24% after 60.1 s: 380.6 s", {24, 60100, "6 minutes 21 seconds remaining"}},
                            {"0% counts as 1%", {0, 1000, "3 minutes 18 seconds remaining"}},
                            {"46.7 seconds round to 47", {30, 10000, "47 seconds remaining"}},
                            {"1 hour 5 minutes", {50, 1950000, "1 hour 5 minutes remaining"}},
                            {"2 hours 0 minute", {50, 3600000, "2 hours 0 minute remaining"}},
                            {"2 minutes 1 second", {50, 60500, "2 minutes 1 second remaining"}},
                            {"0 second", {100, 5000, "0 second remaining"}}});
    }
    void timeRemaining()
    {
        QFETCH(Remaining, row);
        QCOMPARE(timeRemainingText(secondsRemaining(row.percent, row.elapsedMs)), row.text);
    }
};

QTEST_GUILESS_MAIN(TestJoin)
#include "tst_join.moc"
