// klivatarn-pack run as a program: exit statuses and flags, faults injected into its reads and
// writes (an LD_PRELOAD shim, ulimit), Ctrl-C, and a source over 4 GiB.
#include "../support/MpegFixtures.h"
#include "../support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kt::test;

namespace {

struct Run
{
    int exit = -1;
    QString err;
    QString out;
};

const QString kSuccess = QStringLiteral("successfully packed!");

// The command line itself: arguments in, exit status and the first line on stderr out.
enum class Where { Workspace, FolderNotUtf8, FolderGone }; // the working folder of the run
enum class After {
    Nothing,      // no pack ran: no output file, sources as they were
    Joined,       // the output holds the sources
    FolderIntact, // the output named a folder, which is left as it was
};
struct CommandCase
{
    QStringList args = {}; // "@" is the workspace; a.mpg, b.mpg, -x.mpg, ntsc.mpg and dir/ exist
    Where where = Where::Workspace;
    int exit = 0;
    QString firstErrLine = {};  // the whole first stderr line; empty: nothing on stderr
    QString secondErrLine = {}; // with it, stderr holds just these two lines
    QString outStart = {};      // what stdout starts with; empty: nothing on stdout
    After after = After::Nothing;
};
} // namespace
Q_DECLARE_METATYPE(CommandCase)
namespace {
const QString kTryHelp = QStringLiteral("Try 'klivatarn-pack --help' for more information.");

struct Workspace
{
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    SourceSet src;

    Workspace()
    {
        env.insert("XDG_DATA_HOME", dir.filePath("xdg"));
        env.insert("HOME", dir.path());
        env.insert("LC_ALL", "C");
        env.insert("LANG", "C");
        env.remove("LANGUAGE");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    int trashedCount() const { return int(QDir(path("xdg/Trash/files")).entryList(QDir::Files).size()); }
    void preloadShim(const QString& faultPath, const QString& op)
    {
        env.insert("LD_PRELOAD", KT_FAULT_SHIM);
        env.insert("KT_FAULT_MARKER", path("shim-loaded"));
        env.insert("KT_FAULT_PATH", faultPath);
        env.insert("KT_FAULT_OP", op);
    }
    bool shimLoaded() const { return QFileInfo::exists(path("shim-loaded")); }

    // `wrapper` is shell code run before the program (ending in exec); with `interruptMs` set,
    // SIGINT arrives that long after the output has its first bytes.
    Run pack(const QStringList& args, const QString& wrapper = QString(), int interruptMs = -1)
    {
        const QString program = qEnvironmentVariable("KT_BIN_DIR") + QStringLiteral("/klivatarn-pack");
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice()); // questions go unanswered
        p.setChildProcessModifier([] { // only the three standard descriptors, whatever the runner leaks
            for (int fd = 3; fd < 1024; ++fd)
                if (const int flags = ::fcntl(fd, F_GETFD); flags >= 0 && !(flags & FD_CLOEXEC))
                    ::close(fd);
        });
        if (wrapper.isEmpty())
            p.start(program, args);
        else
            p.start("sh", QStringList{"-c", wrapper + " \"$0\" \"$@\"", program} + args);
        if (interruptMs >= 0) {
            QDeadlineTimer deadline(20000);
            const QString out = args[args.indexOf("-o") + 1];
            while (!deadline.hasExpired() && QFileInfo(out).size() == 0)
                QThread::msleep(10);
            QThread::msleep(interruptMs);
            ::kill(pid_t(p.processId()), SIGINT);
        }
        if (!p.waitForFinished(60000))
            p.kill(); // then reported as a crash
        p.waitForFinished();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardError()),
                QString::fromLocal8Bit(p.readAllStandardOutput())};
    }
};

} // namespace

