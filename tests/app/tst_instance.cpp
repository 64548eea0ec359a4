// One instance per user, files handed to it (see klivatarn-test's main), the lock, the command line.
#include "../support/MpegFixtures.h"
#include "../support/TestFiles.h"
#include "platform/FileHandOver.h"
#include "platform/InstanceLock.h"
#include "platform/Program.h"

#include <QLocalServer>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace kt;
using State = InstanceLock::State;

namespace {
const QString kBinDir = qEnvironmentVariable("KT_BIN_DIR");
const QString kNone = QStringLiteral("|not available|not available"); // '+' in rows, '@' the test's folder
using Path = const QString&;
const auto chownToNobody = [](Path path) { return ::lchown(QFile::encodeName(path), 65534, 65534) == 0; };
const auto makeFolder = [](Path path, mode_t mode) {
    return QDir().mkpath(path) && ::chmod(QFile::encodeName(path), mode) == 0;
};
} // namespace

// Another holder of the lock in this process; its child inherits what is not close-on-exec.
enum class Holder { None, Keeps, LetsGo, LetsGoChildRuns };
// What stands at the lock path before a start (nullptr: nothing), and tryAcquire's answer then.
struct LockCase
{
    State state;
    std::function<bool(Path lock)> leave = nullptr;
    Holder holder = Holder::None;
};
struct PlacementCase
{
    std::function<bool(Path system, Path home)> prepare; // what stands at each before
    QString used;                                        // "@/user-run", "@/home/.klivatarn" or "" for none
    bool rootOnly = false;
};
// Who holds the lock, what a second start (in @/work) is given and does, the rows the window adds.
enum class First { Window, HolderOnly, SilentListener };
struct SecondStartCase
{
    First first;
    QString arguments; // separated by spaces
    bool display;
    int exitCode;
    QString stderrLine;     // its "MsgBox" or "klivatarn:" line
    QString addedRows = {}; // empty: the window's list is not touched; '+': "not available" cells
};

class TestInstance : public QObject
{
    Q_OBJECT
private slots:
    void init() // afresh for each row: the last row's processes killed, then its folder removed
    {
        m_running.clear();
        m_lines.clear();
        m_root.emplace();
        QVERIFY(QDir(root()).mkpath("config") && QDir(root()).mkpath("work/rel") &&
                makeFolder(root() + "/run", 0700));
    }

    void secondStart_data()
    {
        QTest::addColumn<SecondStartCase>("c");
        auto row = [](const char* name, const SecondStartCase& c) { QTest::newRow(name) << c; };
        const QString c = "@/c.mpg|352 x 240|25", dx = c + ";@/work/rel/d.mp3+;@/work/-x.mpg+",
                      notTaken = "klivatarn: the open window did not take the files: ";
        row("files, in order", {First::Window, "@/c.mpg rel/d.mp3 -- -x.mpg", true, 0, {}, dx});
        row("one missing", {First::Window, "missing.mpg @/c.mpg", true, 1,
                            "klivatarn: cannot add 'missing.mpg': No such file or directory", c});
        row("without a display", {First::Window, "@/c.mpg", false, 0, {}, c});
        row("no files",
            {First::Window, {}, true, 0, "MsgBox 48|Vantu Kliva TARN|This program is already running!"});
        row("nobody listens",
            {First::HolderOnly, "@/c.mpg", true, 1, notTaken + "no listener at '@/run/klivatarn.socket'"});
        row("a listener that never answers",
            {First::SilentListener, "@/c.mpg", true, 1, notTaken + "no answer within 2 seconds"});
    }
    void secondStart()
    {
        QFETCH(SecondStartCase, c);
        QVERIFY(test::writeMpegLikeFile(root() + "/c.mpg", 5000, 100, 352, 240, 3));
        for (const char* name : {"a.mpg", "-platform", "b.mp3", "work/rel/d.mp3", "work/-x.mpg"})
            QVERIFY(test::writeFile(root() + '/' + QLatin1String(name), "data"));
        InstanceLock holder(root() + "/run");
        QLocalServer silent; // this thread runs no event loop meanwhile: it never answers
        QProcess* first = nullptr;
        const QString firstRows = at("@/a.mpg+;@/-platform+;@/b.mp3+"),
                      socket = handOverSocketPath(root() + "/run");
        QVERIFY(c.first == First::Window || holder.tryAcquire() == State::Held);
        QVERIFY(c.first != First::SilentListener || silent.listen(socket));
        if (c.first == First::Window) {
            // A socket file a copy killed outright left does not keep the window from listening; the
            // toolkit never sees the arguments ("-platform b.mp3" would end it).
            QVERIFY(test::writeFile(socket, {}));
            first = &start({root() + "/a.mpg", "--", "-platform", "b.mp3"}, root());
            QTRY_COMPARE_WITH_TIMEOUT(lastLine(*first, "List "), firstRows, 20000);
        }
        QProcess& second = start(at(c.arguments).split(' ', Qt::SkipEmptyParts), root() + "/work", c.display);
        QVERIFY(second.waitForFinished(20000));
        const QStringList err = QString::fromLocal8Bit(second.readAllStandardError()).split('\n');
        QCOMPARE(err.filter(QRegularExpression("^(MsgBox|klivatarn:) ")).join('\n'), at(c.stderrLine));
        QCOMPARE(second.exitCode(), c.exitCode);
        if (first && c.addedRows.isEmpty()) {
            QTest::qWait(500); // time for a hand-over that should not be
            QCOMPARE(lastLine(*first, "List "), firstRows);
        } else if (first) {
            QTRY_COMPARE_WITH_TIMEOUT(lastLine(*first, "List "), firstRows + ';' + at(c.addedRows), 20000);
            // The Tip of the Day had the focus: the window came to the front.
            QTRY_COMPARE_WITH_TIMEOUT(lastLine(*first, "Active "), QStringLiteral("klivamainfrm"), 10000);
        }
    }

