// One instance per user: the built program started twice, each in an isolated home.
//
// The program runs with KT_TEST_MSGBOX_STDERR=1, which makes its message boxes write
// "MsgBox <style>|<title>|<text>" to stderr and answer at once, so the refusal can be
// read here and no process ever waits for a click.
#include <QtTest>

#include <QProcess>

class TestInstance : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void secondStartIsRefused();
    void crashedFirstInstanceDoesNotLockOut();
    void otherUsersRuntimeFolderIsIndependent();

private:
    QProcess* start(const QString& runtimeDir);
    QString configFile() const { return m_root.path() + QStringLiteral("/config/Vantu/KlivaTARN.conf"); }
    bool waitForStore(int ms = 15000);

    QTemporaryDir m_root;
    std::vector<std::unique_ptr<QProcess>> m_running;
};

void TestInstance::init()
{
    QVERIFY(m_root.isValid());
    for (const char* sub : {"run", "run2", "config", "home"})
        QVERIFY(QDir(m_root.path()).mkpath(QLatin1String(sub)));
    for (const char* sub : {"run", "run2"})
        QFile::setPermissions(m_root.path() + QLatin1Char('/') + QLatin1String(sub),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::remove(configFile());
    QDir(m_root.path()).mkpath(QStringLiteral("config/Vantu"));
    // No Tip of the Day: a started copy then writes nothing after its restore step.
    QFile f(configFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
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

QProcess* TestInstance::start(const QString& runtimeDir)
{
    m_running.push_back(std::make_unique<QProcess>());
    QProcess& p = *m_running.back();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("HOME"), m_root.path() + QStringLiteral("/home"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KT_TEST_MSGBOX_STDERR"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    // File names on the command line are ignored.
    p.start(qEnvironmentVariable("KT_BIN_DIR") + QStringLiteral("/klivatarn"), {QStringLiteral("/tmp/a.mpg")});
    if (!p.waitForStarted(10000))
        qWarning("cannot start %s", qPrintable(p.program()));
    return &p;
}

bool TestInstance::waitForStore(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        // The restore step writes MCC last.
        QFile f(configFile());
        if (f.open(QIODevice::ReadOnly) && f.readAll().contains("MCC="))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void TestInstance::secondStartIsRefused()
{
    QProcess& first = *start(m_root.path() + QStringLiteral("/run"));
    QVERIFY2(waitForStore(), "the first instance never wrote its options");
    // Take the store away: a second instance that touched it would make it again.
    QVERIFY(QFile::remove(configFile()));

    QProcess& second = *start(m_root.path() + QStringLiteral("/run"));
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    const QString err = QString::fromLocal8Bit(second.readAllStandardError());
    const QStringList boxes = err.split(QLatin1Char('\n')).filter(QStringLiteral("MsgBox "));
    QCOMPARE(boxes, QStringList{QStringLiteral("MsgBox 48|Vantu Kliva TARN|This program is already running!")});
    QVERIFY(!QFile::exists(configFile()));
    QVERIFY(!QDir(m_root.path() + QStringLiteral("/config/Vantu")).exists() ||
            QDir(m_root.path() + QStringLiteral("/config/Vantu")).isEmpty());
    QCOMPARE(first.state(), QProcess::Running);
}

void TestInstance::crashedFirstInstanceDoesNotLockOut()
{
    QProcess& first = *start(m_root.path() + QStringLiteral("/run"));
    QVERIFY(waitForStore());
    first.kill(); // SIGKILL: the lock file stays behind
    QVERIFY(first.waitForFinished(5000));
    QVERIFY(QFile::exists(m_root.path() + QStringLiteral("/run/klivatarn.lock")));
    QVERIFY(QFile::remove(configFile()));

    QProcess& next = *start(m_root.path() + QStringLiteral("/run"));
    QVERIFY2(waitForStore(), "the stale lock kept the program from starting");
    QVERIFY(!next.waitForFinished(500));
    QVERIFY(!QString::fromLocal8Bit(next.readAllStandardError()).contains(QStringLiteral("already running")));
}

void TestInstance::otherUsersRuntimeFolderIsIndependent()
{
    // Each user has a runtime folder of their own; a copy running for one does not
    // stop another.
    start(m_root.path() + QStringLiteral("/run"));
    QVERIFY(waitForStore());
    QVERIFY(QFile::remove(configFile()));
    QProcess& b = *start(m_root.path() + QStringLiteral("/run2"));
    QVERIFY(waitForStore());
    QCOMPARE(b.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
