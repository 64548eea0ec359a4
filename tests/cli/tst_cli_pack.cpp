// klivatarn-pack run as a program: its command line (flags, answers, --info, exit statuses and
// the whole of stderr), and a source over 4 GiB.
#include "../support/MpegFixtures.h"
#include "../support/PackerRun.h"

#include <QRegularExpression>
#include <QtTest>
#include <filesystem>
#include <fstream>

using namespace kt::test;

namespace {

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
} // namespace
Q_DECLARE_METATYPE(CommandCase)

class TestCliPack : public QObject
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
        // Messages keep the locale (a German grouping here); only --info's column does not.
        const auto packed = [](const char* output, const char* size) {
            return QStringList{
                QStringLiteral("klivatarn-pack: '@/%1' successfully packed! Total filesize is %2 bytes.")
                    .arg(QLatin1String(output), QLatin1String(size))};
        };
        const QStringList notMpeg{"klivatarn-pack: '@/a.mpg' is not a valid MPEG file.", ""};
        const QString proceed = QStringLiteral("Proceed packing and ignore invalid Mpeg error? ");
        const QString na = QStringLiteral("\tnot available\tnot available\n");

        row("--version", {.args = {"--version"}, .outStart = "klivatarn-pack 2.5.0\n"});
        row("--help", {.args = {"--help"}, .outStart = "Usage: klivatarn-pack"});
        row("-h among others", {.args = {"-o", "@/out", "-h"}, .outStart = "Usage: "});
        usage("unknown option", QStringList{"--bogus"} + o + ab, "Unknown option 'bogus'.");
        usage("rate without its value", o + QStringList{"--rate"}, "Missing value after '--rate'.");
        usage("unknown rate", QStringList{"--rate=warp"} + o + ab,
              "unknown rate 'warp' (slow, normal, fast, ufast)");
        usage("no output", ab, "the output file is missing (-o OUTPUT)");
        usage("empty --output=", QStringList{"--output="} + ab, "the output file is missing (-o OUTPUT)");
        usage("--yes with --no", QStringList{"--yes", "--no"} + o + ab, "--yes and --no exclude each other");
        usage("flag given a value", QStringList{"--force=1"} + o + ab, "Unexpected value after '--force'.");
        usage("--info without files", {"--info"}, "--info needs at least one file");
        usage("--info with -o", {"--info", "-o", "@/out", "@/a.mpg"}, "--info takes no other option than --");
        usage("source like an option", o + QStringList{"@/a.mpg", "-x.mpg"},
              "Unknown options: x, ., m, p, g.");
        row("-oFILE", {.args = QStringList{"-o@/out"} + quiet + ab,
                       .err = packed("out", "12.000"),
                       .after = After::Joined});
        row("--output=FILE", {.args = QStringList{"--output=@/out"} + quiet + ab,
                              .err = packed("out", "12.000"),
                              .after = After::Joined});
        row("-- before a source named -x.mpg", {.args = o + quiet + QStringList{"--", "@/a.mpg", "-x.mpg"},
                                                .err = packed("out", "8.000"),
                                                .after = After::Joined});
        refused("one source", o + QStringList{"@/a.mpg"}, "At least 2 files are required for packing.");
        row("not MPEG, unanswered",
            {.args = o + ab, .exit = 1, .err = notMpeg + QStringList{proceed + "[no answer: no]"}});
        row("not MPEG, --no", {.args = QStringList{"--no"} + o + ab,
                               .exit = 1,
                               .err = notMpeg + QStringList{proceed + "[--no: no]"}});
        row("not MPEG, --yes",
            {.args = QStringList{"--yes"} + o + ab,
             .err = notMpeg + QStringList{proceed + "[--yes: yes]"} + packed("out", "12.000"),
             .after = After::Joined});
        refused("existing output, unanswered", QStringList{"-o", "@/old.bin"} + quiet + ab,
                "'@/old.bin' already exists. Do you want to replace it? [no answer: no]");
        row("existing output, --force", {.args = QStringList{"--force", "-o", "@/old.bin"} + quiet + ab,
                                         .err = packed("old.bin", "12.000"),
                                         .after = After::JoinedOverOld});
        row("--trash-prompt, unanswered: kept",
            {.args = QStringList{"--trash-prompt"} + o + quiet + ab,
             .err = QStringList{"klivatarn-pack: Move these 2 files to the trash?", "", "'@/a.mpg'",
                                "'@/b.mpg' [no answer: no]"} +
                    packed("out", "12.000"),
             .after = After::Joined});
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
        QVERIFY(writeFile(ws.path("old.bin"), "old contents") && QDir(ws.dir.path()).mkpath("dir/inside"));
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

    void sparseSourceOver4GiB()
    {
        const QString info = QString::fromLatin1(fileBytes("/proc/meminfo"));
        if (QRegularExpression("MemAvailable: *(\\d+)").match(info).captured(1).toLongLong() < 10LL << 20)
            QSKIP("needs 10 GiB of free memory for a 4 GiB output on a tmpfs");
        PackerWorkspace ws;
        const QString mnt = ws.path("big"), big = ws.path("sparse.bin"), small = ws.path("small.bin");
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
};

QTEST_GUILESS_MAIN(TestCliPack)
#include "tst_cli_pack.moc"
