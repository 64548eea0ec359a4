// The pack command (refusals and their order, MPEG questions, hand-over to the join), whether the
// output is one of the sources by file identity, and the free space query.
#include "../support/MpegFixtures.h"
#include "FakePackHost.h"
#include "engine/DiskSpace.h"
#include "engine/DoPack.h"
#include "engine/PackTexts.h"
#include "engine/SameFile.h"

#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace kt;
using namespace kt::test;

namespace {

const QString kChecking = QStringLiteral("host:status:Checking available freespace...");
const QString kVerifying = QStringLiteral("host:status:Verifying mpeg compatibility...");
const QString kMpeg = QStringLiteral("mpeg:352:240:4");

// Rows described as "mpeg:W:H:CODE", "mp3", "empty", "missing", "noheader" (sparse, over the scan limit).
bool makeFile(const QString& path, const QString& kind, quint32 seed)
{
    const QStringList f = kind.split(':');
    if (f[0] == "mpeg")
        return writeMpegLikeFile(path, 40000 + seed * 1000, 100 * seed, f[1].toInt(), f[2].toInt(),
                                 f[3].toInt());
    if (f[0] == "mp3")
        return writeFileWith(path, 30000, 0, "ID3", seed);
    if (f[0] == "empty")
        return writeFile(path, QByteArray());
    if (f[0] == "noheader")
        return writeSparseFileWith(path, 32767LL * 32768 + 100);
    return true;
}

struct Pack : PackRig
{
    PackValues values;

