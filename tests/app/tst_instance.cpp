// One instance per user: the built program started twice in an isolated home. With
// KT_TEST_MSGBOX_STDERR=1 its message boxes print "MsgBox <style>|<title>|<text>" to
// stderr and answer at once.
#include "platform/InstanceLock.h"

#include <QLockFile>
#include <QProcess>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

// What stands at the lock path before a start.
enum class Leftover {
    Nothing,
    Empty,
    Junk,
    LiveOwnerNamed, // text naming a live process of this name, as lock files of other kinds hold
    Unreadable,     // mode 000
    Ancient,        // written in 2001
    DanglingLink,
    Pipe,
    Folder,
    HeldHere,             // another holder in this process
    HolderEnded,          // a holder that has let go
    HolderStartedProgram, // a holder that started a program and then ended
};
struct LockCase
{
    Leftover leftover;
    bool starts; // tryAcquire's answer
};
Q_DECLARE_METATYPE(LockCase)

class TestInstance : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void secondStartIsRefused_data();
    void secondStartIsRefused();
    void staleLockIsTakenOver();
    void leftoversNeverBlock_data();
    void leftoversNeverBlock();

private:
    QProcess& start(const QStringList& arguments = {QStringLiteral("/tmp/a.mpg")});
    QString configFile() const { return m_root.path() + QStringLiteral("/config/Vantu/KlivaTARN.conf"); }
    bool waitForStore();

    QTemporaryDir m_root;
    std::vector<std::unique_ptr<QProcess>> m_running;
};

void TestInstance::init()
{
    QVERIFY(m_root.isValid());
    QVERIFY(QDir(m_root.path()).mkpath(QStringLiteral("config/Vantu")));
    QVERIFY(QDir(m_root.path()).mkpath(QStringLiteral("home")));
    QVERIFY(QDir(m_root.path()).mkpath(QStringLiteral("run")));
    QFile::setPermissions(m_root.path() + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // No Tip of the Day: a started copy then writes nothing after its restore step.
    QFile f(configFile());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[General]\nShowTod=0\n");
}

void TestInstance::cleanup()
{
    for (auto& p : m_running) {
        p->kill();
        p->waitForFinished(5000);
    }
    m_running.clear();
}

QProcess& TestInstance::start(const QStringList& arguments)
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

bool TestInstance::waitForStore()
{
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        // The restore step writes MCC last; QSettings drops its lock file when done.
        QFile f(configFile());
        if (f.open(QIODevice::ReadOnly) && f.readAll().contains("MCC=") &&
            !QFile::exists(configFile() + QStringLiteral(".lock")))
            return true;
        QTest::qWait(50);
    }
    return false;
}

// Arguments are ignored, the toolkit's own too: the second start is refused the same way
// whatever it is given (a toolkit that read "-platform" would die looking for "none").
void TestInstance::secondStartIsRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("a file") << QStringList{QStringLiteral("/tmp/a.mpg")};
    QTest::newRow("toolkit platform") << QStringList{QStringLiteral("-platform"), QStringLiteral("none")};
}

void TestInstance::secondStartIsRefused()
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
        QFile f(configFile());
        f.open(QIODevice::ReadOnly);
        return QStringList{
            QString::fromUtf8(f.readAll()), QString::number(st.st_ino),
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
}

void TestInstance::staleLockIsTakenOver()
{
    QProcess& first = start();
    QVERIFY(waitForStore());
    first.kill(); // SIGKILL: the lock file stays behind
    QVERIFY(first.waitForFinished(5000));
    QVERIFY(QFile::exists(m_root.path() + QStringLiteral("/run/klivatarn.lock")));
    QVERIFY(QFile::remove(configFile()));
    QProcess& next = start();
    QVERIFY2(waitForStore(), "the stale lock kept the program from starting"); // it wrote the store anew
    QVERIFY(!next.waitForFinished(500));
    QVERIFY(!QString::fromLocal8Bit(next.readAllStandardError()).contains(QStringLiteral("already running")));
}

