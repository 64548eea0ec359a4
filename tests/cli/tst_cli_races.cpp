// klivatarn-pack with --trash while files change under it. A preload shim runs a shell command
// at an exact moment of the pack (before the k-th transfer or the open of a path) and can make
// the output's close fail. Whatever happens, afterwards every source is either in place with
// its bytes, or in the trash with a record naming it and the output holding its bytes.
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
};

enum class End {
    Packed,        // exit 0, output complete, every source in the trash with a good record
    PackedKept,    // exit 0, output complete, every source kept (the trash refused them)
    FailedAllKept, // exit 1, no success, nothing trashed
};

// What the changed source holds afterwards.
enum class Victim { None, Grown, Replaced, Gone };

struct Race
{
    Change change;
    End end;
    Victim victim;       // what became of src2
    const char* message; // a part of the standard error; "@out", "@src2" stand for the paths
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
        ws.src.add(folder + "/src1.bin", 250000);
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

        const PackerRun r =
            ws.pack(QStringList{"--trash", "--no-mpeg-check", "--rate", "slow", "-o", out} + sources);

        QVERIFY2(ws.shimLoaded(), "the fault shim was not loaded");
        const bool packed = race.end != End::FailedAllKept;
        QVERIFY2(r.err.contains(QString(race.message).replace("@out", out).replace("@src2", src2)),
                 qPrintable(r.err));
        QCOMPARE(r.exit, packed ? 0 : 1);
        QCOMPARE(r.err.contains("successfully packed!"), packed);
        QVERIFY(!packed || fileBytes(out) == expectedOutput);
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