    void rows(const QStringList& kinds)
    {
        for (int i = 0; i < kinds.size(); ++i) {
            host.rows << path(QStringLiteral("row%1.mpg").arg(i + 1));
            QVERIFY(makeFile(host.rows.last(), kinds[i], quint32(i + 1)));
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

    void refusals_data()
    {
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<QString>("output");  // "@": the test folder, "@small": a 40 KiB tmpfs
        QTest::addColumn<QString>("message"); // "zero:ROW" for the 0 byte text
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("verified"); // rows checked before the refusal
        const QString a = kMpeg;
        const int excl = MB_ICONEXCLAMATION, hand = MB_ICONHAND;
        QTest::newRow("empty list") << QStringList{} << "@/out.mpg" << texts::nothingToPack() << excl << 0;
        QTest::newRow("one row") << QStringList{a} << "@/out.mpg" << texts::atLeastTwoFiles() << excl << 0;
        QTest::newRow("save dialog cancelled") << QStringList{a, a} << "   " << QString() << 0 << 0;
        QTest::newRow("empty first row") << QStringList{"empty", a} << "@/out.mpg"
                                         << "zero:1" << hand << 0;
        QTest::newRow("missing second row") << QStringList{a, "missing", a} << "@/out.mpg"
                                            << "zero:2" << hand << 1;
        QTest::newRow("empty third row") << QStringList{a, a, "empty"} << "@/out.mpg"
                                         << "zero:3" << hand << 2;
        const QString saveAs = texts::cannotPackSaveAsFile();
        QTest::newRow("output is row 3") << QStringList{a, a, a} << "@/row3.mpg" << saveAs << excl << 2;
        QTest::newRow("output is row 3 by ..")
            << QStringList{a, a, a} << "@/sub/../row3.mpg" << saveAs << excl << 2;
        QTest::newRow("output is row 3, relative")
            << QStringList{a, a, a} << "row3.mpg" << saveAs << excl << 2;
        QTest::newRow("output links to row 3") << QStringList{a, a, a} << "@/link.mpg" << saveAs << excl << 2;
        QTest::newRow("output is a hard link") << QStringList{a, a, a} << "@/hard.mpg" << saveAs << excl << 2;
        QTest::newRow("not enough free space")
            << QStringList{a, a} << "@small/out.mpg" << texts::notEnoughFreeSpace() << hand << 2;
        QTest::newRow("header scan overflow") << QStringList{a, "noheader"} << "@/out.mpg"
                                              << texts::packUnexpectedError(6) << (hand | MB_TOPMOST) << 2;
    }
    void refusals()
    {
        QFETCH(QStringList, kinds);
        QFETCH(QString, output);
        QFETCH(QString, message);
        QFETCH(int, style);
        QFETCH(int, verified);
        Pack pk;
        pk.rows(kinds);
        if (output.startsWith("@small")) {
            QVERIFY(QDir().mkdir(pk.path("small")));
            if (!runTool("mount", {"-t", "tmpfs", "-o", "size=40k", "tmpfs", pk.path("small")}))
                QSKIP("cannot mount a tmpfs here (needs root)");
        }
        auto unmount = qScopeGuard([&] {
            if (output.contains("small"))
                runTool("umount", {pk.path("small")});
        });
        if (kinds.size() > 2) {
            QVERIFY(QDir(pk.dir.path()).mkdir("sub"));
            QVERIFY(QFile::link(pk.host.rows[2], pk.path("link.mpg")));
            QCOMPARE(::link(QFile::encodeName(pk.host.rows[2]).constData(),
                            QFile::encodeName(pk.path("hard.mpg")).constData()),
                     0);
        }
        const QString previous = QDir::currentPath();
        QDir::setCurrent(pk.dir.path());
        auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
        const QByteArray row3 = fileBytes(pk.host.rows.value(2)); // the one the output aliases
        if (message.startsWith("zero:"))
            message = texts::zeroByteFile(pk.host.rows[message.mid(5).toInt() - 1]);
        pk.host.options.mpegCheck = true;
        pk.host.outputAnswer = output.replace("@small", pk.path("small")).replace('@', pk.dir.path());

        QCOMPARE(pk.run(), style & MB_TOPMOST ? PackOutcome::Failed : PackOutcome::Stopped);
        QCOMPARE(pk.box.texts, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(pk.box.styles, message.isEmpty() ? QList<int>() : QList<int>{style});
        QCOMPARE(pk.log.count(kVerifying), verified);
        QCOMPARE(pk.log.contains("host:askOutput"), kinds.size() >= 2);
        QVERIFY(!pk.log.contains("host:progressWindow"));
        QVERIFY(!QFileInfo::exists(pk.path("out.mpg")) && !QFileInfo::exists(pk.path("small/out.mpg")));
        QCOMPARE(fileBytes(pk.host.rows.value(2)), row3);
        QVERIFY(kinds.size() < 2 || !QFileInfo::exists(pk.host.rows[1]) || kinds[1] != "missing");
    }

    void mpegQuestions_data()
    {
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<bool>("check");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("question"); // "compat", "notmpeg" (about row 1) or none
        QTest::addColumn<int>("verified");
        QTest::addColumn<bool>("packed");
        const QString a = kMpeg, b = "mpeg:352:288:3";
        QTest::newRow("compatible") << QStringList{a, a, a} << true << QList<int>{} << "" << 3 << true;
        QTest::newRow("size and rate differ, yes: later rows unchecked")
            << QStringList{a, b, "mp3"} << true << QList<int>{IDYES} << "compat" << 2 << true;
        QTest::newRow("frame rate differs, unanswered")
            << QStringList{a, "mpeg:352:240:3"} << true << QList<int>{} << "compat" << 2 << false;
        QTest::newRow("mp3 first, no: silent")
            << QStringList{"mp3", a} << true << QList<int>{IDNO} << "notmpeg" << 1 << false;
        QTest::newRow("mp3 first, yes")
            << QStringList{"mp3", a, b} << true << QList<int>{IDYES} << "notmpeg" << 1 << true;
        QTest::newRow("check off") << QStringList{"mp3", a, b} << false << QList<int>{} << "" << 0 << true;
    }
    void mpegQuestions()
    {
        QFETCH(QStringList, kinds);
        QFETCH(bool, check);
        QFETCH(QList<int>, answers);
        QFETCH(QString, question);
        QFETCH(int, verified);
        QFETCH(bool, packed);
        Pack pk;
        pk.rows(kinds);
        pk.host.options.mpegCheck = check;
        pk.host.options.block = blockSizeFor(TransferRate::Slow);
        pk.host.outputAnswer = "  " + pk.path("out.mpg") + "  "; // trimmed
        pk.box.answers << answers;
        const QByteArray expected = pk.joined();
        QStringList said;
        if (question == "compat")
            said << texts::notCompatibleQuestion();
        else if (question == "notmpeg")
            said << notMpegQuestion(pk.host.rows[0]);
        if (packed) // declining says nothing more
            said << texts::packedSuccessfully(pk.path("out.mpg"), expected.size());

        QCOMPARE(pk.run(), packed ? PackOutcome::Packed : PackOutcome::Stopped);
        QCOMPARE(pk.box.texts, said);
        QCOMPARE(pk.log.count(kVerifying), verified);
        QCOMPARE(pk.log.mid(0, 4), QStringList({"host:askOutput", "host:hideLogo", "host:wait", kChecking}));
        QCOMPARE(pk.log.contains("host:progressWindow"), packed);
        QCOMPARE(pk.log.last(), "host:arrow");
        QCOMPARE(fileBytes(pk.path("out.mpg")), packed ? expected : QByteArray());
        if (check && kinds[0].startsWith("mpeg"))
            QCOMPARE(pk.values.mcheckList, QStringList{"352,240,29.97"});
    }

    void sameFile_data() // the aliases the pack refuses are in the refusals table
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("same");
        QTest::newRow("doubled slashes") << "@//dir//a.mpg" << true;
        QTest::newRow("link to its folder") << "@/dirlink/a.mpg" << true;
        QTest::newRow("bind mount") << "@/bound/a.mpg" << true;
        QTest::newRow("another file, same bytes") << "@/dir/b.mpg" << false;
        QTest::newRow("other case, case-sensitive folder") << "@/dir/A.mpg" << false;
        QTest::newRow("output does not exist") << "@/dir/new.mpg" << false;
        QTest::newRow("dangling link as output") << "@/dangling.mpg" << false;
    }
    void sameFile()
    {
        QFETCH(QString, output);
        QFETCH(bool, same);
        QTemporaryDir tmp;
        const QString root = tmp.path(), a = root + "/dir/a.mpg";
        QVERIFY(QDir(root).mkdir("dir") && QDir(root).mkdir("bound"));
        for (const char* name : {"/dir/a.mpg", "/dir/b.mpg", "/dir/A.mpg"})
            QVERIFY(writeFile(root + name, "aaaa"));
        QVERIFY(QFile::link(root + "/dir", root + "/dirlink"));
        QVERIFY(QFile::link(root + "/dir/nothing.mpg", root + "/dangling.mpg"));
        const bool bind = output.contains("bound");
        if (bind && !runTool("mount", {"--bind", root + "/dir", root + "/bound"}))
            QSKIP("cannot bind-mount here (needs root)");
        auto unmount = qScopeGuard([&] { bind&& runTool("umount", {root + "/bound"}); });
        output.replace('@', root);
        QCOMPARE(isSameFile(a, output), same);
        QCOMPARE(isSameFile(output, a), same);
    }

    void sameFileOnACaseFoldingFileSystem()
    {
        QTemporaryDir tmp;
        const QString img = tmp.filePath("fat.img"), mnt = tmp.filePath("m");
        QFile image(img);
        QVERIFY(QDir().mkdir(mnt) && image.open(QIODevice::WriteOnly) && image.resize(4 * 1024 * 1024));
        image.close();
        if (!runTool("mkfs.vfat", {img}) || !runTool("fusefat", {"-o", "rw+", img, mnt}))
            QSKIP("needs mkfs.vfat, fusefat and /dev/fuse");
        auto unmount = qScopeGuard([&] { runTool("fusermount3", {"-u", mnt}); });
        QVERIFY(writeFile(mnt + "/clip.mpg", "frames") && writeFile(mnt + "/other.mpg", "frames"));
        QVERIFY(isSameFile(mnt + "/clip.mpg", mnt + "/Clip.MPG"));
        QVERIFY(!isSameFile(mnt + "/clip.mpg", mnt + "/other.mpg"));
    }

    void freeSpaceOfTheOutputsVolume()
    {
        QTemporaryDir tmp;
        const QString mnt = tmp.filePath("small");
        QVERIFY(QDir().mkdir(mnt));
        if (!runTool("mount", {"-t", "tmpfs", "-o", "size=2M", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { runTool("umount", {mnt}); });
        QVERIFY(writeFile(mnt + "/used", QByteArray(512 * 1024, 'u')));
        const quint64 free = QueryFreeDiskSpace(mnt + "/out.mpg");
        QCOMPARE(free, quint64(QStorageInfo(mnt).bytesAvailable()));
        QCOMPARE(QueryFreeDiskSpace(mnt + "/not/yet/there/out.mpg"), free); // the folder the join will create
        QVERIFY(QueryFreeDiskSpace(tmp.filePath("out.mpg")) != free);
        QCOMPARE(QueryFreeDiskSpace(QString()), quint64(0));
    }
};

QTEST_GUILESS_MAIN(TestDoPack)
#include "tst_dopack.moc"
