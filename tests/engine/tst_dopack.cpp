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

struct Source
{
    enum Kind { Mpeg, Mp3, Empty, Missing, NoHeader /* sparse, over the scan limit */ } kind = Mpeg;
    int width = 352, height = 240, frameRateCode = 4;
    bool held = false; // as another pack holds its output
};
const Source a{} /* 352 x 240 at 29.97 */, b{Source::Mpeg, 352, 288, 3};
const Source mp3{Source::Mp3}, empty{Source::Empty}, missing{Source::Missing}, noHeader{Source::NoHeader};
const Source written{.held = true}, emptyWritten{Source::Empty, 352, 240, 4, true};

bool makeFile(const QString& path, const Source& s, quint32 seed)
{
    return s.kind == Source::Mp3     ? writeFileWith(path, 30000, 0, "ID3", seed)
           : s.kind == Source::Empty ? writeFile(path, QByteArray())
           : s.kind == Source::NoHeader
               ? writeSparseFileWith(path, 32767LL * 32768 + 100)
               : s.kind == Source::Missing || writeMpegLikeFile(path, 40000 + seed * 1000, 100 * seed,
                                                                s.width, s.height, s.frameRateCode);
}

// A vfat image mounted through FUSE. fusefat may report success where the mount was refused
// (a plain user without /dev/fuse): the folder must then be a mount of its own.
bool mountFat(const QString& image, const QString& dir)
{
    return writeSparseFileWith(image, 8 << 20) && runTool("mkfs.vfat", {image}) &&
           runTool("fusefat", {"-o", "rw+", image, dir}) &&
           QStorageInfo(dir).rootPath() == QDir(dir).canonicalPath();
}

using Says = std::pair<QString, int>; // a message ("@" stands for the test's folder) and its style