class TestCliPack : public QObject
{
    Q_OBJECT
private slots:
    void exitStatusesAndFlags_data()
    {
        QTest::addColumn<QStringList>("args"); // "@" is the workspace
        QTest::addColumn<QString>("wrapper");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        const QStringList ab{"@/a.mpg", "@/b.mpg"};
        QTest::newRow("one source") << QStringList{"-o", "@/out", "@/a.mpg"} << "" << 1
                                    << "At least 2 files are required for packing.";
        QTest::newRow("not MPEG, unanswered")
            << QStringList{"-o", "@/out"} + ab << "" << 1 << "'@/a.mpg' is not a valid MPEG file.";
        QTest::newRow("not MPEG, --no") << QStringList{"--no", "-o", "@/out"} + ab << "" << 1
                                        << "Proceed packing and ignore invalid Mpeg error? [--no: no]";
        QTest::newRow("not MPEG, --yes") << QStringList{"--yes", "-o", "@/out"} + ab << "" << 0 << kSuccess;
        QTest::newRow("existing output, unanswered")
            << QStringList{"--no-mpeg-check", "-o", "@/old.bin"} + ab << "" << 1
            << "'@/old.bin' already exists. Do you want to replace it? "
               "[no answer: no]";
        QTest::newRow("existing output, --force")
            << QStringList{"--force", "--no-mpeg-check", "-o", "@/old.bin"} + ab << "" << 0 << kSuccess;
        QTest::newRow("--trash-prompt, unanswered: kept")
            << QStringList{"--trash-prompt", "--no-mpeg-check", "-o", "@/out"} + ab << "" << 0 << kSuccess;
        QTest::newRow("name not UTF-8") << QStringList{"--no-mpeg-check", "-o", "@/out", "@/a.mpg"}
                                        << "set -- \"$@\" \"$(printf '%s/b\\377.bin' \"$KT_DIR\")\"; exec"
                                        << 1 << "its name is not valid UTF-8";
    }
    void exitStatusesAndFlags()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, wrapper);
        QFETCH(int, exit);
        QFETCH(QString, message);
        Workspace ws;
        ws.src.add(ws.path("a.mpg"), 5000);
        ws.src.add(ws.path("b.mpg"), 7000);
        QVERIFY(writeFile(ws.path("old.bin"), "old contents"));
        std::FILE* bad =
            std::fopen(QFile::encodeName(ws.dir.path() + "/b").append("\xff.bin").constData(), "wb");
        QVERIFY(bad && std::fputs("data", bad) >= 0 && std::fclose(bad) == 0); // the 0xFF byte is not UTF-8
        ws.env.insert("KT_DIR", ws.dir.path());
        for (QString& a : args)
            a.replace('@', ws.dir.path());
        message.replace('@', ws.dir.path());

        const Run r = ws.pack(args, wrapper);

        QCOMPARE(r.exit, exit);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.contains(kSuccess), exit == 0);
        const QString out = args.value(args.indexOf("-o") + 1);
        if (exit == 0)
            QVERIFY(fileBytes(out) == ws.src.joined());
        else if (exit == 1)
            QCOMPARE(fileBytes(out), QByteArray(out.endsWith("old.bin") ? "old contents" : ""));
        QVERIFY(ws.src.unchanged());
        QCOMPARE(ws.trashedCount(), 0);
    }

    void faults_data()
    {
        QTest::addColumn<QString>(
            "fault"); // shim: "TARGET OP AT COUNT ERRNO SHORT [SLEEP_MS]", TARGET "out" or "src2"
        QTest::addColumn<QString>("wrapper");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        const auto shim = [](const char* where, const char* op, int at, int count, int error,
                             int shortBytes) {
            return QString::asprintf("%s %s %d %d %d %d", where, op, at, count, error, shortBytes);
        };
        const QString noSpace = QStringLiteral("Cannot write to '@out': No space left on device.");
        QTest::newRow("disk full mid-block") << shim("out", "write", 3, 0, ENOSPC, -1) << "" << 1 << noSpace;
        QTest::newRow("short write, then disk full")
            << shim("out", "write", 2, 0, ENOSPC, 777) << "" << 1 << noSpace;
        QTest::newRow("I/O error on write") << shim("out", "write", 4, 0, EIO, -1) << "" << 1
                                            << "Cannot write to '@out': Input/output error.";
        QTest::newRow("read error") << shim("src2", "read", 2, 0, EIO, -1) << "" << 1
                                    << "Cannot read '@src2': Input/output error. Packing aborted!";
        QTest::newRow("source truncated between two blocks")
            << shim("src2", "read", 3, 0, 0, 0) << "" << 1 << "'@src2' ended after ";
        QTest::newRow("file size limit")
            << ""
            << "ulimit -f 1000; trap '' XFSZ; exec" << 1 << "Cannot write to '@out': File too large.";
        QTest::newRow("too many open files: output") << ""
                                                     << "ulimit -n 4; exec" << 1 << "Error opening '@out'!";
        QTest::newRow("too many open files: source") << ""
                                                     << "ulimit -n 5; exec" << 1 << "Error opening '@src1'!";
        QTest::newRow("Ctrl-C mid-pack") << shim("out", "write", 1, 0, 0, -1) + " 20"
                                         << "" << 130 << "Packing aborted by user";
        QTest::newRow("interrupted writes go on") << shim("out", "write", 2, 3, EINTR, -1) << "" << 0 << "";
        QTest::newRow("short reads go on") << shim("src2", "read", 2, 3, 0, 100) << "" << 0 << "";
        QTest::newRow("short writes go on") << shim("out", "write", 2, 3, 0, 100) << "" << 0 << "";
    }
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(QString, wrapper);
        QFETCH(int, exit);
        QFETCH(QString, message);
        Workspace ws;
        ws.src.add(ws.path("src1.bin"), 250000);
        ws.src.add(ws.path("src2.bin"), 380000);
        ws.src.add(ws.path("src3.bin"), 99999);
        const QString out = ws.path("out.bin");
        const QStringList f = fault.split(' ');
        if (!fault.isEmpty()) {
            ws.preloadShim(f[0] == "out" ? out : ws.path("src2.bin"), f[1]);
            ws.env.insert("KT_FAULT_AT", f[2]);
            ws.env.insert("KT_FAULT_COUNT", f[3]);
            ws.env.insert("KT_FAULT_ERRNO", f[4]);
            ws.env.insert("KT_FAULT_SHORT", f[5]);
            ws.env.insert("KT_FAULT_SLEEP_MS", f.value(6)); // so that Ctrl-C lands mid-pack
        }
        message.replace("@out", out)
            .replace("@src1", ws.path("src1.bin"))
            .replace("@src2", ws.path("src2.bin"));

        const Run r =
            ws.pack(QStringList{"--trash", "--no-mpeg-check", "--rate", "slow", "-o", out} + ws.src.paths,
                    wrapper, exit == 130 ? 100 : -1);

        QVERIFY2(fault.isEmpty() || ws.shimLoaded(), "the fault shim was not loaded");
        QCOMPARE(r.exit, exit);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.contains(kSuccess), exit == 0);
        QCOMPARE(ws.trashedCount(), exit == 0 ? 3 : 0);
        if (exit == 0) {
            QVERIFY(fileBytes(out) == ws.src.joined());
            return;
        }
        QVERIFY(ws.src.unchanged());
        const QByteArray partial = fileBytes(out);
        QVERIFY(partial.size() < ws.src.joined().size() && ws.src.joined().startsWith(partial));
        if (exit == 130) // Ctrl-C leaves whole blocks only
            QVERIFY(partial.size() > 0 && partial.size() % 10000 == 0);
    }

    void commandLine_data()
    {
        QTest::addColumn<CommandCase>("c");
        const QStringList ab{"@/a.mpg", "@/b.mpg"};
        const QStringList quiet{"--no-mpeg-check", "--rate=slow"};
        const auto usage = [](const char* name, const QStringList& args, const QString& problem) {
            QTest::newRow(name) << CommandCase{.args = args,
                                               .exit = 2,
                                               .firstErrLine = "klivatarn-pack: " + problem,
                                               .secondErrLine = kTryHelp};
        };
        // Messages keep the locale (a German grouping here); only --info's column does not.
        const QString packed12k =
            "klivatarn-pack: '@/out' successfully packed! Total filesize is 12.000 bytes.";

        QTest::newRow("--version") << CommandCase{.args = {"--version"},
                                                  .outStart = "klivatarn-pack 2.5.0\n"};
        QTest::newRow("--help") << CommandCase{.args = {"--help"}, .outStart = "Usage: klivatarn-pack"};
        QTest::newRow("-h among others") << CommandCase{.args = {"-o", "@/out", "-h"}, .outStart = "Usage: "};
        usage("unknown option", QStringList{"--bogus", "-o", "@/out"} + ab, "Unknown option 'bogus'.");
        usage("rate without its value", {"-o", "@/out", "--rate"}, "Missing value after '--rate'.");
        usage("unknown rate", QStringList{"--rate=warp", "-o", "@/out"} + ab,
              "unknown rate 'warp' (slow, normal, fast, ufast)");
        usage("no output", ab, "the output file is missing (-o OUTPUT)");
        usage("empty --output=", QStringList{"--output="} + ab, "the output file is missing (-o OUTPUT)");
        usage("--yes with --no", QStringList{"--yes", "--no", "-o", "@/out"} + ab,
              "--yes and --no exclude each other");
        usage("flag given a value", QStringList{"--force=1", "-o", "@/out"} + ab,
              "Unexpected value after '--force'.");
        usage("--info without files", {"--info"}, "--info needs at least one file");
        usage("--info with -o", {"--info", "-o", "@/out", "@/a.mpg"}, "--info takes no other option than --");
        usage("source like an option", {"-o", "@/out", "@/a.mpg", "-x.mpg"},
              "Unknown options: x, ., m, p, g.");
        QTest::newRow("-oFILE") << CommandCase{
            .args = QStringList{"-o@/out"} + quiet + ab, .firstErrLine = packed12k, .after = After::Joined};
        QTest::newRow("--output=FILE") << CommandCase{.args = QStringList{"--output=@/out"} + quiet + ab,
                                                      .firstErrLine = packed12k,
                                                      .after = After::Joined};
        QTest::newRow("-- before a source named -x.mpg") << CommandCase{
            .args = QStringList{"-o", "@/out"} + quiet + QStringList{"--", "@/a.mpg", "-x.mpg"},
            .firstErrLine = "klivatarn-pack: '@/out' successfully packed! Total filesize is 8.000 bytes.",
            .after = After::Joined};
        QTest::newRow("-o names a folder") << CommandCase{
            .args = QStringList{"--force", "-o", "@/dir"} + quiet + ab,
            .exit = 1,
            .firstErrLine = "klivatarn-pack: '@/dir' is a folder; -o needs the name of a file.",
            .after = After::FolderIntact};
        QTest::newRow("relative -o in a folder named not UTF-8") << CommandCase{
            .args = QStringList{"-o", "out"} + quiet + ab,
            .where = Where::FolderNotUtf8,
            .exit = 1,
            .firstErrLine = "klivatarn-pack: '@/d\uFFFD/out' cannot be packed: its name is not valid UTF-8."};
        QTest::newRow("relative source in a folder named not UTF-8") << CommandCase{
            .args = QStringList{"-o", "@/out"} + quiet + QStringList{"@/a.mpg", "../b.mpg"},
            .where = Where::FolderNotUtf8,
            .exit = 1,
            .firstErrLine =
                "klivatarn-pack: '@/d\uFFFD/../b.mpg' cannot be packed: its name is not valid UTF-8."};
        QTest::newRow("relative -o in a folder removed") << CommandCase{
            .args = QStringList{"-o", "out"} + quiet + ab,
            .where = Where::FolderGone,
            .exit = 1,
            .firstErrLine =
                "klivatarn-pack: 'out' cannot be packed: the current folder cannot be found (No such "
                "file or directory)."};
        QTest::newRow("--info, every file described")
            << CommandCase{.args = {"--info", "ntsc.mpg"}, .outStart = "ntsc.mpg\t352 x 240\t29.97\n"};
        QTest::newRow("--info, one file missing") << CommandCase{
            .args = {"--info", "--", "missing.mpg", "ntsc.mpg"},
            .exit = 1,
            .firstErrLine = "klivatarn-pack: cannot open 'missing.mpg': No such file or directory",
            .outStart = "missing.mpg\tnot available\tnot available\nntsc.mpg\t352 x 240\t29.97\n"};
        QTest::newRow("pack message")
            << CommandCase{.args = {"-o", "@/out", "@/a.mpg"},
                           .exit = 1,
                           .firstErrLine = "klivatarn-pack: At least 2 files are required for packing."};
    }
    void commandLine()
    {
        QFETCH(CommandCase, c);
        Workspace ws;
        ws.src.add(ws.path("a.mpg"), 5000);
        ws.src.add(ws.path("b.mpg"), 7000);
        ws.src.add(ws.path("-x.mpg"), 3000);
        QVERIFY(kt::test::writeMpegLikeFile(ws.path("ntsc.mpg"), 40000, 12, 352, 240, 4));
        QVERIFY(QDir(ws.dir.path()).mkpath("dir/inside"));
        const QByteArray badFolder = QFile::encodeName(ws.dir.path()) + "/d\xff";
        QVERIFY(::mkdir(badFolder.constData(), 0700) == 0);
        auto removeBad =
            qScopeGuard([&] { ::rmdir(badFolder.constData()); }); // QTemporaryDir cannot spell it
        ws.env.remove("LC_ALL");
        ws.env.insert("LC_NUMERIC", "de_DE.UTF-8"); // a decimal comma, yet the frame rate keeps its '.'
        ws.env.insert("KT_DIR", ws.dir.path());
        const QString wrapper = c.where == Where::FolderNotUtf8
                                    ? "cd \"$(printf '%s/d\\377' \"$KT_DIR\")\"; exec"
                                : c.where == Where::FolderGone
                                    ? "mkdir \"$KT_DIR/gone\"; cd \"$KT_DIR/gone\"; rmdir ../gone; exec"
                                    : "cd \"$KT_DIR\"; exec";
        for (QString& a : c.args)
            a.replace('@', ws.dir.path());
        c.firstErrLine.replace('@', ws.dir.path());

        const Run r = ws.pack(c.args, wrapper);

        QCOMPARE(r.exit, c.exit);
        const QStringList errLines = r.err.split('\n');
        QCOMPARE(errLines.first(), c.firstErrLine);
        if (!c.secondErrLine.isEmpty())
            QCOMPARE(errLines.mid(1), (QStringList{c.secondErrLine, ""})); // and nothing more
        for (const QString& line : errLines) // every message carries the program's name
            QVERIFY2(line.isEmpty() || line.startsWith("klivatarn-pack: ") || line == kTryHelp,
                     qPrintable(line));
        if (c.outStart.isEmpty())
            QCOMPARE(r.out, QString());
        else
            QVERIFY2(r.out.startsWith(c.outStart), qPrintable(r.out));
        const QString out = ws.path("out");
        QVERIFY(ws.src.unchanged());
        switch (c.after) {
        case After::Nothing:
            QVERIFY(!QFileInfo::exists(out));
            break;
        case After::Joined: {
            const QList<QByteArray>& in = ws.src.contents;
            QCOMPARE(fileBytes(out), in[0] + in[c.args.contains("-x.mpg") ? 2 : 1]);
            break;
        }
        case After::FolderIntact:
            QVERIFY(QFileInfo(ws.path("dir/inside")).isDir());
            break;
        }
        // Nothing was written in the folder with the bad name, nor in one spelt like it.
        QVERIFY(!QFileInfo::exists(ws.path("d\uFFFD")));
        DIR* bad = ::opendir(badFolder.constData());
        QVERIFY(bad);
        int entries = 0;
        while (::readdir(bad))
            ++entries;
        ::closedir(bad);
        QCOMPARE(entries, 2); // . and ..
        QCOMPARE(ws.trashedCount(), 0);
    }

    void sparseSourceOver4GiB()
    {
        QFile meminfo("/proc/meminfo");
        QVERIFY(meminfo.open(QIODevice::ReadOnly));
        const QByteArray info = meminfo.readAll();
        const qsizetype at = info.indexOf("MemAvailable:");
        if (at < 0 ||
            info.mid(at + 13, 20).simplified().split(' ').value(0).toLongLong() < 10LL * 1024 * 1024)
            QSKIP("needs 10 GiB of free memory for a 4 GiB output on a tmpfs");
        Workspace ws;
        const QString mnt = ws.path("big");
        QVERIFY(QDir().mkdir(mnt));
        if (!runTool("mount", {"-t", "tmpfs", "-o", "size=4200M", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { runTool("umount", {mnt}); });
        const qint64 bigSize = (1LL << 32) + (1LL << 20);
        const QString big = ws.path("sparse.bin");
        QVERIFY(writeSparseFileWith(big, bigSize, bigSize - 8, "TAILMARK"));
        const QByteArray small = patternBytes(12345, 3);
        QVERIFY(writeFile(ws.path("small.bin"), small));
        const QString out = mnt + "/out.bin";

        const Run r = ws.pack({"--rate", "ufast", "--no-mpeg-check", "-o", out, big, ws.path("small.bin")});

        QCOMPARE(r.exit, 0);
        QVERIFY(r.err.contains("Total filesize is 4,296,028,217 bytes."));
        QCOMPARE(QFileInfo(out).size(), bigSize + 12345);
        QFile o(out);
        QVERIFY(o.open(QIODevice::ReadOnly) && o.seek(bigSize - 8));
        QCOMPARE(o.read(8), QByteArray("TAILMARK"));
        QCOMPARE(o.read(20000), small);
    }
};

QTEST_GUILESS_MAIN(TestCliPack)
#include "tst_cli_pack.moc"
