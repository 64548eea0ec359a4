// One instance per user: the built program started twice in an isolated home. With
// KT_TEST_MSGBOX_STDERR=1 its message boxes print "MsgBox <style>|<title>|<text>" to
// stderr and answer at once.
#include "../support/TestFiles.h"
#include "platform/InstanceLock.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

// Holders that a row's leftover keeps alive until the start is tried.
struct Holders
{
    std::unique_ptr<kt::InstanceLock> lock;
    QProcess child; // a program a holder started
};
// What stands at the lock path before a start, and tryAcquire's answer then.
struct LockCase
{
    std::function<bool(const QString& path, Holders& holders)> leave;
    bool starts;
};
Q_DECLARE_METATYPE(LockCase)

class TestInstance : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_root.isValid());
        for (const char* folder : {"config/Vantu", "home", "run"})
            QVERIFY(QDir(m_root.path()).mkpath(QLatin1String(folder)));
        QFile::setPermissions(m_root.path() + QStringLiteral("/run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // No Tip of the Day: a started copy then writes nothing after its restore step.
        QVERIFY(kt::test::writeFile(configFile(), "[General]\nShowTod=0\n"));
    }
    void cleanup() { m_running.clear(); } // a QProcess kills its program when it goes
    // Arguments are ignored, the toolkit's own too: the second start is refused the same way
    // whatever it is given (a toolkit that read "-platform" would die looking for "none").
    // A holder killed outright leaves its lock file behind, and that never blocks the next.
    void secondStartIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("a file") << QStringList{QStringLiteral("/tmp/a.mpg")};
        QTest::newRow("toolkit platform") << QStringList{QStringLiteral("-platform"), QStringLiteral("none")};
    }
    void secondStartIsRefused()
    {
        QFETCH(QStringList, arguments);
        QProcess& first = start();
        QVERIFY2(waitForStore(), "the first instance never wrote its options");
        // The store as the first instance left it (bytes, inode, time, folder): any change is the second's.
        auto snapshot = [&] {
            struct stat st
            {
            };
            ::stat(QFile::encodeName(configFile()).constData(), &st);
            return QStringList{
                QString::fromUtf8(kt::test::fileBytes(configFile())), QString::number(st.st_ino),
                QStringLiteral("%1.%2").arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec),
                QFileInfo(configFile()).dir().entryList(QDir::AllEntries | QDir::Hidden).join(',')};
        };
        const QStringList before = snapshot();
        QProcess& second = start(arguments);
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        const QStringList boxes = QString::fromLocal8Bit(second.readAllStandardError())
                                      .split(QLatin1Char('\n'))
                                      .filter(QStringLiteral("MsgBox "));
        QCOMPARE(boxes,
                 QStringList{QStringLiteral("MsgBox 48|Vantu Kliva TARN|This program is already running!")});
        QCOMPARE(snapshot(), before);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill(); // SIGKILL: the lock file stays behind
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(QFile::exists(m_root.path() + QStringLiteral("/run/klivatarn.lock")));
        QVERIFY(QFile::remove(configFile()));
        start(arguments);
        QVERIFY2(waitForStore(), "the stale lock kept the program from starting"); // it wrote the store anew
    }
    void leftoversNeverBlock_data()
    {
        QTest::addColumn<LockCase>("c");
        auto file = [](const QByteArray& bytes) {
            return [bytes](const QString& path, Holders&) { return kt::test::writeFile(path, bytes); };
        };
        // A holder of this process that keeps the lock, or lets go after starting a program or not.
        auto holder = [](bool letsGo, bool startsProgram) {
            return [=](const QString& path, Holders& h) {
                h.lock = std::make_unique<kt::InstanceLock>(path);
                if (!h.lock->tryAcquire())
                    return false;
                if (startsProgram) { // it inherits what is not close-on-exec
                    h.child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
                    if (!h.child.waitForStarted(5000))
                        return false;
                }
                if (letsGo)
                    h.lock.reset();
                return true;
            };
        };
        // What a lock file of another kind holds for a live process: this very one.
        const QByteArray liveOwner = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                                     QCoreApplication::applicationName().toUtf8() + '\n' +
                                     QSysInfo::machineHostName().toUtf8() + '\n';
        const QByteArray junk = QByteArray("\177ELF\0\0 not a lock \xff\xfe", 20).repeated(500);
        QTest::newRow("no file") << LockCase{[](const QString&, Holders&) { return true; }, true};
        QTest::newRow("empty file") << LockCase{file({}), true};
        QTest::newRow("junk") << LockCase{file(junk), true};
        QTest::newRow("names a live process") << LockCase{file(liveOwner), true};
        QTest::newRow("unreadable") << LockCase{[](const QString& path, Holders&) {
                                                    return kt::test::writeFile(path, "12345\n") &&
                                                           ::chmod(QFile::encodeName(path), 0) == 0;
                                                },
                                                true};
        QTest::newRow("dangling link") << LockCase{
            [](const QString& path, Holders&) { return QFile::link(path + QStringLiteral(".gone/x"), path); },
            true};
        QTest::newRow("a pipe") << LockCase{
            [](const QString& path, Holders&) { return ::mkfifo(QFile::encodeName(path), 0600) == 0; }, true};
        QTest::newRow("a folder") << LockCase{
            [](const QString& path, Holders&) { return QDir().mkpath(path); }, true};
        QTest::newRow("held") << LockCase{holder(false, false), false};
        QTest::newRow("holder gone") << LockCase{holder(true, false), true};
        QTest::newRow("holder gone, its child runs") << LockCase{holder(true, true), true};
    }
    void leftoversNeverBlock()
    {
        QFETCH(LockCase, c);
        const QString path = m_root.path() + QStringLiteral("/run/klivatarn.lock");
        QFile::remove(path); // what the row before left
        QDir(path).removeRecursively();
        Holders holders;
        QVERIFY(c.leave(path, holders));
        kt::InstanceLock lock(path);
        QCOMPARE(lock.tryAcquire(), c.starts);
        // A lock really taken (not a run without the guard) keeps the next start out.
        if (c.starts)
            QVERIFY(!kt::InstanceLock(path).tryAcquire());
        holders.child.kill();
        holders.child.waitForFinished(5000);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }

private:
    QProcess& start(const QStringList& arguments = {QStringLiteral("/tmp/a.mpg")})
    {
        QProcess& p = *m_running.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.path() + QStringLiteral("/run"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("HOME"), m_root.path() + QStringLiteral("/home"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KT_TEST_MSGBOX_STDERR"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("KT_BIN_DIR") + QStringLiteral("/klivatarn"), arguments);
        if (!p.waitForStarted(10000))
            qWarning("cannot start %s", qPrintable(p.program()));
        return p;
    }
    QString configFile() const { return m_root.path() + QStringLiteral("/config/Vantu/KlivaTARN.conf"); }
    bool waitForStore()
    {
        QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            // The restore step writes MCC last; QSettings drops its lock file when done.
            if (kt::test::fileBytes(configFile()).contains("MCC=") &&
                !QFile::exists(configFile() + QStringLiteral(".lock")))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    QTemporaryDir m_root;
    std::vector<std::unique_ptr<QProcess>> m_running;
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
