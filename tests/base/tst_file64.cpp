// File64: the shared handle stack, open-always, the messages, and positions beyond 4 GiB.
#include "../support/MpegFixtures.h"
#include "../support/ScriptedSeams.h"
#include "base/File64.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>

using namespace kt;

namespace {

const QString kNoOpenFile = QStringLiteral("There is no open file.");

bool descriptorOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct OpenFailure
{
    QString name;
    QString mode;
    int error;
    qint32 code = File64::kOpenFailed;
};

} // namespace

Q_DECLARE_METATYPE(OpenFailure)

class TestFile64 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void init() { QCOMPARE(File64::OpenHandleCount(), 0); }
    void cleanup() { QCOMPARE(File64::OpenHandleCount(), 0); }

    // Everything that needs an open file says so on a fresh object, then carries on.
    void noOpenFileMessages()
    {
        test::ScriptedMessageBox box;
        File64 f;
        QCOMPARE(f.FileHandle(), File64::kInvalidHandle);
        f.SeekAbsolute(0, 10);
        f.SeekRelative(10); // fails on handle -1 as well
        QCOMPARE(box.texts(),
                 (QStringList{kNoOpenFile, kNoOpenFile, kNoOpenFile, QStringLiteral("Error seeking!")}));
        QCOMPARE(box.asked().last().style, 0x40010);
    }

    // Open always: a missing file is created even read-only, an existing one never truncated.
    void openAlways()
    {
        test::ScriptedMessageBox box;
        const QString p = path(QStringLiteral("ten.bin"));
        File64 f;
        f.OpenFile(p, File64::kReadOnly);
        QVERIFY(f.IsOpen() && QFile::exists(p));
        f.CloseFile(f.FileHandle());
        QVERIFY(test::writeSparseFileWith(p, 10, 0, "0123456789"));
        f.OpenFile(p, File64::kReadWrite);
        qint32 written = 0;
        f.WriteBytes(f.FileHandle(), "abcd", written);
        f.CloseFile(f.FileHandle());
        QCOMPARE(readAll(p), QByteArray("abcd456789"));
        QVERIFY(box.asked().isEmpty());
    }

    // A failed open is a value for the caller to show; File64 itself says nothing.
    void openFailures_data()
    {
        QTest::addColumn<OpenFailure>("c");
        QTest::newRow("existing only, absent")
            << OpenFailure{"absent.mpg", File64::kReadOnlyExisting, ENOENT};
        QTest::newRow("missing folder") << OpenFailure{"no/such/x.mpg", File64::kReadWrite, ENOENT};
        QTest::newRow("a folder") << OpenFailure{".", File64::kReadOnly, EISDIR};
        QTest::newRow("unknown mode")
            << OpenFailure{"x.bin", QStringLiteral("APPEND"), EINVAL, File64::kOpenUnexpected};
    }
    void openFailures()
    {
        QFETCH(OpenFailure, c);
        const QString p = path(c.name);
        test::ScriptedMessageBox box;
        File64 f;
        const File64::OpenResult r = f.OpenFile(p, c.mode);
        QVERIFY(!r.ok() && !f.IsOpen());
        QCOMPARE(r.code, c.code);
        QCOMPARE(r.error, c.error);
        QCOMPARE(File64::LastOpenErrno(), c.error);
        QCOMPARE(File64::openErrorText(r), QStringLiteral("Error opening '%1'!").arg(p));
        QCOMPARE(QFileInfo(p).isDir(), c.name == ".");
        // The failed handle is on the stack so that the caller's close stays paired.
        QCOMPARE(File64::OpenHandleCount(), 1);
        f.DiscardFailedOpen();
        QCOMPARE(File64::OpenHandleCount(), 0);
        // A success afterwards clears the error.
        QVERIFY(f.OpenFile(path(QStringLiteral("ok.bin")), File64::kReadWrite).ok());
        QCOMPARE(File64::LastOpenErrno(), 0);
        QCOMPARE(f.CloseFile(f.FileHandle()), 0);
        QVERIFY(box.asked().isEmpty());
    }

    // The shared stack: descriptor numbers are reused at once, so an
    // object must never close a number it no longer owns.
    void handleStack()
    {
        File64 a, b, c;
        a.OpenFile(path(QStringLiteral("a")), File64::kReadWrite);
        b.OpenFile(path(QStringLiteral("b")), File64::kReadOnly);
        const int ha = a.FileHandle(), hb = b.FileHandle();
        {
            File64 gone;
            gone.OpenFile(path(QStringLiteral("c")), File64::kReadOnly);
            const int h = gone.FileHandle();
            QCOMPARE(File64::OpenHandleCount(), 3);
            gone.CloseFile(h);
            gone.CloseFile(h); // twice by mistake: the stack is untouched
            QCOMPARE(File64::OpenHandleCount(), 2);
            QVERIFY(descriptorOpen(ha) && descriptorOpen(hb));
            c.OpenFile(path(QStringLiteral("c")), File64::kReadOnly);
            QCOMPARE(c.FileHandle(), h);
        } // `gone`, whose handle value is still that number, is destroyed here
        const int hc = c.FileHandle();
        QVERIFY(descriptorOpen(hc));
        c.CloseFile(hc);
        QVERIFY(!descriptorOpen(hc) && descriptorOpen(hb));
        a.CloseAllFiles(); // every object's files
        QCOMPARE(File64::OpenHandleCount(), 0);
        QVERIFY(!descriptorOpen(ha) && !descriptorOpen(hb));
        int hd = -1;
        {
            File64 d;
            d.OpenFile(path(QStringLiteral("d")), File64::kReadWrite);
            hd = d.FileHandle();
        }
        QVERIFY(!descriptorOpen(hd)); // the destructor closes its own file
    }

    void getBytesShortReadAndSeeks()
    {
        const QString p = path(QStringLiteral("thirty"));
        QVERIFY(test::writeSparseFileWith(p, 30, 0, "0123456789"));
        test::ScriptedMessageBox box;
        File64 f;
        f.OpenFile(p, File64::kReadOnly);
        qint32 count = 2, read = 0;
        f.SeekAbsolute(0, 6);
        f.SeekRelative(-3);
        QCOMPARE(f.GetBytes(f.FileHandle(), 1, count, read), QByteArray("34"));
        f.SeekRelative(-100); // before the start: position unchanged
        QCOMPARE(box.texts(), QStringList{QStringLiteral("Error seeking!")});
        QCOMPARE(f.GetBytes(f.FileHandle(), 1, count, read), QByteArray("56"));
        f.SeekAbsolute(0, 0);
        count = 100;
        const QByteArray bytes = f.GetBytes(f.FileHandle(), 1, count, read);
        QCOMPARE(read, 30);
        QCOMPARE(bytes, readAll(p) + QByteArray(70, '\0'));
        count = 9; // at the end: nothing read, all zero
        QCOMPARE(f.GetBytes(f.FileHandle(), 0, count, read), QByteArray(10, '\0'));
        QCOMPARE(read, 0);
        f.CloseFile(f.FileHandle());
    }

    // Positions are two 32-bit halves: high * 2^32 + low, low taken as unsigned.
    void positionsBeyondFourGiB()
    {
        const QString p = path(QStringLiteral("big.bin"));
        const qint64 size = (qint64(1) << 32) + (qint64(1) << 20);
        QVERIFY(test::writeSparseFileWith(p, size, (qint64(1) << 32) - 3, "uvwxyz"));
        File64 f;
        f.OpenFile(p, File64::kReadWrite);
        qint32 count = 3, read = 0;
        f.SeekAbsolute(1, 0);
        QCOMPARE(f.GetBytes(f.FileHandle(), 1, count, read), QByteArray("xyz"));
        f.SeekAbsolute(1, 5);
        f.WriteBytes(f.FileHandle(), "HI", read);
        f.SeekAbsolute(0, qint32(0xFFFFFFFF));
        f.WriteBytes(f.FileHandle(), "!", read);
        f.CloseFile(f.FileHandle());
        QFile r(p);
        QVERIFY(r.open(QIODevice::ReadOnly));
        QCOMPARE(r.size(), size);
        QVERIFY(r.seek((qint64(1) << 32) - 3));
        QCOMPARE(r.read(10), QByteArray("uv!xyz\0\0HI", 10));
    }
};

QTEST_GUILESS_MAIN(TestFile64)
#include "tst_file64.moc"
