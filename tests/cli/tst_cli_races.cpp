// klivatarn-pack with --trash while files change under it. A preload shim runs a shell command
// at an exact moment of the pack (before the k-th transfer or the open of a path) and can make
// the output's close fail. Whatever happens, afterwards every source is either in place with
// its bytes, or in the trash with a record naming it and the output holding its bytes.
#include "../support/PackerRun.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

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

constexpr int kSecond = 1; // index of src2

const QString kSuccess = QStringLiteral("successfully packed!");

struct Workspace : PackerWorkspace
{
    Workspace()
    {
        preloadShim(KT_FAULT_SHIM);
        env.insert("KT_TRACE_FILE", path("trace"));
    }
    void hook(const char* op, const QString& watched, int at, const QString& command)
    {
        env.insert("KT_HOOK_OP", op);
        env.insert("KT_HOOK_PATH", watched);
        env.insert("KT_HOOK_AT", QString::number(at));
        env.insert("KT_HOOK_CMD", command);
    }
    // The original paths of the trash's records, as a restoring program reads them.
    QStringList trashRecords() const
    {
        QStringList originals;
        QDirIterator it(trash() + "/info", {"*.trashinfo"}, QDir::Files);
        while (it.hasNext()) {
            const QList<QByteArray> lines = fileBytes(it.next()).split('\n');
            QString original = "<no Path= line>";
            for (const QByteArray& line : lines)
                if (line.startsWith("Path="))
                    original = QUrl::fromPercentEncoding(line.mid(5));
            originals << original;
        }
        originals.sort();
        return originals;
    }
    QStringList trace() const { return QString::fromLocal8Bit(fileBytes(path("trace"))).split('\n'); }
};

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
        Workspace ws;
        QString mount;
        auto unmount = qScopeGuard([&] {
            if (!mount.isEmpty())
                runTool("timeout", {"20", "umount", mount});
        });
        QString folder = ws.dir.path();
        if (race.change == Change::TrashDiskFull) {
            mount = ws.path("small");
            QVERIFY(QDir().mkdir(mount));
            if (!runTool("timeout", {"20", "mount", "-t", "tmpfs", "-o", "size=2M", "tmpfs", mount}))
                QSKIP("cannot mount a tmpfs here (needs root)");
            folder = mount;
            ws.setHome(mount); // the user's trash on the sources' disk, already there
            QVERIFY(QDir().mkpath(ws.trash() + "/files") && QDir().mkpath(ws.trash() + "/info"));
        }
        ws.src.add(folder + "/src1.bin", 250000);
        ws.src.add(folder + "/src2.bin", 380000);
        ws.src.add(folder + "/src3.bin", 99999);
        const QString out = ws.path("out/out.bin"), src2 = ws.src.paths[kSecond];
        QVERIFY(QDir().mkdir(ws.path("out")));
        const QByteArray tail = patternBytes(5000, 77), replacement = patternBytes(4321, 78);
        QVERIFY(writeFile(ws.path("tail"), tail) && writeFile(ws.path("replacement"), replacement));
        QStringList sources = ws.src.paths;
        QByteArray expectedOutput = ws.src.joined();

        const QString grow = "cat '" + ws.path("tail") + "' >> '" + src2 + "'";
        switch (race.change) {
        case Change::DeleteOutput:
            ws.hook("write", out, 5, "rm -f '" + out + "'");
            break;
        case Change::RemoveOutputFolder:
            ws.hook("write", out, 5, "rm -rf '" + ws.path("out") + "'");
            break;
        case Change::SecondWriter: {
            SourceSet other;
            other.add(ws.path("other1.bin"), 3000);
            other.add(ws.path("other2.bin"), 4000);
            ws.hook(
                "write", out, 5,
                QString("'%1/klivatarn-pack' --force --no-mpeg-check -o '%2' '%3' '%4' 2>'%5'; echo $? >'%6'")
                    .arg(qEnvironmentVariable("KT_BIN_DIR"), out, other.paths[0], other.paths[1],
                         ws.path("second.err"), ws.path("second.exit")));
            break;
        }
        case Change::GrowSource:
            ws.hook("read", src2, 3, grow);
            break;
        case Change::GrowSourceAfterTurn:
            ws.hook("read", ws.src.paths[2], 1, grow);
            break;
        case Change::ReplaceSource:
            ws.hook("read", src2, 3, "mv '" + ws.path("replacement") + "' '" + src2 + "'");
            break;
        case Change::OutputCloseFails:
            ws.env.insert("KT_FAULT_PATH", out);
            ws.env.insert("KT_FAULT_OP", "close");
            ws.env.insert("KT_FAULT_ERRNO", QString::number(EIO));
            break;
        case Change::OutputReappears:
            ws.hook("open", out, 1, "head -c 3000000 /dev/zero >'" + out + "'");
            break;
        case Change::SourceDeletedAtOpen:
            ws.hook("open", src2, 1, "rm -f '" + src2 + "'");
            break;
        case Change::SourceListedTwice:
            sources.insert(2, ws.src.paths[0]);
            expectedOutput =
                ws.src.contents[0] + ws.src.contents[1] + ws.src.contents[0] + ws.src.contents[2];
            break;
        case Change::NameTakenInTrash:
            QVERIFY(QDir().mkpath(ws.trash() + "/files") && QDir().mkpath(ws.trash() + "/info"));
            QVERIFY(writeFile(ws.trash() + "/files/src1.bin", "an older src1.bin"));
            QVERIFY(writeFile(ws.trash() + "/info/src1.bin.trashinfo",
                              "[Trash Info]\nPath=/elsewhere/src1.bin\nDeletionDate=2026-01-01T00:00:00\n"));
            break;
        case Change::TrashDiskFull: {
            QFile filler(mount + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray chunk(4096, 'f');
            while (filler.write(chunk) == chunk.size() && filler.flush()) {
            }
            break;
        }
        }
        QString message = QString::fromUtf8(race.message).replace("@out", out).replace("@src2", src2);

        const PackerRun r =
            ws.pack(QStringList{"--trash", "--no-mpeg-check", "--rate", "slow", "-o", out} + sources);

        QVERIFY2(ws.shimLoaded(), "the fault shim was not loaded");
        const bool packed = race.end != End::FailedAllKept;
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.exit, packed ? 0 : 1);
        QCOMPARE(r.err.contains(kSuccess), packed);
        if (packed)
            QVERIFY(fileBytes(out) == expectedOutput);
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
            QCOMPARE(ws.trashRecords(), records);
            QCOMPARE(ws.trashedFiles(), older ? 4 : 3);
            for (const QString& s : ws.src.paths)
                QVERIFY(!QFileInfo::exists(s));
            // The output and its folder were on disk before the first source moved.
            const QStringList trace = ws.trace();
            const qsizetype firstMove = trace.indexOf("rename " + ws.src.paths[0]);
            QVERIFY(firstMove > 0);
            QVERIFY(trace.indexOf("fsync " + out) >= 0 && trace.indexOf("fsync " + out) < firstMove);
            QVERIFY(trace.indexOf("fsync " + ws.path("out")) >= 0 &&
                    trace.indexOf("fsync " + ws.path("out")) < firstMove);
            return;
        }
        QCOMPARE(ws.trashRecords(), QStringList());
        QCOMPARE(ws.trashedFiles(), 0);
        QVERIFY(ws.src.unchanged(kSecond));
        switch (race.victim) {
        case Victim::None:
            QVERIFY(fileBytes(src2) == ws.src.contents[kSecond]);
            break;
        case Victim::Grown:
            QVERIFY(fileBytes(src2) == ws.src.contents[kSecond] + tail);
            break;
        case Victim::Replaced:
            QVERIFY(fileBytes(src2) == replacement);
            break;
        case Victim::Gone:
            QVERIFY(!QFileInfo::exists(src2)); // not created again by the open
            break;
        }
    }
};

QTEST_GUILESS_MAIN(TestCliRaces)
#include "tst_cli_races.moc"
