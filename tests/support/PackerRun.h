#pragma once
// klivatarn-pack run as a program in a folder of its own, with the user's trash inside it.
#include "TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kt::test {

// Which calls on a file the fault shim (tests/cli/fault_shim.c) counts and fails.
enum class Op { Write, Read, Open, Close };
struct Shim
{
    Op op = Op::Write;
    int at = 1;          // the first faulty call on the file, from 1
    int count = 0;       // how many calls are faulty, 0: all from `at` on
    int error = 0;       // errno of a faulty call, 0: it goes through
    int shortBytes = -1; // bytes a faulty call moves instead, -1: no short count
    int sleepMs = 0;     // every call on the file waits this long first
};

struct PackerRun
{
    int exit = -1; // -1: crashed or killed
    QString err;
    QString out;
};

struct PackerWorkspace
{
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    SourceSet src;

    PackerWorkspace()
    {
        setHome(dir.path());
        env.insert("LC_ALL", "C");
        env.insert("LANG", "C");
        env.remove("LANGUAGE");
    }
    void setHome(const QString& folder) // HOME and the trash's parent
    {
        env.insert("HOME", folder);
        env.insert("XDG_DATA_HOME", folder + "/xdg");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString trash() const { return env.value("XDG_DATA_HOME") + "/Trash"; }
    int trashedFiles() const { return int(QDir(trash() + "/files").entryList(QDir::Files).size()); }

    // The fault shim (tests/cli/fault_shim.c), with a marker file that says it was loaded.
    void preloadShim(const QString& shim)
    {
        env.insert("LD_PRELOAD", shim);
        env.insert("KT_FAULT_MARKER", path("shim-loaded"));
    }
    bool shimLoaded() const { return QFileInfo::exists(path("shim-loaded")); }
    void fault(const QString& file, const Shim& s)
    {
        env.insert("KT_FAULT_PATH", file);
        env.insert("KT_FAULT_OP", opName(s.op));
        env.insert("KT_FAULT_AT", QString::number(s.at));
        env.insert("KT_FAULT_COUNT", QString::number(s.count));
        env.insert("KT_FAULT_ERRNO", QString::number(s.error));
        env.insert("KT_FAULT_SHORT", QString::number(s.shortBytes));
        env.insert("KT_FAULT_SLEEP_MS", QString::number(s.sleepMs));
    }
    // `command` runs in a shell before the at-th `op` call on `file`.
    void hook(Op op, const QString& file, int at, const QString& command)
    {
        env.insert("KT_HOOK_OP", opName(op));
        env.insert("KT_HOOK_PATH", file);
        env.insert("KT_HOOK_AT", QString::number(at));
        env.insert("KT_HOOK_CMD", command);
    }
    static QString opName(Op op) { return QStringList{"write", "read", "open", "close"}.at(int(op)); }

    // `wrapper` is shell code run before the program (ending in exec); with `interruptMs` set,
    // SIGINT arrives that long after the output (the argument after -o) has its first bytes.
    // Questions go unanswered.
    PackerRun pack(const QStringList& args, const QString& wrapper = {}, int interruptMs = -1)
    {
        const QString program = qEnvironmentVariable("KT_BIN_DIR") + QStringLiteral("/klivatarn-pack");
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.setChildProcessModifier([] { // only the three standard descriptors, whatever the runner leaks
            for (int fd = 3; fd < 1024; ++fd)
                if (const int flags = ::fcntl(fd, F_GETFD); flags >= 0 && !(flags & FD_CLOEXEC))
                    ::close(fd);
        });
        const QString shell = (wrapper.isEmpty() ? QStringLiteral("exec") : wrapper) + " \"$0\" \"$@\"";
        p.start("sh", QStringList{"-c", shell, program} + args);
        if (interruptMs >= 0) {
            QDeadlineTimer deadline(20000);
            const QString out = args[args.indexOf("-o") + 1];
            while (!deadline.hasExpired() && QFileInfo(out).size() == 0)
                QThread::msleep(10);
            QThread::msleep(interruptMs);
            ::kill(pid_t(p.processId()), SIGINT);
        }
        if (!p.waitForFinished(60000))
            p.kill(); // then reported as a crash
        p.waitForFinished();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardError()),
                QString::fromLocal8Bit(p.readAllStandardOutput())};
    }
};

} // namespace kt::test
