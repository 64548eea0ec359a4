// klivatarn-pack run as a program: its command line (flags, answers, --info, exit statuses and
// the whole of stderr), a source over 4 GiB, and --trash packs while things go wrong under it:
// faults injected into its reads and writes (an LD_PRELOAD shim, ulimit), Ctrl-C, and files
// changed at an exact moment of the pack (the shim runs a shell command before the k-th
// transfer or the open of a path). Whatever goes wrong, afterwards every source is either in
// place with its bytes, or in the trash with a record naming it and the output holding its bytes.
#include "../support/MpegFixtures.h"
#include "../support/TestFiles.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace kt::test;

namespace {

// Which calls on a file the fault shim (tests/cli/fault_shim.c) counts and fails.
enum class Op { Write, Read, Open, Close, Create, Rename, Lie, Alloc, Space };
struct Shim
{
    Op op = Op::Write;
    int at = 1;          // the first faulty call on the file, from 1
    int count = 0;       // how many calls are faulty, 0: all from `at` on
    int error = 0;       // errno of a faulty call, 0: it goes through
    int shortBytes = -1; // bytes a faulty call moves instead, -1: no short count
    int sleepMs = 0;     // every call on the file waits this long first
};

struct PackerRun
{
    int exit = -1; // -1: crashed or killed
    QString err;
    QString out;
};

// klivatarn-pack run as a program in a folder of its own, with the user's trash inside it.
struct PackerWorkspace
{
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    SourceSet src;

    PackerWorkspace()
    {
        setHome(dir.path());
        env.insert("LC_ALL", "C");
        env.insert("LANG", "C");
        env.remove("LANGUAGE");
    }
    void setHome(const QString& folder) // HOME and the trash's parent
    {
        env.insert("HOME", folder);
        env.insert("XDG_DATA_HOME", folder + "/xdg");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString trash() const { return env.value("XDG_DATA_HOME") + "/Trash"; }
    int trashedFiles() const { return int(QDir(trash() + "/files").entryList(QDir::Files).size()); }

    void fault(const QString& file, const Shim& s)
    {
        env.insert("KT_FAULT_PATH", file);
        env.insert("KT_FAULT_OP", opName(s.op));
        env.insert("KT_FAULT_AT", QString::number(s.at));
        env.insert("KT_FAULT_COUNT", QString::number(s.count));
        env.insert("KT_FAULT_ERRNO", QString::number(s.error));
        env.insert("KT_FAULT_SHORT", QString::number(s.shortBytes));
        env.insert("KT_FAULT_SLEEP_MS", QString::number(s.sleepMs));
    }
    // `command` runs in a shell before the at-th `op` call on `file` (at -1: before every one).
    void hook(Op op, const QString& file, int at, const QString& command)
    {
        env.insert("KT_HOOK_OP", opName(op));
        env.insert("KT_HOOK_PATH", file);
        env.insert("KT_HOOK_AT", QString::number(qMax(at, 1)));
        env.insert("KT_HOOK_EVERY", at < 0 ? "1" : "0");
        env.insert("KT_HOOK_CMD", command);
    }
    static QString opName(Op op)
    {
        return QStringList{"write", "read", "open", "close", "create", "rename", "lie", "alloc", "space"}.at(
            int(op));
    }

    // `wrapper` is shell code run before the program (ending in exec). Questions go unanswered.
    PackerRun pack(const QStringList& args, const QString& wrapper = {})
    {
        const QString program = qEnvironmentVariable("KT_BIN_DIR") + QStringLiteral("/klivatarn-pack");
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.setChildProcessModifier([] { // only the three standard descriptors, whatever the runner leaks
            for (int fd = 3; fd < 1024; ++fd)
                if (const int flags = ::fcntl(fd, F_GETFD); flags >= 0 && !(flags & FD_CLOEXEC))
                    ::close(fd);
        });
        const QString shell = (wrapper.isEmpty() ? QStringLiteral("exec") : wrapper) + " \"$0\" \"$@\"";
        p.start("sh", QStringList{"-c", shell, program} + args);
        if (!p.waitForFinished(60000))
            p.kill(); // then reported as a crash
        p.waitForFinished();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardError()),
                QString::fromLocal8Bit(p.readAllStandardOutput())};
    }
};

enum class Where {
    Workspace,
    FolderNotUtf8,    // the working folder's name is not UTF-8
    FolderGone,       // the working folder was removed
    SourceNotUtf8Arg, // a last argument naming b<0xFF>.bin, a name that is not UTF-8
};
enum class After {
    Nothing,       // no pack ran: no output file, old.bin and the sources as they were
    Joined,        // "out" holds the sources
    JoinedOverOld, // old.bin holds the sources
};
struct CommandCase
{
    QStringList args = {}; // "@" is the workspace; a.mpg, b.mpg, -x.mpg, ntsc.mpg, song.mp3, old.bin
                           // and dir/ exist, none of them MPEG but ntsc.mpg
    Where where = Where::Workspace;
    int exit = 0;
    QStringList err = {};  // every line of stderr; "@" is the workspace
    QString outStart = {}; // what stdout starts with; empty: nothing on stdout
    After after = After::Nothing;
};

