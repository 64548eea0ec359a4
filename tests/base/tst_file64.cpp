// File64: the shared handle stack, open-always and failed opens.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "base/File64.h"

#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>

using namespace kt;
using namespace kt::test;

class TestFile64 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void cleanup() { QCOMPARE(File64::OpenHandleCount(), 0); }

    // Open always: created even read-only, never truncated; a failed open is a value, File64 says nothing.
    void opens()
    {
        ScriptedMessageBox box;
        const QString p = path(QStringLiteral("ten.bin"));
        File64 f;
        QVERIFY(f.OpenFile(p, File64::kReadOnly).ok() && QFile::exists(p));
        f.CloseFile(f.FileHandle());
        QVERIFY(writeFile(p, "0123456789") && f.OpenFile(p, File64::kReadWrite).ok());
        qint32 written = 0;
        f.WriteBytes(f.FileHandle(), "abcd", written);
        f.CloseFile(f.FileHandle());
        QCOMPARE(fileBytes(p), QByteArray("abcd456789"));
        const qint32 failed = File64::kOpenFailed;
        for (auto [name, mode, error, code] : {std::tuple<QString, QString, int, qint32>{
                                                   "absent.mpg", File64::kReadOnlyExisting, ENOENT, failed},
                                               {"no/such/x.mpg", File64::kReadWrite, ENOENT, failed},
                                               {".", File64::kReadOnly, EISDIR, failed},
                                               {".", File64::kCreateNew, EEXIST, failed},
                                               {"x.bin", "APPEND", EINVAL, File64::kOpenUnexpected}}) {
            const File64::OpenResult r = f.OpenFile(path(name), mode);
            QVERIFY(!f.IsOpen());
            QCOMPARE((std::pair{r.code, r.error}), (std::pair{code, error}));
            QCOMPARE(QFileInfo::exists(path(name)), name == "."); // nothing created
            // The failed handle is on the stack so that the caller's close stays paired.
            QCOMPARE(File64::OpenHandleCount(), 1);
            f.DiscardFailedOpen();
            QCOMPARE(File64::OpenHandleCount(), 0);
            QVERIFY(f.OpenFile(path(QStringLiteral("ok.bin")), File64::kReadWrite).ok());
            QCOMPARE(f.CloseFile(f.FileHandle()), 0);
        }
        QVERIFY(box.asked().isEmpty());
    }

    // Descriptor numbers are reused at once: an object must never close one it no longer owns.
    void handleStack()
    {
        File64 a, b, c;
        a.OpenFile(path(QStringLiteral("a")), File64::kReadWrite);
        b.OpenFile(path(QStringLiteral("b")), File64::kReadOnly);
        const int ha = a.FileHandle(), hb = b.FileHandle();
        const auto descriptorOpen = [](int fd) { return ::fcntl(fd, F_GETFD) != -1; };
        {
            File64 gone;
            gone.OpenFile(path(QStringLiteral("c")), File64::kReadOnly);
            const int h = gone.FileHandle();
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
    }
};

QTEST_GUILESS_MAIN(TestFile64)
#include "tst_file64.moc"
