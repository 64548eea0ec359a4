// The pack command: refusals, the row-by-row checks and their order, the MPEG questions,
// the free-space check, and the hand-over to the join.
#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#include "../support/MpegFixtures.h"
#include "FakePackHost.h"
#include "engine/DoPack.h"
#include "engine/PackTexts.h"

using namespace kt;
using namespace kt::test;

namespace {

const QString kChecking = QStringLiteral("host:status:Checking available freespace...");
const QString kVerifying = QStringLiteral("host:status:Verifying mpeg compatibility...");

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Rows described as "mpeg:W:H:CODE", "mp3", "empty", "missing".
QString makeFile(const QString& path, const QString& kind, quint32 seed)
{
    const QStringList f = kind.split(':');
    bool ok = true;
    if (f[0] == "mpeg")
        ok = writeMpegLikeFile(path, 40000 + seed * 1000, 100 * seed, f[1].toInt(), f[2].toInt(), f[3].toInt());
    else if (f[0] == "mp3")
        ok = writeFileWith(path, 30000, 0, "ID3", seed);
    else if (f[0] == "empty")
        ok = writeFile(path, QByteArray());
    return ok ? path : QString();
}

struct Pack
{
    QTemporaryDir dir;
    EventLog log;
    LoggingMessageBox box{log};
    FakePackHost host{log};
    File64 file;
    PackValues values;

    QString path(const QString& name) const { return dir.filePath(name); }
    void rows(const QStringList& kinds)
    {
        for (int i = 0; i < kinds.size(); ++i) {
            const QString p = path(QStringLiteral("row%1.mpg").arg(i + 1));
            QVERIFY(!makeFile(p, kinds[i], quint32(i + 1)).isEmpty());
            host.rows << p;
        }
    }
    QByteArray joined() const
    {
        QByteArray all;
        for (const QString& r : host.rows)
            all += fileBytes(r);
        return all;
    }
    PackOutcome run() { return DoPack(host, file, &values); }
};

} // namespace