void TestInstance::leftoversNeverBlock_data()
{
    QTest::addColumn<LockCase>("c");
    QTest::newRow("no file") << LockCase{Leftover::Nothing, true};
    QTest::newRow("empty file") << LockCase{Leftover::Empty, true};
    QTest::newRow("junk") << LockCase{Leftover::Junk, true};
    QTest::newRow("names a live process") << LockCase{Leftover::LiveOwnerNamed, true};
    QTest::newRow("unreadable") << LockCase{Leftover::Unreadable, true};
    QTest::newRow("years old") << LockCase{Leftover::Ancient, true};
    QTest::newRow("dangling link") << LockCase{Leftover::DanglingLink, true};
    QTest::newRow("a pipe") << LockCase{Leftover::Pipe, true};
    QTest::newRow("a folder") << LockCase{Leftover::Folder, true};
    QTest::newRow("held") << LockCase{Leftover::HeldHere, false};
    QTest::newRow("holder gone") << LockCase{Leftover::HolderEnded, true};
    QTest::newRow("holder gone, its child runs") << LockCase{Leftover::HolderStartedProgram, true};
}

void TestInstance::leftoversNeverBlock()
{
    QFETCH(LockCase, c);
    const QString path = m_root.path() + QStringLiteral("/run/klivatarn.lock");
    const QByteArray name = QFile::encodeName(path);
    auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    QFile::remove(path); // what the row before left
    QDir(path).removeRecursively();
    std::unique_ptr<kt::InstanceLock> other;
    QProcess child;
    switch (c.leftover) {
    case Leftover::Nothing:
        break;
    case Leftover::Empty:
        QVERIFY(write({}));
        break;
    case Leftover::Junk: {
        const QByteArray junk("\177ELF\0\0 not a lock \xff\xfe", 20);
        QVERIFY(write(junk.repeated(500)));
        break;
    }
    case Leftover::LiveOwnerNamed: {
        // What a QLockFile of this very process would write: pid, program name, host.
        QLockFile qt(path);
        QVERIFY(qt.tryLock(0));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        qt.unlock();
        QVERIFY(write(text));
        break;
    }
    case Leftover::Unreadable:
        QVERIFY(write("12345\n"));
        QVERIFY(::chmod(name.constData(), 0) == 0);
        break;
    case Leftover::Ancient:
        QVERIFY(write("1\nklivatarn\n\n"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(
                f.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
        }
        break;
    case Leftover::DanglingLink:
        QVERIFY(QFile::link(m_root.path() + QStringLiteral("/gone/nowhere"), path));
        break;
    case Leftover::Pipe:
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        break;
    case Leftover::Folder:
        QVERIFY(QDir().mkpath(path));
        break;
    case Leftover::HeldHere:
        other = std::make_unique<kt::InstanceLock>(path);
        QVERIFY(other->tryAcquire());
        break;
    case Leftover::HolderEnded:
        other = std::make_unique<kt::InstanceLock>(path);
        QVERIFY(other->tryAcquire());
        other.reset();
        break;
    case Leftover::HolderStartedProgram:
        other = std::make_unique<kt::InstanceLock>(path);
        QVERIFY(other->tryAcquire());
        child.start(QStringLiteral("sleep"), {QStringLiteral("30")}); // inherits what is not close-on-exec
        QVERIFY(child.waitForStarted(5000));
        other.reset();
        break;
    }

    kt::InstanceLock lock(path);
    QCOMPARE(lock.tryAcquire(), c.starts);
    QCOMPARE(lock.isHeld(), c.starts);
    if (c.starts) { // and the lock now taken keeps the next start out
        kt::InstanceLock next(path);
        QVERIFY(!next.tryAcquire());
    }
    child.kill();
    child.waitForFinished(5000);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
