// Whether the output is one of the sources (by file identity), and the free space query.
#include <QtTest>

#include <QStorageInfo>
#include <QTemporaryDir>

#include <unistd.h>

#include "TestFiles.h"
#include "engine/DiskSpace.h"
#include "engine/SameFile.h"

using namespace kt;
using namespace kt::test;

class TestPackIdentity : public QObject
{
    Q_OBJECT
private slots:
    void sameFile_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("same");
        QTest::newRow("dot-dot form") << "@/dir/a.mpg" << "@/dir/../dir/./a.mpg" << true;
        QTest::newRow("relative form") << "@/dir/a.mpg" << "dir/a.mpg" << true;
        QTest::newRow("doubled slashes") << "@/dir/a.mpg" << "@//dir//a.mpg" << true;
        QTest::newRow("symbolic link to it") << "@/dir/a.mpg" << "@/link.mpg" << true;
        QTest::newRow("link to its folder") << "@/dir/a.mpg" << "@/dirlink/a.mpg" << true;
        QTest::newRow("hard link") << "@/dir/a.mpg" << "@/hard.mpg" << true;
        QTest::newRow("another file") << "@/dir/a.mpg" << "@/dir/b.mpg" << false;
        QTest::newRow("other case, case-sensitive folder") << "@/dir/a.mpg" << "@/dir/A.mpg" << false;
        QTest::newRow("output does not exist") << "@/dir/a.mpg" << "@/dir/new.mpg" << false;
        QTest::newRow("dangling link as output") << "@/dir/a.mpg" << "@/dangling.mpg" << false;
    }
    void sameFile()
    {
        QFETCH(QString, source);
        QFETCH(QString, output);
        QFETCH(bool, same);
        QTemporaryDir tmp;
        const QString root = tmp.path();
        QVERIFY(QDir(root).mkdir("dir"));
        QVERIFY(writeFile(root + "/dir/a.mpg", "aaaa"));
        QVERIFY(writeFile(root + "/dir/b.mpg", "aaaa"));
        QVERIFY(writeFile(root + "/dir/A.mpg", "aaaa"));
        QVERIFY(QFile::link(root + "/dir/a.mpg", root + "/link.mpg"));
        QVERIFY(QFile::link(root + "/dir", root + "/dirlink"));
        QVERIFY(QFile::link(root + "/dir/nothing.mpg", root + "/dangling.mpg"));
        QCOMPARE(::link(QFile::encodeName(root + "/dir/a.mpg").constData(),
                        QFile::encodeName(root + "/hard.mpg").constData()),
                 0);
        const QString previous = QDir::currentPath();
        QDir::setCurrent(root);
        auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
        source.replace('@', root);
        output.replace('@', root);
        QCOMPARE(isSameFile(source, output), same);
        QCOMPARE(isSameFile(output, source), same);
    }

    void sameFileThroughABindMount()
    {
        QTemporaryDir tmp;
        const QString a = tmp.filePath("a"), b = tmp.filePath("b");
        QVERIFY(QDir().mkdir(a) && QDir().mkdir(b));
        QVERIFY(writeFile(a + "/x.mpg", "xx"));
        if (!runTool("mount", {"--bind", a, b}))
            QSKIP("cannot bind-mount here (needs root)");
        auto unmount = qScopeGuard([&] { runTool("umount", {b}); });
        QVERIFY(isSameFile(a + "/x.mpg", b + "/x.mpg"));
    }

    void sameFileOnACaseFoldingFileSystem()
    {
        if (!QFileInfo::exists("/dev/fuse") || QStandardPaths::findExecutable("fusefat").isEmpty()
            || QStandardPaths::findExecutable("mkfs.vfat").isEmpty())
            QSKIP("needs /dev/fuse, fusefat and mkfs.vfat");
        QTemporaryDir tmp;
        const QString img = tmp.filePath("fat.img"), mnt = tmp.filePath("m");
        QVERIFY(QDir().mkdir(mnt));
        QFile image(img);
        QVERIFY(image.open(QIODevice::WriteOnly) && image.resize(4 * 1024 * 1024));
        image.close();
        QVERIFY(runTool("mkfs.vfat", {img}));
        if (!runTool("fusefat", {"-o", "rw+", img, mnt}))
            QSKIP("fusefat could not mount");
        auto unmount = qScopeGuard([&] { runTool("fusermount3", {"-u", mnt}); });
        QVERIFY(writeFile(mnt + "/clip.mpg", "frames"));
        QVERIFY(writeFile(mnt + "/other.mpg", "frames"));
        QVERIFY(isSameFile(mnt + "/clip.mpg", mnt + "/Clip.MPG"));
        QVERIFY(!isSameFile(mnt + "/clip.mpg", mnt + "/other.mpg"));
    }

    void freeSpaceOfTheOutputsVolume()
    {
        QCOMPARE(QueryFreeDiskSpace(QString()), quint64(0));
        QTemporaryDir tmp;
        const QString mnt = tmp.filePath("small");
        QVERIFY(QDir().mkdir(mnt));
        if (!runTool("mount", {"-t", "tmpfs", "-o", "size=2M", "tmpfs", mnt}))
            QSKIP("cannot mount a tmpfs here (needs root)");
        auto unmount = qScopeGuard([&] { runTool("umount", {mnt}); });
        QVERIFY(writeFile(mnt + "/used", QByteArray(512 * 1024, 'u')));
        const quint64 free = QueryFreeDiskSpace(mnt + "/out.mpg");
        QCOMPARE(free, quint64(QStorageInfo(mnt).bytesAvailable()));
        QVERIFY(free > 0 && free <= 1536 * 1024);
        QCOMPARE(QueryFreeDiskSpace(mnt + "/not/yet/there/out.mpg"), free);
        QVERIFY(DoesSystemSupportLargeDrives(mnt + "/out.mpg"));
        QVERIFY(QueryFreeDiskSpace(tmp.filePath("out.mpg")) != free);
    }
};

QTEST_GUILESS_MAIN(TestPackIdentity)
#include "tst_pack_identity.moc"
