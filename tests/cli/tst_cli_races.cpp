// klivatarn-pack with --trash while things go wrong under it: faults injected into its reads
// and writes (an LD_PRELOAD shim, ulimit), Ctrl-C, and files changed at an exact moment of the
// pack (the shim runs a shell command before the k-th transfer or the open of a path). Whatever
// happens, afterwards every source is either in place with its bytes, or in the trash with a
// record naming it and the output holding its bytes.
#include "../support/PackerRun.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QUrl>
#include <QtTest>

using namespace kt::test;

namespace {

// What happens to the files while the pack runs.
enum class Change {
    DeleteOutput,        // rm of the output after a few blocks
    RemoveOutputFolder,  // rm -r of the output's folder
    SecondWriter,        // a second pack of the same output, with --force
    GrowSource,          // appended to while it is copied (a recording in progress)
    GrowSourceAfterTurn, // appended to after it was copied, before the trash
    ReplaceSource,       // another file renamed over it while it is copied
    OutputCloseFails,    // close() of the output reports EIO
    OutputReappears,     // a longer file appears at the output path just before the open
    SourceDeletedAtOpen, // the source vanishes just before its open
    SourceListedTwice,   // the same path twice in the list
    NameTakenInTrash,    // the trash already holds a file of a source's name
    TrashDiskFull,       // the sources' disk, with an existing trash, is full when they go
    Fault,               // the shim fails or shortens calls on one file
    Limit,               // a resource limit set by the wrapper
};

enum class End {
    Packed,        // exit 0, output complete, every source in the trash with a good record
    PackedKept,    // exit 0, output complete, every source kept (the trash refused them)
    FailedAllKept, // exit 1, no success, nothing trashed
    Interrupted,   // Ctrl-C: exit 130, nothing trashed, the output cut after a whole block
};

enum class Target { None, Output, Src2 }; // the file the shim's fault is on

// What the changed source holds afterwards.
enum class Victim { None, Grown, Replaced, Gone };

struct Race
{
    Change change;
    End end;
    Victim victim;       // what became of src2
    const char* message; // a part of the standard error; "@out", "@src1", "@src2" stand for the paths
    Target faultOn = Target::None;
    Shim shim = {};
    const char* wrapper = "exec"; // shell code run before the program
};

// The original paths of the trash's records, as a restoring program reads them.
QStringList trashRecords(const QString& trash)
{
    QStringList originals;
    QDirIterator it(trash + "/info", {"*.trashinfo"}, QDir::Files);
    while (it.hasNext()) {
        const QRegularExpression path("^Path=(.*)$", QRegularExpression::MultilineOption);
        const QRegularExpressionMatch m = path.match(QString::fromUtf8(fileBytes(it.next())));
        originals << (m.hasMatch() ? QUrl::fromPercentEncoding(m.captured(1).toUtf8()) : "<no Path= line>");
    }
    originals.sort();
    return originals;
}

} // namespace

Q_DECLARE_METATYPE(Race)

