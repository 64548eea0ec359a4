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
    QString home; // HOME and the trash's parent

    PackerWorkspace()
    {
        setHome(dir.path());
        env.insert("LC_ALL", "C");
        env.insert("LANG", "C");
        env.remove("LANGUAGE");
    }
    void setHome(const QString& folder)
    {
        home = folder;
        env.insert("HOME", folder);
        env.insert("XDG_DATA_HOME", folder + "/xdg");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString trash() const { return home + "/xdg/Trash"; }
    int trashedFiles() const { return int(QDir(trash() + "/files").entryList(QDir::Files).size()); }

    // The fault shim (tests/cli/fault_shim.c), with a marker file that says it was loaded.
    void preloadShim(const QString& shim)
    {
        env.insert("LD_PRELOAD", shim);
        env.insert("KT_FAULT_MARKER", path("shim-loaded"));
    }
    bool shimLoaded() const { return QFileInfo::exists(path("shim-loaded")); }

    // `wrapper` is shell code run before the program (ending in exec); with `interruptMs` set,
    // SIGINT arrives that long after the output (the argument after -o) has its first bytes.
    // Questions go unanswered.
    PackerRun pack(const QStringList& args, const QString& wrapper = QString(), int interruptMs = -1)
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
        if (wrapper.isEmpty())
            p.start(program, args);
        else
            p.start("sh", QStringList{"-c", wrapper + " \"$0\" \"$@\"", program} + args);
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
