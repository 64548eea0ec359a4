// klivatarn-pack as a program: its command line, a source over 4 GiB, --trash packs under faults and races.
#include "../support/MpegFixtures.h"
#include "../support/TestFiles.h"

#include <QtTest>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace kt::test;

namespace {

// Which calls on a file the fault shim (tests/cli/fault_shim.c) counts and fails.
enum class Op { Write, Read, Open, Close, Create, Rename, Lie, Alloc, Space };
const char* const kOpNames[] = {"write",  "read", "open",  "close", "create",
                                "rename", "lie",  "alloc", "space"};
struct Shim
{
    Op op = Op::Write;
    int at = 1;          // the first faulty call on the file, from 1
    int count = 0;       // how many calls are faulty, 0: all from `at` on
    int error = 0;       // errno of a faulty call, 0: it goes through
    int shortBytes = -1; // bytes a faulty call moves instead, -1: no short count
    int sleepMs = 0;     // every call on the file waits this long first
};

struct PackerWorkspace
{
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    SourceSet src;
    int exit = -1; // of the last run; -1: it crashed or was killed
    QString err, out;

    PackerWorkspace()
    {
        env.insert("HOME", dir.path());
        env.insert("XDG_DATA_HOME", dir.path() + "/xdg"); // the trash's parent
        env.insert("LC_ALL", "C");
        env.insert("LANG", "C");
        env.remove("LANGUAGE");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString trash() const { return env.value("XDG_DATA_HOME") + "/Trash"; }
    int trashedFiles() const { return int(QDir(trash() + "/files").entryList(QDir::Files).size()); }

    // `wrapper` is shell code run before the program (ending in exec). Questions go unanswered.
    void pack(const QStringList& args, const QString& wrapper = "exec")
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.setStandardInputFile(QProcess::nullDevice());
        p.setChildProcessModifier([] { // only the three standard descriptors, whatever the runner leaks
            for (int fd = 3; fd < 1024; ++fd)
                if (const int flags = ::fcntl(fd, F_GETFD); flags >= 0 && !(flags & FD_CLOEXEC))
                    ::close(fd);
        });
        p.start("sh", QStringList{"-c", wrapper + " \"$0\" \"$@\"",
                                  qEnvironmentVariable("KT_BIN_DIR") + "/klivatarn-pack"} +
                          args);
        if (!p.waitForFinished(60000))
            p.kill(), p.waitForFinished(); // then reported as a crash
        exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        err = QString::fromLocal8Bit(p.readAllStandardError());
        out = QString::fromLocal8Bit(p.readAllStandardOutput());
    }
};

struct CommandCase
{
    QStringList args = {}; // "@" is the workspace, where a.mpg, b.mpg, -x.mpg, song.mp3 and old.bin (not
                           // MPEG), ntsc.mpg and "pal clip.mpg" are
    int exit = 0;
    QStringList err = {};     // every line of stderr; a success line: the sources were joined there
    QString outStart = {};    // what stdout starts with; empty: nothing on stdout
    QString wrapper = "exec"; // shell code run before the program, in the workspace
};

enum class Setup { None, NameTakenInTrash, TrashDiskFull, LyingStorage }; // as the rows of each say
enum class Victim { None, Grown, Replaced, Gone };                        // what src2 holds afterwards

// src1-3 packed with --trash into @out from the workspace @ws; "@out", "@srcN", "@ws" in texts: the paths.
struct Race
{
    int exit; // 0: packed, all trashed; 4: packed, kept; 1: failed; 3: a question unanswered; 130: Ctrl-C
    const char* message;   // a part of the standard error
    Op hookOp = Op::Write; // `command` runs in a shell before the at-th `hookOp` call on `hookPath`
    const char* hookPath = "";
    int at = 1; // -1: before every call
    const char* command = "";
    Victim victim = Victim::None;
    int trashed = -1;         // bits of the sources in the trash at the end; -1: all when packed, else none
    const char* faultOn = ""; // with `shim`, a fault on that file
    Shim shim = {};
    const char* wrapper = "exec"; // shell code run before the program
    Setup setup = Setup::None;
    QList<int> list = {0, 1, 2}; // the sources given, by number
};

QStringList trashRecords(const QString& trash)
{
    QStringList originals;
    const QRegularExpression path("^Path=(.*)$", QRegularExpression::MultilineOption);
    for (const QFileInfo& info : QDir(trash + "/info").entryInfoList({"*.trashinfo"}, QDir::Files)) {
        const QRegularExpressionMatch m = path.match(QString::fromUtf8(fileBytes(info.filePath())));
        originals << (m.hasMatch() ? QUrl::fromPercentEncoding(m.captured(1).toUtf8()) : "<no Path= line>");
    }
    originals.sort();
    return originals;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<CommandCase>("c");
        const auto row = [](const char* name, const CommandCase& c) { QTest::newRow(name) << c; };
        const QStringList ab{"@/a.mpg", "@/b.mpg"}, o{"-o", "@/out"};
        const QStringList quiet{"--no-mpeg-check", "--rate=slow"};
        const QString kp = "klivatarn-pack: ";
        const auto usage = [&](const char* name, const QStringList& args, const QString& problem) {
            row(name, {args, 2, {kp + problem, "Try 'klivatarn-pack --help' for more information."}});
        };
        const auto refused = [&](const char* name, const QStringList& args, const QString& line,
                                 const QString& wrapper = "exec") {
            row(name, {args, 1, {kp + line}, {}, wrapper});
        };
        // Run in a folder whose name is not UTF-8, in a folder removed, with a last argument not UTF-8.
        const QString inBadFolder = "cd \"$(printf 'd\\377')\"; exec",
                      inGoneFolder = "mkdir gone; cd gone; rmdir ../gone; exec",
                      badSource = "set -- \"$@\" \"$(pwd)/$(printf 'b\\377.bin')\"; exec";
        // Packed, with a success line in the locale's grouping (German here) after what `before` says.
        const auto joins = [&](const char* name, const QStringList& args, const QString& output,
                               const QString& size, QStringList before = {}, const QString& note = {}) {
            before << kp + "'@/" + output + "' successfully packed! Total filesize is " + size + " bytes." +
                          note;
            row(name, {args, 0, before});
        };
        // A question on stderr, its answer in brackets; unanswered, it ends the pack with exit 3.
        const auto unanswered = [&](const char* name, const QStringList& args, const QString& q) {
            const QString end = "Packing aborted: the question \"" + q + "\" was not answered.";
            row(name, {args, 3, {kp + q + " [no answer: no]", kp + end}});
        };
        const QString asked =
            kp + "'@/a.mpg' is not a valid MPEG file.\n\nProceed packing and ignore invalid Mpeg error?";
        const QString na = QStringLiteral("\tnot available\tnot available\n");

        // The parse ends at the first problem: the arguments after it do not matter.
        usage("unknown option", {"--bogus=1"}, "unrecognized option '--bogus=1'");
        usage("ambiguous", {"--tr"}, "option '--tr' is ambiguous; possibilities: '--trash' '--trash-prompt'");
        usage("rate without its value", o + QStringList{"--rate"}, "option '--rate' requires an argument");
        usage("rate followed by an option", {"--rate", "-o", "out"}, "option '--rate' requires an argument");
        usage("-z without --info", {"-z"}, "-z (--null) goes with --info only");
        usage("--json without --info", {"--json"}, "--json goes with --info only");
        usage("--json with -z", {"--info", "--json", "-z"}, "-z (--null) and --json exclude each other");
        usage("--info without files", {"--info"}, "--info needs at least one file");
        usage("unknown rate", o + QStringList{"--rate=warp"},
              "unknown rate 'warp' (slow, normal, fast, ufast)");
        usage("empty --output=", QStringList{"--output="} + ab, "the output file is missing (-o OUTPUT)");
        usage("--yes with --no", o + QStringList{"--yes", "--no"}, "--yes and --no exclude each other");
        usage("--info with -o", {"--info", "-o", "out", "a.mpg"},
              "--info takes no other option than -z, --json and --");
        usage("source like an option", o + QStringList{"@/a.mpg", "-x.mpg"},
              "invalid option -- 'x'; for the file '-x.mpg', put '--' before it or write './-x.mpg'");
        // Neither source is an MPEG stream: --seamless copies both as they are, and names them.
        joins("--out=FILE after the sources, options abbreviated",
              ab + QStringList{"--out=@/out", "--seam", "--no-m", "--ra", "slow"}, "out", "12.000", {},
              " These parts were copied as they were: 'a.mpg' (not an MPEG stream), 'b.mpg' (not an MPEG "
              "stream).");
        joins("-- before a source named -x.mpg", o + quiet + QStringList{"--", "@/a.mpg", "-x.mpg"}, "out",
              "14.000");
        unanswered(
            "--seamless, MP3 at 44.1 and 48 kHz, unanswered",
            QStringList{"--seamless"} + o + quiet + QStringList{"@/44k.mp3", "@/48k.mp3"},
            "The audio files have different sample rates or layers. A player may not play the joined file "
            "smoothly. Pack anyway?");
        row("not MPEG, --no",
            {.args = QStringList{"--no"} + o + ab, .exit = 1, .err = {asked + " [--no: no]"}});
        joins("not MPEG, --yes", QStringList{"--yes"} + o + ab, "out", "12.000", {asked + " [--yes: yes]"});
        unanswered("existing output, unanswered", QStringList{"-o", "@/old.bin"} + quiet + ab,
                   "'@/old.bin' already exists. Do you want to replace it?");
        joins("existing output, --force; --trash-prompt, unanswered: kept",
              QStringList{"--force", "--trash-prompt", "-o", "@/old.bin"} + quiet + ab, "old.bin", "12.000",
              {"klivatarn-pack: Move these 2 files to the trash?", "", "'@/a.mpg'",
               "'@/b.mpg' [no answer: no]"});
        refused("source named not UTF-8", o + quiet + QStringList{"@/a.mpg"},
                "'@/b\uFFFD.bin' cannot be packed: its name is not valid UTF-8.", badSource);
        refused("relative -o in a folder named not UTF-8", QStringList{"-o", "out"} + quiet + ab,
                "'@/d\uFFFD/out' cannot be packed: its name is not valid UTF-8.", inBadFolder);
        refused("relative -o in a folder removed", QStringList{"-o", "out"} + quiet + ab,
                "'out' cannot be packed: the current folder cannot be found (No such file or directory).",
                inGoneFolder);
        // The frame rate with a '.' whatever the locale; a file that cannot be opened is not created.
        row("--info, files described, missing or not MPEG",
            {.args = {"--info", "--", "missing.mpg", "ntsc.mpg", "@/pal clip.mpg", "song.mp3"},
             .exit = 1,
             .err = {"klivatarn-pack: cannot open 'missing.mpg': No such file or directory"},
             .outStart = "missing.mpg" + na +
                         "ntsc.mpg\t352 x 240\t29.97\n@/pal clip.mpg\t704 x 576\t25\nsong.mp3" + na});
        // Names with control characters forge no --info row and reach the terminal quoted.
        const QString forged = "x.mpg\t352 x 240\t25\nforged.mpg";
        row("--info, a name with TABs and a newline",
            {.args = {"--info", forged},
             .outStart = "x.mpg\\t352 x 240\\t25\\nforged.mpg\t352 x 240\t29.97\n"});
        row("--info -z, the name as it is",
            {.args = {"--info", "-z", forged}, .outStart = forged + "\t352 x 240\t29.97" + QChar(0)});
        refused("the window's message quoted", o + quiet + QStringList{"@/a.mpg", "e\nmpty.mpg"},
                "Cannot pack '@/e'$'\\n''mpty.mpg' which is a 0 byte file. Packing aborted!");
        refused("the packer's own message quoted, -o a folder",
                QStringList{"--force", "-o", "di\rr"} + quiet + ab,
                "'di'$'\\r''r' is a folder; -o needs the name of a file.");
    }
    void commandLine()
    {
        QFETCH(CommandCase, c);
        PackerWorkspace ws;
        for (const char* name : {"a.mpg", "b.mpg", "-x.mpg"}) // of 5,000, 7,000 and 9,000 bytes
            ws.src.add(ws.path(name), 5000 + 2000 * ws.src.paths.size());
        QVERIFY(writeMpegLikeFile(ws.path("ntsc.mpg"), 40000, 12, 352, 240, 4) &&
                writeMpegLikeFile(ws.path("pal clip.mpg"), 90000, 32766, 704, 576, 3) &&
                writeMpegLikeFile(ws.path("x.mpg\t352 x 240\t25\nforged.mpg"), 40000, 12, 352, 240, 4));
        QVERIFY(writeFileWith(ws.path("song.mp3"), 50000, -1, {}) && writeFile(ws.path("e\nmpty.mpg"), {}));
        QVERIFY(writeFile(ws.path("old.bin"), "old contents") && QDir(ws.dir.path()).mkpath("di\rr/inside"));
        // MPEG-1 layer III frames of 128 kbit/s at 44.1 and at 48 kHz (the payload silent).
        QVERIFY(writeFile(ws.path("44k.mp3"),
                          (QByteArray("\xFF\xFB\x90\x64") + QByteArray(413, 0)).repeated(20)) &&
                writeFile(ws.path("48k.mp3"),
                          (QByteArray("\xFF\xFB\x94\x64") + QByteArray(380, 0)).repeated(20)));
        // Names that are not UTF-8, which Qt cannot spell: std::filesystem makes and removes them.
        const std::filesystem::path root(QFile::encodeName(ws.dir.path()).constData()), bad = root / "d\xff";
        auto removeBad = qScopeGuard([&] { std::filesystem::remove_all(root); });
        QVERIFY(std::filesystem::create_directory(bad) && std::ofstream(root / "b\xff.bin") << "data");
        ws.env.remove("LC_ALL");
        ws.env.insert("LC_NUMERIC", "de_DE.UTF-8"); // a decimal comma, yet the frame rate keeps its '.'
        c.args.replaceInStrings("@", ws.dir.path());
        c.err.replaceInStrings("@", ws.dir.path());

        ws.pack(c.args, c.wrapper);

        QCOMPARE(ws.exit, c.exit);
        QCOMPARE(ws.err, c.err.isEmpty() ? QString() : c.err.join('\n') + '\n');
        const QString outStart = c.outStart.replace('@', ws.dir.path());
        QVERIFY2(outStart.isEmpty() ? ws.out.isEmpty() : ws.out.startsWith(outStart), qPrintable(ws.out));
        QVERIFY(ws.src.unchanged());
        const QByteArray joined = ws.src.contents[0] + ws.src.contents[c.args.contains("-x.mpg") ? 2 : 1];
        const bool packed = c.err.join('\n').contains("' successfully packed!"),
                   overOld = c.args.contains(ws.path("old.bin"));
        QCOMPARE(fileBytes(ws.path("out")), packed && !overOld ? joined : QByteArray());
        QCOMPARE(fileBytes(ws.path("old.bin")), packed && overOld ? joined : "old contents");
        // An -o naming a folder leaves it be; nothing written in the folder with the bad name, nor beside it.
        QVERIFY(QFileInfo(ws.path("di\rr/inside")).isDir() && !QFileInfo::exists(ws.path("missing.mpg")) &&
                std::filesystem::is_empty(bad) && !QFileInfo::exists(ws.path("d\uFFFD")));
        QCOMPARE(ws.trashedFiles(), 0);
    }

