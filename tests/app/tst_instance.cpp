// One instance per user: the program started twice in an isolated home. With
// KT_TEST_MSGBOX_STDERR=1 its boxes print "MsgBox <style>|<title>|<text>" to stderr and answer at once.
#include "../support/TestFiles.h"
#include "platform/InstanceLock.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace kt;

// Another holder of the lock in this process: none, one that keeps it, or one that lets go
// after starting a program (which inherits what is not close-on-exec) or not.
enum class Holder { None, Keeps, LetsGo, LetsGoChildRuns };
// What stands at the lock path before a start (nullptr: nothing), and tryAcquire's answer then.
struct LockCase
{
    bool starts;
    Holder holder = Holder::None;
    std::function<bool(const QString& path)> leave = nullptr;
};

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
        QVERIFY(test::writeFile(configFile(), "[General]\nShowTod=0\n"));
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
        QTRY_VERIFY_WITH_TIMEOUT(storeWritten(), 15000); // by the first instance
        // The store as the first instance left it (bytes, time, folder): any change is the second's.
        auto snapshot = [&] {
            const QFileInfo info(configFile());
            return QStringList{QString::fromUtf8(test::fileBytes(configFile())),
                               info.lastModified().toString(Qt::ISODateWithMs),
                               info.dir().entryList(QDir::AllEntries | QDir::Hidden).join(',')};
        };
        const QStringList before = snapshot();
        QProcess& second = start(arguments);
        QVERIFY(second.waitForFinished(15000) && second.exitStatus() == QProcess::NormalExit);
        QCOMPARE(QString::fromLocal8Bit(second.readAllStandardError()).split('\n').filter("MsgBox "),
                 QStringList{"MsgBox 48|Vantu Kliva TARN|This program is already running!"});
        QCOMPARE(snapshot(), before);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill(); // SIGKILL: the lock file stays behind
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(QFile::exists(m_root.path() + QStringLiteral("/run/klivatarn.lock")));
        QVERIFY(QFile::remove(configFile()));
        start(arguments);
        QTRY_VERIFY_WITH_TIMEOUT(storeWritten(), 15000); // anew: the stale lock did not keep it out
    }
    void leftoversNeverBlock_data()
    {
        QTest::addColumn<LockCase>("c");
        auto file = [](const QByteArray& bytes) {
            return [bytes](const QString& path) { return test::writeFile(path, bytes); };
        };
        // What a lock file of another kind holds for a live process: this very one.
        const QByteArray liveOwner = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                                     QCoreApplication::applicationName().toUtf8() + '\n' +
                                     QSysInfo::machineHostName().toUtf8() + '\n';
        const QByteArray junk = QByteArray("\177ELF\0\0 not a lock \xff\xfe", 20).repeated(500);
        QTest::newRow("no file") << LockCase{true};
        QTest::newRow("empty file") << LockCase{true, Holder::None, file({})};
        QTest::newRow("junk") << LockCase{true, Holder::None, file(junk)};
        QTest::newRow("names a live process") << LockCase{true, Holder::None, file(liveOwner)};
        QTest::newRow("unreadable") << LockCase{true, Holder::None, [](const QString& path) {
                                                    return test::writeFile(path, "12345\n") &&
                                                           ::chmod(QFile::encodeName(path), 0) == 0;
                                                }};
        QTest::newRow("dangling link")
            << LockCase{true, Holder::None, [](const QString& path) {
                            return QFile::link(path + QStringLiteral(".gone/x"), path);
                        }};
        QTest::newRow("a pipe") << LockCase{true, Holder::None, [](const QString& path) {
                                                return ::mkfifo(QFile::encodeName(path), 0600) == 0;
                                            }};
        QTest::newRow("a folder") << LockCase{true, Holder::None,
                                              [](const QString& path) { return QDir().mkpath(path); }};
        QTest::newRow("held") << LockCase{false, Holder::Keeps};
        QTest::newRow("holder gone") << LockCase{true, Holder::LetsGo};
        QTest::newRow("holder gone, its child runs") << LockCase{true, Holder::LetsGoChildRuns};
    }
    void leftoversNeverBlock()
    {
        QFETCH(LockCase, c);
        // A path of the row's own: what a row before left cannot matter.
        const QString path = m_root.path() + QStringLiteral("/run/") + QTest::currentDataTag();
        QVERIFY(!c.leave || c.leave(path));
        std::unique_ptr<InstanceLock> holder;
        QProcess child;
        if (c.holder != Holder::None) {
            holder = std::make_unique<InstanceLock>(path);
            QVERIFY(holder->tryAcquire());
            if (c.holder == Holder::LetsGoChildRuns)
                child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
            QVERIFY(c.holder != Holder::LetsGoChildRuns || child.waitForStarted(5000));
            if (c.holder != Holder::Keeps)
                holder.reset();
        }
        InstanceLock lock(path);
        QCOMPARE(lock.tryAcquire(), c.starts);
        // A lock really taken (not a run without the guard) keeps the next start out.
        if (c.starts)
            QVERIFY(!InstanceLock(path).tryAcquire());
        child.kill();
        child.waitForFinished(5000);
    }

private:
    QProcess& start(const QStringList& arguments = {QStringLiteral("/tmp/a.mpg")})
    {
        QProcess& p = *m_running.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] :
             {std::pair{"XDG_RUNTIME_DIR", "/run"}, {"XDG_CONFIG_HOME", "/config"}, {"HOME", "/home"}})
            env.insert(QLatin1String(name), m_root.path() + QLatin1String(value));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KT_TEST_MSGBOX_STDERR"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("KT_BIN_DIR") + QStringLiteral("/klivatarn"), arguments);
        if (!p.waitForStarted(10000))
            qWarning("cannot start %s", qPrintable(p.program()));
        return p;
    }
    QString configFile() const { return m_root.path() + QStringLiteral("/config/Vantu/KlivaTARN.conf"); }
    // The restore step writes MCC last; QSettings drops its lock file when done.
    bool storeWritten() const
    {
        return test::fileBytes(configFile()).contains("MCC=") && !QFile::exists(configFile() + ".lock");
    }

    QTemporaryDir m_root;
    std::vector<std::unique_ptr<QProcess>> m_running;
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