class TestCliRaces : public QObject
{
    Q_OBJECT
private slots:
    void races_data()
    {
        QTest::addColumn<Race>("race");
        const char* gone = "' was deleted while it was being packed. Packing aborted!";
        const char* changed = "'@src2' changed while it was being packed. Packing aborted!";
        auto row = [](const char* name, Race r) { QTest::newRow(name) << r; };
        row("output deleted", {Change::DeleteOutput, End::FailedAllKept, Victim::None, gone});
        row("output folder removed", {Change::RemoveOutputFolder, End::FailedAllKept, Victim::None, gone});
        row("second pack of the output", {Change::SecondWriter, End::Packed, Victim::None, ""});
        row("source grows while copied", {Change::GrowSource, End::FailedAllKept, Victim::Grown, changed});
        row("source grows after its turn",
            {Change::GrowSourceAfterTurn, End::FailedAllKept, Victim::Grown, changed});
        row("source replaced while copied",
            {Change::ReplaceSource, End::FailedAllKept, Victim::Replaced, changed});
        row("close of the output fails", {Change::OutputCloseFails, End::FailedAllKept, Victim::None,
                                          "Cannot finish writing '@out': Input/output error."});
        row("old file back at the output", {Change::OutputReappears, End::Packed, Victim::None, ""});
        row("source deleted before its open", {Change::SourceDeletedAtOpen, End::FailedAllKept, Victim::Gone,
                                               "'@src2' was not found! Packing aborted!"});
        row("same source twice", {Change::SourceListedTwice, End::Packed, Victim::None, ""});
        row("a source's name already in the trash",
            {Change::NameTakenInTrash, End::Packed, Victim::None, ""});
        row("trash on a full disk",
            {Change::TrashDiskFull, End::PackedKept, Victim::None, "could not be moved to the trash"});
        const auto fault = [](const char* name, End end, const char* message, Target on, Shim shim) {
            QTest::newRow(name) << Race{Change::Fault, end, Victim::None, message, on, shim};
        };
        const auto limit = [](const char* name, const char* wrapper, const char* message) {
            QTest::newRow(name) << Race{
                Change::Limit, End::FailedAllKept, Victim::None, message, Target::None, {}, wrapper};
        };
        const End failed = End::FailedAllKept;
        const Target out = Target::Output, src2 = Target::Src2;
        const char* noSpace = "Cannot write to '@out': No space left on device.";
        fault("disk full mid-block", failed, noSpace, out, {Op::Write, 3, 0, ENOSPC});
        fault("short write, then disk full", failed, noSpace, out, {Op::Write, 2, 0, ENOSPC, 777});
        fault("I/O error on write", failed, "Cannot write to '@out': Input/output error.", out,
              {Op::Write, 4, 0, EIO});
        fault("read error", failed, "Cannot read '@src2': Input/output error. Packing aborted!", src2,
              {Op::Read, 2, 0, EIO});
        fault("source truncated between two blocks", failed, "'@src2' ended after ", src2,
              {Op::Read, 3, 0, 0, 0});
        // Each write waits, so that Ctrl-C lands mid-pack.
        fault("Ctrl-C mid-pack", End::Interrupted, "Packing aborted by user", out,
              {Op::Write, 1, 0, 0, -1, 20});
        fault("interrupted writes go on", End::Packed, "", out, {Op::Write, 2, 3, EINTR});
        fault("short reads go on", End::Packed, "", src2, {Op::Read, 2, 3, 0, 100});
        fault("short writes go on", End::Packed, "", out, {Op::Write, 2, 3, 0, 100});
        limit("file size limit", "ulimit -f 1000; trap '' XFSZ; exec",
              "Cannot write to '@out': File too large.");
        limit("too many open files: output", "ulimit -n 4; exec", "Error opening '@out'!");
        limit("too many open files: source", "ulimit -n 5; exec", "Error opening '@src1'!");
    }
    void races()
    {
        QFETCH(Race, race);
        PackerWorkspace ws;
        ws.preloadShim(KT_FAULT_SHIM);
        ws.env.insert("KT_TRACE_FILE", ws.path("trace"));
        QString mount, folder = ws.dir.path();
        auto unmount = qScopeGuard([&] {
            if (!mount.isEmpty())
                runTool("timeout", {"20", "umount", mount});
        });
        if (race.change == Change::TrashDiskFull) {
            mount = folder = ws.path("small");
            QVERIFY(QDir().mkdir(mount));
            if (!runTool("timeout", {"20", "mount", "-t", "tmpfs", "-o", "size=2M", "tmpfs", mount}))
                QSKIP("cannot mount a tmpfs here (needs root)");
            ws.setHome(mount); // the user's trash on the sources' disk, already there
        }
        if (race.change == Change::TrashDiskFull || race.change == Change::NameTakenInTrash)
            QVERIFY(QDir().mkpath(ws.trash() + "/files") && QDir().mkpath(ws.trash() + "/info"));
        const QString src1 = ws.src.add(folder + "/src1.bin", 250000);
        const QString src2 = ws.src.add(folder + "/src2.bin", 380000),
                      src3 = ws.src.add(folder + "/src3.bin", 99999);
        const QString out = ws.path("out/out.bin");
        QVERIFY(QDir().mkdir(ws.path("out")));
        const QByteArray tail = patternBytes(5000, 77), replacement = patternBytes(4321, 78);
        QVERIFY(writeFile(ws.path("tail"), tail) && writeFile(ws.path("replacement"), replacement));
        QVERIFY(writeFile(ws.path("other1"), patternBytes(3000, 1)) && writeFile(ws.path("other2"), "2"));
        const QString secondPack =
            QString("'%1/klivatarn-pack' --force --no-mpeg-check -o '%2' '%3' '%4' 2>'%5'; echo $? >'%6'")
                .arg(qEnvironmentVariable("KT_BIN_DIR"), out, ws.path("other1"), ws.path("other2"),
                     ws.path("second.err"), ws.path("second.exit"));
        const QString grow = "cat '" + ws.path("tail") + "' >> '" + src2 + "'";
        const std::tuple<Change, Op, QString, int, QString> hooks[] = {
            {Change::DeleteOutput, Op::Write, out, 5, "rm -f '" + out + "'"},
            {Change::RemoveOutputFolder, Op::Write, out, 5, "rm -rf '" + ws.path("out") + "'"},
            {Change::SecondWriter, Op::Write, out, 5, secondPack},
            {Change::GrowSource, Op::Read, src2, 3, grow},
            {Change::GrowSourceAfterTurn, Op::Read, src3, 1, grow},
            {Change::ReplaceSource, Op::Read, src2, 3, "mv '" + ws.path("replacement") + "' '" + src2 + "'"},
            {Change::OutputReappears, Op::Open, out, 1, "head -c 3000000 /dev/zero >'" + out + "'"},
            {Change::SourceDeletedAtOpen, Op::Open, src2, 1, "rm -f '" + src2 + "'"},
        };
        for (const auto& [change, op, path, at, command] : hooks)
            if (change == race.change)
                ws.hook(op, path, at, command);
        if (race.change == Change::OutputCloseFails)
            ws.fault(out, {Op::Close, 1, 0, EIO});
        if (race.faultOn != Target::None)
            ws.fault(race.faultOn == Target::Output ? out : src2, race.shim);
        QStringList sources = ws.src.paths;
        QByteArray expectedOutput = ws.src.joined();
        if (race.change == Change::SourceListedTwice) {
            sources.insert(2, ws.src.paths[0]);
            expectedOutput =
                ws.src.contents[0] + ws.src.contents[1] + ws.src.contents[0] + ws.src.contents[2];
        }
        if (race.change == Change::NameTakenInTrash)
            QVERIFY(writeFile(ws.trash() + "/files/src1.bin", "an older src1.bin") &&
                    writeFile(ws.trash() + "/info/src1.bin.trashinfo",
                              "[Trash Info]\nPath=/elsewhere/src1.bin\nDeletionDate=2026-01-01T00:00:00\n"));
        if (race.change == Change::TrashDiskFull) {
            QFile filler(mount + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
            }
        }

        const bool packed = race.end == End::Packed || race.end == End::PackedKept;
        const PackerRun r =
            ws.pack(QStringList{"--trash", "--no-mpeg-check", "--rate", "slow", "-o", out} + sources,
                    race.wrapper, race.end == End::Interrupted ? 100 : -1);

        QVERIFY2(ws.shimLoaded(), "the fault shim was not loaded");
        const QString message =
            QString(race.message).replace("@out", out).replace("@src1", src1).replace("@src2", src2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.exit, packed ? 0 : race.end == End::Interrupted ? 130 : 1);
        QCOMPARE(r.err.contains("successfully packed!"), packed);
        const QByteArray written = fileBytes(out);
        if (packed)
            QVERIFY(written == expectedOutput);
        else // what was written is the sources in order, perhaps cut short
            QVERIFY(expectedOutput.startsWith(written));
        if (race.end == End::Interrupted) // Ctrl-C leaves whole blocks only
            QVERIFY(written.size() > 0 && written.size() % 10000 == 0);
        if (race.change == Change::SecondWriter) { // the second pack met the first one's lock
            QCOMPARE(fileBytes(ws.path("second.exit")).trimmed(), QByteArray("1"));
            QVERIFY2(fileBytes(ws.path("second.err")).contains("Cannot overwrite"),
                     fileBytes(ws.path("second.err")).constData());
        }

        if (race.end == End::Packed) {
            QVERIFY2(!r.err.contains("could not be moved to the trash"), qPrintable(r.err));
            const bool older = race.change == Change::NameTakenInTrash;
            QStringList records = ws.src.paths + (older ? QStringList{"/elsewhere/src1.bin"} : QStringList{});
            records.sort();
            QCOMPARE(trashRecords(ws.trash()), records);
            QCOMPARE(ws.trashedFiles(), older ? 4 : 3);
            for (const QString& s : ws.src.paths)
                QVERIFY(!QFileInfo::exists(s));
            // The output and its folder were on disk before the first source moved.
            const QStringList trace = QString::fromLocal8Bit(fileBytes(ws.path("trace"))).split('\n');
            const qsizetype firstMove = trace.indexOf("rename " + ws.src.paths[0]);
            QVERIFY(firstMove > 0);
            QVERIFY(trace.first(firstMove).contains("fsync " + out));
            QVERIFY(trace.first(firstMove).contains("fsync " + ws.path("out")));
            return;
        }
        QCOMPARE(trashRecords(ws.trash()), QStringList());
        QCOMPARE(ws.trashedFiles(), 0);
        QVERIFY(ws.src.unchanged(1));
        const QByteArray src2Bytes[] = {ws.src.contents[1], ws.src.contents[1] + tail, replacement, {}};
        QCOMPARE(QFileInfo::exists(src2), race.victim != Victim::Gone); // not made again by the open
        QVERIFY(fileBytes(src2) == src2Bytes[int(race.victim)]);
    }
};

QTEST_GUILESS_MAIN(TestCliRaces)
#include "tst_cli_races.moc"
