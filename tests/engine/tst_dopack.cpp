// The pack command (refusals and their order, MPEG questions, hand-over to the join, the free
// space of the output's volume), and whether the output is one of the sources by file identity.
#include "../support/MpegFixtures.h"
#include "../support/Rows.h"
#include "FakePackHost.h"
#include "engine/DiskSpace.h"
#include "engine/DoPack.h"
#include "engine/PackTexts.h"
#include "engine/SameFile.h"
#include "mpeg/MpegCheck.h"

#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kt;
using namespace kt::test;

namespace {

const QString kChecking = QStringLiteral("host:status:Checking available freespace...");
const QString kVerifying = QStringLiteral("host:status:Verifying mpeg compatibility...");

// One source row of a pack.
struct Source
{
    enum Kind { Mpeg, Mp3, Empty, Missing, NoHeader /* sparse, over the scan limit */, Written } kind = Mpeg;
    int width = 352, height = 240, frameRateCode = 4;
};
const Source a{}; // 352 x 240 at 29.97
const Source b{Source::Mpeg, 352, 288, 3};
const Source mp3{Source::Mp3}, empty{Source::Empty}, missing{Source::Missing}, noHeader{Source::NoHeader};
const Source written{Source::Written}; // an MPEG file that another pack holds as its output

bool makeFile(const QString& path, const Source& s, quint32 seed)
{
    switch (s.kind) {
    case Source::Mpeg:
    case Source::Written:
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

// A vfat image mounted through FUSE. fusefat may report success where the mount was refused
// (a plain user without /dev/fuse): the folder must then be a mount of its own.
bool mountFat(const QString& image, const QString& dir)
{
    return writeSparseFileWith(image, 8 << 20) && runTool("mkfs.vfat", {image}) &&
           runTool("fusefat", {"-o", "rw+", image, dir}) &&
           QStorageInfo(dir).rootPath() == QDir(dir).canonicalPath();
}

// A message and its style; the text may name a row or the output.
struct Says
{
    QString (*text)(const QString& named) = nullptr;
    int style = 0;
};
const int kQuestion = MB_YESNO | MB_ICONHAND;
const Says nothingToPack{[](const QString&) { return texts::nothingToPack(); }, MB_ICONEXCLAMATION};
const Says atLeastTwo{[](const QString&) { return texts::atLeastTwoFiles(); }, MB_ICONEXCLAMATION};
const Says saveAsFile{[](const QString&) { return texts::cannotPackSaveAsFile(); }, MB_ICONEXCLAMATION};
const Says noSpace{[](const QString&) { return texts::notEnoughFreeSpace(); }, MB_ICONHAND};
const Says overflow{[](const QString&) { return texts::packUnexpectedError(6); }, MB_ICONHAND | MB_TOPMOST};
const Says notCompatible{[](const QString&) { return texts::notCompatibleQuestion(); }, kQuestion};
const Says zeroBytes{texts::zeroByteFile, MB_ICONHAND};
const Says notMpeg{notMpegQuestion, kQuestion | MB_TOPMOST};
const Says beingWritten{texts::sourceBeingWritten, MB_ICONHAND};
const Says isPipe{[](const QString& out) { return texts::outputNotRegular(out, "a pipe", false); },
                  MB_ICONHAND};
const Says toDevice{
    [](const QString& out) { return texts::outputNotRegular(out, "a character device", true); }, MB_ICONHAND};
const Says toFolder{[](const QString& out) { return texts::outputNotRegular(out, "a folder", true); },
                    MB_ICONHAND};
const Says toKernel{
    [](const QString& out) { return texts::outputNotRegular(out, "a file of the kernel", true); },
    MB_ICONHAND};
const Says tooLargeForFat{[](const QString& out) {
                              return texts::tooLargeForFileSystem(out, 2 * 1073709156ull + 43000 + 44000,
                                                                  0x7FFFFFFF, "fuse.fusefat");
                          },
                          MB_ICONHAND};

// A pack: the rows, how the user answers, and the one message it shows before any success.
struct PackCase
{
    QList<Source> rows;
    QList<int> answers;
    Says says;
    int about = 0;    // the 1-based row the message names, -1: the output
    int verified = 0; // rows checked
    PackOutcome outcome = PackOutcome::Stopped;
    const char* output = "out.mpg"; // given with spaces around it; "": the dialog was cancelled
    bool check = true;              // the MPEG check
};

// One row that fails several checks: the verdict names the first in their order.
struct RowCase
{
    Source source;
    bool isOutput = false, held = false; // held as another pack's output
    RowVerdict::Refusal first = RowVerdict::None;
};

} // namespace

class TestDoPack : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { File64::CloseAllHandles(); }

    void pack_data()
    {
        const Source rate25{Source::Mpeg, 352, 240, 3};
        const PackOutcome packed = PackOutcome::Packed, stopped = PackOutcome::Stopped;
        addRows<PackCase>({
            {"empty list", {{}, {}, nothingToPack}},
            {"one row", {{a}, {}, atLeastTwo}},
            {"save dialog cancelled", {{a, a}, {}, {}, 0, 0, stopped, ""}},
            {"empty first row", {{empty, a}, {}, zeroBytes, 1}},
            {"missing second row", {{a, missing, a}, {}, zeroBytes, 2, 1}},
            {"empty third row", {{a, a, empty}, {}, zeroBytes, 3, 2}},
            {"output is row 3", {{a, a, a}, {}, saveAsFile, 0, 2, stopped, "row3.mpg"}},
            {"not enough free space on the output's volume",
             {{a, a}, {}, noSpace, 0, 2, stopped, "small/out.mpg"}},
            {"header scan overflow", {{a, noHeader}, {}, overflow, 0, 2, PackOutcome::Failed}},
            {"compatible", {{a, a, a}, {}, {}, 0, 3, packed}},
            {"output in folders yet to be made", {{a, a}, {}, {}, 0, 2, packed, "new/deeper/out.mpg"}},
            {"size and rate differ, yes: later rows unchecked",
             {{a, b, mp3}, {IDYES}, notCompatible, 0, 2, packed}},
            {"frame rate differs, no", {{a, rate25, a}, {IDNO}, notCompatible, 0, 2}},
            {"mp3 first, no: silent", {{mp3, a}, {IDNO}, notMpeg, 1, 1}},
            {"mp3 first, yes: later rows unchecked", {{mp3, a, b}, {IDYES}, notMpeg, 1, 1, packed}},
            {"mp3 second, no", {{a, mp3, a}, {IDNO}, notMpeg, 2, 2}},
            {"check off", {{mp3, a, b}, {}, {}, 0, 0, packed, "out.mpg", false}},
            {"a source another pack is writing", {{a, written, a}, {}, beingWritten, 2, 1}},
            {"output is a pipe", {{a, a}, {}, isPipe, -1, 0, stopped, "fifo"}},
            {"output is a link to a device", {{a, a}, {}, toDevice, -1, 0, stopped, "null"}},
            {"output is a link to a file of the kernel", {{a, a}, {}, toKernel, -1, 0, stopped, "kernel"}},
            {"output is a link through the kernel to a file",
             {{a, a}, {}, toKernel, -1, 0, stopped, "viaproc"}},
            {"output is a link to a folder", {{a, a}, {}, toFolder, -1, 0, stopped, "folder"}},
            {"over fusefat's largest file",
             {{noHeader, noHeader, a, a}, {}, tooLargeForFat, -1, 0, stopped, "fat/out.mpg", false}},
        });
    }
    void pack()
    {
        QFETCH(PackCase, row);
        PackRig pk;
        QList<QFile*> writers;
        auto closeWriters = qScopeGuard([&] { qDeleteAll(writers); });
        for (int i = 0; i < row.rows.size(); ++i) {
            pk.host.rows << pk.path(QStringLiteral("row%1.mpg").arg(i + 1));
            QVERIFY(makeFile(pk.host.rows.last(), row.rows[i], quint32(i + 1)));
            if (row.rows[i].kind == Source::Written) { // as another pack holds its output
                writers << new QFile(pk.host.rows.last());
                QVERIFY(writers.last()->open(QIODevice::ReadWrite) &&
                        ::flock(writers.last()->handle(), LOCK_EX) == 0);
            }
        }
        QVERIFY(::mkfifo(QFile::encodeName(pk.path("fifo")).constData(), 0600) == 0);
        QFile viaProc(pk.path("target.bin")); // a regular file reached as /dev/stdout may reach one
        QVERIFY(viaProc.open(QIODevice::WriteOnly) &&
                QFile::link(QStringLiteral("/proc/self/fd/%1").arg(viaProc.handle()), pk.path("viaproc")));
        QVERIFY(QFile::link("/dev/null", pk.path("null")) &&
                QFile::link("/proc/self/status", pk.path("kernel")) &&
                QFile::link(pk.path(""), pk.path("folder")));
        const bool small = QByteArray(row.output).startsWith("small/"),
                   fat = QByteArray(row.output).startsWith("fat/"),
                   failed = row.outcome == PackOutcome::Failed;
        const bool packed = row.outcome == PackOutcome::Packed, saved = row.rows.size() >= 2 && *row.output;
        if (small) {
            QVERIFY(QDir().mkdir(pk.path("small")));
            if (!runTool("mount", {"-t", "tmpfs", "-o", "size=40k", "tmpfs", pk.path("small")}))
                QSKIP("cannot mount a tmpfs here (needs root)");
        }
        auto unmount = qScopeGuard([&] { small&& runTool("umount", {pk.path("small")}); });
        if (fat) {
            QVERIFY(QDir().mkdir(pk.path("fat")));
            if (!mountFat(pk.path("fat.img"), pk.path("fat")))
                QSKIP("needs mkfs.vfat, fusefat and a FUSE mount allowed to this user");
        }
        auto unmountFat = qScopeGuard([&] { fat&& runTool("fusermount3", {"-u", pk.path("fat")}); });
        const auto entry = [](const QString& path) { // what stands at a path: its type and inode
            struct stat st = {};
            return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? QPair(st.st_mode, st.st_ino)
                                                                          : QPair<mode_t, ino_t>();
        };
        const QByteArray row3 = fileBytes(pk.host.rows.value(2));
        QByteArray expected; // not read when a sparse source of a gigabyte stops the pack
        for (const QString& path : packed ? pk.host.rows : QStringList())
            expected += fileBytes(path);
        const QString out = pk.path(row.output);
        const auto outputBefore = entry(out);
        pk.host.options = {row.check, blockSizeFor(TransferRate::Slow), DeleteAfterAction::No};
        pk.host.outputAnswer = saved ? "  " + out + "  " : "   ";
        pk.box.answers << row.answers;
        QStringList said;
        QList<int> styles;
        if (row.says.text) {
            said << row.says.text(row.about < 0 ? out : pk.host.rows.value(row.about - 1));
            styles << row.says.style;
        }
        if (packed) { // declining says nothing more
            said << texts::packedSuccessfully(out, expected.size());
            styles << MB_ICONINFORMATION;
        }

        QCOMPARE(DoPack(pk.host, pk.file, nullptr), row.outcome);
        QCOMPARE(pk.box.texts, said);
        QCOMPARE(pk.box.styles, styles);
        QCOMPARE(pk.log.count(kVerifying), row.verified);
        QCOMPARE(pk.log.contains("host:askOutput"), row.rows.size() >= 2);
        if (saved)
            QCOMPARE(pk.log.mid(0, 4),
                     QStringList({"host:askOutput", "host:hideLogo", "host:wait", kChecking}));
        // A failure resumes the program; a refusal only returns to the idle look.
        QCOMPARE(pk.log.last(), failed ? "host:errorResume" : "host:arrow");
        QCOMPARE(pk.log.contains("host:unhideLogo"), !failed);
        QCOMPARE(pk.log.contains("host:progressWindow"), packed);
        if (packed)
            QCOMPARE(fileBytes(out), expected);
        else // nothing made, deleted or replaced there
            QCOMPARE(entry(out), outputBefore);
        QCOMPARE(fileBytes(pk.host.rows.value(2)), row3);
        QCOMPARE(File64::OpenHandleCount(), 0);
    }

    void rowChecksInOrder_data()
    {
        addRows<RowCase>({
            {"empty and the output", {empty, true, false, RowVerdict::ZeroBytes}},
            {"missing and the output", {missing, true, false, RowVerdict::ZeroBytes}},
            {"empty and being written", {empty, false, true, RowVerdict::ZeroBytes}},
            {"the output and being written", {a, true, true, RowVerdict::SaveAsFile}},
            {"being written", {a, false, true, RowVerdict::BeingWritten}},
            {"accepted", {a, false, false, RowVerdict::None}},
        });
    }
    void rowChecksInOrder()
    {
        QFETCH(RowCase, row);
        QTemporaryDir tmp;
        const QString path = tmp.filePath("row.mpg");
        QVERIFY(makeFile(path, row.source, 1));
        QFile holder(path);
        if (row.held)
            QVERIFY(holder.open(QIODevice::ReadWrite) && ::flock(holder.handle(), LOCK_EX) == 0);
        const RowVerdict verdict = checkRow(path, row.isOutput ? path : tmp.filePath("out.mpg"));
        QCOMPARE(verdict.refusal, row.first);
        QCOMPARE(verdict.length, quint64(QFileInfo(path).size()));
    }

    void freeSpaceEqualToTheTotalIsEnough()
    {
        QVERIFY(enoughFreeSpace(40000, 40000));
        QVERIFY(enoughFreeSpace(40001, 40000));
        QVERIFY(!enoughFreeSpace(39999, 40000));
    }

    void sameFile_data() // an output found to be a source is refused (the pack table)
    {
        QTest::addColumn<QString>("output"); // "@" is the test folder, also the current one
        QTest::addColumn<bool>("same");
        QTest::newRow("relative") << "dir/a.mpg" << true;
        QTest::newRow("link to the file") << "@/filelink.mpg" << true;
        QTest::newRow("hard link") << "@/hard.mpg" << true;
        QTest::newRow("bind mount") << "@/bound/a.mpg" << true;
        QTest::newRow("another file, same bytes") << "@/dir/b.mpg" << false;
        QTest::newRow("other case, case-sensitive folder") << "@/dir/A.mpg" << false;
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
        QVERIFY(QFile::link(a, root + "/filelink.mpg"));
        QVERIFY(QFile::link(root + "/dir/nothing.mpg", root + "/dangling.mpg"));
        QCOMPARE(::link(QFile::encodeName(a).constData(), QFile::encodeName(root + "/hard.mpg").constData()),
                 0);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(root);
        auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
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
        QVERIFY(QDir().mkdir(mnt));
        if (!mountFat(img, mnt))
            QSKIP("needs mkfs.vfat, fusefat and a FUSE mount allowed to this user");
        auto unmount = qScopeGuard([&] { runTool("fusermount3", {"-u", mnt}); });
        QVERIFY(writeFile(mnt + "/clip.mpg", "frames") && writeFile(mnt + "/other.mpg", "frames"));
        QVERIFY(isSameFile(mnt + "/clip.mpg", mnt + "/Clip.MPG"));
        QVERIFY(!isSameFile(mnt + "/clip.mpg", mnt + "/other.mpg"));
    }
};

QTEST_GUILESS_MAIN(TestDoPack)
#include "tst_dopack.moc"