// What happens to the files while the pack runs.
enum class Change {
    DeleteOutput,        // rm of the output after a few blocks
    RemoveOutputFolder,  // rm -r of the output's folder
    SecondWriter,        // a second pack of the same output, with --force
    GrowSource,          // appended to while it is copied (a recording in progress)
    GrowSourceAfterTurn, // appended to after it was copied, before the trash
    ReplaceSource,       // another file renamed over it while it is copied
    OutputReappears,     // a longer file appears at the output path just before the open
    SourceDeletedAtOpen, // the source vanishes just before its open
    SourceListedTwice,   // the same path twice in the list
    NameTakenInTrash,    // the trash already holds a file of a source's name
    TrashDiskFull,       // the sources' disk, with an existing trash, is full when they go
    Fault,               // the shim fails calls on one file, or the wrapper limits resources
    PlantLink,           // a link to src1 appears at the output path as the output is created
    PlantLinkAlways,     // the same at every try
    LyingStorage,        // the output's file system keeps only its first MiB (FUSE, root)
    SwapSourceFolder,    // the sources' folder swapped for look-alikes as the trash step starts
    GrowSourceAtTrash,   // src2 appended to as it is moved to the trash
};

enum class End {
    Packed,        // exit 0, output complete, every source in the trash with a good record
    PackedKept,    // exit 4, output complete, sources kept (the trash refused them, or they changed)
    FailedAllKept, // exit 1, no success, nothing trashed
    Unanswered,    // exit 3: as FailedAllKept, ended by a Retry/Cancel that nobody answered
    Interrupted,   // Ctrl-C: exit 130, nothing trashed, the output cut after a whole block
};

enum class Target { None, Output, Src2, OutputFolder }; // the file the shim's fault is on

// What the changed source holds afterwards.
enum class Victim { None, Grown, Replaced, Gone };

struct Race
{
    Change change;
    End end;
    Victim victim;       // what became of src2
    const char* message; // a part of the standard error; "@out", "@src1", "@src2" stand for the paths
    Target faultOn = Target::None; // with `shim`, a fault on that file
    Shim shim = {};
    const char* wrapper = "exec"; // shell code run before the program
    int trashed = -1; // bits of the sources in the trash at the end; -1: all when packed, else none
};