// A pack: the rows, how the user answers, and the one message it shows before any success.
struct PackCase
{
    QList<Source> rows;
    QList<int> answers;
    Says says;
    int verified = 0; // rows checked
    PackOutcome outcome = PackOutcome::Stopped;
    const char* output = "out.mpg"; // given with spaces around it; "": the dialog was cancelled
    bool check = true;              // the MPEG check
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
        const auto row = [](int n) { return QStringLiteral("@/row%1.mpg").arg(n); };
        const Says saveAsFile{texts::cannotPackSaveAsFile(), MB_ICONEXCLAMATION},
            notCompatible{texts::notCompatibleQuestion(), MB_YESNO | MB_ICONHAND},
            overflow{texts::packUnexpectedError(6), MB_ICONHAND | MB_TOPMOST},
            tooLargeForFat{texts::tooLargeForFileSystem("@/fat/out.mpg", 2 * 1073709156ull + 43000 + 44000,
                                                        0x7FFFFFFF, "fuse.fusefat"),
                           MB_ICONHAND};
        const auto zeroBytes = [&](int n) { return Says{texts::zeroByteFile(row(n)), MB_ICONHAND}; };
        const auto notMpeg = [&](int n) {
            return Says{notMpegQuestion(row(n)), MB_YESNO | MB_ICONHAND | MB_TOPMOST};
        };
        const auto notRegular = [](const char* out, const char* kind, bool throughLink = true) {
            return Says{texts::outputNotRegular(QString("@/") + out, kind, throughLink), MB_ICONHAND};
        };
        addRows<PackCase>({
            {"empty list", {{}, {}, {texts::nothingToPack(), MB_ICONEXCLAMATION}}},
            {"one row", {{a}, {}, {texts::atLeastTwoFiles(), MB_ICONEXCLAMATION}}},
            {"save dialog cancelled", {{a, a}, {}, {}, 0, stopped, ""}},
            {"missing second row", {{a, missing, a}, {}, zeroBytes(2), 1}},
            {"empty third row", {{a, a, empty}, {}, zeroBytes(3), 2}},
            {"output is row 3", {{a, a, a}, {}, saveAsFile, 2, stopped, "row3.mpg"}},
            // A row that fails several checks is refused by the first in their order.
            {"empty and the output", {{empty, a}, {}, zeroBytes(1), 0, stopped, "row1.mpg"}},
            {"empty and being written", {{emptyWritten, a}, {}, zeroBytes(1)}},
            {"the output and being written", {{a, written}, {}, saveAsFile, 1, stopped, "row2.mpg"}},
            {"not enough free space on the output's volume",
             {{a, a}, {}, {texts::notEnoughFreeSpace(), MB_ICONHAND}, 2, stopped, "small/out.mpg"}},
            {"header scan overflow", {{a, noHeader}, {}, overflow, 2, PackOutcome::Failed}},
            {"compatible", {{a, a, a}, {}, {}, 3, packed}},
            {"output in folders yet to be made", {{a, a}, {}, {}, 2, packed, "new/deeper/out.mpg"}},
            {"size and rate differ, yes: later rows unchecked",
             {{a, b, mp3}, {IDYES}, notCompatible, 2, packed}},
            {"frame rate differs, no", {{a, rate25, a}, {IDNO}, notCompatible, 2}},
            {"mp3 first, no: silent", {{mp3, a}, {IDNO}, notMpeg(1), 1}},
            {"mp3 first, yes: later rows unchecked", {{mp3, a, b}, {IDYES}, notMpeg(1), 1, packed}},
            {"mp3 second, no", {{a, mp3, a}, {IDNO}, notMpeg(2), 2}},
            {"a source another pack is writing",
             {{a, written, a}, {}, {texts::sourceBeingWritten(row(2)), MB_ICONHAND}, 1}},
            {"output is a pipe", {{a, a}, {}, notRegular("fifo", "a pipe", false), 0, stopped, "fifo"}},
            {"output is a link to a device",
             {{a, a}, {}, notRegular("null", "a character device"), 0, stopped, "null"}},
            {"output is a link to a file of the kernel",
             {{a, a}, {}, notRegular("kernel", "a file of the kernel"), 0, stopped, "kernel"}},
            {"output is a link through the kernel to a file",
             {{a, a}, {}, notRegular("viaproc", "a file of the kernel"), 0, stopped, "viaproc"}},
            {"output is a link to a folder",
             {{a, a}, {}, notRegular("folder", "a folder"), 0, stopped, "folder"}},
            {"over fusefat's largest file",
             {{noHeader, noHeader, a, a}, {}, tooLargeForFat, 0, stopped, "fat/out.mpg", false}},
        });
    }
    void pack()
    {
        QFETCH(PackCase, row);
        PackRig pk;
        QFile holder;
        for (int i = 0; i < row.rows.size(); ++i) {
            pk.host.rows << pk.path(QStringLiteral("row%1.mpg").arg(i + 1));
            QVERIFY(makeFile(pk.host.rows.last(), row.rows[i], quint32(i + 1)));
            if (row.rows[i].held) {
                holder.setFileName(pk.host.rows.last());
                QVERIFY(holder.open(QIODevice::ReadWrite) && ::flock(holder.handle(), LOCK_EX) == 0);
            }
        }
        QVERIFY(::mkfifo(QFile::encodeName(pk.path("fifo")).constData(), 0600) == 0);
        QFile viaProc(pk.path("target.bin")); // a regular file reached as /dev/stdout may reach one
        QVERIFY(viaProc.open(QIODevice::WriteOnly) &&
                QFile::link(QStringLiteral("/proc/self/fd/%1").arg(viaProc.handle()), pk.path("viaproc")));
        QVERIFY(QFile::link("/dev/null", pk.path("null")) &&
                QFile::link("/proc/self/status", pk.path("kernel")) &&
                QFile::link(pk.path(""), pk.path("folder")));
        const QString mount = pk.path(QString(row.output).section('/', 0, 0));
        const bool small = mount.endsWith("/small"), fat = mount.endsWith("/fat");
        const bool failed = row.outcome == PackOutcome::Failed, packed = row.outcome == PackOutcome::Packed,
                   saved = row.rows.size() >= 2 && *row.output;
        QVERIFY(!(small || fat) || QDir().mkdir(mount));
        if (small && !runTool("mount", {"-t", "tmpfs", "-o", "size=40k", "tmpfs", mount}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        if (fat && !mountFat(pk.path("fat.img"), mount))
            QSKIP("needs mkfs.vfat, fusefat and a FUSE mount allowed to this user");
        auto unmount = qScopeGuard([&] {
            small ? runTool("umount", {mount}) : fat&& runTool("fusermount3", {"-u", mount});
        });
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
        if (!row.says.first.isEmpty())
            said << row.says.first.replace('@', pk.dir.path()), styles << row.says.second;
        if (packed) // declining says nothing more
            said << texts::packedSuccessfully(out, expected.size()), styles << MB_ICONINFORMATION;

        QCOMPARE(DoPack(pk.host, pk.file, nullptr), row.outcome);
        QCOMPARE(pk.box.texts, said);
        QCOMPARE(pk.box.styles, styles);
        QCOMPARE(pk.log.count("host:status:Verifying mpeg compatibility..."), row.verified);
        QCOMPARE(pk.log.contains("host:askOutput"), row.rows.size() >= 2);
        if (saved)
            QCOMPARE(pk.log.mid(0, 4), QStringList({"host:askOutput", "host:hideLogo", "host:wait",
                                                    "host:status:Checking available freespace..."}));
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

    void freeSpaceEqualToTheTotalIsEnough()
    {
        QVERIFY(enoughFreeSpace(40000, 40000));
        QVERIFY(!enoughFreeSpace(39999, 40000));
    }

    // An output found to be a source is refused (the pack table): the same file by identity, not
    // by name or bytes, whichever comes first; on a case-folding file system the case does not count.
    void sameFile()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path(), a = root + "/dir/a.mpg", fat = root + "/fat";
        QVERIFY(QDir(root).mkdir("dir") && QDir(root).mkdir("fat"));
        for (const char* name : {"/dir/a.mpg", "/dir/b.mpg", "/dir/A.mpg"})
            QVERIFY(writeFile(root + name, "aaaa"));
        QVERIFY(QFile::link(a, root + "/link.mpg") &&
                QFile::link(root + "/dir/none.mpg", root + "/dangling.mpg"));
        QCOMPARE(::link(QFile::encodeName(a).constData(), QFile::encodeName(root + "/hard.mpg").constData()),
                 0);
        const auto same = [](const QString& x, const QString& y) {
            return isSameFile(x, y) == isSameFile(y, x) ? int(isSameFile(x, y)) : -1; // -1: the order counts
        };
        QCOMPARE(same(a, QDir::current().relativeFilePath(a)), 1);
        QCOMPARE(same(a, root + "/link.mpg"), 1);
        QCOMPARE(same(a, root + "/hard.mpg"), 1);
        QCOMPARE(same(a, root + "/dir/b.mpg"), 0); // the same bytes
        QCOMPARE(same(a, root + "/dir/A.mpg"), 0); // the name in another case
        QCOMPARE(same(a, root + "/dangling.mpg"), 0);
        if (!mountFat(root + "/fat.img", fat))
            QSKIP("needs mkfs.vfat, fusefat and a FUSE mount allowed to this user");
        auto unmount = qScopeGuard([&] { runTool("fusermount3", {"-u", fat}); });
        QVERIFY(writeFile(fat + "/clip.mpg", "frames") && writeFile(fat + "/other.mpg", "frames"));
        QCOMPARE(same(fat + "/clip.mpg", fat + "/Clip.MPG"), 1);
        QCOMPARE(same(fat + "/clip.mpg", fat + "/other.mpg"), 0);
    }
};

QTEST_GUILESS_MAIN(TestDoPack)
#include "tst_dopack.moc"