    void leftoversNeverBlock_data()
    {
        QTest::addColumn<LockCase>("c");
        auto row = [](const char* name, const LockCase& c) { QTest::newRow(name) << c; };
        // What a lock file of another kind holds for a live process: this very one.
        const QByteArray liveOwner =
            QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
            (QCoreApplication::applicationName() + '\n' + QSysInfo::machineHostName() + '\n').toUtf8();
        row("no file", {State::Held});
        row("names a live process",
            {State::Held, [liveOwner](Path p) { return test::writeFile(p, liveOwner); }});
        row("unreadable",
            {State::Held, [](Path p) { return test::writeFile(p, "1") && ::chmod(qPrintable(p), 0) == 0; }});
        row("link to a file",
            {State::Held,
             [](Path p) { return test::writeFile(p + ".target", "mine") && QFile::link(p + ".target", p); }});
        row("a pipe", {State::Held, [](Path p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; }});
        row("a folder", {State::Held, [](Path p) { return QDir().mkpath(p); }});
        // Root makes it another user's; a plain user's run checks it as a file of its own.
        row("another user's",
            {State::Held, [](Path p) { return test::writeFile(p, {}) && (geteuid() || chownToNobody(p)); }});
        row("held", {State::HeldByOther, nullptr, Holder::Keeps});
        row("holder gone", {State::Held, nullptr, Holder::LetsGo});
        row("holder gone, its child runs", {State::Held, nullptr, Holder::LetsGoChildRuns});
        row("no folder", {State::Unavailable, [](Path p) { return QDir().rmdir(QFileInfo(p).path()); }});
    }
    void leftoversNeverBlock()
    {
        QFETCH(LockCase, c);
        const QString folder = root() + "/run", path = folder + "/klivatarn.lock";
        QVERIFY(!c.leave || c.leave(path));
        std::optional<InstanceLock> holder;
        QProcess child; // killed when the row ends
        QVERIFY(c.holder == Holder::None || holder.emplace(folder).tryAcquire() == State::Held);
        if (c.holder == Holder::LetsGoChildRuns)
            child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(c.holder != Holder::LetsGoChildRuns || child.waitForStarted(5000));
        if (c.holder == Holder::LetsGo || c.holder == Holder::LetsGoChildRuns)
            holder.reset();
        InstanceLock lock(folder);
        QCOMPARE(lock.tryAcquire(), c.state);
        // A lock really taken keeps the next start out, on a file of this user where it belongs.
        if (c.state == State::Held) {
            QCOMPARE(InstanceLock(folder).tryAcquire(), State::HeldByOther);
            QCOMPARE(QFileInfo(path).ownerId(), ::getuid());
            QVERIFY(!QFileInfo(path).isSymLink());
        }
        QVERIFY(!QFile::exists(path + ".target") || test::fileBytes(path + ".target") == "mine");
    }