    // On a terminal, a clock 10,000 times as fast: 100% with its own estimate; an ESC in a name quoted.
    void progressLine()
    {
        if (!runTool("sh", {"-c", "command -v script && command -v faketime"}))
            QSKIP("needs script and faketime (scripts/install-deps installs them)");
        PackerWorkspace ws;
        const QString s1 = ws.src.add(ws.path("s1"), 3000000),
                      s2 = ws.src.add(ws.path("e\x1b[2J.mpg"), 3000000);
        // script runs the command it is given as one string; the rest of the line is a comment.
        ws.pack({"--force", "--no-mpeg-check", "--rate", "slow", "-o", ws.path("out"), s1, s2},
                "a=$(printf \"'%s' \" \"$0\" \"$@\"); "
                "exec script -qec \"exec faketime -f '+0 x10000' $a\" /dev/null #");

        QCOMPARE(ws.exit, 0);
        QCOMPARE(fileBytes(ws.path("out")), ws.src.joined());
        QVERIFY2(!ws.out.contains("\x1b[2J"), qPrintable(ws.out));
        QStringList lines; // each redraw of the line
        for (const QString& frame : ws.out.split("\r\x1b[K"))
            lines << frame.section('\r', 0, 0);
        const QRegularExpression full("^100%.*");
        // The fast clock makes the estimate before 100% one that would show if it lagged.
        const QString before = lines.value(lines.indexOf(full) - 1);
        QVERIFY2(before.contains(" remaining") && !before.contains(" 0 second"), qPrintable(before));
        QCOMPARE(lines.filter(full), QStringList{"100%  0 second remaining  Packing 'e'$'\\033''[2J.mpg'"});
    }

