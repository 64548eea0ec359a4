// The pack command (refusals and their order, MPEG questions, hand-over to the join), whether the
// output is one of the sources by file identity, and the free space query.
#include "../support/MpegFixtures.h"
#include "FakePackHost.h"
#include "engine/DiskSpace.h"
#include "engine/DoPack.h"
#include "engine/PackTexts.h"
#include "engine/SameFile.h"
#include "mpeg/MpegCheck.h"

#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace kt;
using namespace kt::test;

namespace {

const QString kChecking = QStringLiteral("host:status:Checking available freespace...");
const QString kVerifying = QStringLiteral("host:status:Verifying mpeg compatibility...");

// One source row of a pack.
struct Source
{
    enum Kind { Mpeg, Mp3, Empty, Missing, NoHeader /* sparse, over the scan limit */ } kind = Mpeg;
    int width = 352, height = 240, frameRateCode = 4;
};
using Sources = QList<Source>;
const Source a{}; // 352 x 240 at 29.97
const Source b{Source::Mpeg, 352, 288, 3};
const Source mp3{Source::Mp3}, empty{Source::Empty}, missing{Source::Missing}, noHeader{Source::NoHeader};

bool makeFile(const QString& path, const Source& s, quint32 seed)
{
    switch (s.kind) {
    case Source::Mpeg:
        return writeMpegLikeFile(path, 40000 + seed * 1000, 100 * seed, s.width, s.height, s.frameRateCode);
    case Source::Mp3:
        return writeFileWith(path, 30000, 0, "ID3", seed);
    case Source::Empty:
        return writeFile(path, QByteArray());
    case Source::NoHeader:
        return writeSparseFileWith(path, 32767LL * 32768 + 100);
    case Source::Missing:
        break;
    }
    return true;
}

// Where the Save dialog puts the output.
enum class Output {
    Fresh,    // out.mpg in the test folder
    Blank,    // only spaces: the dialog was cancelled
    Row3,     // the third source itself (its other names are in the sameFile table)
    SmallDisk // out.mpg on a 40 KiB tmpfs
};

// What the pack says when it refuses; NotMpegAbout and ZeroByteAbout name a row.
enum class Said {
    Nothing,
    NothingToPack,
    AtLeastTwo,
    ZeroByteAbout,
    SaveAsFile,
    NoSpace,
    Overflow,
    CompatQuestion,
    NotMpegAbout
};

struct Refusal
{
    Sources rows;
    Output output = Output::Fresh;
    Said said = Said::Nothing;
    int about = 0; // the 1-based row the message names
    int style = 0;
    int verified = 0; // rows checked before the refusal
};

struct Questions
{
    Sources rows;
    bool check = true;
    QList<int> answers;
    Said asked = Said::Nothing; // Nothing, CompatQuestion or NotMpegAbout
    int about = 0;
    int verified = 0;
    bool packed = false;
};

struct Pack : PackRig
{
    PackValues values;