// The original paths of the trash's records, as a restoring program reads them.
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
        const auto usage = [](const char* name, const QStringList& args, const QString& problem) {
            QTest::newRow(name) << CommandCase{
                .args = args,
                .exit = 2,
                .err = {"klivatarn-pack: " + problem, "Try 'klivatarn-pack --help' for more information."}};
        };
        // Refused before any pack: one line on stderr, exit 1.
        const auto refused = [](const char* name, const QStringList& args, const QString& line,
                                Where where = Where::Workspace) {
            QTest::newRow(name) << CommandCase{
                .args = args, .where = where, .exit = 1, .err = {"klivatarn-pack: " + line}};
        };
        // Packed, with a success line that keeps the locale (a German grouping here; only
        // --info's column does not) after what `before` says.
        const auto joins = [](const char* name, const QStringList& args, const QString& output,
                              const QString& size, const QStringList& before = {}, const QString& note = {}) {
            const QString success = "klivatarn-pack: '@/" + output +
                                    "' successfully packed! Total filesize is " + size + " bytes." + note;
            QTest::newRow(name) << CommandCase{.args = args,
                                               .err = before + QStringList{success},
                                               .after =
                                                   output == "out" ? After::Joined : After::JoinedOverOld};
        };
        const QStringList notMpeg{"klivatarn-pack: '@/a.mpg' is not a valid MPEG file.", ""};
        const QString proceed = QStringLiteral("Proceed packing and ignore invalid Mpeg error? ");
        const QString na = QStringLiteral("\tnot available\tnot available\n");

        row("--version", {.args = {"--version"}, .outStart = "klivatarn-pack 2.5.0\n"});
        row("--help", {.args = {"--help"}, .outStart = "Usage: klivatarn-pack"});
        usage("unknown option", QStringList{"--bogus=1"} + o + ab, "unrecognized option '--bogus=1'");
        usage("ambiguous abbreviation", QStringList{"--tr"} + o + ab,
              "option '--tr' is ambiguous; possibilities: '--trash' '--trash-prompt'");
        usage("rate without its value", o + QStringList{"--rate"}, "option '--rate' requires an argument");
        usage("rate followed by an option", QStringList{"--rate", "-o", "@/out"} + ab,
              "option '--rate' requires an argument");
        usage("-z without --info", QStringList{"-z"} + o + ab, "-z (--null) goes with --info only");
        usage("unknown rate", QStringList{"--rate=warp"} + o + ab,
              "unknown rate 'warp' (slow, normal, fast, ufast)");
        usage("empty --output=", QStringList{"--output="} + ab, "the output file is missing (-o OUTPUT)");
        usage("--yes with --no", QStringList{"--yes", "--no"} + o + ab, "--yes and --no exclude each other");
        usage("--info without files", {"--info"}, "--info needs at least one file");
        usage("--info with -o", {"--info", "-o", "@/out", "@/a.mpg"},
              "--info takes no other option than -z, --json and --");
        usage("--json without --info", QStringList{"--json"} + o + ab, "--json goes with --info only");
        usage("--json with -z", {"--info", "--json", "-z", "@/a.mpg"},
              "-z (--null) and --json exclude each other");
        usage("source like an option", o + QStringList{"@/a.mpg", "-x.mpg"},
              "invalid option -- 'x'; for the file '-x.mpg', put '--' before it or write './-x.mpg'");
        // Neither source is an MPEG stream: both are copied as they are, and named.
        joins("--out=FILE, --seamless abbreviated", QStringList{"--out=@/out", "--seam"} + quiet + ab, "out",
              "12.000", {},
              " These parts were copied as they were: 'a.mpg' (not an MPEG stream), 'b.mpg' (not an MPEG "
              "stream).");
        joins("options after the sources", ab + QStringList{"-o", "@/out", "--no-m", "--ra", "slow"}, "out",
              "12.000");
        joins("-- before a source named -x.mpg", o + quiet + QStringList{"--", "@/a.mpg", "-x.mpg"}, "out",
              "8.000");
        const QString mixed =
            "The audio files have different sample rates or layers. A player may not play the "
            "joined file smoothly. Pack anyway?";
        row("--seamless, MP3 at 44.1 and 48 kHz, unanswered",
            {.args = QStringList{"--seamless"} + o + quiet + QStringList{"@/44k.mp3", "@/48k.mp3"},
             .exit = 3,
             .err = {"klivatarn-pack: " + mixed + " [no answer: no]",
                     "klivatarn-pack: Packing aborted: the question \"" + mixed + "\" was not answered."}});
        refused("one source", o + QStringList{"@/a.mpg"}, "At least 2 files are required for packing.");
        row("not MPEG, unanswered",
            {.args = o + ab,
             .exit = 3,
             .err =
                 notMpeg + QStringList{proceed + "[no answer: no]",
                                       "klivatarn-pack: Packing aborted: the question \"'@/a.mpg' is not a "
                                       "valid MPEG file.\" was not answered."}});
        row("not MPEG, --no", {.args = QStringList{"--no"} + o + ab,
                               .exit = 1,
                               .err = notMpeg + QStringList{proceed + "[--no: no]"}});
        joins("not MPEG, --yes", QStringList{"--yes"} + o + ab, "out", "12.000",
              notMpeg + QStringList{proceed + "[--yes: yes]"});
        const QString replace = "'@/old.bin' already exists. Do you want to replace it?";
        row("existing output, unanswered",
            {.args = QStringList{"-o", "@/old.bin"} + quiet + ab,
             .exit = 3,
             .err = {"klivatarn-pack: " + replace + " [no answer: no]",
                     "klivatarn-pack: Packing aborted: the question \"" + replace + "\" was not answered."}});
        joins("existing output, --force", QStringList{"--force", "-o", "@/old.bin"} + quiet + ab, "old.bin",
              "12.000");
        joins("--trash-prompt, unanswered: kept", QStringList{"--trash-prompt"} + o + quiet + ab, "out",
              "12.000",
              {"klivatarn-pack: Move these 2 files to the trash?", "", "'@/a.mpg'",
               "'@/b.mpg' [no answer: no]"});
        refused("-o names a folder", QStringList{"--force", "-o", "@/dir"} + quiet + ab,
                "'@/dir' is a folder; -o needs the name of a file.");
        refused("source named not UTF-8", o + quiet + QStringList{"@/a.mpg"},
                "'@/b\uFFFD.bin' cannot be packed: its name is not valid UTF-8.", Where::SourceNotUtf8Arg);
        refused("relative -o in a folder named not UTF-8", QStringList{"-o", "out"} + quiet + ab,
                "'@/d\uFFFD/out' cannot be packed: its name is not valid UTF-8.", Where::FolderNotUtf8);
        refused("relative source in a folder named not UTF-8", o + quiet + QStringList{"@/a.mpg", "../b.mpg"},
                "'@/d\uFFFD/../b.mpg' cannot be packed: its name is not valid UTF-8.", Where::FolderNotUtf8);
        refused("relative -o in a folder removed", QStringList{"-o", "out"} + quiet + ab,
                "'out' cannot be packed: the current folder cannot be found (No such file or directory).",
                Where::FolderGone);
        // One line per file, the path as given, the frame rate with a '.' whatever the locale
        // (scripts read it); a file that cannot be opened is said on stderr, and not created.
        row("--info, every file described",
            {.args = {"--info", "ntsc.mpg", "@/pal clip.mpg"},
             .outStart = "ntsc.mpg\t352 x 240\t29.97\n@/pal clip.mpg\t704 x 576\t25\n"});
        row("--info, files missing or not MPEG",
            {.args = {"--info", "--", "missing.mpg", "ntsc.mpg", "song.mp3"},
             .exit = 1,
             .err = {"klivatarn-pack: cannot open 'missing.mpg': No such file or directory"},
             .outStart = "missing.mpg" + na + "ntsc.mpg\t352 x 240\t29.97\nsong.mp3" + na});
        // Names with control characters forge no --info row and reach the terminal quoted; a
        // plain name keeps the window's text.
        const QString forged = "x.mpg\t352 x 240\t25\nforged.mpg";
        row("--info, a name with TABs and a newline",
            {.args = {"--info", forged},
             .outStart = "x.mpg\\t352 x 240\\t25\\nforged.mpg\t352 x 240\t29.97\n"});
        row("--info -z, the name as it is",
            {.args = {"--info", "-z", forged}, .outStart = forged + "\t352 x 240\t29.97" + QChar(0)});
        row("--info, '\\' and ESC escaped, the message quoted",
            {.args = {"--info", "a\\n\x1b[2J.mpg"},
             .exit = 1,
             .err = {"klivatarn-pack: cannot open 'a\\n'$'\\033''[2J.mpg': No such file or directory"},
             .outStart = "a\\\\n\\033[2J.mpg" + na});
        refused("the window's message quoted", o + quiet + QStringList{"@/a.mpg", "e\nmpty.mpg"},
                "Cannot pack '@/e'$'\\n''mpty.mpg' which is a 0 byte file. Packing aborted!");
        refused("the packer's own message quoted", QStringList{"-o", "di\rr"} + quiet + ab,
                "'di'$'\\r''r' is a folder; -o needs the name of a file.");
    }
    void commandLine()
    {
        QFETCH(CommandCase, c);
        PackerWorkspace ws;
        ws.src.add(ws.path("a.mpg"), 5000);
        ws.src.add(ws.path("b.mpg"), 7000);
        ws.src.add(ws.path("-x.mpg"), 3000);
        QVERIFY(writeMpegLikeFile(ws.path("ntsc.mpg"), 40000, 12, 352, 240, 4));
        QVERIFY(writeMpegLikeFile(ws.path("pal clip.mpg"), 90000, 32766, 704, 576, 3));
        QVERIFY(writeFileWith(ws.path("song.mp3"), 50000, -1, {}));
        // MPEG-1 layer III frames of 128 kbit/s at 44.1 and at 48 kHz (the payload silent).
        QVERIFY(writeFile(ws.path("44k.mp3"),
                          (QByteArray("\xFF\xFB\x90\x64") + QByteArray(413, 0)).repeated(20)) &&
                writeFile(ws.path("48k.mp3"),
                          (QByteArray("\xFF\xFB\x94\x64") + QByteArray(380, 0)).repeated(20)));
        QVERIFY(writeFile(ws.path("old.bin"), "old contents") && QDir(ws.dir.path()).mkpath("dir/inside"));
        QVERIFY(writeMpegLikeFile(ws.path("x.mpg\t352 x 240\t25\nforged.mpg"), 40000, 12, 352, 240, 4));
        QVERIFY(writeFile(ws.path("e\nmpty.mpg"), {}) && QDir(ws.dir.path()).mkdir("di\rr"));
        // Names that are not UTF-8, which Qt cannot spell: std::filesystem makes and removes them.
        const std::filesystem::path root(QFile::encodeName(ws.dir.path()).constData()), bad = root / "d\xff";
        auto removeBad = qScopeGuard([&] { std::filesystem::remove_all(root); });
        QVERIFY(std::filesystem::create_directory(bad) && std::ofstream(root / "b\xff.bin") << "data");
        ws.env.remove("LC_ALL");
        ws.env.insert("LC_NUMERIC", "de_DE.UTF-8"); // a decimal comma, yet the frame rate keeps its '.'
        ws.env.insert("KT_DIR", ws.dir.path());
        const QString wrappers[] = {"cd \"$KT_DIR\"; exec", "cd \"$(printf '%s/d\\377' \"$KT_DIR\")\"; exec",
                                    "mkdir \"$KT_DIR/gone\"; cd \"$KT_DIR/gone\"; rmdir ../gone; exec",
                                    "set -- \"$@\" \"$(printf '%s/b\\377.bin' \"$KT_DIR\")\"; exec"};
        c.args.replaceInStrings("@", ws.dir.path());
        c.err.replaceInStrings("@", ws.dir.path());

        const PackerRun r = ws.pack(c.args, wrappers[int(c.where)]);

        QCOMPARE(r.exit, c.exit);
        QCOMPARE(r.err, c.err.isEmpty() ? QString() : c.err.join('\n') + '\n');
        const QString outStart = c.outStart.replace('@', ws.dir.path());
        QVERIFY2(outStart.isEmpty() ? r.out.isEmpty() : r.out.startsWith(outStart), qPrintable(r.out));
        QVERIFY(ws.src.unchanged());
        const QByteArray joined = ws.src.contents[0] + ws.src.contents[c.args.contains("-x.mpg") ? 2 : 1];
        QCOMPARE(fileBytes(ws.path("out")), c.after == After::Joined ? joined : QByteArray());
        QCOMPARE(fileBytes(ws.path("old.bin")), c.after == After::JoinedOverOld ? joined : "old contents");
        QVERIFY(QFileInfo(ws.path("dir/inside")).isDir()); // an -o naming the folder leaves it be
        QVERIFY(!QFileInfo::exists(ws.path("missing.mpg")));
        // Nothing was written in the folder with the bad name, nor in one spelt like it.
        QVERIFY(std::filesystem::is_empty(bad) && !QFileInfo::exists(ws.path("d\uFFFD")));
        QCOMPARE(ws.trashedFiles(), 0);
    }

    // On a terminal (script's pseudo-terminal), under a clock 10,000 times as fast so that
    // each step's estimate differs: the line at 100% shows that step's estimate, not the one
    // before, and an ESC in the name arrives quoted.
    void progressLine()
    {
        if (QStandardPaths::findExecutable("script").isEmpty() ||
            QStandardPaths::findExecutable("faketime").isEmpty())
            QSKIP("needs script and faketime (scripts/install-deps installs them)");
        PackerWorkspace ws;
        const QString s1 = ws.src.add(ws.path("s1"), 3000000),
                      s2 = ws.src.add(ws.path("e\x1b[2J.mpg"), 3000000);
        // script runs the command it is given as one string; the rest of the line is a comment.
        const PackerRun r =
            ws.pack({"--force", "--no-mpeg-check", "--rate", "slow", "-o", ws.path("out"), s1, s2},
                    "a=$(printf \"'%s' \" \"$0\" \"$@\"); "
                    "exec script -qec \"exec faketime -f '+0 x10000' $a\" /dev/null #");

        QCOMPARE(r.exit, 0);
        QCOMPARE(fileBytes(ws.path("out")), ws.src.joined());
        QVERIFY2(!r.out.contains("\x1b[2J"), qPrintable(r.out));
        QString before;   // the last line before 100%
        QStringList full; // the lines at 100%
        for (const QString& frame : r.out.split("\r\x1b[K")) {
            const QString line = frame.section('\r', 0, 0);
            if (line.startsWith("100%"))
                full << line;
            else if (full.isEmpty())
                before = line;
        }
        // The fast clock makes the estimate before 100% one that would show if it lagged.
        QVERIFY2(before.contains(" remaining") && !before.contains(" 0 second"), qPrintable(before));
        QCOMPARE(full, QStringList{"100%  0 second remaining  Packing 'e'$'\\033''[2J.mpg'"});
    }

    void sparseSourceOver4GiB()
    {
        const QString info = QString::fromLatin1(fileBytes("/proc/meminfo"));
        if (QRegularExpression("MemAvailable: *(\\d+)").match(info).captured(1).toLongLong() < 10LL << 20)
            QSKIP("needs 10 GiB of free memory for a 4 GiB output on a tmpfs");
        PackerWorkspace ws;
        // The sparse source beside the output: the kernel copies it there without reading 4 GiB
        // of holes from another volume (seconds instead of a quarter minute).
        const QString mnt = ws.path("big"), big = mnt + "/sparse.bin", small = ws.path("small.bin");
        QVERIFY(QDir().mkdir(mnt));
        if (!runTool("mount", {"-t", "tmpfs", "-o", "size=4200M", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { runTool("umount", {mnt}); });
        const qint64 bigSize = (1LL << 32) + (1LL << 20);
        QVERIFY(writeSparseFileWith(big, bigSize, bigSize - 8, "TAILMARK"));
        QVERIFY(writeFile(small, patternBytes(12345, 3)));

        const PackerRun r =
            ws.pack({"--rate", "ufast", "--no-mpeg-check", "-o", mnt + "/out.bin", big, small});

        QCOMPARE(r.exit, 0);
        QVERIFY(r.err.contains("Total filesize is 4,296,028,217 bytes."));
        QFile o(mnt + "/out.bin");
        QVERIFY(o.open(QIODevice::ReadOnly) && o.size() == bigSize + 12345 && o.seek(bigSize - 8));
        QCOMPARE(o.readAll(), "TAILMARK" + patternBytes(12345, 3));
    }

    void races_data()
    {
        QTest::addColumn<Race>("race");
        const char* gone = "' was deleted while it was being packed. Packing aborted!";
        const char* changed = "'@src2' changed while it was being packed. Packing aborted!";
        const End failed = End::FailedAllKept;
        const Shim closeFails{Op::Close, 1, 0, EIO};
        auto row = [](const char* name, Race r) { QTest::newRow(name) << r; };
        row("output deleted", {Change::DeleteOutput, failed, Victim::None, gone});
        row("output folder removed", {Change::RemoveOutputFolder, failed, Victim::None, gone});
        row("second pack of the output", {Change::SecondWriter, End::Packed, Victim::None, ""});
        row("source grows while copied", {Change::GrowSource, failed, Victim::Grown, changed});
        row("source grows after its turn", {Change::GrowSourceAfterTurn, failed, Victim::Grown, changed});
        row("source replaced while copied", {Change::ReplaceSource, failed, Victim::Replaced, changed});
        row("close of the output fails",
            {Change::Fault, failed, Victim::None, "Cannot finish writing '@out': Input/output error.",
             Target::Output, closeFails});
        row("old file back at the output", {Change::OutputReappears, End::Packed, Victim::None, ""});
        row("source deleted before its open",
            {Change::SourceDeletedAtOpen, failed, Victim::Gone, "'@src2' was not found! Packing aborted!"});
        row("same source twice", {Change::SourceListedTwice, End::Packed, Victim::None, ""});
        row("a source's name already in the trash",
            {Change::NameTakenInTrash, End::Packed, Victim::None, ""});
        row("trash on a full disk",
            {Change::TrashDiskFull, End::PackedKept, Victim::None, "could not be moved to the trash"});
        row("link to a source planted as the output is made",
            {Change::PlantLink, End::Packed, Victim::None, ""});
        row("link planted at every try",
            {Change::PlantLinkAlways, failed, Victim::None,
             "'@out' was made again by another program each time it was deleted; it was not replaced."});
        row("storage keeps only the first MiB (FUSE)",
            {Change::LyingStorage, failed, Victim::None,
             "'@out', read back from its storage, differs from the files packed from byte 1048576 on"});
        row("sources' folder swapped for look-alikes as the trash starts",
            {Change::SwapSourceFolder, End::PackedKept, Victim::None,
             "'@src1' (another file took its place as it was being moved to the trash; that file was put "
             "back)\n"
             "'@src2' (it is no longer the file that was packed)"});
        row("source grows as it goes to the trash", {Change::GrowSourceAtTrash,
                                                     End::PackedKept,
                                                     Victim::Grown,
                                                     "'@src2' could not be moved to the trash (it changed as "
                                                     "it was being moved to the trash; it was put "
                                                     "back).",
                                                     Target::None,
                                                     {},
                                                     "exec",
                                                     0b101});
        const auto fault = [](const char* name, End end, const char* message, Target on, Shim shim) {
            QTest::newRow(name) << Race{Change::Fault, end, Victim::None, message, on, shim};
        };
        const auto limit = [](const char* name, End end, const char* wrapper, const char* message) {
            QTest::newRow(name) << Race{Change::Fault, end, Victim::None, message, Target::None, {}, wrapper};
        };
        const Target out = Target::Output, src2 = Target::Src2;
        fault("storage keeps only the first MB (shim)", failed,
              "'@out', read back from its storage, differs from the files packed from byte 1000000 on", out,
              {Op::Lie, 1, 0, 0, 1000000});
        fault("no memory for the read-back", failed, "There is not enough memory to go on.", out,
              {Op::Alloc, 1, 0, 0, 1 << 20});
        fault("output folder cannot be opened to flush it", End::Packed, "", Target::OutputFolder,
              {Op::Open, 1, 0, EACCES});
        // The output's volume has exactly the 11,679,984 bytes of the sources free, or a byte less.
        fault("free space exactly enough", End::Packed, "", out, {Op::Space, 1, 0, 0, 11679984});
        fault("free space a byte short", failed, "Not enough free diskspace. Packing aborted!", out,
              {Op::Space, 1, 0, 0, 11679983});
        const End unanswered = End::Unanswered;
        const char* noSpace = "Packing aborted: the question \"Cannot write to '@out': No space left on "
                              "device.\" was not answered.";
        fault("disk full mid-block", unanswered, noSpace, out, {Op::Write, 3, 0, ENOSPC});
        fault("short write, then disk full", unanswered, noSpace, out, {Op::Write, 2, 0, ENOSPC, 777});
        fault("I/O error on write", unanswered, "Cannot write to '@out': Input/output error.", out,
              {Op::Write, 3, 0, EIO});
        fault("read error", failed, "Cannot read '@src2': Input/output error. Packing aborted!", src2,
              {Op::Read, 1, 0, EIO});
        fault("source ends before its length", failed, "'@src2' ended after ", src2, {Op::Read, 1, 0, 0, 0});
        // Ctrl-C arrives from a hook before the output's second write, whatever the machine's pace.
        fault("Ctrl-C mid-pack", End::Interrupted, "Packing aborted by user", out,
              {Op::Write, 1, 0, 0, -1, 20});
        fault("interrupted writes go on", End::Packed, "", out, {Op::Write, 2, 3, EINTR});
        fault("short reads go on", End::Packed, "", src2, {Op::Read, 1, 3, 0, 100});
        fault("short writes go on", End::Packed, "", out, {Op::Write, 2, 3, 0, 100});
        limit("file size limit", unanswered, "ulimit -f 1000; trap '' XFSZ; exec",
              "Cannot write to '@out': File too large.");
        limit("too many open files: output", failed, "ulimit -n 4; exec", "Error opening '@out'!");
        limit("too many open files: source", failed, "ulimit -n 5; exec", "Error opening '@src1'!");
    }
    void races()
    {
        QFETCH(Race, race);
        PackerWorkspace ws;
        // The fault shim, with a marker file that says it was loaded, and its trace of calls.
        ws.env.insert("LD_PRELOAD", KT_FAULT_SHIM);
        ws.env.insert("KT_FAULT_MARKER", ws.path("shim-loaded"));
        ws.env.insert("KT_TRACE_FILE", ws.path("trace"));
        QString mount, folder = ws.path("src");
        QVERIFY(QDir().mkdir(folder) && QDir().mkdir(ws.path("out")));
        auto unmount = qScopeGuard([&] {
            if (!mount.isEmpty())
                runTool("timeout", {"20", "umount", mount});
        });
        if (race.change == Change::LyingStorage) {
            if (!*KT_LYING_FS || ::geteuid() != 0 || !QFileInfo::exists("/dev/fuse"))
                QSKIP("needs libfuse3 at build time, /dev/fuse, fusermount3 and root");
            mount = ws.path("out");
            QVERIFY(QDir().mkdir(ws.path("backing")));
            QVERIFY(runTool("timeout", {"20", KT_LYING_FS, ws.path("backing"), mount}));
        }
        if (race.change == Change::TrashDiskFull) {
            mount = folder = ws.path("small");
            QVERIFY(QDir().mkdir(mount));
            if (!runTool("timeout", {"20", "mount", "-t", "tmpfs", "-o", "size=16M", "tmpfs", mount}))
                QSKIP("cannot mount a tmpfs here (needs root)");
            ws.setHome(mount); // the user's trash on the sources' disk, already there
        }
        if (race.change == Change::TrashDiskFull || race.change == Change::NameTakenInTrash)
            QVERIFY(QDir().mkpath(ws.trash() + "/files") && QDir().mkpath(ws.trash() + "/info"));
        // Sizes of a few MiB. The kernel copy takes a source in one or two calls (as many
        // blocks as fit in a frame), so the k-th call on the output is the k-th source's.
        const QString src1 = ws.src.add(folder + "/src1.bin", 4000000);
        const QString src2 = ws.src.add(folder + "/src2.bin", 6080000),
                      src3 = ws.src.add(folder + "/src3.bin", 1599984);
        const QString out = ws.path("out/out.bin");
        const QByteArray tail = patternBytes(5000, 77), replacement = patternBytes(4321, 78);
        QVERIFY(writeFile(ws.path("tail"), tail) && writeFile(ws.path("replacement"), replacement));
        QVERIFY(writeFile(ws.path("other1"), patternBytes(3000, 1)) && writeFile(ws.path("other2"), "2"));
        const QString secondPack =
            QString("'%1/klivatarn-pack' --force --no-mpeg-check -o '%2' '%3' '%4' 2>'%5'; echo $? >'%6'")
                .arg(qEnvironmentVariable("KT_BIN_DIR"), out, ws.path("other1"), ws.path("other2"),
                     ws.path("second.err"), ws.path("second.exit"));
        const QString grow = "cat '" + ws.path("tail") + "' >> '" + src2 + "'";
        const std::tuple<Change, Op, QString, int, QString> hooks[] = {
            {Change::DeleteOutput, Op::Write, out, 2, "rm -f '" + out + "'"},
            {Change::RemoveOutputFolder, Op::Write, out, 2, "rm -rf '" + ws.path("out") + "'"},
            {Change::SecondWriter, Op::Write, out, 2, secondPack},
            {Change::GrowSource, Op::Read, src2, 1, grow},
            {Change::GrowSourceAfterTurn, Op::Read, src3, 1, grow},
            {Change::ReplaceSource, Op::Read, src2, 1, "mv '" + ws.path("replacement") + "' '" + src2 + "'"},
            {Change::OutputReappears, Op::Open, out, 1, "head -c 3000000 /dev/zero >'" + out + "'"},
            {Change::SourceDeletedAtOpen, Op::Open, src2, 1, "rm -f '" + src2 + "'"},
            {Change::PlantLink, Op::Create, out, 1, "ln -s '" + src1 + "' '" + out + "'"},
            {Change::PlantLinkAlways, Op::Create, out, -1, "ln -s '" + src1 + "' '" + out + "'"},
            {Change::SwapSourceFolder, Op::Rename, src1, 1,
             QString("cd '%1' && mv src src.old && mkdir src && cp src.old/* src/").arg(ws.dir.path())},
            {Change::GrowSourceAtTrash, Op::Rename, src2, 1, grow},
        };
        for (const auto& [change, op, path, at, command] : hooks)
            if (change == race.change)
                ws.hook(op, path, at, command);
        if (race.end == End::Interrupted)
            ws.hook(Op::Write, out, 2, "kill -INT $PPID");
        if (race.faultOn != Target::None)
            ws.fault(QStringList{{}, out, src2, ws.path("out")}.at(int(race.faultOn)), race.shim);
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
        if (race.change == Change::TrashDiskFull) // fills the disk, then fails
            runTool("sh", {"-c", "cat /dev/zero >'" + mount + "/filler'"});

        const bool packed = race.end == End::Packed || race.end == End::PackedKept;
        const PackerRun r = ws.pack(
            QStringList{"--trash", "--no-mpeg-check", "--rate", "slow", "-o", out} + sources, race.wrapper);

        QVERIFY2(QFileInfo::exists(ws.path("shim-loaded")), "the fault shim was not loaded");
        const QString message =
            QString(race.message).replace("@out", out).replace("@src1", src1).replace("@src2", src2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        const int exits[] = {0, 4, 1, 3, 130}; // by End
        QCOMPARE(r.exit, exits[int(race.end)]);
        // Only Ctrl-C is the user's abort; a question nobody answered is said as such.
        QCOMPARE(r.err.contains("Packing aborted by user"), race.end == End::Interrupted);
        QCOMPARE(r.err.contains("successfully packed!"), packed);
        // What the storage holds (through the lying file system, its cached pages and zeros).
        const QByteArray written =
            fileBytes(race.change == Change::LyingStorage ? ws.path("backing/out.bin") : out);
        if (packed)
            QVERIFY(written == expectedOutput);
        else // what was written is the sources in order, perhaps cut short
            QVERIFY(expectedOutput.startsWith(written));
        if (race.end == End::Interrupted) { // Ctrl-C leaves whole blocks only (a remainder ends its file)
            qsizetype start = 0, size = 0;
            for (const QByteArray& source : ws.src.contents) {
                size = source.size();
                if (written.size() <= start + size)
                    break;
                start += size;
            }
            const qsizetype into = written.size() - start;
            QVERIFY2(written.size() > 0 && (into % 10000 == 0 || into == size),
                     qPrintable(QString::number(written.size())));
        }
        if (race.change == Change::SecondWriter) { // the second pack met the first one's lock
            // Its Retry/Cancel got no answer.
            QCOMPARE(fileBytes(ws.path("second.exit")).trimmed(), QByteArray("3"));
            QVERIFY2(fileBytes(ws.path("second.err")).contains("Cannot overwrite"),
                     fileBytes(ws.path("second.err")).constData());
        }

        // Each source is in the trash with a record naming it, or in its place as it was.
        const int inTrash = race.trashed >= 0 ? race.trashed : race.end == End::Packed ? 0b111 : 0;
        QStringList records =
            race.change == Change::NameTakenInTrash ? QStringList{"/elsewhere/src1.bin"} : QStringList{};
        const QByteArray src2Bytes[] = {ws.src.contents[1], ws.src.contents[1] + tail, replacement, {}};
        for (int i = 0; i < 3; ++i) {
            const QString& source = ws.src.paths[i];
            if (inTrash & (1 << i))
                records << source;
            else if (i != 1)
                QCOMPARE(fileBytes(source), ws.src.contents[i]);
            else // not made again by the open
                QVERIFY(QFileInfo::exists(src2) == (race.victim != Victim::Gone) &&
                        fileBytes(src2) == src2Bytes[int(race.victim)]);
            QCOMPARE(QFileInfo::exists(source) && i != 1, !(inTrash & (1 << i)) && i != 1);
        }
        records.sort();
        QCOMPARE(trashRecords(ws.trash()), records);
        QCOMPARE(ws.trashedFiles(), records.size());
        if (inTrash == 0)
            return;
        // The output and its folder were on disk before the first source moved; each source's
        // record and the trash's folders right after it moved, before the next one.
        const QStringList trace = QString::fromLocal8Bit(fileBytes(ws.path("trace"))).split('\n');
        const QRegularExpression move("rename " + QRegularExpression::escape(folder + "/") + ".*");
        const qsizetype firstMove = trace.indexOf(move);
        QVERIFY(firstMove > 0);
        QVERIFY(trace.first(firstMove).contains("fsync " + out));
        QVERIFY(trace.first(firstMove).contains("fsync " + ws.path("out")) ||
                trace.first(firstMove).contains("syncfs " + out));
        for (int i = 0; i < 3; ++i) {
            const qsizetype at = trace.indexOf("rename " + ws.src.paths[i]),
                            next = trace.indexOf(move, at + 1);
            const QStringList after = trace.mid(at + 1, next < 0 ? -1 : next - at - 1);
            const QString trash = "fsync " + ws.trash();
            QVERIFY2(!(inTrash & (1 << i)) ||
                         (at > 0 &&
                          after.indexOf(QRegularExpression(QRegularExpression::escape(trash + "/info/") +
                                                           "[^/]+\\.trashinfo")) >= 0 &&
                          after.contains(trash + "/info") && after.contains(trash + "/files")),
                     qPrintable(ws.src.paths[i]));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