class TestDoPack : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { File64::CloseAllHandles(); }

    void refusesShortLists_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << 0 << texts::nothingToPack();
        QTest::newRow("one row") << 1 << texts::atLeastTwoFiles();
    }
    void refusesShortLists()
    {
        QFETCH(int, rows);
        QFETCH(QString, message);
        Pack pk;
        pk.rows(QStringList(rows, "mp3"));
        pk.host.outputAnswer = pk.path("out.mpg");
        QCOMPARE(pk.run(), PackOutcome::Stopped);
        QCOMPARE(pk.box.texts, QStringList{message});
        QCOMPARE(pk.box.styles, QList<int>{MB_ICONEXCLAMATION});
        QVERIFY(!pk.log.contains("host:askOutput"));
        QCOMPARE(pk.log.mid(pk.log.size() - 2), QStringList({"host:unhideLogo", "host:arrow"}));
    }

    void cancelledSaveDialogEndsSilently()
    {
        Pack pk;
        pk.rows({"mp3", "mp3"});
        pk.host.outputAnswer = "   "; // only spaces: nothing chosen
        QCOMPARE(pk.run(), PackOutcome::Stopped);
        QVERIFY(pk.box.texts.isEmpty());
        QCOMPARE(pk.log, QStringList({"host:askOutput", "host:unhideLogo", "host:arrow"}));
    }

    void checksRowsInOrder_data()
    {
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<int>("badRow"); // 1-based
        QTest::addColumn<int>("verified");
        const QString a = "mpeg:352:240:4";
        QTest::newRow("empty second row") << QStringList{a, "empty", a} << 2 << 1;
        QTest::newRow("missing second row") << QStringList{a, "missing", a} << 2 << 1;
        QTest::newRow("empty third row") << QStringList{a, a, "empty"} << 3 << 2;
        QTest::newRow("empty first row") << QStringList{"empty", a} << 1 << 0;
    }
    void checksRowsInOrder()
    {
        QFETCH(QStringList, kinds);
        QFETCH(int, badRow);
        QFETCH(int, verified);
        Pack pk;
        pk.rows(kinds);
        pk.host.mpegCheck = true;
        pk.host.outputAnswer = pk.path("out.mpg");
        QCOMPARE(pk.run(), PackOutcome::Stopped);
        const QString bad = pk.host.rows[badRow - 1];
        QCOMPARE(pk.box.texts, QStringList{texts::zeroByteFile(bad)});
        QCOMPARE(pk.box.styles, QList<int>{MB_ICONHAND});
        QCOMPARE(pk.log.count(kVerifying), verified); // the rows before it were checked first
        QVERIFY(pk.log.indexOf(kChecking) < pk.log.indexOf("msg:" + texts::zeroByteFile(bad)));
        QVERIFY(!pk.log.contains("host:progressWindow"));
        QVERIFY(!QFileInfo::exists(pk.path("out.mpg")));
        QVERIFY(!QFileInfo::exists(pk.path("row2.mpg")) || kinds[1] != "missing"); // not created
    }

    void refusesTheOutputAmongTheRows_data()
    {
        QTest::addColumn<QString>("output");
        QTest::newRow("same text") << "@/row3.mpg";
        QTest::newRow("dot-dot form") << "@/sub/../row3.mpg";
        QTest::newRow("relative form") << "row3.mpg";
        QTest::newRow("symbolic link") << "@/link.mpg";
        QTest::newRow("hard link") << "@/hard.mpg";
    }
    void refusesTheOutputAmongTheRows()
    {
        QFETCH(QString, output);
        Pack pk;
        pk.rows({"mpeg:352:240:4", "mpeg:352:240:4", "mpeg:352:240:4"});
        const QString row3 = pk.host.rows[2];
        const QByteArray before = fileHash(row3);
        QVERIFY(QDir(pk.dir.path()).mkdir("sub"));
        QVERIFY(QFile::link(row3, pk.path("link.mpg")));
        QCOMPARE(::link(QFile::encodeName(row3).constData(), QFile::encodeName(pk.path("hard.mpg")).constData()), 0);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(pk.dir.path());
        auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
        pk.host.mpegCheck = true;
        pk.host.outputAnswer = output.replace('@', pk.dir.path());

        QCOMPARE(pk.run(), PackOutcome::Stopped);
        QCOMPARE(pk.box.texts, QStringList{texts::cannotPackSaveAsFile()});
        QCOMPARE(pk.box.styles, QList<int>{MB_ICONEXCLAMATION});
        QCOMPARE(pk.log.count(kVerifying), 2); // reported once the rows before it passed
        QCOMPARE(fileHash(row3), before);
    }

    void mpegQuestions_data()
    {
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<bool>("check");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("questions"); // "compat" or "notmpeg:ROW"
        QTest::addColumn<int>("verified");
        QTest::addColumn<bool>("packed");
        const QString a = "mpeg:352:240:4", b = "mpeg:352:288:3";
        QTest::newRow("compatible") << QStringList{a, a, a} << true << QList<int>{} << QStringList{} << 3 << true;
        QTest::newRow("size and rate differ, yes: later rows unchecked")
            << QStringList{a, b, "mp3"} << true << QList<int>{IDYES} << QStringList{"compat"} << 2 << true;
        QTest::newRow("size and rate differ, no") << QStringList{a, b, a} << true << QList<int>{IDNO}
                                                  << QStringList{"compat"} << 2 << false;
        QTest::newRow("frame rate differs only") << QStringList{a, "mpeg:352:240:3"} << true << QList<int>{}
                                                 << QStringList{"compat"} << 2 << false;
        QTest::newRow("mp3 first, no: silent") << QStringList{"mp3", a} << true << QList<int>{IDNO}
                                               << QStringList{"notmpeg:1"} << 1 << false;
        QTest::newRow("mp3 first, yes") << QStringList{"mp3", a, b} << true << QList<int>{IDYES}
                                        << QStringList{"notmpeg:1"} << 1 << true;
        QTest::newRow("check off") << QStringList{"mp3", a, b} << false << QList<int>{} << QStringList{} << 0 << true;
    }
    void mpegQuestions()
    {
        QFETCH(QStringList, kinds);
        QFETCH(bool, check);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, questions);
        QFETCH(int, verified);
        QFETCH(bool, packed);
        Pack pk;
        pk.rows(kinds);
        pk.host.mpegCheck = check;
        pk.host.outputAnswer = pk.path("out.mpg");
        for (int a : answers)
            pk.box.answers.enqueue(a);
        const QByteArray expected = pk.joined();

        const PackOutcome outcome = pk.run();

        QStringList asked;
        for (int i = 0; i < pk.box.texts.size(); ++i)
            if (msgButtons(pk.box.styles[i]) == MB_YESNO)
                asked << pk.box.texts[i];
        QStringList wanted;
        for (const QString& q : questions)
            wanted << (q == "compat" ? texts::notCompatibleQuestion()
                                     : notMpegQuestion(pk.host.rows[q.mid(8).toInt() - 1]));
        QCOMPARE(asked, wanted);
        QCOMPARE(pk.log.count(kVerifying), verified);
        QCOMPARE(outcome, packed ? PackOutcome::Packed : PackOutcome::Stopped);
        if (packed) {
            QCOMPARE(fileBytes(pk.path("out.mpg")), expected);
        } else {
            QCOMPARE(pk.box.texts, wanted); // declining says nothing more
            QVERIFY(!QFileInfo::exists(pk.path("out.mpg")));
        }
        if (!questions.isEmpty() && questions[0] == "compat")
            QCOMPARE(pk.box.styles.first(), MB_YESNO | MB_ICONHAND);
        if (check && kinds[0].startsWith("mpeg"))
            QCOMPARE(pk.values.mcheckList, QStringList{"352,240,29.97"});
    }

    void handsOverToTheJoin()
    {
        Pack pk;
        pk.rows({"mpeg:352:240:4", "mpeg:352:240:4"});
        pk.host.mpegCheck = true;
        pk.host.block = blockSizeFor(TransferRate::Slow);
        pk.host.outputAnswer = "  " + pk.path("out.mpg") + "  ";
        const QByteArray expected = pk.joined();

        QCOMPARE(pk.run(), PackOutcome::Packed);
        QCOMPARE(pk.values.outputPath, pk.path("out.mpg"));
        QCOMPARE(pk.values.totalPackSize, quint64(expected.size()));
        QCOMPARE(pk.values.join.packedBytes, quint64(expected.size()));
        QVERIFY(pk.values.freeSpace >= quint64(expected.size()));
        QCOMPARE(fileBytes(pk.path("out.mpg")), expected);
        QCOMPARE(pk.log.mid(0, 6), QStringList({"host:askOutput", "host:hideLogo", "host:wait", kChecking,
                                                kVerifying, kVerifying}));
        QCOMPARE(pk.log.mid(6, 3), QStringList({"host:progressWindow", "view:begin", "host:busy:pack"}));
        QCOMPARE(pk.box.texts, QStringList{texts::packedSuccessfully(pk.path("out.mpg"), expected.size())});
        QCOMPARE(pk.log.last(), "host:arrow");
    }

    void refusesWithoutEnoughFreeSpace()
    {
        Pack pk;
        pk.rows({"mp3", "mp3"});
        const QString mnt = pk.path("small");
        QVERIFY(QDir().mkdir(mnt));
        if (!run("mount", {"-t", "tmpfs", "-o", "size=40k", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { run("umount", {mnt}); });
        pk.host.outputAnswer = mnt + "/out.mpg";
        QCOMPARE(pk.run(), PackOutcome::Stopped);
        QVERIFY(pk.values.freeSpace < pk.values.totalPackSize);
        QCOMPARE(pk.box.texts, QStringList{texts::notEnoughFreeSpace()});
        QCOMPARE(pk.box.styles, QList<int>{MB_ICONHAND});
        QVERIFY(!QFileInfo::exists(mnt + "/out.mpg"));
    }

    void scanOverflowIsAnUnexpectedError()
    {
        Pack pk;
        pk.rows({"mpeg:352:240:4"});
        // No start code in the first 32,767 chunks of 32,768 bytes.
        const QString big = pk.path("big.bin");
        QVERIFY(writeSparseFileWith(big, 32767LL * 32768 + 100));
        pk.host.rows << big;
        pk.host.mpegCheck = true;
        pk.host.outputAnswer = pk.path("out.mpg");
        QCOMPARE(pk.run(), PackOutcome::Failed);
        QCOMPARE(pk.box.texts, QStringList{texts::packUnexpectedError(6)});
        QCOMPARE(pk.box.styles, QList<int>{MB_ICONHAND | MB_TOPMOST});
        QCOMPARE(pk.log.last(), "host:errorResume");
        QVERIFY(!QFileInfo::exists(pk.path("out.mpg")));
    }
};

QTEST_GUILESS_MAIN(TestDoPack)
#include "tst_dopack.moc"
