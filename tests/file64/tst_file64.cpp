// File64: its twelve operations, the shared handle stack, open-always, the messages, and
// positions beyond 4 GiB.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "../support/ScriptedSeams.h"
#include "engine/File64.h"
#include "platform/MessageBox.h"

using namespace kt;

namespace {

const QString kNoOpenFile = QStringLiteral("There is no open file.");
constexpr int kStopTopmost = 0x40010;

bool descriptorOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// Reads `count` bytes at `pos` through a fresh object positioned with SeekAbsolute.
QByteArray readAt(const QString& path, qint64 pos, qint32 count)
{
    File64 f;
    f.OpenFile(path, File64::kReadOnly);
    f.SeekAbsolute(qint32(pos >> 32), qint32(quint32(pos)));
    qint32 read = 0;
    const QByteArray bytes = f.GetBytes(f.FileHandle(), 1, count, read);
    f.CloseFile(f.FileHandle());
    return bytes.left(read);
}

} // namespace

class TestFile64 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void init() { QCOMPARE(File64::OpenHandleCount(), 0); }
    void cleanup()
    {
        QCOMPARE(File64::OpenHandleCount(), 0);
        QLocale::setDefault(QLocale::c());
    }

    // Everything that needs an open file says so on a fresh object, then carries on.
    void noOpenFileMessages()
    {
        test::ScriptedMessageBox box;
        File64 f;
        QCOMPARE(f.FileHandle(), File64::kInvalidHandle);
        QCOMPARE(f.FileName(), QString());
        QVERIFY(!f.AutoFlush());
        f.SetAutoFlush(true);
        QVERIFY(!f.Flush());
        f.SeekAbsolute(0, 10);
        f.SeekRelative(10);
        // The relative seek then fails on handle -1 as well and says so.
        QCOMPARE(box.texts(), QStringList(7, kNoOpenFile) << QStringLiteral("Error seeking!"));
        for (const test::AskedMessage& m : box.asked()) {
            QCOMPARE(m.style, kStopTopmost);
            QCOMPARE(m.title, QStringLiteral("Vantu Kliva TARN"));
        }
        box.clear();
        // These stay quiet.
        QVERIFY(!f.IsOpen());
        qint32 count = 10, read = 99;
        QVERIFY(f.GetBytes(3, 1, count, read).isEmpty());
        qint32 written = 5;
        f.WriteBytes(File64::kInvalidHandle, "abc", written);
        QCOMPARE(written, 5);
        QVERIFY(box.asked().isEmpty());
    }

    void openAlwaysCreatesMissingFile_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("read only") << File64::kReadOnly;
        QTest::newRow("read write") << File64::kReadWrite;
    }
    void openAlwaysCreatesMissingFile()
    {
        QFETCH(QString, mode);
        test::ScriptedMessageBox box;
        const QString p = path(QStringLiteral("new-") + mode);
        File64 f;
        f.OpenFile(p, mode);
        QVERIFY(f.IsOpen());
        QCOMPARE(File64::LastOpenError(), File64::kOpenOk);
        QCOMPARE(f.FileName(), p);
        QVERIFY(QFile::exists(p));
        QCOMPARE(QFile(p).size(), qint64(0));
        f.CloseFile(f.FileHandle());
        QVERIFY(box.asked().isEmpty());
    }

    void openNeverTruncates()
    {
        const QString p = path(QStringLiteral("ten.bin"));
        QVERIFY(writeFile(p, "0123456789"));
        File64 f;
        f.OpenFile(p, File64::kReadWrite);
        qint32 written = 0;
        f.WriteBytes(f.FileHandle(), "abcd", written);
        QCOMPARE(written, 4);
        f.CloseFile(f.FileHandle());
        QCOMPARE(readAll(p), QByteArray("abcd456789"));

        f.OpenFile(p, File64::kReadOnly);
        f.CloseFile(f.FileHandle());
        QCOMPARE(readAll(p), QByteArray("abcd456789"));
    }

    void openExistingOnlyDoesNotCreate()
    {
        test::ScriptedMessageBox box;
        const QString p = path(QStringLiteral("absent.mpg"));
        File64 f;
        f.OpenFile(p, File64::kReadOnlyExisting);
        QVERIFY(!f.IsOpen());
        QVERIFY(!QFile::exists(p));
        QCOMPARE(box.texts(), QStringList{QStringLiteral("Error opening '%1'!").arg(p)});
        QCOMPARE(File64::OpenHandles(), QVector<int>{-1});
        f.DiscardFailedOpen();
        QCOMPARE(File64::OpenHandleCount(), 0);
        QCOMPARE(box.asked().size(), 1);
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("lastError");
        QTest::newRow("directory") << "." << File64::kReadOnly << int(File64::kOpenFailed);
        QTest::newRow("missing folder") << "no/such/dir/x.mpg" << File64::kReadWrite << int(File64::kOpenFailed);
        QTest::newRow("empty name") << "" << File64::kReadOnly << int(File64::kOpenFailed);
        QTest::newRow("unknown mode") << "x.bin" << QStringLiteral("APPEND") << int(File64::kOpenUnexpected);
    }
    void openFailures()
    {
        QFETCH(QString, name);
        QFETCH(QString, mode);
        QFETCH(int, lastError);
        const QString p = name.isEmpty() ? name : path(name);
        test::ScriptedMessageBox box;
        File64 f;
        f.OpenFile(p, mode);
        QVERIFY(!f.IsOpen());
        QCOMPARE(File64::LastOpenError(), lastError);
        QCOMPARE(box.texts(), QStringList{QStringLiteral("Error opening '%1'!").arg(p)});
        QCOMPARE(box.asked().first().style, kStopTopmost);
        // The failed handle is on the stack so that the caller's close stays paired.
        QCOMPARE(File64::OpenHandles(), QVector<int>{-1});
        f.CloseFile(f.FileHandle());
        QCOMPARE(File64::OpenHandleCount(), 0);
        QCOMPARE(box.texts().mid(1), QStringList(2, kNoOpenFile)); // FileHandle, then CloseFile(-1)

        // A success afterwards clears the code.
        f.OpenFile(path(QStringLiteral("ok.bin")), File64::kReadWrite);
        QCOMPARE(File64::LastOpenError(), File64::kOpenOk);
        f.CloseFile(f.FileHandle());
    }

    void stackClosesInReverseOrder()
    {
        File64 a, b;
        a.OpenFile(path(QStringLiteral("a")), File64::kReadWrite);
        b.OpenFile(path(QStringLiteral("b")), File64::kReadWrite);
        const int ha = a.FileHandle(), hb = b.FileHandle();
        QCOMPARE(File64::OpenHandles(), (QVector<int>{ha, hb}));
        b.CloseFile(hb);
        QCOMPARE(File64::OpenHandles(), QVector<int>{ha});
        QVERIFY(!descriptorOpen(hb));
        QVERIFY(descriptorOpen(ha));
        a.CloseFile(ha);
        QCOMPARE(File64::OpenHandleCount(), 0);
        QVERIFY(!descriptorOpen(ha));
        // CloseFile keeps the object's handle value; the name and auto-flush are cleared.
        test::ScriptedMessageBox box;
        QCOMPARE(a.FileHandle(), ha);
        QCOMPARE(a.FileName(), QString());
        QVERIFY(box.asked().isEmpty());
    }

    void closeAllFilesClosesEveryObjectsFiles()
    {
        File64 a, b, c;
        a.OpenFile(path(QStringLiteral("a")), File64::kReadWrite);
        b.OpenFile(path(QStringLiteral("b")), File64::kReadOnly);
        c.OpenFile(path(QStringLiteral("c")), File64::kReadOnly);
        const QVector<int> handles = File64::OpenHandles();
        QCOMPARE(handles.size(), 3);
        b.CloseAllFiles();
        QCOMPARE(File64::OpenHandleCount(), 0);
        for (int h : handles)
            QVERIFY(!descriptorOpen(h));
        QVERIFY(!b.IsOpen());
        test::ScriptedMessageBox box;
        b.CloseAllFiles(); // nothing open: says so, harmless
        QCOMPARE(box.texts(), QStringList{kNoOpenFile});
    }

    // Descriptors are reused at once: an object must never close a number it no longer owns.
    void reusedDescriptorIsNotClosedByItsFormerOwner()
    {
        const QString p = path(QStringLiteral("shared"));
        QVERIFY(writeFile(p, "data"));
        File64 other;
        int reused = -1;
        {
            File64 gone;
            gone.OpenFile(p, File64::kReadOnly);
            const int h = gone.FileHandle();
            gone.CloseFile(h);
            gone.CloseFile(h); // twice by mistake: nothing left to close, the stack is untouched
            QCOMPARE(File64::OpenHandleCount(), 0);
            other.OpenFile(p, File64::kReadOnly);
            reused = other.FileHandle();
            QCOMPARE(reused, h); // the same number, now another object's
        } // `gone`, whose handle value is still h, is destroyed here
        QVERIFY(descriptorOpen(reused));
        QCOMPARE(File64::OpenHandles(), QVector<int>{reused});
        other.CloseFile(reused);
    }

    void destructorClosesOwnOpenFile()
    {
        int h = -1;
        {
            File64 f;
            f.OpenFile(path(QStringLiteral("d")), File64::kReadWrite);
            h = f.FileHandle();
        }
        QVERIFY(!descriptorOpen(h));
        QCOMPARE(File64::OpenHandleCount(), 0);
    }

    void getBytesShortReadIsZeroFilled()
    {
        const QString p = path(QStringLiteral("thirty"));
        QVERIFY(writeFile(p, QByteArray(30, 'x')));
        File64 f;
        f.OpenFile(p, File64::kReadOnly);
        qint32 count = 100, read = -5;
        const QByteArray bytes = f.GetBytes(f.FileHandle(), 1, count, read);
        QCOMPARE(bytes.size(), 100);
        QCOMPARE(read, 30);
        QCOMPARE(bytes, QByteArray(30, 'x') + QByteArray(70, '\0'));
        // At the end: nothing read, all zero.
        count = 9;
        QCOMPARE(f.GetBytes(f.FileHandle(), 0, count, read), QByteArray(10, '\0'));
        QCOMPARE(read, 0);
        f.CloseFile(f.FileHandle());
    }

    void seeks()
    {
        const QString p = path(QStringLiteral("seek"));
        QVERIFY(writeFile(p, "0123456789"));
        test::ScriptedMessageBox box;
        File64 f;
        f.OpenFile(p, File64::kReadOnly);
        qint32 count = 2, read = 0;
        f.SeekAbsolute(0, 6);
        QCOMPARE(f.GetBytes(f.FileHandle(), 1, count, read), QByteArray("67"));
        f.SeekRelative(-5);
        QCOMPARE(f.GetBytes(f.FileHandle(), 1, count, read), QByteArray("34"));
        QVERIFY(box.asked().isEmpty());
        f.SeekRelative(-100); // before the start
        QCOMPARE(box.texts(), QStringList{QStringLiteral("Error seeking!")});
        QCOMPARE(box.asked().first().style, kStopTopmost);
        QCOMPARE(f.GetBytes(f.FileHandle(), 1, count, read), QByteArray("56")); // position unchanged
        f.CloseFile(f.FileHandle());
    }

    void autoFlushAndFlush()
    {
        File64 f;
        f.OpenFile(path(QStringLiteral("flush")), File64::kReadWrite);
        QVERIFY(!f.AutoFlush());
        f.SetAutoFlush(true);
        QVERIFY(f.AutoFlush());
        qint32 written = 0;
        f.WriteBytes(f.FileHandle(), "abc", written);
        QCOMPARE(written, 3);
        QVERIFY(f.Flush());
        f.CloseFile(f.FileHandle());
        f.OpenFile(path(QStringLiteral("flush")), File64::kReadWrite);
        QVERIFY(!f.AutoFlush()); // CloseFile reset it
        f.CloseFile(f.FileHandle());
    }

    // The in-kernel copy moves from each handle's current position and advances both.
    void copyBlock()
    {
        const QString src = path(QStringLiteral("copy-src"));
        const QString dst = path(QStringLiteral("copy-dst"));
        QVERIFY(writeFile(src, "0123456789"));
        QVERIFY(writeFile(dst, "abc"));
        File64 in, out;
        in.OpenFile(src, File64::kReadOnly);
        out.OpenFile(dst, File64::kReadWrite);
        in.SeekAbsolute(0, 2);
        out.SeekAbsolute(0, 3);
        File64::IoResult r = File64::CopyBlock(in.FileHandle(), out.FileHandle(), 5);
        QCOMPARE(r.bytes, qint64(5));
        QCOMPARE(r.error, 0);
        r = File64::CopyBlock(in.FileHandle(), out.FileHandle(), 100); // runs into the end of the input
        QCOMPARE(r.bytes, qint64(3));
        QCOMPARE(r.error, 0);
        r = File64::CopyBlock(in.FileHandle(), File64::kInvalidHandle, 4);
        QCOMPARE(r.bytes, qint64(0));
        QCOMPARE(r.error, EBADF);
        out.CloseFile(out.FileHandle());
        in.CloseFile(in.FileHandle());
        QCOMPARE(readAll(dst), QByteArray("abc23456789"));
    }

    // Positions are two 32-bit halves: high * 2^32 + low, low taken as unsigned.
    void positionsBeyondFourGiB()
    {
        const QString p = path(QStringLiteral("big.bin"));
        const qint64 size = (qint64(1) << 32) + (qint64(1) << 20);
        {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(size));
            QVERIFY(f.seek((qint64(1) << 31) - 2)); // across 2^31: low half negative as signed
            QVERIFY(f.write("ABCD") == 4);
            QVERIFY(f.seek((qint64(1) << 32) - 3)); // across 2^32
            QVERIFY(f.write("uvwxyz") == 6);
        }
        QCOMPARE(readAt(p, (qint64(1) << 31) - 2, 4), QByteArray("ABCD"));
        QCOMPARE(readAt(p, (qint64(1) << 31), 2), QByteArray("CD"));
        QCOMPARE(readAt(p, (qint64(1) << 32) - 3, 6), QByteArray("uvwxyz"));
        QCOMPARE(readAt(p, (qint64(1) << 32), 3), QByteArray("xyz"));
        QCOMPARE(readAt(p, size - 2, 10), QByteArray(2, '\0'));

        // Writing there through File64 lands where QFile reads it.
        File64 w;
        w.OpenFile(p, File64::kReadWrite);
        w.SeekAbsolute(1, 5);
        qint32 written = 0;
        w.WriteBytes(w.FileHandle(), "HI", written);
        w.SeekAbsolute(0, qint32(0xFFFFFFFF));
        w.WriteBytes(w.FileHandle(), "!", written);
        w.CloseFile(w.FileHandle());
        QFile r(p);
        QVERIFY(r.open(QIODevice::ReadOnly));
        QCOMPARE(r.size(), size);
        QVERIFY(r.seek((qint64(1) << 32) - 3));
        QCOMPARE(r.read(10), QByteArray("uv!xyz\0\0HI", 10));
    }
};

QTEST_GUILESS_MAIN(TestFile64)
#include "tst_file64.moc"
