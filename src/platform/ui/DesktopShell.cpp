#include "DesktopShell.h"

#include "platform/MessageBox.h"
#include "platform/Program.h"
#include "platform/Trash.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace kt {

namespace {

// What xdg-open's end says about the open (its manual lists the statuses):
//   0  opened;
//   1  it refused its arguments: nothing was started;
//   2  the file is gone (it vanished since it was checked here);
//   3  no program on this desktop can open the target: the one case of "no program";
//   4  a program was found and run, and it failed: the desktop's launcher, or a viewer
//      that started and then ended with an error. That program speaks for itself; it
//      did start, so nothing is said here.
// Not starting xdg-open at all, or xdg-open dying from a signal, is a failed start too.
ShellOpenResult openerVerdict(const QProcess& process)
{
    if (process.error() == QProcess::FailedToStart || process.exitStatus() != QProcess::NormalExit)
        return ShellOpenResult::Failed;
    switch (process.exitCode()) {
    case 1:
    case 3:
        return ShellOpenResult::Failed;
    case 2:
        return ShellOpenResult::NotFound;
    default:
        return ShellOpenResult::Opened;
    }
}

} // namespace

// xdg-open fails at once when nothing on the desktop can open the target; when it
// succeeds it either returns at once or, without a desktop of its own, keeps running as
// long as the program it started.
ShellOpenResult DesktopShell::openWithXdgOpen(const QString& opener, const QString& argument,
                                              const QString& shown)
{
    // Not parented, and not deleted while it runs: deleting a QProcess kills its program.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({argument});
    // A viewer that outlives this program must not write into a pipe nobody reads.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());

    QEventLoop wait;
    QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
    QTimer::singleShot(m_verdictMs, &wait, &QEventLoop::quit);
    QElapsedTimer started;
    started.start();
    process->start();
    // Windows repaint meanwhile; clicks and keys wait until the verdict is in.
    if (process->state() != QProcess::NotRunning)
        wait.exec(QEventLoop::ExcludeUserInputEvents);

    if (process->state() != QProcess::NotRunning) {
        // No verdict yet: let it run, say so if it still finds nothing, tidy up at its end.
        QObject::disconnect(process, nullptr, &wait, nullptr);
        const int lateFailureMs = m_lateFailureMs;
        QObject::connect(process, &QProcess::finished, process, [process, started, lateFailureMs, shown] {
            process->deleteLater();
            if (process->exitStatus() == QProcess::NormalExit && process->exitCode() == 3 &&
                started.elapsed() < lateFailureMs)
                MsgBox(noProgramToOpenText(shown), MB_ICONEXCLAMATION, programTitle());
        });
        return ShellOpenResult::Opened;
    }
    const ShellOpenResult verdict = openerVerdict(*process);
    delete process;
    return verdict;
}

ShellOpenResult DesktopShell::open(const QString& pathOrUrl)
{
    const QUrl asUrl(pathOrUrl);
    const bool isAddress = !asUrl.scheme().isEmpty() && asUrl.scheme().size() > 1; // not "C:"
    QUrl target;
    QString openerArgument;
    if (isAddress && asUrl.scheme() != QLatin1String("file")) {
        target = asUrl;
        openerArgument = asUrl.toString(QUrl::FullyEncoded);
    } else {
        const QString local = isAddress ? asUrl.toLocalFile() : pathOrUrl;
        if (!QFileInfo::exists(local))
            return ShellOpenResult::NotFound;
        openerArgument = QFileInfo(local).absoluteFilePath();
        target = QUrl::fromLocalFile(openerArgument);
    }
    // The desktop's own opener reports whether anything could open the target;
    // Qt's fallback only says whether it found a browser to start.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        return openWithXdgOpen(opener, openerArgument, pathOrUrl);
    return QDesktopServices::openUrl(target) ? ShellOpenResult::Opened : ShellOpenResult::Failed;
}

TrashResult DesktopShell::moveToTrash(const QVector<TrashItem>& files)
{
    return moveFilesToTrash(files);
}

} // namespace kt