    void sparseSourceOver4GiB()
    {
        const QString info = QString::fromLatin1(fileBytes("/proc/meminfo"));
        if (QRegularExpression("MemAvailable: *(\\d+)").match(info).captured(1).toLongLong() < 10LL << 20)
            QSKIP("needs 10 GiB of free memory for a 4 GiB output on a tmpfs");
        PackerWorkspace ws;
        // Beside the output, the kernel copies the sparse source without reading 4 GiB of holes.
        const QString mnt = ws.path("big"), big = mnt + "/sparse.bin", small = ws.path("small.bin");
        QVERIFY(QDir().mkdir(mnt));
        if (!runTool("mount", {"-t", "tmpfs", "-o", "size=4200M", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { runTool("umount", {mnt}); });
        const qint64 bigSize = (1LL << 32) + (1LL << 20);
        QVERIFY(writeSparseFileWith(big, bigSize, bigSize - 8, "TAILMARK") &&
                writeFile(small, patternBytes(12345, 3)));

        ws.pack({"--rate", "ufast", "--no-mpeg-check", "-o", mnt + "/out.bin", big, small});

        QCOMPARE(ws.exit, 0);
        QVERIFY(ws.err.contains("Total filesize is 4,296,028,217 bytes."));
        QFile o(mnt + "/out.bin");
        QVERIFY(o.open(QIODevice::ReadOnly) && o.size() == bigSize + 12345 && o.seek(bigSize - 8));
        QCOMPARE(o.readAll(), "TAILMARK" + patternBytes(12345, 3));
    }

    void races_data()
    {
        QTest::addColumn<Race>("race");
        const char* changed = "'@src2' changed while it was being packed. Packing aborted!";
        const char* grow = "cat tail >>'@src2'";
        const char* plant = "ln -s '@src1' '@out'";
        const int packed = 0, kept = 4, failed = 1;
        const auto row = [](const char* name, Race r) { QTest::newRow(name) << r; };
        // The second pack meets the first one's lock: its Retry/Cancel goes unanswered.
        const char* secondPack = "\"$KT_BIN_DIR/klivatarn-pack\" --force --no-mpeg-check -o '@out' tail "
                                 "replacement; echo \"exit $?\" >&2";
        row("second pack of the output",
            {packed, "file is in use.\" was not answered.\nexit 3", Op::Write, "@out", 2, secondPack});
        row("source grows after its turn", {failed, changed, Op::Read, "@src3", 1, grow, Victim::Grown});
        row("source replaced while copied",
            {failed, changed, Op::Read, "@src2", 1, "mv replacement '@src2'", Victim::Replaced});
        // The second open of src2 is the join's, after the pack command measured it.
        row("source deleted before its open", {failed, "'@src2' was not found! Packing aborted!", Op::Open,
                                               "@src2", 2, "rm -f '@src2'", Victim::Gone});
        row("old file back at the output",
            {packed, "", Op::Open, "@out", 1, "head -c 3000000 /dev/zero >'@out'"});
        row("link to a source planted as the output is made", {packed, "", Op::Create, "@out", 1, plant});
        row("link planted at every try",
            {failed,
             "'@out' was made again by another program each time it was deleted; it was not replaced.",
             Op::Create, "@out", -1, plant});
        row("sources' folder swapped for look-alikes as the trash starts",
            {kept,
             "'@src1' (another file took its place as it was being moved to the trash; that file was put "
             "back)\n"
             "'@src2' (it is no longer the file that was packed)",
             Op::Rename, "@src1", 1, "mv src src.old && mkdir src && cp src.old/* src/"});
        row("source grows as it goes to the trash",
            {kept,
             "'@src2' could not be moved to the trash (it changed as it was being moved to the trash; it was "
             "put back).",
             Op::Rename, "@src2", 1, grow, Victim::Grown, 0b101});
        row("same source twice", {.exit = packed, .message = "", .list = {0, 1, 0, 2}});
        row("a source's name already in the trash",
            {.exit = packed, .message = "", .setup = Setup::NameTakenInTrash});
        row("trash on a full disk",
            {.exit = kept, .message = "could not be moved to the trash", .setup = Setup::TrashDiskFull});
        row("storage keeps only the first MiB (FUSE)",
            {.exit = failed,
             .message =
                 "'@out', read back from its storage, differs from the files packed from byte 1048576 on",
             .setup = Setup::LyingStorage});
        const auto fault = [](const char* name, int end, const char* message, const char* on, Shim shim) {
            QTest::newRow(name) << Race{.exit = end, .message = message, .faultOn = on, .shim = shim};
        };
        fault("close of the output fails", failed, "Cannot finish writing '@out': Input/output error.",
              "@out", {Op::Close, 1, 0, EIO});
        fault("storage keeps only the first MB (shim)", failed,
              "'@out', read back from its storage, differs from the files packed from byte 1000000 on",
              "@out", {Op::Lie, 1, 0, 0, 1000000});
        fault("no memory for the read-back", failed, "There is not enough memory to go on.", "@out",
              {Op::Alloc, 1, 0, 0, 1 << 20});
        fault("output folder cannot be opened to flush it", packed, "", "@ws/out", {Op::Open, 1, 0, EACCES});
        // The output's volume has exactly the 11,679,984 bytes of the sources free, or a byte less.
        fault("free space exactly enough", packed, "", "@out", {Op::Space, 1, 0, 0, 11679984});
        fault("free space a byte short", failed, "Not enough free diskspace. Packing aborted!", "@out",
              {Op::Space, 1, 0, 0, 11679983});
        const int unanswered = 3;
        fault("short write, then an I/O error", unanswered, "'@out': Input/output error.\" was not answered.",
              "@out", {Op::Write, 2, 0, EIO, 777});
        fault("read error", failed, "Cannot read '@src2': Input/output error. Packing aborted!", "@src2",
              {Op::Read, 1, 0, EIO});
        fault("interrupted writes go on", packed, "", "@out", {Op::Write, 2, 3, EINTR});
        fault("short reads go on", packed, "", "@src2", {Op::Read, 1, 3, 0, 100});
        fault("short writes go on", packed, "", "@out", {Op::Write, 2, 3, 0, 100});
        // Ctrl-C arrives from a hook before the output's second write, whatever the machine's pace.
        const Shim slowWrites{Op::Write, 1, 0, 0, -1, 20};
        row("Ctrl-C mid-pack", {130, "Packing aborted by user", Op::Write, "@out", 2, "kill -INT $PPID",
                                Victim::None, -1, "@out", slowWrites});
        row("too many open files: source",
            {.exit = failed, .message = "Error opening '@src1'!", .wrapper = "ulimit -n 5; exec"});
    }
    void races()
    {
        QFETCH(Race, race);
        PackerWorkspace ws;
        ws.env.insert("LD_PRELOAD", KT_FAULT_SHIM);
        QString mount, folder = ws.path("src");
        QVERIFY(QDir().mkdir(folder) && QDir().mkdir(ws.path("out")));
        auto unmount = qScopeGuard([&] { mount.isEmpty() || runTool("timeout", {"20", "umount", mount}); });
        if (race.setup == Setup::LyingStorage) {
            if (!*KT_LYING_FS || ::geteuid() != 0 || !QFileInfo::exists("/dev/fuse"))
                QSKIP("needs libfuse3 at build time, /dev/fuse, fusermount3 and root");
            mount = ws.path("out");
            QVERIFY(QDir().mkdir(ws.path("backing")) &&
                    runTool("timeout", {"20", KT_LYING_FS, ws.path("backing"), mount}));
        }
        if (race.setup == Setup::TrashDiskFull) {
            QVERIFY(QDir().mkdir(mount = folder = ws.path("small")));
            if (!runTool("timeout", {"20", "mount", "-t", "tmpfs", "-o", "size=16M", "tmpfs", mount}))
                QSKIP("cannot mount a tmpfs here (needs root)");
            ws.env.insert("XDG_DATA_HOME", mount + "/xdg"); // the user's trash on the sources' disk
        }
        if (race.setup != Setup::None)
            QVERIFY(QDir().mkpath(ws.trash() + "/files") && QDir().mkpath(ws.trash() + "/info"));
        // The kernel copy takes a source in a call or two, so the k-th call on the output is the k-th's.
        for (const qint64 size : {4000000, 6080000, 1599984})
            ws.src.add(folder + QStringLiteral("/src%1").arg(ws.src.paths.size() + 1), size);
        const QStringList& src = ws.src.paths;
        const QString out = ws.path("out/out.bin");
        const QByteArray tail = patternBytes(5000, 77), replacement = patternBytes(4321, 78);
        QVERIFY(writeFile(ws.path("tail"), tail) && writeFile(ws.path("replacement"), replacement));
        const auto fill = [&](QString t) {
            return t.replace("@out", out).replace("@src", folder + "/src").replace("@ws", ws.dir.path());
        };
        const Shim& f = race.shim; // an empty path or command is no fault or hook; a marker says it loaded
        for (const QString& v :
             {"FAULT_MARKER=" + ws.path("shim-loaded"), "TRACE_FILE=" + ws.path("trace"),
              "HOOK_OP=" + QString(kOpNames[int(race.hookOp)]), "HOOK_PATH=" + fill(race.hookPath),
              "HOOK_AT=" + QString::number(qMax(race.at, 1)), "HOOK_EVERY=" + QString::number(race.at < 0),
              "HOOK_CMD=" + fill(race.command), "FAULT_PATH=" + fill(race.faultOn),
              "FAULT_OP=" + QString(kOpNames[int(f.op)]), "FAULT_AT=" + QString::number(f.at),
              "FAULT_COUNT=" + QString::number(f.count), "FAULT_ERRNO=" + QString::number(f.error),
              "FAULT_SHORT=" + QString::number(f.shortBytes), "FAULT_SLEEP_MS=" + QString::number(f.sleepMs)})
            ws.env.insert("KT_" + v.section('=', 0, 0), v.section('=', 1));
        QStringList sources;
        QByteArray expectedOutput;
        for (int i : race.list)
            sources << src[i], expectedOutput += ws.src.contents[i];
        if (race.setup == Setup::NameTakenInTrash)
            QVERIFY(writeFile(ws.trash() + "/files/src1", "an older src1") &&
                    writeFile(ws.trash() + "/info/src1.trashinfo",
                              "[Trash Info]\nPath=/elsewhere/src1\nDeletionDate=2026-01-01T00:00:00\n"));
        if (race.setup == Setup::TrashDiskFull) // fills the disk, then fails
            runTool("sh", {"-c", "cat /dev/zero >'" + mount + "/filler'"});

        ws.pack(QStringList{"--trash", "--no-mpeg-check", "--rate", "slow", "-o", out} + sources,
                race.wrapper);

        QVERIFY2(QFileInfo::exists(ws.path("shim-loaded")), "the fault shim was not loaded");
        QVERIFY2(ws.err.contains(fill(race.message)), qPrintable(ws.err));
        QCOMPARE(ws.exit, race.exit);
        // Only Ctrl-C is the user's abort; a question nobody answered is said as such.
        QCOMPARE(ws.err.contains("Packing aborted by user"), race.exit == 130);
        const bool packed = race.exit == 0 || race.exit == 4;
        QCOMPARE(ws.err.count("successfully packed!"), int(packed));
        const QByteArray written =
            fileBytes(race.setup == Setup::LyingStorage ? ws.path("backing/out.bin") : out);
        QVERIFY(packed ? written == expectedOutput : expectedOutput.startsWith(written));
        if (race.exit == 130) { // Ctrl-C leaves whole blocks only (a remainder ends its file)
            qsizetype into = written.size(), i = 0;
            while (into > ws.src.contents[i].size())
                into -= ws.src.contents[i++].size();
            QVERIFY2(written.size() > 0 && (into % 10000 == 0 || into == ws.src.contents[i].size()),
                     qPrintable(QString::number(written.size())));
        }

        // Each source trashed with its record (both flushed before the next moved), or in place unchanged.
        const int inTrash = race.trashed >= 0 ? race.trashed : race.exit == 0 ? 0b111 : 0;
        QStringList records =
            race.setup == Setup::NameTakenInTrash ? QStringList{"/elsewhere/src1"} : QStringList{};
        const QByteArray src2Bytes[] = {ws.src.contents[1], ws.src.contents[1] + tail, replacement, {}};
        const QStringList trace = QString::fromLocal8Bit(fileBytes(ws.path("trace"))).split('\n');
        const QRegularExpression move("rename " + QRegularExpression::escape(folder + "/") + ".*");
        const QString trash = "fsync " + ws.trash();
        const QRegularExpression record(QRegularExpression::escape(trash + "/info/") + "[^/]+\\.trashinfo");
        for (int i = 0; i < 3; ++i) {
            const bool trashed = inTrash & (1 << i);
            QCOMPARE(QFileInfo::exists(src[i]),
                     !trashed && (i != 1 || race.victim != Victim::Gone)); // not made again
            QCOMPARE(fileBytes(src[i]), trashed  ? QByteArray()
                                        : i == 1 ? src2Bytes[int(race.victim)]
                                                 : ws.src.contents[i]);
            if (!trashed)
                continue;
            records << src[i];
            const qsizetype at = trace.indexOf("rename " + src[i]), next = trace.indexOf(move, at + 1);
            const QStringList after = trace.mid(at + 1, next < 0 ? -1 : next - at - 1);
            QVERIFY2(at > 0 && after.indexOf(record) >= 0 && after.contains(trash + "/info") &&
                         after.contains(trash + "/files"),
                     qPrintable(src[i]));
        }
        records.sort();
        QCOMPARE(trashRecords(ws.trash()), records);
        QCOMPARE(ws.trashedFiles(), records.size());
        if (inTrash) { // the output and its folder were flushed before the first source moved
            const QStringList before = trace.first(qMax(trace.indexOf(move), 0));
            QVERIFY(before.contains("fsync " + out));
            QVERIFY(before.contains("fsync " + ws.path("out")) || before.contains("syncfs " + out));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