    void lockPlacement_data()
    {
        QTest::addColumn<PlacementCase>("c");
        auto row = [](const char* name, const PlacementCase& c) { QTest::newRow(name) << c; };
        const QString system = "@/user-run", home = "@/home/.klivatarn";
        row("system folder", {[](Path s, Path) { return makeFolder(s, 0700); }, system});
        row("system open to others", {[](Path s, Path) { return makeFolder(s, 0755); }, home});
        row("system is a link",
            {[](Path s, Path) { return makeFolder(s + "2", 0700) && QFile::link(s + "2", s); }, home});
        row("system of another user",
            {[](Path s, Path) { return makeFolder(s, 0700) && chownToNobody(s); }, home, true});
        row("home made private", {[](Path, Path h) { return makeFolder(h + "/.klivatarn", 0755); }, home});
        row("home is a link",
            {[](Path, Path h) { return makeFolder(h + "/x", 0700) && QFile::link("x", h + "/.klivatarn"); },
             ""});
        row("no home", {[](Path, Path h) { return QDir(h).removeRecursively(); }, ""});
    }
    void lockPlacement()
    {
        QFETCH(PlacementCase, c);
        if (c.rootOnly && ::geteuid() != 0)
            QSKIP("folders of another user can only be made as root");
        const QString system = root() + "/user-run", home = root() + "/home";
        QVERIFY(QDir().mkpath(home) && c.prepare(system, home));
        const RuntimeFolder folder = privateRuntimeFolder(system, home);
        QCOMPARE(folder.path, at(c.used));
        QCOMPARE(folder.problem.isEmpty(), !c.used.isEmpty());
        QCOMPARE(int(QFileInfo(folder.path).permissions()), c.used.isEmpty() ? 0 : 0x7700); // rwx------
    }

    // su, cron and remote logins start without XDG_RUNTIME_DIR: the same folder either way.
    void sameFolderWithoutRuntimeVariable()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root() + "/run"));
        const RuntimeFolder with = privateRuntimeFolder();
        qunsetenv("XDG_RUNTIME_DIR");
        if (with.path.isEmpty())
            QSKIP(qPrintable("no private folder for this user: " + with.problem));
        QCOMPARE(privateRuntimeFolder().path, with.path);
        QVERIFY(!with.path.startsWith(root()));
    }

    // The window program's command line with an empty environment (no display) beside the one given.
    void commandLine()
    {
        QVERIFY(test::writeFile(root() + "/work/-x.mpg", "data"));
        const QString
            noDisplay = "cannot open a display: ",
            dashX = "invalid option -- 'x'; for the file '-x.mpg' write './-x.mpg' or put '--' before it";
        // Arguments and environment (separated by spaces), exit code, stdout's beginning, stderr after
        // "klivatarn: ".
        for (const auto& [arguments, environment, exitCode, out, err] :
             std::initializer_list<std::tuple<QString, QString, int, QString, QString>>{
                 {"--version", {}, 0, "klivatarn " + versionText() + '\n', {}},
                 {"a.mpg --help", {}, 0, "Usage: klivatarn [--] [FILE...]\n", {}},
                 {"-q", {}, 2, {}, "invalid option -- 'q'"},
                 {"-x.mpg", {}, 2, {}, dashX},
                 {{}, {}, 1, {}, noDisplay + "DISPLAY and WAYLAND_DISPLAY are not set"},
                 {{}, "DISPLAY=:79", 1, {}, noDisplay + "could not connect to display :79"}}) {
            QProcess p;
            p.start("env", QString("-i -C %1/work %2 %3/klivatarn %4")
                               .arg(root(), environment, kBinDir, arguments)
                               .split(' ', Qt::SkipEmptyParts));
            QVERIFY(p.waitForFinished(20000));
            QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()),
                     err.isEmpty() ? err : "klivatarn: " + err + '\n');
            QVERIFY2(QString::fromLocal8Bit(p.readAllStandardOutput()).startsWith(out),
                     qPrintable(arguments));
            QCOMPARE(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, exitCode); // -1: an abort
        }
    }

private:
    QString root() const { return m_root->path(); }
    QString at(QString text) const { return text.replace('@', root()).replace('+', kNone); }
    // klivatarn-test with the test's runtime folder and settings, offscreen or without a display.
    QProcess& start(const QStringList& arguments, const QString& workingFolder, bool display = true)
    {
        QProcess& p = *m_running.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));
        env.insert("QT_QPA_PLATFORM", display ? "offscreen" : "");
        env.insert("XDG_CONFIG_HOME", root() + "/config");
        env.insert("KT_TEST_RUNTIME_DIR", root() + "/run");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(workingFolder);
        p.start(kBinDir + "/klivatarn-test", arguments);
        return p;
    }
    QString lastLine(QProcess& p, const QString& prefix)
    {
        QStringList& lines = m_lines[&p]; // reading takes them from the pipe
        lines += QString::fromLocal8Bit(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        const QStringList matching =
            lines.filter(QRegularExpression('^' + QRegularExpression::escape(prefix)));
        return matching.isEmpty() ? QString() : matching.last().mid(prefix.size());
    }

    std::optional<QTemporaryDir> m_root;
    std::vector<std::unique_ptr<QProcess>> m_running;
    QHash<QProcess*, QStringList> m_lines;
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
