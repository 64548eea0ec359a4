// klivatarn-pack -o OUTPUT SOURCE... run as a program: the join against cat, refusals,
// questions and flags, the trash, and faults injected into its reads and writes (an
// LD_PRELOAD shim, a file size limit, Ctrl-C), each checked from the outside.
#include <QtTest>

#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <cstdio>

#include "../support/MpegFixtures.h"

namespace {

QByteArray pattern(qint64 size, quint32 seed)
{
    QByteArray b(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 7;
    for (qint64 i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = char(x >> 24);
    }
    return b;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray sha(const QString& path)
{
    QFile f(path);
    QCryptographicHash h(QCryptographicHash::Sha256);
    return f.open(QIODevice::ReadOnly) && h.addData(&f) ? h.result() : QByteArray();
}

struct Run
{
    int exit = -1;
    QString err;
};

QString packProgram() { return qEnvironmentVariable("KT_BIN_DIR") + QStringLiteral("/klivatarn-pack"); }

class Workspace
{
public:
    Workspace()
    {
        env.insert("XDG_DATA_HOME", dir.filePath("xdg"));
        env.insert("HOME", dir.path());
        env.insert("LC_ALL", "C");
        env.insert("LANG", "C");
        env.remove("LANGUAGE");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString trashFolder() const { return dir.filePath("xdg/Trash/files"); }
    int trashedCount() const
    {
        return int(QDir(trashFolder()).entryList(QDir::Files | QDir::NoDotAndDotDot).size());
    }
    QString addSource(const QString& name, qint64 size)
    {
        const QByteArray bytes = pattern(size, quint32(sources.size() + 11));
        writeAll(path(name), bytes);
        sources << path(name);
        contents << bytes;
        hashes << sha(path(name));
        return path(name);
    }
    QByteArray joined() const { return contents.join(); }
    bool sourcesUnchanged() const
    {
        for (int i = 0; i < sources.size(); ++i)
            if (sha(sources[i]) != hashes[i])
                return false;
        return true;
    }
    Run pack(const QStringList& args, const QString& wrapper = QString(), int killAfterOutputMs = -1)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice()); // stdin is closed: questions are not answered
        // The program starts with stdin, stdout and stderr only, whatever the test runner leaks.
        p.setChildProcessModifier([] {
            for (int fd = 3; fd < 1024; ++fd) {
                const int flags = ::fcntl(fd, F_GETFD);
                if (flags >= 0 && !(flags & FD_CLOEXEC))
                    ::close(fd);
            }
        });
        if (wrapper.isEmpty()) {
            p.start(packProgram(), args);
        } else {
            QStringList shArgs{"-c", wrapper + " \"$0\" \"$@\"", packProgram()};
            p.start("sh", shArgs + args);
        }
        if (killAfterOutputMs >= 0) {
            QDeadlineTimer deadline(20000);
            const QString out = args[args.indexOf("-o") + 1];
            while (!deadline.hasExpired() && QFileInfo(out).size() == 0)
                QThread::msleep(10);
            QThread::msleep(killAfterOutputMs);
            ::kill(pid_t(p.processId()), SIGINT);
        }
        Run r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            r.err = "timed out";
            return r;
        }
        r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QStringList sources;
    QList<QByteArray> contents;
    QList<QByteArray> hashes;
};

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

const QString kSuccess = QStringLiteral("successfully packed!");

} // namespace

class TestCliPack : public QObject
{
    Q_OBJECT
private slots:
    void joinsExactlyLikeCat_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::newRow("slow") << "slow";
        QTest::newRow("normal") << "normal";
        QTest::newRow("fast (default)") << "";
        QTest::newRow("ufast") << "ufast";
    }
    void joinsExactlyLikeCat()
    {
        QFETCH(QString, rate);
        Workspace ws;
        // Remainders of every size, a block-multiple, and one over twice the ufast block.
        for (qint64 size : {7LL, 100000LL, 123456LL, 10000000LL, 12345678LL})
            ws.addSource(QStringLiteral("s%1.bin").arg(size), size);
        QStringList args{"--no-mpeg-check", "-o", ws.path("out.bin")};
        if (!rate.isEmpty())
            args << "--rate" << rate;
        const Run r = ws.pack(args + ws.sources);
        QCOMPARE(r.exit, 0);
        QVERIFY(readAll(ws.path("out.bin")) == ws.joined());
        QVERIFY(r.err.contains("Total filesize is 22,569,141 bytes."));
        QVERIFY(ws.sourcesUnchanged());
    }