    void rows(const Sources& sources)
    {
        for (int i = 0; i < sources.size(); ++i) {
            host.rows << path(QStringLiteral("row%1.mpg").arg(i + 1));
            QVERIFY(makeFile(host.rows.last(), sources[i], quint32(i + 1)));
        }
    }
    QString outputPath(Output o) const
    {
        switch (o) {
        case Output::Fresh:
            return path("out.mpg");
        case Output::Blank:
            return "   ";
        case Output::Row3:
            return path("row3.mpg");
        case Output::SmallDisk:
            return path("small/out.mpg");
        }
        return {};
    }
    QString text(Said said, int about) const
    {
        const QString row = host.rows.value(about - 1);
        switch (said) {
        case Said::Nothing:
            return {};
        case Said::NothingToPack:
            return texts::nothingToPack();
        case Said::AtLeastTwo:
            return texts::atLeastTwoFiles();
        case Said::ZeroByteAbout:
            return texts::zeroByteFile(row);
        case Said::SaveAsFile:
            return texts::cannotPackSaveAsFile();
        case Said::NoSpace:
            return texts::notEnoughFreeSpace();
        case Said::Overflow:
            return texts::packUnexpectedError(6);
        case Said::CompatQuestion:
            return texts::notCompatibleQuestion();
        case Said::NotMpegAbout:
            return notMpegQuestion(row);
        }
        return {};
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

Q_DECLARE_METATYPE(Refusal)
Q_DECLARE_METATYPE(Questions)

class TestDoPack : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { File64::CloseAllHandles(); }

    void refusals_data()
    {
        QTest::addColumn<Refusal>("c");
        const int excl = MB_ICONEXCLAMATION, hand = MB_ICONHAND;
        auto row = [](const char* name, const Refusal& c) { QTest::newRow(name) << c; };
        row("empty list", {{}, Output::Fresh, Said::NothingToPack, 0, excl, 0});
        row("one row", {{a}, Output::Fresh, Said::AtLeastTwo, 0, excl, 0});
        row("save dialog cancelled", {{a, a}, Output::Blank, Said::Nothing, 0, 0, 0});
        row("empty first row", {{empty, a}, Output::Fresh, Said::ZeroByteAbout, 1, hand, 0});
        row("missing second row", {{a, missing, a}, Output::Fresh, Said::ZeroByteAbout, 2, hand, 1});
        row("empty third row", {{a, a, empty}, Output::Fresh, Said::ZeroByteAbout, 3, hand, 2});
        row("output is row 3", {{a, a, a}, Output::Row3, Said::SaveAsFile, 0, excl, 2});
        row("not enough free space", {{a, a}, Output::SmallDisk, Said::NoSpace, 0, hand, 2});
        row("header scan overflow", {{a, noHeader}, Output::Fresh, Said::Overflow, 0, hand | MB_TOPMOST, 2});
    }
    void refusals()
    {
        QFETCH(Refusal, c);
        Pack pk;
        pk.rows(c.rows);
        const bool small = c.output == Output::SmallDisk;
        if (small) {
            QVERIFY(QDir().mkdir(pk.path("small")));
            if (!runTool("mount", {"-t", "tmpfs", "-o", "size=40k", "tmpfs", pk.path("small")}))
                QSKIP("cannot mount a tmpfs here (needs root)");
        }
        auto unmount = qScopeGuard([&] {
            if (small)
                runTool("umount", {pk.path("small")});
        });
        const QByteArray row3 = fileBytes(pk.host.rows.value(2)); // the one the output aliases
        const QString message = pk.text(c.said, c.about);
        const bool failed = c.said == Said::Overflow;
        pk.host.options.mpegCheck = true;
        pk.host.outputAnswer = pk.outputPath(c.output);

        QCOMPARE(pk.run(), failed ? PackOutcome::Failed : PackOutcome::Stopped);
        QCOMPARE(pk.box.texts, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(pk.box.styles, message.isEmpty() ? QList<int>() : QList<int>{c.style});
        QCOMPARE(pk.log.count(kVerifying), c.verified);
        QCOMPARE(pk.log.contains("host:askOutput"), c.rows.size() >= 2);
        // A failure resumes the program; a refusal only returns to the idle look.
        QCOMPARE(pk.log.contains("host:errorResume"), failed);
        QCOMPARE(pk.log.contains("host:unhideLogo"), !failed);
        QVERIFY(!pk.log.contains("host:progressWindow"));
        QVERIFY(!QFileInfo::exists(pk.path("out.mpg")) && !QFileInfo::exists(pk.path("small/out.mpg")));
        QCOMPARE(fileBytes(pk.host.rows.value(2)), row3);
        QCOMPARE(File64::OpenHandleCount(), 0);
    }

    void mpegQuestions_data()
    {
        QTest::addColumn<Questions>("c");
        auto row = [](const char* name, const Questions& c) { QTest::newRow(name) << c; };
        const Source rate25{Source::Mpeg, 352, 240, 3};
        row("compatible", {{a, a, a}, true, {}, Said::Nothing, 0, 3, true});
        row("size and rate differ, yes: later rows unchecked",
            {{a, b, mp3}, true, {IDYES}, Said::CompatQuestion, 0, 2, true});
        row("frame rate differs, no", {{a, rate25, a}, true, {IDNO}, Said::CompatQuestion, 0, 2, false});
        row("mp3 first, no: silent", {{mp3, a}, true, {IDNO}, Said::NotMpegAbout, 1, 1, false});
        row("mp3 first, yes: later rows unchecked",
            {{mp3, a, b}, true, {IDYES}, Said::NotMpegAbout, 1, 1, true});
        row("mp3 second, no", {{a, mp3, a}, true, {IDNO}, Said::NotMpegAbout, 2, 2, false});
        row("check off", {{mp3, a, b}, false, {}, Said::Nothing, 0, 0, true});
    }
    void mpegQuestions()
    {
        QFETCH(Questions, c);
        Pack pk;
        pk.rows(c.rows);
        pk.host.options = {c.check, blockSizeFor(TransferRate::Slow), DeleteAfterAction::No};
        pk.host.outputAnswer = "  " + pk.path("out.mpg") + "  "; // trimmed
        pk.box.answers << c.answers;
        const QByteArray expected = pk.joined();
        QStringList said;
        if (c.asked != Said::Nothing)
            said << pk.text(c.asked, c.about);
        if (c.packed) // declining says nothing more
            said << texts::packedSuccessfully(pk.path("out.mpg"), expected.size());

        QCOMPARE(pk.run(), c.packed ? PackOutcome::Packed : PackOutcome::Stopped);
        QCOMPARE(pk.box.texts, said);
        if (c.asked != Said::Nothing)
            QCOMPARE(pk.box.styles.first(), c.asked == Said::CompatQuestion
                                                ? MB_YESNO | MB_ICONHAND
                                                : MB_YESNO | MB_ICONHAND | MB_TOPMOST);
        QCOMPARE(pk.log.count(kVerifying), c.verified);
        QCOMPARE(pk.log.mid(0, 4), QStringList({"host:askOutput", "host:hideLogo", "host:wait", kChecking}));
        QCOMPARE(pk.log.contains("host:progressWindow"), c.packed);
        QVERIFY(!pk.log.contains("host:errorResume"));
        QCOMPARE(pk.log.last(), "host:arrow");
        QCOMPARE(fileBytes(pk.path("out.mpg")), c.packed ? expected : QByteArray());
        QCOMPARE(File64::OpenHandleCount(), 0);
        if (c.check && c.rows[0].kind == Source::Mpeg)
            QCOMPARE(pk.values.mcheckList, QStringList{"352,240,29.97"});
    }

    void sameFile_data() // an output found to be a source is refused (the refusals table)
    {
        QTest::addColumn<QString>("output"); // "@" is the test folder, also the current one
        QTest::addColumn<bool>("same");
        QTest::newRow("by ..") << "@/dir/../dir/a.mpg" << true;
        QTest::newRow("relative") << "dir/a.mpg" << true;
        QTest::newRow("link to the file") << "@/filelink.mpg" << true;
        QTest::newRow("hard link") << "@/hard.mpg" << true;
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
        QVERIFY(QFile::link(root + "/dir", root + "/dirlink") && QFile::link(a, root + "/filelink.mpg"));
        QCOMPARE(::link(QFile::encodeName(a).constData(), QFile::encodeName(root + "/hard.mpg").constData()),
                 0);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(root);
        auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
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