    void joinsMpegFilesWithTheCheckOn()
    {
        Workspace ws;
        for (int i = 0; i < 3; ++i) {
            const QString p = ws.path(QStringLiteral("clip%1.mpg").arg(i));
            QVERIFY(kt::test::writeMpegLikeFile(p, 300000 + i * 7777, 12 * i, 352, 240, 4));
            ws.sources << p;
        }
        const QByteArray expected = readAll(ws.sources[0]) + readAll(ws.sources[1]) + readAll(ws.sources[2]);
        const Run r = ws.pack(QStringList{"-o", ws.path("all.mpg")} + ws.sources);
        QCOMPARE(r.exit, 0);
        QVERIFY(readAll(ws.path("all.mpg")) == expected);
    }

    void refusesWhatThePackCommandRefuses_data()
    {
        QTest::addColumn<QStringList>("args"); // "@" is the workspace
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        QTest::newRow("no sources") << QStringList{"-o", "@/out"} << 1 << "Nothing to pack.";
        QTest::newRow("one source") << QStringList{"-o", "@/out", "@/a.mpg"} << 1
                                    << "At least 2 files are required for packing.";
        QTest::newRow("empty source") << QStringList{"--no-mpeg-check", "-o", "@/out", "@/a.mpg", "@/empty.mpg"} << 1
                                      << "Cannot pack '@/empty.mpg' which is a 0 byte file. Packing aborted!";
        QTest::newRow("output is a source") << QStringList{"--force", "--no-mpeg-check", "-o", "@/b.mpg", "@/a.mpg",
                                                           "@/b.mpg"}
                                            << 1 << "Cannot pack Save As file!";
        QTest::newRow("output is a link to a source")
            << QStringList{"--force", "--no-mpeg-check", "-o", "@/link.mpg", "@/a.mpg", "@/b.mpg"} << 1
            << "Cannot pack Save As file!";
        QTest::newRow("not MPEG, unanswered") << QStringList{"-o", "@/out", "@/a.mpg", "@/b.mpg"} << 1
                                              << "'@/a.mpg' is not a valid MPEG file.";
        QTest::newRow("not MPEG, --no") << QStringList{"--no", "-o", "@/out", "@/a.mpg", "@/b.mpg"} << 1
                                        << "Proceed packing and ignore invalid Mpeg error? [--no: no]";
        QTest::newRow("not MPEG, --yes") << QStringList{"--yes", "-o", "@/out", "@/a.mpg", "@/b.mpg"} << 0 << kSuccess;
        QTest::newRow("existing output, unanswered")
            << QStringList{"--no-mpeg-check", "-o", "@/old.bin", "@/a.mpg", "@/b.mpg"} << 1
            << "'@/old.bin' already exists. Do you want to replace it? [no answer: no]";
        QTest::newRow("existing output, --force")
            << QStringList{"--force", "--no-mpeg-check", "-o", "@/old.bin", "@/a.mpg", "@/b.mpg"} << 0 << kSuccess;
        QTest::newRow("existing output, --yes")
            << QStringList{"--yes", "--no-mpeg-check", "-o", "@/old.bin", "@/a.mpg", "@/b.mpg"} << 0 << kSuccess;
        QTest::newRow("no output") << QStringList{"@/a.mpg", "@/b.mpg"} << 2 << "Usage:";
        QTest::newRow("unknown rate") << QStringList{"--rate", "warp", "-o", "@/out", "@/a.mpg", "@/b.mpg"} << 2
                                      << "unknown rate 'warp'";
        QTest::newRow("--yes with --no") << QStringList{"--yes", "--no", "-o", "@/out", "@/a.mpg", "@/b.mpg"} << 2
                                         << "Usage:";
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "-o", "@/out", "@/a.mpg", "@/b.mpg"} << 2
                                        << "Usage:";
    }
    void refusesWhatThePackCommandRefuses()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, message);
        Workspace ws;
        ws.addSource("a.mpg", 5000);
        ws.addSource("b.mpg", 7000);
        QVERIFY(writeAll(ws.path("empty.mpg"), {}));
        QVERIFY(writeAll(ws.path("old.bin"), "old contents"));
        QVERIFY(QFile::link(ws.path("b.mpg"), ws.path("link.mpg")));
        for (QString& a : args)
            a.replace('@', ws.dir.path());
        message.replace('@', ws.dir.path());

        const Run r = ws.pack(args);

        QCOMPARE(r.exit, exit);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.contains(kSuccess), exit == 0);
        if (exit == 0)
            QVERIFY(readAll(args[args.indexOf("-o") + 1]) == ws.joined());
        else
            QCOMPARE(readAll(ws.path("old.bin")), QByteArray("old contents"));
        QVERIFY(ws.sourcesUnchanged());
    }

    void refusesANameThatIsNotUtf8()
    {
        Workspace ws;
        ws.addSource("a.bin", 3000);
        // The byte 0xFF is not UTF-8: made and passed by raw bytes, never through a QString.
        const QByteArray badName = QFile::encodeName(ws.dir.path()) + "/b\xff.bin";
        FILE* f = std::fopen(badName.constData(), "wb");
        QVERIFY(f && std::fputs("data", f) >= 0);
        std::fclose(f);
        ws.env.insert("KT_DIR", ws.dir.path());
        const Run r = ws.pack({"--no-mpeg-check", "-o", ws.path("out.bin"), ws.sources[0]},
                              "set -- \"$@\" \"$(printf '%s/b\\377.bin' \"$KT_DIR\")\"; exec");
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.contains("its name is not valid UTF-8"), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(ws.path("out.bin")));
    }

    void trashAfterPacking_data()
    {
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<bool>("trashed");
        QTest::newRow("kept by default") << QStringList{} << false;
        QTest::newRow("--trash") << QStringList{"--trash"} << true;
        QTest::newRow("--trash-prompt, unanswered") << QStringList{"--trash-prompt"} << false;
        QTest::newRow("--trash-prompt --no") << QStringList{"--trash-prompt", "--no"} << false;
        QTest::newRow("--trash-prompt --yes") << QStringList{"--trash-prompt", "--yes"} << true;
    }
    void trashAfterPacking()
    {
        QFETCH(QStringList, flags);
        QFETCH(bool, trashed);
        Workspace ws;
        ws.addSource("a.bin", 30000);
        ws.addSource("b.bin", 40000);
        const Run r = ws.pack(flags + QStringList{"--no-mpeg-check", "-o", ws.path("out.bin")} + ws.sources);
        QCOMPARE(r.exit, 0);
        QVERIFY(readAll(ws.path("out.bin")) == ws.joined());
        QCOMPARE(ws.trashedCount(), trashed ? 2 : 0);
        for (const QString& s : ws.sources)
            QCOMPARE(QFileInfo::exists(s), !trashed);
    }

    void faultsLoseNothing_data()
    {
        QTest::addColumn<QString>("target"); // "out" or "src2"
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("shortBytes");
        QTest::addColumn<QString>("message"); // empty: the pack must succeed
        QTest::newRow("disk full mid-pack") << "out" << "write" << 3 << 0 << ENOSPC << -1
                                           << "Cannot write to '@out': No space left on device.";
        QTest::newRow("short write, then disk full") << "out" << "write" << 2 << 0 << ENOSPC << 777
                                                     << "Cannot write to '@out': No space left on device.";
        QTest::newRow("I/O error on write") << "out" << "write" << 4 << 0 << EIO << -1
                                            << "Cannot write to '@out': Input/output error.";
        QTest::newRow("quota") << "out" << "write" << 2 << 0 << EDQUOT << -1 << "Cannot write to '@out': Disk quota";
        QTest::newRow("file too large") << "out" << "write" << 2 << 0 << EFBIG << -1
                                        << "Cannot write to '@out': File too large.";
        QTest::newRow("read error") << "src2" << "read" << 2 << 0 << EIO << -1
                                    << "Cannot read '@src2': Input/output error. Packing aborted!";
        QTest::newRow("source truncated between two blocks")
            << "src2" << "read" << 3 << 0 << 0 << 0 << "'@src2' ended after ";
        QTest::newRow("interrupted writes go on") << "out" << "write" << 2 << 3 << EINTR << -1 << "";
        QTest::newRow("short reads go on") << "src2" << "read" << 2 << 3 << 0 << 100 << "";
        QTest::newRow("short writes go on") << "out" << "write" << 2 << 3 << 0 << 100 << "";
    }
    void faultsLoseNothing()
    {
        QFETCH(QString, target);
        QFETCH(QString, op);
        QFETCH(int, at);
        QFETCH(int, count);
        QFETCH(int, error);
        QFETCH(int, shortBytes);
        QFETCH(QString, message);
        Workspace ws;
        ws.addSource("src1.bin", 250000);
        ws.addSource("src2.bin", 380000);
        ws.addSource("src3.bin", 99999);
        const QString out = ws.path("out.bin");
        const QString marker = ws.path("shim-loaded");
        ws.env.insert("LD_PRELOAD", KT_FAULT_SHIM);
        ws.env.insert("KT_FAULT_MARKER", marker);
        ws.env.insert("KT_FAULT_PATH", target == "out" ? out : ws.path("src2.bin"));
        ws.env.insert("KT_FAULT_OP", op);
        ws.env.insert("KT_FAULT_AT", QString::number(at));
        ws.env.insert("KT_FAULT_COUNT", QString::number(count));
        ws.env.insert("KT_FAULT_ERRNO", QString::number(error));
        if (shortBytes >= 0)
            ws.env.insert("KT_FAULT_SHORT", QString::number(shortBytes));
        message.replace("@out", out).replace("@src2", ws.path("src2.bin"));

        const Run r = ws.pack(QStringList{"--trash", "--no-mpeg-check", "--rate", "slow", "-o", out} + ws.sources);

        QVERIFY2(QFileInfo::exists(marker), "the fault shim was not loaded");
        if (message.isEmpty()) {
            QCOMPARE(r.exit, 0);
            QVERIFY(r.err.contains(kSuccess));
            QVERIFY(readAll(out) == ws.joined());
            QCOMPARE(ws.trashedCount(), 3);
            return;
        }
        QVERIFY(ws.sourcesUnchanged());
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!r.err.contains(kSuccess));
        QCOMPARE(ws.trashedCount(), 0);
        const QByteArray partial = readAll(out);
        QVERIFY(partial.size() < ws.joined().size());
        if (op == "read")
            QVERIFY(ws.joined().startsWith(partial)); // every byte written is right
    }

    void fileSizeLimit()
    {
        Workspace ws;
        ws.addSource("a.bin", 1500000);
        ws.addSource("b.bin", 1500000);
        const QString out = ws.path("out.bin");
        // 4096 blocks of 512 bytes: the output stops short at 2 MiB with EFBIG.
        const Run r = ws.pack(QStringList{"--trash", "--no-mpeg-check", "-o", out} + ws.sources,
                              "ulimit -f 4096; trap '' XFSZ; exec");
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Cannot write to '%1': File too large.").arg(out)), qPrintable(r.err));
        QVERIFY(!r.err.contains(kSuccess));
        QCOMPARE(ws.trashedCount(), 0);
        QVERIFY(ws.sourcesUnchanged());
        QCOMPARE(QFileInfo(out).size(), 2 * 1024 * 1024);
    }

    void tooManyOpenFiles_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("failedOpen");
        // With 4 descriptors the output cannot be opened, with 5 the first source.
        QTest::newRow("output") << 4 << "out.bin";
        QTest::newRow("source") << 5 << "a.bin";
    }
    void tooManyOpenFiles()
    {
        QFETCH(int, limit);
        QFETCH(QString, failedOpen);
        Workspace ws;
        ws.addSource("a.bin", 30000);
        ws.addSource("b.bin", 30000);
        const Run r = ws.pack(QStringList{"--trash", "--no-mpeg-check", "-o", ws.path("out.bin")} + ws.sources,
                              QStringLiteral("ulimit -n %1; exec").arg(limit));
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.err.contains(QStringLiteral("Error opening '%1'!").arg(ws.path(failedOpen))), qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("Kliva cannot pack '%1' due to excess number of file handling.")
                                   .arg(ws.sources[0])));
        QVERIFY(!r.err.contains(kSuccess));
        QCOMPARE(ws.trashedCount(), 0);
        QVERIFY(ws.sourcesUnchanged());
    }

    void ctrlCCancels()
    {
        Workspace ws;
        ws.addSource("a.bin", 400000);
        ws.addSource("b.bin", 400000);
        const QString out = ws.path("out.bin");
        // Each block written to the output takes 20 ms, so Ctrl-C lands mid-pack.
        ws.env.insert("LD_PRELOAD", KT_FAULT_SHIM);
        ws.env.insert("KT_FAULT_MARKER", ws.path("shim-loaded"));
        ws.env.insert("KT_FAULT_PATH", out);
        ws.env.insert("KT_FAULT_OP", "write");
        ws.env.insert("KT_FAULT_SLEEP_MS", "20");
        const Run r = ws.pack(QStringList{"--trash", "--no-mpeg-check", "--rate", "slow", "-o", out} + ws.sources,
                              QString(), 100);
        QVERIFY(QFileInfo::exists(ws.path("shim-loaded")));
        QCOMPARE(r.exit, 130);
        QVERIFY(r.err.contains("Packing aborted by user"));
        QVERIFY(!r.err.contains(kSuccess));
        const QByteArray partial = readAll(out);
        QVERIFY(partial.size() > 0 && partial.size() < 800000);
        QCOMPARE(partial.size() % 10000, 0); // whole blocks only
        QVERIFY(ws.joined().startsWith(partial));
        QCOMPARE(ws.trashedCount(), 0);
        QVERIFY(ws.sourcesUnchanged());
    }

    void sparseSourceOver4GiB()
    {
        // The output really holds 4 GiB: on a tmpfs, and only with memory to spare.
        QFile meminfo("/proc/meminfo");
        qint64 availableKiB = 0;
        if (meminfo.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : meminfo.readAll().split('\n'))
                if (line.startsWith("MemAvailable:"))
                    availableKiB = line.simplified().split(' ').value(1).toLongLong();
        }
        if (availableKiB < 10LL * 1024 * 1024)
            QSKIP("needs 10 GiB of free memory for a 4 GiB output on a tmpfs");
        Workspace ws;
        const QString mnt = ws.path("big");
        QVERIFY(QDir().mkdir(mnt));
        if (!run("mount", {"-t", "tmpfs", "-o", "size=4200M", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { run("umount", {mnt}); });
        const qint64 bigSize = (1LL << 32) + (1LL << 20);
        const QString big = ws.path("sparse.bin");
        QVERIFY(kt::test::writeSparseFileWith(big, bigSize, bigSize - 8, "TAILMARK"));
        QFile marks(big);
        QVERIFY(marks.open(QIODevice::ReadWrite) && marks.seek(1LL << 31) && marks.write("HALF") == 4);
        marks.close();
        const QByteArray small = pattern(12345, 3);
        QVERIFY(writeAll(ws.path("small.bin"), small));
        const QString out = mnt + "/out.bin";

        const Run r = ws.pack({"--no-mpeg-check", "-o", out, big, ws.path("small.bin")});

        QCOMPARE(r.exit, 0);
        QCOMPARE(QFileInfo(out).size(), bigSize + 12345);
        QFile o(out);
        QVERIFY(o.open(QIODevice::ReadOnly));
        QVERIFY(o.seek(1LL << 31));
        QCOMPARE(o.read(4), QByteArray("HALF"));
        QVERIFY(o.seek(bigSize - 8));
        QCOMPARE(o.read(8), QByteArray("TAILMARK"));
        QCOMPARE(o.read(20000), small);
        QVERIFY(r.err.contains("Total filesize is 4,296,028,217 bytes."));
    }
};

QTEST_GUILESS_MAIN(TestCliPack)
#include "tst_cli_pack.moc"
